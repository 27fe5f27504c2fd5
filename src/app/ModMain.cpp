// SPDX-License-Identifier: MIT
#include "app/ModMain.h"

#include "app/FoundPrefixes.h"
#include "app/ListCommand.h"
#include "app/OpenPrefix.h"
#include "app/PrefixesCommand.h"
#include "app/ReportCommand.h"
#include "app/UninstallCommand.h"
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
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>
#include <chrono>
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

void printOut(const QString& text)
{
    QTextStream out(stdout);
    out << text;
}

// The command line's options, shared by Main and by the question whether a window is wanted.
struct CommandLine
{
    QCommandLineParser parser;
    // Not addHelpOption(): its --help-all offers Qt's own options, which this command line does not take.
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Displays help on commandline options.") };
    QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Displays version information.") };
    QCommandLineOption registry { QStringLiteral("registry"),
        QStringLiteral("Use the registry file <file> (Wine's system.reg format) instead of the default."),
        QStringLiteral("file") };
    QCommandLineOption userRegistry { QStringLiteral("user-registry"),
        QStringLiteral("With --registry: also list the per-user programs of the registry file <file> (Wine's "
                       "user.reg format). A prefix's own user.reg is read without it."),
        QStringLiteral("file") };
    QCommandLineOption prefix { QStringLiteral("prefix"),
        QStringLiteral(
            "Use the registry of the Wine prefix <folder>, or of the one prefix --prefixes names so "
            "(default: the prefix last opened in the window, else WINEPREFIX, else ~/.wine)."),
        QStringLiteral("folder") };
    QCommandLineOption demo { QStringLiteral("demo"),
        QStringLiteral("Use the demo registry (your own copy of it), whatever else is at hand.") };
    QCommandLineOption view { QStringLiteral("view"),
        QStringLiteral(
            "Show, of the machine's programs, only those a 64-bit (64) or a 32-bit (32) program sees "
            "(default: both); the per-user programs are shown either way."),
        QStringLiteral("bits") };
    QCommandLineOption list { QStringLiteral("list"),
        QStringLiteral("Print the program list (registry name, display name, size, last used on, frequency, "
                       "uninstall command; separated by tabs) and exit, without opening a window.") };
    QCommandLineOption report { QStringLiteral("report"),
        QStringLiteral("Write the audit report of the programs to <file> as the report window saves it, and "
                       "exit, without opening a window."),
        QStringLiteral("file") };
    QCommandLineOption longFormat { QStringLiteral("long"),
        QStringLiteral("With --report: the long format (size and uninstall command too).") };
    QCommandLineOption uninstall { QStringLiteral("uninstall"),
        QStringLiteral("Run the uninstaller of the entry <key> (its registry name), wait for it and tell "
                       "whether the entry is gone, without opening a window. Exit status 0: gone, 1: still "
                       "there, 2: error."),
        QStringLiteral("key") };
    QCommandLineOption force { QStringLiteral("force"),
        QStringLiteral("With --uninstall: remove an entry its uninstaller left behind, or one whose "
                       "uninstaller is not there.") };
    QCommandLineOption timeout { QStringLiteral("timeout"),
        QStringLiteral("With --uninstall: stop waiting for the uninstaller after <seconds>, leave it running "
                       "and tell whether the entry is gone at that moment."),
        QStringLiteral("seconds") };
    QCommandLineOption prefixes { QStringLiteral("prefixes"),
        QStringLiteral(
            "Print the Wine prefixes the front-ends of this computer made, one line each (folder, "
            "owners, the name each gives it, the programs --list would list; separated by tabs, "
            "several owners of one prefix joined by commas) and exit, without opening a window.") };

    CommandLine()
    {
        parser.setApplicationDescription(
            QStringLiteral("Lists the programs installed on a Windows system or in a "
                           "registry file, and uninstalls them."));
        for (const QCommandLineOption* option : { &help, &version, &registry, &userRegistry, &prefix, &demo,
                 &view, &list, &report, &longFormat, &uninstall, &force, &timeout, &prefixes })
            parser.addOption(*option);
    }

