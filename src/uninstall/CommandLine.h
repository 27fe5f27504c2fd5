// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tw {

// A Windows command line taken apart as Windows takes it: the program is the quoted text at the start,
// or, unquoted, the shortest run of words up to a space that names an existing file (with ".exe"
// tried when the name has no extension), as CreateProcess resolves "C:\Program Files\x\u.exe /S";
// the arguments follow the C runtime's rules for quotes and backslashes.
struct SplitCommand
{
    std::string program; // as written (after the lookup above), without quotes
    std::vector<std::string> arguments;
};

SplitCommand splitCommandLine(
    const std::string& commandLine, const std::function<bool(const std::string&)>& fileExists);

// The C runtime's argument rules alone (what follows the program name).
std::vector<std::string> splitArguments(const std::string& text);

} // namespace tw
