// SPDX-License-Identifier: MIT
// File > Open Prefix over a fake home folder, from start-up to the list shown and the Wine used.
#include "ui/main/FrmOpenPrefix.h"
#include "../../prefixes/FakeHome.h"
#include "ScriptedMessageService.h"
#include "TestApplication.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>
#include <functional>

using namespace tw;

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A home with two bottles: Office, whose runner's Wine is there, and Games, whose is not.
class Home : public test::FakeHome
{
public:
    Home()
    {
        qputenv("HOME", QByteArray::fromStdString(home("")));
        for (const char* name : { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "WINEPREFIX", "WINE_PREFIXES",
                 "TIDEWELL_REGISTRY", "TIDEWELL_WINE" })
            qunsetenv(name);
        office = bottle(
            "Office", "Office Bottle", "kron-4", { QStringLiteral("Writer"), QStringLiteral("Sheets") });
        write("home/.local/share/bottles/runners/kron-4/bin/wine", "");
        games = bottle("Games", "Games", "lost-1", { QStringLiteral("Racer") });
        elsewhere = prefix("elsewhere");
        writeRegistry(q(elsewhere + "/system.reg"),
            { { QStringLiteral("E"), QStringLiteral("Else"), QStringLiteral("C:\\e.exe") } });
        // What an uninstaller leaves: the entries' key, empty.
        writeRegistry(q(path("start.reg")), {});
        std::ofstream(path("start.reg"), std::ios::app)
            << "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall] 1\n";
    }

    // A bottle listing `programs`, each uninstalled by C:\u.exe.
    std::string bottle(const std::string& folder, const std::string& name, const std::string& runner,
        const QStringList& programs)
    {
        const std::string rel = "home/.local/share/bottles/bottles/" + folder;
        write(rel + "/bottle.yml", "Name: " + name + "\nPath: " + folder + "\nRunner: " + runner + "\n");
        write(rel + "/drive_c/u.exe", "MZ");
        QList<TestEntry> entries;
        for (const QString& program : programs)
            entries.append({ program, program, QStringLiteral("C:\\u.exe") });
        writeRegistry(q(prefix(rel) + "/system.reg"), entries);
        return path(rel);
    }

    std::string office;
    std::string games;
    std::string elsewhere;
};

// Runs `act` on the Open Prefix dialog once File > Open Prefix has opened it (and closes it if `act`
// did not); false when it did not open.
bool openPrefixDialog(FrmMain& window, const std::function<void(FrmOpenPrefix&)>& act)
{
    QAction* item = window.findChild<QAction*>(QStringLiteral("mnu_OpenPrefix"));
    if (!item || !item->isVisible())
        return false;
    bool opened = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        QPointer<FrmOpenPrefix> dialog = qobject_cast<FrmOpenPrefix*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        opened = true;
        act(*dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    poll.start(10);
    item->trigger();
    return opened;
}

} // namespace

class FrmOpenPrefixTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choosingAPrefixReloadsTheWindowAndOpensAgainNextTime()
    {
        Home home;
        ScriptedMessageService messages;
        int exitCode = -1;
        const auto app
            = Main({ QStringLiteral("tidewell"), QStringLiteral("--registry"), q(home.path("start.reg")) },
                messages, exitCode);
        QVERIFY(app);
        FrmMain& window = *app->mainWindow;
        QVERIFY(openPrefixDialog(window, [&](FrmOpenPrefix& dialog) {
            auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("lstPrefixes"));
            QCOMPARE(list->topLevelItemCount(), 2);
            const auto row = [list](int i) {
                QStringList cells;
                for (int column = 0; column < 4; ++column)
                    cells << list->topLevelItem(i)->text(column);
                return cells.join(QLatin1Char('|'));
            };
            QCOMPARE(row(0), QStringLiteral("Bottles|Games|1|") + q(home.games));
            QCOMPARE(row(1), QStringLiteral("Bottles|Office Bottle|2|") + q(home.office));
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
        }));
        QCOMPARE(window.list().rowCount(), 2);
        QCOMPARE(window.statusText(), QStringLiteral("2 program(s) available for uninstall"));
        QCOMPARE(window.registryStatusText(),
            QStringLiteral("Wine prefix (Bottles: Office Bottle): ") + q(home.office));
        QCOMPARE(q(app->context.registryFile), q(home.office + "/system.reg"));
        QVERIFY(messages.calls().isEmpty());

        // Next time it opens before WINEPREFIX (which the dialog lists too), and the dialog starts on it.
        qputenv("WINEPREFIX", QByteArray::fromStdString(home.elsewhere));
        const auto next = Main({ QStringLiteral("tidewell") }, messages, exitCode);
        QVERIFY(next);
        QCOMPARE(q(next->context.registryFile), q(home.office + "/system.reg"));
        QVERIFY(openPrefixDialog(*next->mainWindow, [&](FrmOpenPrefix& dialog) {
            auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("lstPrefixes"));
            QCOMPARE(list->currentItem()->text(3), q(home.office));
            clickButton(&dialog, "CmdCancel");
        }));
        QCOMPARE(q(next->context.registryFile), q(home.office + "/system.reg"));
    }

    void browseOpensAnyPrefixAndSaysWhyAnotherFolderIsNone()
    {
        Home home;
        ScriptedMessageService messages;
        int exitCode = -1;
        const auto app
            = Main({ QStringLiteral("tidewell"), QStringLiteral("--registry"), q(home.path("start.reg")) },
                messages, exitCode);
        QVERIFY(app);
        messages.answerFolder(q(home.home("")));
        messages.answer(MsgButton::Ok);
        messages.answerFolder(q(home.elsewhere));
        QVERIFY(openPrefixDialog(*app->mainWindow, [](FrmOpenPrefix& dialog) {
            clickButton(&dialog, "CmdBrowse");
            QVERIFY(dialog.isVisible());
            clickButton(&dialog, "CmdBrowse");
            QVERIFY(!dialog.isVisible());
        }));
        QCOMPARE(messages.calls().size(), 3);
        QCOMPARE(messages.calls()[0].kind, ScriptedMessageService::CallKind::Folder);
        QVERIFY(messages.calls()[1].text.contains(QStringLiteral("has no registry (system.reg)")));
        QCOMPARE(app->mainWindow->list().rowCount(), 1);
        QCOMPARE(app->mainWindow->registryStatusText(), QStringLiteral("Wine prefix: ") + q(home.elsewhere));
    }

    // The system's Wine stands in for the bottle's missing one only with the user's yes.
    void theSystemsWineRunsInABottleOnlyWhenTheUserAgrees()
    {
        Home home;
        // The system's "wine": notes the start, and uninstalls by emptying the registry.
        home.write("bin/wine",
            "#!/bin/sh\necho \"$*\" > '" + home.path("ran") + "'\ncp '" + home.path("start.reg")
                + "' \"$WINEPREFIX/system.reg\"\n");
        std::filesystem::permissions(home.path("bin/wine"), std::filesystem::perms::owner_all);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(home.path("bin") + ":") + path);
        ScriptedMessageService messages;
        int exitCode = -1;
        const auto app
            = Main({ QStringLiteral("tidewell"), QStringLiteral("--prefix"), QStringLiteral("Games") },
                messages, exitCode);
        QVERIFY(app);
        FrmMain& window = *app->mainWindow;
        QCOMPARE(window.list().rowCount(), 1);

        messages.answer(MsgButton::No);
        window.Show_FormUninstall();
        QCOMPARE(messages.calls().size(), 1);
        QCOMPARE(messages.calls()[0].icon, MsgIcon::Question);
        QCOMPARE(messages.calls()[0].buttons.value(0), MsgButton::No); // the default
        QCOMPARE(messages.calls()[0].text,
            QStringLiteral("This prefix was made by Bottles with its own Wine (lost-1), which was not found. "
                           "Running the system's Wine in it may upgrade the prefix and break it for Bottles. "
                           "Use the system's Wine anyway?"));
        QVERIFY(!QFile::exists(q(home.path("ran"))));
        QCOMPARE(window.list().rowCount(), 1);

        messages.answer(MsgButton::Yes);
        window.Show_FormUninstall();
        qputenv("PATH", path);
        QCOMPARE(home.read("ran"), std::string("C:\\u.exe\n"));
        QCOMPARE(window.list().rowCount(), 0);
        QCOMPARE(messages.calls().size(), 2);
    }
};

QTEST_MAIN(FrmOpenPrefixTest)
#include "FrmOpenPrefixTest.moc"
