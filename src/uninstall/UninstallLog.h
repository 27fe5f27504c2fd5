// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <string>

namespace tw {

// Appends one line (CR LF ended, ANSI code page) to the uninstall log. When the file exists and the
// text holds the current date and time, an empty line goes first, so entries stand apart. Never
// reports a failure: a line that cannot be written is lost.
void appendToLog(const std::string& path, const std::string& text, const Clock& clock);

} // namespace tw
