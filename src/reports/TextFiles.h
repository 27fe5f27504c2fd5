// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tw {

// Saves a document (UTF-8, line breaks already CR LF) as the program's text files are kept: in the
// ANSI code page, without a byte-order mark. The bytes go to a new file beside the target, are
// flushed and then renamed over it, so a save that fails leaves what was there before, never half a
// document. Returns false with a message naming the file and the reason in `error`.
bool writeTextFile(const std::string& path, std::string_view document, std::string& error);

} // namespace tw
