// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tw {

// What the log viewer shows for the log file's bytes (ANSI code page): its lines, each ended by CR
// or CR LF in the file, joined by CR LF with no line end after the last. A lone LF stays part of its
// line. The result is UTF-8.
std::string logViewerText(std::string_view fileBytes);

// The copy of the log the viewer prints and saves (UTF-8, CR LF): the title and version line, the
// date line, an empty line, then the log text and a line end.
std::string uninstallLogDocument(std::string_view title, int major, int minor, int revision,
    std::string_view dateTime, std::string_view logText);

} // namespace tw
