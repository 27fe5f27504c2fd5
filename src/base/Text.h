// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

// Conversions between the program's UTF-8, the registry's UTF-16 and the ANSI code page: the
// system's code page on Windows, Windows-1252 elsewhere. Characters the code page cannot hold
// become '?', as Windows' own conversion writes them.
namespace tw::text {

std::string utf8ToAnsi(std::string_view utf8);
std::string ansiToUtf8(std::string_view ansi);
std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view utf16);

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Each byte's value as a hexadecimal digit, or -1: registry files hold megabytes of them.
inline constexpr std::array<signed char, 256> kHexDigitValues = [] {
    std::array<signed char, 256> t {};
    t.fill(-1);
    for (int c = 0; c < 10; ++c)
        t['0' + c] = static_cast<signed char>(c);
    for (int c = 0; c < 6; ++c) {
        t['a' + c] = static_cast<signed char>(10 + c);
        t['A' + c] = static_cast<signed char>(10 + c);
    }
    return t;
}();

// The value of one hexadecimal digit, or -1.
inline int hexDigitValue(char c)
{
    return kHexDigitValues[static_cast<unsigned char>(c)];
}

// The text before the first NUL character, or the text itself when it holds none.
std::string StripNull(std::string_view text);

// Spaces cut off (only spaces: tabs and other white space stay), at both ends or at the start.
std::string trimSpaces(std::string_view text);
std::string trimLeadingSpaces(std::string_view text);

// Windows compares registry names by their upper-case forms; Wine sorts its files by the
// lower-case forms. Both cover the scripts a registry name is likely to use.
char16_t foldUpper(char16_t c);
char16_t foldLower(char16_t c);
std::u16string toUpper(std::u16string_view s);
bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);
// For names known to be ASCII (registry key names of Windows, program names, tool output): only A-Z fold.
bool startsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

} // namespace tw::text
