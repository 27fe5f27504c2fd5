// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>

namespace tw {

// Hands files and links to the desktop's own handlers (the help page, a program's web links), so
// tests can see what would have been opened without opening anything.
class DesktopService
{
public:
    virtual ~DesktopService() = default;
    // False when no handler took it.
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace tw
