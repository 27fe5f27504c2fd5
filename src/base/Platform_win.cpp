// SPDX-License-Identifier: MIT
#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Text.h"

#include <windows.h>

namespace tw {
namespace paths {

std::string applicationFolder()
{
    char buf[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string exe(buf, n);
    const auto slash = exe.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text::ansiToUtf8(exe.substr(0, slash));
}

std::string userDataFolder()
{
    wchar_t buf[MAX_PATH + 1] = {};
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buf, MAX_PATH);
    if (n == 0 || n > MAX_PATH)
        return applicationFolder();
    return text::utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(buf), n)) + "\\Tidewell";
}

char separator()
{
    return '\\';
}

} // namespace paths

std::tm localTime(std::time_t t)
{
    std::tm tm {};
    localtime_s(&tm, &t);
    return tm;
}

} // namespace tw
