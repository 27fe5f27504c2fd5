// SPDX-License-Identifier: MIT
#include "app/WindowMain.h"

#include "app/ModMain.h"
#include "ui/QtErrorReporter.h"
#include "ui/QtMessageService.h"

#include <QApplication>
#include <QIcon>

int tidewell_window_main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tidewell"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TIDEWELL_VERSION));
    // The desktop entry's name: a Wayland compositor finds the window's icon and menu entry by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tidewell.Tidewell"));
    // The menu's icon (data/icons), which the main window and every dialog over it show.
    QIcon icon;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    tw::QtMessageService messages;
    tw::QtErrorReporter reporter(messages);
    tw::setErrorReporter(&reporter);
    int exitCode = 0;
    const auto app = tw::Main(QCoreApplication::arguments(), messages, exitCode);
    if (!app)
        return exitCode;
    return QCoreApplication::exec();
}
