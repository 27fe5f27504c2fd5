// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tw::test {

// A report of about half a megabyte whose every line names its version, so any mix of two versions or a
// cut-off copy is told apart from a whole one.
inline std::string versionedDocument(int version)
{
    const std::string tag = "version " + std::to_string(version);
    std::string doc = "Report " + tag + "\r\n";
    for (int line = 0; line < 8000; ++line)
        doc += "Line " + std::to_string(line) + " of the " + tag
            + " of this report, long enough to matter\r\n";
    doc += "End of " + tag + "\r\n";
    return doc;
}

} // namespace tw::test
