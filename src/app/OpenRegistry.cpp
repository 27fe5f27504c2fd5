// SPDX-License-Identifier: MIT
#include "app/OpenRegistry.h"

#include "app/AppContext.h"
#include "app/FsPath.h"
#include "registry/HiveRegistry.h"
#include "registry/RegistryFactory.h"

#include <cstdlib>
#include <filesystem>

namespace tw {

namespace {

// The demo as installed beside the program (a build tree) or in the data folder of an install.
std::string shippedDemoFolder(const std::string& appFolder)
{
    namespace fs = std::filesystem;
    const fs::path app = toFsPath(appFolder);
    for (const fs::path& candidate : { app / "demo", app / ".." / "share" / "tidewell" / "demo" }) {
        std::error_code ec;
        if (fs::exists(candidate / "system.reg", ec))
            return fromFsPath(candidate.lexically_normal());
    }
    return fromFsPath(app / "demo");
}

} // namespace

OpenedRegistry openRegistry(const std::string& commandLineFile, const std::string& appFolder)
{
    OpenedRegistry opened;
    auto systemRegistry = makeSystemRegistry();
    const char* env = std::getenv("TIDEWELL_REGISTRY");
    const std::string userDemoFolder = paths::join(paths::userDataFolder(), "demo");
    const RegistryChoice choice = chooseRegistry(commandLineFile, env ? env : "", systemRegistry != nullptr,
        paths::join(userDemoFolder, "system.reg"));
    opened.origin = choice.origin;
    if (choice.origin == "system") {
        opened.api = std::move(systemRegistry);
        return opened;
    }
    opened.file = choice.file;
    if (choice.origin == "demo") {
        opened.file = provideDemoCopy(shippedDemoFolder(appFolder), userDemoFolder, opened.error);
        if (opened.file.empty()) {
            opened.error = "The demo registry could not be prepared: " + opened.error;
            return opened;
        }
    }
    auto hive = std::make_unique<HiveRegistry>(opened.file);
    if (const auto& error = hive->loadError()) {
        opened.error = "The registry file cannot be read:\n" + error->text();
        return opened;
    }
    opened.api = std::move(hive);
    return opened;
}

} // namespace tw
