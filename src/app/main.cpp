// SPDX-License-Identifier: MIT
#include "app/ModMain.h"
#include "ui/QtErrorReporter.h"
#include "ui/QtMessageService.h"

#include <QApplication>
#include <QIcon>
#include <memory>

int main(int argc, char** argv)
{
    // Decided before any application object exists, so that no display is needed without a window.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool console = tw::runsWithoutWindow(arguments);
    std::unique_ptr<QCoreApplication> qapp;
    if (console)
        qapp = std::make_unique<QCoreApplication>(argc, argv);
    else
        qapp = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tidewell"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.6"));
    if (!console) {
        // The desktop entry's name: a Wayland compositor finds the window's icon and menu entry by it.
        QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tidewell.Tidewell"));
        // The menu's icon (data/icons), which the main window and every dialog over it show.
        QIcon icon;
        for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
            icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
        QApplication::setWindowIcon(icon);
    }
    tw::QtMessageService messages;
    tw::QtErrorReporter reporter(messages);
    // Without a window, errors go to standard error (the default reporter).
    if (!console)
        tw::setErrorReporter(&reporter);
    int exitCode = 0;
    const auto app = tw::Main(QCoreApplication::arguments(), messages, exitCode);
    if (!app)
        return exitCode;
    return QCoreApplication::exec();
}
