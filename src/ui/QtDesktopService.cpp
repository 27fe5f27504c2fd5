// SPDX-License-Identifier: MIT
#include "ui/QtDesktopService.h"

#include "reports/ShellOpen.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QWidget>

namespace tw {

bool QtDesktopService::openUrl(const QUrl& url)
{
    // Where the system has a shell of its own (Windows), it opens the address as any program there
    // would, over the window that asked; elsewhere Qt finds the desktop's handler.
    if (!haveShellOpen())
        return QDesktopServices::openUrl(url);
    QWidget* window = QApplication::activeWindow();
    void* owner = window ? reinterpret_cast<void*>(window->winId()) : nullptr;
    const QString target = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    return shellOpen(target.toStdString(), owner);
}

} // namespace tw
