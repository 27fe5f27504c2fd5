// SPDX-License-Identifier: MIT
#include "registry/RegistryFactory.h"

#include "base/FsPath.h"

#include <filesystem>

namespace tw {

namespace {

std::string withoutTrailingSlashes(std::string folder)
{
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

RegistryChoice prefixChoice(const std::string& folder)
{
    const std::string prefix = withoutTrailingSlashes(folder);
    return { prefix + "/system.reg", "prefix", prefix };
}

} // namespace

RegistryChoice chooseRegistry(const RegistrySources& sources, bool haveSystemRegistry,
    const std::string& userDemoFile, bool (*exists)(const std::string& file))
{
    if (!sources.commandLineFile.empty())
        return { sources.commandLineFile, "command line", {} };
    if (!sources.commandLinePrefix.empty())
        return prefixChoice(sources.commandLinePrefix);
    if (!sources.environmentFile.empty())
        return { sources.environmentFile, "environment", {} };
    if (haveSystemRegistry)
        return { {}, "system", {} };
    if (!sources.environmentPrefix.empty())
        return prefixChoice(sources.environmentPrefix);
    if (!sources.homeFolder.empty()) {
        const RegistryChoice home = prefixChoice(withoutTrailingSlashes(sources.homeFolder) + "/.wine");
        if (exists(home.file))
            return home;
    }
    return { userDemoFile, "demo", {} };
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
