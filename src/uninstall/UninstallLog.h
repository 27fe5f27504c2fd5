// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <string>

namespace tw {

// Appends one line (CR LF ended, ANSI code page) to the uninstall log. When the file exists and the
// text holds the current date and time, an empty line goes first, so entries stand apart. Shows and
// throws nothing: false says the line could not be written, so the caller can tell the user.
bool appendToLog(const std::string& path, const std::string& text, const Clock& clock);

} // namespace tw
