// SPDX-License-Identifier: MIT
#include "session/LastPrefix.h"

#include "base/AppContext.h"
#include "base/FsPath.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tw {

namespace {

constexpr const char* kFileName = "last-prefix";

} // namespace

std::string rememberedPrefix(const std::string& userDataFolder)
{
    // The whole file is the folder's name and a line end, so any name a folder can have comes back.
    std::ifstream in(toFsPath(paths::join(userDataFolder, kFileName)), std::ios::binary);
    std::string prefix((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!prefix.empty() && prefix.back() == '\n')
        prefix.pop_back();
    std::error_code ec;
    if (prefix.empty() || !std::filesystem::is_regular_file(toFsPath(paths::join(prefix, "system.reg")), ec))
        return {};
    return prefix;
}

bool rememberPrefix(const std::string& userDataFolder, const std::string& prefix)
{
    namespace fs = std::filesystem;
    const fs::path file = toFsPath(paths::join(userDataFolder, kFileName));
    const fs::path partial = toFsPath(paths::join(userDataFolder, std::string(kFileName) + ".partial"));
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << prefix << '\n';
        if (!out.flush())
            return false;
    }
    // A rename, so that a start reading it meanwhile never sees half a name.
    fs::rename(partial, file, ec);
    return !ec;
}

} // namespace tw
