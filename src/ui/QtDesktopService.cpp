// SPDX-License-Identifier: MIT
#include "ui/QtDesktopService.h"

#include <QDesktopServices>

namespace tw {

bool QtDesktopService::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace tw
