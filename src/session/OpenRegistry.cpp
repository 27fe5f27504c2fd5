// SPDX-License-Identifier: MIT
#include "session/OpenRegistry.h"

#include "base/AppContext.h"
#include "base/FsPath.h"
#include "base/Text.h"
#include "inventory/Inventory.h"
#include "registry/HiveRegistry.h"
#include "registry/HiveSet.h"
#include "registry/Registry.h"
#include "registry/RegistryFactory.h"
#include "session/LastPrefix.h"
#include "uninstall/CommandLine.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <vector>

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

constexpr const char* kDemoUninstaller = "tidewell-demo-uninstaller";

// The demo's uninstaller as built beside the program, or as installed in libexec; empty where none is.
std::string demoUninstallerProgram(const std::string& appFolder)
{
    namespace fs = std::filesystem;
    const fs::path app = toFsPath(appFolder);
    const std::string name = std::string(kDemoUninstaller) + (paths::separator() == '\\' ? ".exe" : "");
    for (const fs::path& candidate : { app / name, app / ".." / "libexec" / "tidewell" / name }) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec))
            return fromFsPath(candidate.lexically_normal());
    }
    return {};
}

std::string quotedArgument(const std::string& argument)
{
    return argument.empty() || argument.find_first_of(" \t") != std::string::npos ? "\"" + argument + "\""
                                                                                  : argument;
}

// The demo's entries that its own uninstaller removes name that program by its bare name (as shipped)
// or by where an earlier run found it; the user's copy is pointed at where it is now, so they work
// from a build tree and from an install alike.
void pointDemoUninstallers(RegistryApi& demo, const std::string& program)
{
    if (program.empty())
        return;
    Registry registry(demo);
    std::vector<std::string> keys;
    registry.GetKeyNames(kHKeyLocalMachine, kUninstallPath, keys);
    for (const std::string& key : keys) {
        const std::string path = kUninstallPath + key;
        const std::string command = registry.GetStringValue(kHKeyLocalMachine, path, "UninstallString");
        const SplitCommand split = splitCommandLine(command, [](const std::string&) { return false; });
        // Either kind of slash, and ".exe" where the program has one.
        std::string name = split.program.substr(split.program.find_last_of("\\/") + 1);
        if (name.size() > 4
            && text::equalsIgnoreCase(text::utf8ToUtf16(name.substr(name.size() - 4)), u".exe"))
            name.resize(name.size() - 4);
        if (name != kDemoUninstaller)
            continue;
        std::string wanted = "\"" + program + "\"";
        for (const std::string& argument : split.arguments)
            wanted += " " + quotedArgument(argument);
        if (wanted != command)
            registry.SaveString(kHKeyLocalMachine, path, "UninstallString", wanted);
    }
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool fileExists(const std::string& file)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(toFsPath(file), ec);
}

std::string absolute(const std::string& path)
{
    std::error_code ec;
    const auto full = std::filesystem::absolute(toFsPath(path), ec);
    return ec ? path : fromFsPath(full.lexically_normal());
}

std::string folderOf(const std::string& file)
{
    return fromFsPath(toFsPath(file).parent_path());
}

// Why a file named as a registry cannot be one, or empty. An empty file holds no registry: most likely a
// write that never finished.
std::string unusableFile(const std::string& file)
{
    std::error_code ec;
    const auto status = std::filesystem::status(toFsPath(file), ec);
    return !std::filesystem::exists(status)         ? " does not exist."
        : std::filesystem::is_directory(status)     ? " is a folder, not a registry file."
        : !std::filesystem::is_regular_file(status) ? " is not a regular file."
        : std::filesystem::file_size(toFsPath(file), ec) == 0 && !ec
        ? " is empty: it is not a registry file (one begins \"WINE REGISTRY Version 2\")."
        : "";
}

} // namespace

std::string OpenedRegistry::description(const std::string& owners) const
{
    std::string text;
    if (origin == "system")
        text = "The system's registry";
    else if (origin == "demo")
        text = "Demo registry: " + file;
    else if (!prefix.empty())
        text = "Wine prefix" + (owners.empty() ? "" : " (" + owners + ")") + ": " + prefix;
    else
        text = "Registry file: " + file;
    return text;
}

std::unique_ptr<SystemCalls> OpenedRegistry::systemCalls() const
{
    if (file.empty())
        return makeSystemCalls(nullptr);
    Registry operations(*backend);
    return makeSystemCalls(&operations);
}

