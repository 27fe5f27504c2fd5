// SPDX-License-Identifier: MIT
#include "uninstall/UninstallLog.h"

#include "base/Errors.h"
#include "base/Text.h"

#include "base/FsPath.h"

#include <filesystem>
#include <fstream>

namespace tw {

bool appendToLog(const std::string& path, const std::string& text, const Clock& clock)
{
    Procedure proc("appendToLog", OnError::Leave);
    namespace fs = std::filesystem;
    std::ofstream out;
    bool exists = false;
    if (!proc.step(__LINE__, [&] {
            std::error_code ec;
            exists = fs::is_regular_file(toFsPath(path), ec);
        }))
        return false;
    if (!proc.step(__LINE__, [&] {
            out.open(toFsPath(path),
                exists ? std::ios::binary | std::ios::app : std::ios::binary | std::ios::trunc);
            if (!out)
                throw Error(errc::kPathFileAccessError, "Path/File access error");
        }))
        return false;
    return proc.step(__LINE__, [&] {
        std::string line;
        if (exists && text.find(clock.nowGeneral()) != std::string::npos)
            line = "\r\n";
        line += text::utf8ToAnsi(text) + "\r\n";
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
        out.close();
        if (!out)
            throw Error(errc::kPathFileAccessError, "Path/File access error");
    });
}

} // namespace tw
