// SPDX-License-Identifier: MIT
#include "app/Startup.h"
#include "ui/QtErrorReporter.h"
#include "ui/QtMessageService.h"

#include <QApplication>
#include <cstring>
#include <memory>

namespace {

// The options that print and exit run without a display.
bool consoleOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : { "--list", "--help", "-h", "--help-all", "--version", "-v", "-?" }) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
        for (const char* option : { "--report", "--uninstall" }) {
            const std::size_t n = std::strlen(option);
            if (std::strncmp(argv[i], option, n) == 0 && (argv[i][n] == '\0' || argv[i][n] == '='))
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<QCoreApplication> qapp;
    if (consoleOnly(argc, argv))
        qapp = std::make_unique<QCoreApplication>(argc, argv);
    else
        qapp = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tidewell"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.6"));
    tw::QtMessageService messages;
    tw::QtErrorReporter reporter(messages);
    // Without a window, errors go to standard error (the default reporter).
    if (!consoleOnly(argc, argv))
        tw::setErrorReporter(&reporter);
    int exitCode = 0;
    const auto app = tw::Main(QCoreApplication::arguments(), messages, exitCode);
    if (!app)
        return exitCode;
    return QCoreApplication::exec();
}
