// SPDX-License-Identifier: MIT
#include "uninstall/LogViewerText.h"

#include "base/Text.h"

namespace tw {

std::string logViewerText(std::string_view fileBytes)
{
    const std::string text = text::ansiToUtf8(fileBytes);
    std::string shown;
    shown.reserve(text.size());
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t cr = text.find('\r', from);
        if (from > 0)
            shown += "\r\n";
        if (cr == std::string::npos) {
            shown.append(text, from, std::string::npos);
            break;
        }
        shown.append(text, from, cr - from);
        from = cr + 1;
        if (from < text.size() && text[from] == '\n')
            ++from;
    }
    return shown;
}

std::string uninstallLogDocument(std::string_view title, int major, int minor, int revision,
    std::string_view dateTime, std::string_view logText)
{
    std::string doc = "Unintsall Log : ";
    doc += title;
    doc += " Version: " + std::to_string(major) + "." + std::to_string(minor) + "."
        + std::to_string(revision);
    doc += "\r\nDate: ";
    doc += dateTime;
    doc += "\r\n\r\n";
    doc += logText;
    doc += "\r\n";
    return doc;
}

} // namespace tw
