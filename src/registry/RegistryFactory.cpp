// SPDX-License-Identifier: MIT
#include "registry/RegistryFactory.h"

#include "app/FsPath.h"

#include <filesystem>

namespace tw {

RegistryChoice chooseRegistry(const std::string& commandLineFile, const std::string& environmentFile,
    bool haveSystemRegistry, const std::string& userDemoFile)
{
    if (!commandLineFile.empty())
        return { commandLineFile, "command line" };
    if (!environmentFile.empty())
        return { environmentFile, "environment" };
    if (haveSystemRegistry)
        return { {}, "system" };
    return { userDemoFile, "demo" };
}

std::string provideDemoCopy(
    const std::string& shippedDemoFolder, const std::string& userDemoFolder, std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path target = toFsPath(userDemoFolder);
    const fs::path file = target / "system.reg";
    std::error_code ec;
    if (fs::exists(file, ec))
        return fromFsPath(file);
    const fs::path source = toFsPath(shippedDemoFolder);
    if (!fs::exists(source / "system.reg", ec)) {
        error = "the demo registry is not installed (" + fromFsPath(source / "system.reg") + ")";
        return {};
    }
    fs::create_directories(target, ec);
    // Copy into a fresh folder and rename, so an interrupted first run leaves no half copy.
    const fs::path partial = target.parent_path() / (fromFsPath(target.filename()) + ".partial");
    fs::remove_all(partial, ec);
    fs::copy(source, partial, fs::copy_options::recursive, ec);
    if (!ec) {
        fs::remove(target, ec); // the empty folder made above
        fs::rename(partial, target, ec);
    }
    if (ec) {
        error = ec.message();
        fs::remove_all(partial, ec);
        return {};
    }
    // The shipped files may be read-only; the user's copy must not be.
    for (const auto& entry : fs::recursive_directory_iterator(target, ec))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    return fromFsPath(file);
}

} // namespace tw
