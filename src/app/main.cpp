// SPDX-License-Identifier: MIT
#include "app/Startup.h"
#include "ui/QtErrorReporter.h"
#include "ui/QtMessageService.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tidewell"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.6"));
    tw::QtMessageService messages;
    tw::QtErrorReporter reporter(messages);
    tw::setErrorReporter(&reporter);
    int exitCode = 0;
    const auto app = tw::Main(QApplication::arguments(), messages, exitCode);
    if (!app)
        return exitCode;
    return QApplication::exec();
}