    // False with `why` when the words do not make one clear request.
    bool read(const QStringList& arguments, QString& why)
    {
        if (!parser.parse(arguments)) {
            why = parser.errorText();
            return false;
        }
        if (parser.isSet(help) || parser.isSet(version))
            return true;
        // A word the program would ignore is more likely a mistake than a wish: say so rather than act
        // on a guess.
        if (!parser.positionalArguments().isEmpty())
            why = QStringLiteral("unexpected argument: ") + parser.positionalArguments().constFirst();
        else if (int(parser.isSet(list)) + int(parser.isSet(report)) + int(parser.isSet(uninstall))
                + int(parser.isSet(prefixes))
            > 1)
            why = QStringLiteral("--list, --report, --uninstall and --prefixes cannot be combined");
        else if (parser.isSet(prefixes)
            && (parser.isSet(registry) || parser.isSet(userRegistry) || parser.isSet(prefix)
                || parser.isSet(demo)))
            why = QStringLiteral(
                "--prefixes lists every prefix; --registry, --user-registry, --prefix and --demo "
                "do not go with it");
        else if (parser.isSet(userRegistry) && !parser.isSet(registry))
            why = QStringLiteral(
                "--user-registry goes with --registry (a prefix's own user.reg is read without it)");
        else if (parser.isSet(longFormat) && !parser.isSet(report))
            why = QStringLiteral("--long goes with --report");
        else if (parser.isSet(force) && !parser.isSet(uninstall))
            why = QStringLiteral("--force goes with --uninstall");
        else if (parser.isSet(timeout) && !parser.isSet(uninstall))
            why = QStringLiteral("--timeout goes with --uninstall");
        else if (parser.isSet(timeout) && timeoutSeconds() <= 0)
            why = QStringLiteral("--timeout takes a whole number of seconds, 1 or more");
        else if (int(parser.isSet(registry)) + int(parser.isSet(prefix)) + int(parser.isSet(demo)) > 1)
            why = QStringLiteral("--registry, --prefix and --demo each name a registry; give one");
        else if (parser.isSet(view) && parser.value(view) != QStringLiteral("32")
            && parser.value(view) != QStringLiteral("64"))
            why = QStringLiteral("--view takes 32 or 64");
        if (!why.isEmpty())
            why = QStringLiteral("tidewell: ") + why;
        return why.isEmpty();
    }

    // The seconds --timeout gives; 0 when they are not a whole number from 1 to a year.
    int timeoutSeconds() const
    {
        bool ok = false;
        const int seconds = parser.value(timeout).toInt(&ok);
        return ok && seconds > 0 && seconds <= 366 * 24 * 3600 ? seconds : 0;
    }

    bool windowWanted() const
    {
        return !parser.isSet(help) && !parser.isSet(version) && !parser.isSet(list) && !parser.isSet(report)
            && !parser.isSet(uninstall) && !parser.isSet(prefixes);
    }
};

} // namespace

bool runsWithoutWindow(const QStringList& arguments)
{
    CommandLine line;
    QString why;
    return !line.read(arguments, why) || !line.windowWanted();
}

std::unique_ptr<Application> Main(
    const QStringList& arguments, MessageService& messages, int& exitCode, DesktopService* desktop)
{
    exitCode = 0;
    CommandLine line;
    const QCommandLineParser& parser = line.parser;
    QString why;
    if (!line.read(arguments, why)) {
        QTextStream(stderr) << why << '\n';
        exitCode = 2;
        return nullptr;
    }
    if (parser.isSet(line.help)) {
        printOut(parser.helpText());
        return nullptr;
    }
    if (parser.isSet(line.version)) {
        printOut(QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
        return nullptr;
    }

    RegistryRequest request;
    request.file = parser.value(line.registry).toStdString();
    request.userFile = parser.value(line.userRegistry).toStdString();
    std::string notAPrefix;
    request.prefix = prefixFolder(parser.value(line.prefix).toStdString(), notAPrefix);
    request.demo = parser.isSet(line.demo);
    if (parser.isSet(line.view))
        request.views
            = parser.value(line.view) == QStringLiteral("32") ? MachineViews::Only32 : MachineViews::Only64;
    if (!notAPrefix.empty()) {
        std::cerr << "tidewell: " << notAPrefix << '\n';
        exitCode = 2;
        return nullptr;
    }
    if (parser.isSet(line.prefixes)) {
        exitCode = runPrefixesCommand(request.views, std::cout, std::cerr);
        return nullptr;
    }
    const std::string appFolder = paths::applicationFolder();
    const QString point = QLocale::system().decimalPoint();
    const char decimalSeparator = point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.';
    if (parser.isSet(line.list)) {
        exitCode = runListCommand(request, appFolder, decimalSeparator, std::cout, std::cerr);
        return nullptr;
    }
    if (parser.isSet(line.report)) {
        exitCode = runReportCommand(request, appFolder, parser.value(line.report).toStdString(),
            parser.isSet(line.longFormat), localeClock(), decimalSeparator, std::cerr);
        return nullptr;
    }
    if (parser.isSet(line.uninstall)) {
        UninstallOptions options;
        options.force = parser.isSet(line.force);
        if (parser.isSet(line.timeout))
            options.timeout = std::chrono::seconds(line.timeoutSeconds());
        exitCode = runUninstallCommand(request, appFolder, parser.value(line.uninstall).toStdString(),
            options, localeClock(), std::cout, std::cerr, ownersOf);
        return nullptr;
    }

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
