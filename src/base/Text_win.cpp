// SPDX-License-Identifier: MIT
// On Windows the ANSI code page is the system's own.
#include "base/Text.h"

#include <windows.h>

namespace tw::text {

std::u16string ansiToUtf16(std::string_view ansi)
{
    if (ansi.empty())
        return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(
        CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

std::string utf16ToAnsi(std::u16string_view utf16)
{
    if (utf16.empty())
        return {};
    const auto* w = reinterpret_cast<const wchar_t*>(utf16.data());
    const int len = static_cast<int>(utf16.size());
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, len, nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, len, out.data(), n, "?", nullptr);
    return out;
}

} // namespace tw::text
