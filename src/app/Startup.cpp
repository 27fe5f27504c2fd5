// SPDX-License-Identifier: MIT
#include "app/Startup.h"

#include "app/Errors.h"
#include "app/FsPath.h"
#include "registry/HiveRegistry.h"
#include "registry/RegistryFactory.h"
#include "system/clsSystem.h"
#include "ui/LocaleClock.h"
#include "ui/MessageService.h"
#include "ui/main/FrmMain.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdlib>
#include <filesystem>

namespace tw {

Application::Application() = default;
Application::~Application() = default;

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// The demo as installed beside the program (a build tree) or in the data folder of an install.
std::string shippedDemoFolder(const std::string& appFolder)
{
    namespace fs = std::filesystem;
    const fs::path app = toFsPath(appFolder);
    for (const fs::path& candidate : { app / "demo", app / ".." / "share" / "tidewell" / "demo" }) {
        std::error_code ec;
        if (fs::exists(candidate / "system.reg", ec))
            return fromFsPath(candidate.lexically_normal());
    }
    return fromFsPath(app / "demo");
}

void printOut(const QString& text)
{
    QTextStream out(stdout);
    out << text;
}

} // namespace

std::unique_ptr<Application> Main(const QStringList& arguments, MessageService& messages, int& exitCode)
{
    exitCode = 0;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the programs installed on a Windows system or in a "
                       "registry file, and uninstalls them."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption registryOption(QStringLiteral("registry"),
        QStringLiteral("Use the registry file <file> (Wine's system.reg format) instead of the default."),
        QStringLiteral("file"));
    parser.addOption(registryOption);
    if (!parser.parse(arguments)) {
        QTextStream(stderr) << parser.errorText() << '\n';
        exitCode = 2;
        return nullptr;
    }
    if (parser.isSet(helpOption)) {
        printOut(parser.helpText());
        return nullptr;
    }
    if (parser.isSet(versionOption)) {
        printOut(QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
        return nullptr;
    }

    auto app = std::make_unique<Application>();
    app->messages = &messages;
    app->clock = localeClock();
    Procedure proc("Main");

    const std::string appFolder = paths::applicationFolder();
    std::string registryFile;
    bool opened = false;
    proc.step(__LINE__, [&] {
        auto systemRegistry = makeSystemRegistry();
        const char* env = std::getenv("TIDEWELL_REGISTRY");
        const std::string userDemo = paths::join(paths::join(paths::userDataFolder(), "demo"), "system.reg");
        const RegistryChoice choice = chooseRegistry(
            parser.value(registryOption).toStdString(), env ? env : "", systemRegistry != nullptr, userDemo);
        if (choice.origin == "system") {
            app->registryApi = std::move(systemRegistry);
            opened = true;
            return;
        }
        registryFile = choice.file;
        if (choice.origin == "demo") {
            std::string error;
            registryFile = provideDemoCopy(
                shippedDemoFolder(appFolder), paths::join(paths::userDataFolder(), "demo"), error);
            if (registryFile.empty()) {
                messages.critical(nullptr, QStringLiteral("Tidewell"),
                    QStringLiteral("The demo registry could not be prepared: ") + q(error));
                return;
            }
        }
        auto hive = std::make_unique<HiveRegistry>(registryFile);
        if (const auto& error = hive->loadError()) {
            messages.critical(nullptr, QStringLiteral("Tidewell"),
                QStringLiteral("The registry file cannot be read:\n") + q(error->text()));
            return;
        }
        app->registryApi = std::move(hive);
        opened = true;
    });
    if (!opened) {
        exitCode = 2;
        return nullptr;
    }
    app->registry = std::make_unique<Registry>(*app->registryApi);

    std::string osName;
    proc.step(__LINE__, [&] {
        auto calls = makeSystemCalls(registryFile.empty() ? nullptr : app->registry.get());
        osName = clsSystem(*calls).sysInfo();
    });
    proc.step(__LINE__, [&] {
        app->context
            = makeAppContext(appFolder, paths::chooseDataFolder(appFolder, paths::userDataFolder()), osName);
        app->context.registryFile = registryFile;
    });
    proc.step(
        __LINE__, [&] { app->mainWindow = std::make_unique<FrmMain>(q(app->context.title), messages); });
    proc.step(__LINE__, [&] {
        if (app->mainWindow)
            app->mainWindow->show();
    });
    if (!app->mainWindow) {
        exitCode = 1;
        return nullptr;
    }
    return app;
}

} // namespace tw