OpenedRegistry openForCommand(const RegistryRequest& request, const std::string& appFolder, std::ostream& err)
{
    OpenedRegistry opened = openRegistry(request, appFolder);
    if (!opened.views)
        err << "tidewell: " << opened.error << '\n';
    else if (opened.server && opened.server->running())
        err << "tidewell: Wine is running in " << opened.prefix
            << "; its registry file may not hold its latest changes yet\n";
    return opened;
}

OpenedRegistry openRegistry(const RegistryRequest& request, const std::string& appFolder)
{
    OpenedRegistry opened;
    auto systemRegistry = makeSystemRegistry();
    const std::string userDemoFolder = paths::join(paths::userDataFolder(), "demo");
    const std::string environmentFile = environment("TIDEWELL_REGISTRY");
    // The prefix chosen last in the window comes after what names a registry for this run (and the
    // system's registry), before WINEPREFIX and ~/.wine; it is then opened as if named on the command line.
    std::string prefix = request.prefix;
    if (!request.demo && request.file.empty() && prefix.empty() && environmentFile.empty() && !systemRegistry)
        prefix = rememberedPrefix(paths::userDataFolder());
    const RegistrySources sources { request.file, prefix, environmentFile, environment("WINEPREFIX"),
        environment("HOME") };
    const std::string userDemoFile = paths::join(userDemoFolder, "system.reg");
    const RegistryChoice choice = request.demo
        ? RegistryChoice { userDemoFile, "demo", {} }
        : chooseRegistry(sources, systemRegistry != nullptr, userDemoFile, fileExists);
    opened.origin = choice.origin;
    if (choice.origin == "system") {
        if (!request.userFile.empty()) {
            opened.error = "A user's registry file is read beside a machine's registry file (--registry or "
                           "--prefix), not beside the system's registry.";
            return opened;
        }
        opened.backend = std::move(systemRegistry);
    } else {
        // Wine takes only an absolute WINEPREFIX, and the prefix of a file is the folder it names.
        opened.file = absolute(choice.file);
        if (choice.origin == "demo") {
            opened.file = provideDemoCopy(shippedDemoFolder(appFolder), userDemoFolder, opened.error);
            if (opened.file.empty()) {
                opened.error = "The demo registry could not be prepared: " + opened.error;
                return opened;
            }
        }
        if (!choice.prefix.empty() && !fileExists(opened.file)) {
            opened.error = "The Wine prefix " + choice.prefix
                + " has no registry (system.reg). Run a Wine program in it once, or name another prefix.";
            return opened;
        }
        // A named file that is not there is a slip of the keyboard, not a wish for an empty registry.
        if (const std::string unusable = unusableFile(opened.file); !unusable.empty()) {
            opened.error = "The registry file " + opened.file + unusable;
            return opened;
        }
        auto hive = std::make_unique<HiveRegistry>(opened.file, hive::HiveRoot::Machine, request.scope);
        if (const auto& error = hive->loadError()) {
            opened.error = "The registry file cannot be read:\n" + error->text();
            return opened;
        }
        if (choice.origin == "demo")
            pointDemoUninstallers(*hive, demoUninstallerProgram(appFolder));
        // A registry file inside a prefix (named as a prefix or as a file) is guarded against its server;
        // the demo only looks like a prefix.
        if (!choice.prefix.empty()
            || (choice.origin != "demo" && WineServer::isPrefixRegistry(opened.file))) {
            opened.prefix = choice.prefix.empty() ? folderOf(opened.file) : absolute(choice.prefix);
            opened.server = std::make_unique<WineServer>(opened.prefix);
            hive->setWriteGate(opened.server.get());
        }
        // The user's entries: the file named for them, else a prefix's user.reg where it has one. A
        // prefix without one has no per-user entries yet; a named file that is not there is a slip.
        if (!request.userFile.empty()) {
            opened.userFile = absolute(request.userFile);
            if (const std::string unusable = unusableFile(opened.userFile); !unusable.empty()) {
                opened.error = "The user's registry file " + opened.userFile + unusable;
                return opened;
            }
        } else if (!choice.prefix.empty()) {
            opened.userFile = paths::join(folderOf(opened.file), "user.reg");
        }
        auto user = std::make_unique<HiveRegistry>(opened.userFile, hive::HiveRoot::User, request.scope);
        if (const auto& error = user->loadError()) {
            opened.error = "The user's registry file cannot be read:\n" + error->text();
            return opened;
        }
        user->setWriteGate(opened.server.get());
        opened.backend = std::make_unique<HiveSet>(std::move(hive), std::move(user));
    }
    opened.views = std::make_unique<RegistryViews>(*opened.backend, request.views);
    return opened;
}

} // namespace tw
