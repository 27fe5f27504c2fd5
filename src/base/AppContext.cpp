// SPDX-License-Identifier: MIT
#include "base/AppContext.h"

#include "base/FsPath.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace tw {
namespace paths {

std::string join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    const char last = folder.back();
    if (last == separator() || last == '/')
        return folder + name;
    return folder + separator() + name;
}

bool isWritableFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = toFsPath(folder);
    if (!fs::is_directory(dir, ec))
        return false;
    const fs::path probe = dir / ".tidewell-write-test";
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out)
            return false;
    }
    fs::remove(probe, ec);
    return true;
}

std::string chooseDataFolder(const std::string& appFolder, const std::string& userFolder,
    const std::function<bool(const std::string&)>& writable)
{
    if (!appFolder.empty() && writable(appFolder))
        return appFolder;
    std::error_code ec;
    std::filesystem::create_directories(toFsPath(userFolder), ec);
    return userFolder;
}

std::string helpFile(const std::string& appFolder, bool compiledFirst)
{
    namespace fs = std::filesystem;
    const fs::path app = toFsPath(appFolder);
    const fs::path compiled = app / "Tidewell.chm";
    std::error_code ec;
    if (compiledFirst && fs::is_regular_file(compiled, ec))
        return fromFsPath(compiled);
    for (const fs::path& page :
        { app / "help" / "tidewell.html", app / ".." / "share" / "tidewell" / "help" / "tidewell.html" }) {
        if (fs::is_regular_file(page, ec))
            return fromFsPath(page.lexically_normal());
    }
    return join(appFolder, "Tidewell.chm");
}

} // namespace paths

AppContext makeAppContext(
    const std::string& appFolder, const std::string& dataFolder, const std::string& osName)
{
    AppContext ctx;
    ctx.appFolder = appFolder;
    ctx.dataFolder = dataFolder;
#ifdef _WIN32
    ctx.helpFile = paths::helpFile(appFolder, true);
#else
    ctx.helpFile = paths::helpFile(appFolder, false);
#endif
    ctx.osName = osName;
    ctx.logPath = dataFolder + paths::separator() + "UnLog" + ".log";
    return ctx;
}

} // namespace tw
