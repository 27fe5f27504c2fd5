// SPDX-License-Identifier: MIT
#include "app/ModMain.h"

#include "app/CommandLine.h"
#include "app/Commands.h"
#include "app/FoundPrefixes.h"
#include "app/OpenPrefix.h"
#include "app/QtLocale.h"
#include "base/Errors.h"
#include "base/FsPath.h"
#include "session/OpenRegistry.h"
#include "system/clsSystem.h"
#include "ui/LocaleClock.h"
#include "ui/MessageService.h"
#include "ui/QtDesktopService.h"
#include "ui/main/FrmMain.h"
#include "ui/main/PrefixCatalogue.h"

#include <QApplication>
#include <filesystem>
#include <iostream>

namespace tw {

Application::Application() = default;
Application::~Application() = default;

void Application::adopt(OpenedRegistry opened)
{
    context.registryFile = opened.file;
    PrefixOwners owners = ownersOf(opened.prefix);
    session.adopt(std::move(opened), std::move(owners), [this](const std::string& question) {
        // Over whichever window starts the program (the main window, or a dialog over it); No is the
        // default, as Yes may break the prefix.
        QWidget* parent = QApplication::activeWindow() ? QApplication::activeWindow() : mainWindow.get();
        return messages->message(parent, QString::fromStdString(context.title),
                   QString::fromStdString(question), MsgIcon::Question, { MsgButton::No, MsgButton::Yes })
            == MsgButton::Yes;
    });
}

MainServices Application::services()
{
    return { context, session, clock, *messages, desktop, prefixes.get() };
}

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

std::unique_ptr<Application> Main(
    const QStringList& arguments, MessageService& messages, int& exitCode, DesktopService* desktop)
{
    exitCode = 0;
    std::vector<std::string> words;
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    CommandLine line;
    if (!line.read(words)) {
        std::cerr << line.error() << '\n';
        exitCode = 2;
        return nullptr;
    }
    if (!line.windowWanted()) {
        QtLocaleForms locale;
        exitCode = runCommand(line, locale, std::cout, std::cerr);
        return nullptr;
    }

    RegistryRequest request;
    if (std::string error; !registryRequestOf(line, request, error)) {
        std::cerr << "tidewell: " << error << '\n';
        exitCode = 2;
        return nullptr;
    }
    const std::string appFolder = paths::applicationFolder();
    auto app = std::make_unique<Application>();
    app->messages = &messages;
    if (!desktop) {
        app->ownDesktop = std::make_unique<QtDesktopService>();
        desktop = app->ownDesktop.get();
    }
    app->desktop = desktop;
    app->clock = localeClock();
    Procedure proc("Main");

    OpenedRegistry registry;
    bool opened = false;
    proc.step(__LINE__, [&] {
        registry = openRegistry(request, appFolder);
        if (!registry.views) {
            messages.critical(nullptr, QStringLiteral("Tidewell"), q(registry.error));
            return;
        }
        opened = true;
    });
    if (!opened) {
        exitCode = 2;
        return nullptr;
    }
    std::string osName;
    proc.step(__LINE__, [&] { osName = clsSystem(*registry.systemCalls()).sysInfo(); });
    proc.step(__LINE__, [&] {
        app->context
            = makeAppContext(appFolder, paths::chooseDataFolder(appFolder, paths::userDataFolder()), osName);
    });
    app->adopt(std::move(registry));
    app->prefixes = makePrefixCatalogue(*app);
    proc.step(__LINE__, [&] { app->mainWindow = std::make_unique<FrmMain>(app->services()); });
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
