// SPDX-License-Identifier: MIT
// Uninstalling from the main window with real processes, and the clean-up dialog.
#include "TestApplication.h"
#include "registry/Registry.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"
#include "ui/uninstall/FrmUninstallWait.h"
#include "ui/uninstall/FrmUninstaller.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tw;

namespace {

const QString kStart = QStringLiteral("06/12/2026 10:00:00\r\nUninstalling Probe App\r\n");
const QString kNotRemoved
    = QStringLiteral("Uninstall Not Successful. Program was not removed from the list.\r\n");
const QString kAborted = QStringLiteral("Aborted by the user.\r\n");

// A registry whose one entry uninstalls with the stand-in uninstaller in `mode`.
struct Fixture
{
    explicit Fixture(const std::string& mode)
        : test({ { QStringLiteral("Probe"), QStringLiteral("Probe App"), QStringLiteral("placeholder.exe") },
            { QStringLiteral("Zeta"), QStringLiteral("Zeta"), QStringLiteral("z.exe") } })
    {
        test.app().session.registry->SaveString(kHKeyLocalMachine, kPath, "UninstallString",
            "\"" TIDEWELL_TEST_UNINSTALLER "\" " + mode + " \"" + test.registryFile().toStdString()
                + "\" Probe");
        // The stand-in can only delete a key without subkeys.
        if (mode != "remove")
            test.app().session.registry->SaveString(kHKeyLocalMachine, kPath + "\\Sub", "x", "y");
        test.window().mnu_refresh_Click();
        test.window().list().selectPosition(0);
    }
    static inline const std::string kPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Probe";
    TestApplication test;
};

// Acts on a dialog once it is open. The wait for the uninstaller lets timers run, so a single shot could
// come before the dialog; this one looks again until the dialog is there.
template<class Dialog = FrmUninstaller> void whenOpens(const std::function<void(QWidget*)>& act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start(10);
}
const auto whenCleanUpOpens = whenOpens<FrmUninstaller>;

} // namespace

// The verdicts themselves, the hand-off child and a command that cannot start are covered with the same
// run in UninstallRunTest; here what the window and the clean-up dialog make of them.
class UninstallFlowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anUninstallerThatRemovesItsEntryGivesOkAndARebuiltList()
    {
        Fixture f("remove");
        f.test.window().Show_FormUninstall();
        QCOMPARE(f.test.uninstallLog(),
            kStart + QStringLiteral("Uninstall OK. Uninstaller removed program from the list.\r\n"));
        QCOMPARE(f.test.window().list().rowCount(), 1);
        QVERIFY(f.test.messages.calls().isEmpty());
    }

    void aLeftEntryOpensTheCleanUpWhichRemovesItWithItsSubkeys()
    {
        Fixture f("leave");
        QString shownName;
        QString explanation;
        whenCleanUpOpens([&](QWidget* dialog) {
            shownName = dialog->findChild<QLineEdit*>(QStringLiteral("TxtDName"))->text();
            explanation = dialog->findChild<QLabel*>(QStringLiteral("lblMessage1"))->text();
            clickButton(dialog, "CmdUninstall");
        });
        f.test.window().Show_FormUninstall();
        QCOMPARE(shownName, QStringLiteral("Probe App"));
        QCOMPARE(explanation,
            QStringLiteral(
                "Tidewell has found that the program was not removed.\r\n\r\nThe reason of this could "
                "be that you did not Uninstall the program.\r\n\r\nPress the CLEAN-UP button to force "
                "the removal of the program from the list."));
        QCOMPARE(f.test.uninstallLog(),
            kStart + kNotRemoved
                + QStringLiteral(
                    "Uninstall Not Successful. Force the removal of the program from the list.\r\n"));
        QCOMPARE(f.test.window().list().rowCount(), 1);
        QCOMPARE(f.test.value(QStringLiteral("Probe"), QStringLiteral("DisplayName")), QString());
    }

    void cancelLogsTheAbortAndTheCloseBoxNothing()
    {
        Fixture f("leave");
        whenCleanUpOpens([](QWidget* dialog) { clickButton(dialog, "CmdCancel"); });
        f.test.window().Show_FormUninstall();
        QCOMPARE(f.test.uninstallLog(), kStart + kNotRemoved + kAborted);
        whenCleanUpOpens([](QWidget* dialog) { dialog->close(); });
        f.test.window().Show_FormUninstall();
        QCOMPARE(f.test.uninstallLog(),
            kStart + kNotRemoved + kAborted + QStringLiteral("\r\n") + kStart + kNotRemoved);
        QCOMPARE(f.test.window().list().rowCount(), 2);
    }

    void aCleanUpThatCannotDeleteTellsTheUserLogsNothingAndStaysOpen()
    {
        Fixture f("leave");
        QByteArray damaged;
        bool stillOpen = false;
        whenCleanUpOpens([&](QWidget* dialog) {
            // Another program damages the file: nothing may be written over it.
            {
                QFile file(f.test.registryFile());
                QVERIFY(file.open(QIODevice::Append));
                file.write("garbage line\n");
            }
            damaged = fileBytes(f.test.registryFile());
            f.test.messages.answer(MsgButton::Ok);
            clickButton(dialog, "CmdUninstall");
            stillOpen = dialog->isVisible();
            dialog->close();
        });
        f.test.window().Show_FormUninstall();
        QVERIFY(stillOpen);
        QCOMPARE(f.test.messages.calls().size(), 1);
        QCOMPARE(f.test.messages.calls().last().text,
            QStringLiteral("The entry \"Probe\" could not be removed from the registry."));
        QCOMPARE(f.test.uninstallLog(), kStart + kNotRemoved);
        QCOMPARE(fileBytes(f.test.registryFile()), damaged);
    }

    // A hung uninstaller no longer hangs the window: Cancel asks before anything is ended, and the
    // verdict follows as usual.
    void cancelOnTheWaitAsksWhetherToEndTheUninstaller()
    {
        Fixture f("sleep 30000");
        f.test.messages.answer(MsgButton::Yes);
        whenOpens<FrmUninstallWait>([](QWidget* dialog) { clickButton(dialog, "cmdCancel"); });
        whenCleanUpOpens([](QWidget* dialog) { clickButton(dialog, "CmdCancel"); });
        QElapsedTimer timer;
        timer.start();
        f.test.window().Show_FormUninstall();
        QVERIFY(timer.elapsed() < 20000);
        QCOMPARE(f.test.messages.calls().size(), 1);
        QCOMPARE(f.test.messages.calls()[0].buttons,
            (MsgButtons { MsgButton::No, MsgButton::Yes, MsgButton::Cancel }));
        QVERIFY(f.test.messages.calls()[0].text.startsWith(
            QStringLiteral("The uninstaller of Probe App is still running. Do you want to end it?")));
        QCOMPARE(f.test.uninstallLog(),
            kStart + QStringLiteral("Wait ended by the user. The uninstaller's process was ended.\r\n")
                + kNotRemoved + kAborted);
    }

    // Every line of the uninstall and of its clean-up is lost: the user hears of it once.
    void aLogThatCannotBeWrittenIsOneMessage()
    {
        Fixture f("leave");
        f.test.app().context.logPath = (f.test.folder() + QStringLiteral("/missing/UnLog.log")).toStdString();
        f.test.messages.answer(MsgButton::Ok);
        whenCleanUpOpens([](QWidget* dialog) { clickButton(dialog, "CmdCancel"); });
        f.test.window().Show_FormUninstall();
        QCOMPARE(f.test.messages.calls().size(), 1);
        QCOMPARE(f.test.messages.calls()[0].text,
            QStringLiteral(
                "The uninstall log %1/missing/UnLog.log could not be written, so this uninstall is not "
                "recorded in it.")
                .arg(f.test.folder()));
    }

    void withNoSelectionNothingIsLoggedOrStarted()
    {
        TestApplication test({ { QStringLiteral("NoCommand"), QStringLiteral("No Command"), QString() } });
        QCOMPARE(test.window().list().rowCount(), 0);
        test.window().Show_FormUninstall();
        QCOMPARE(test.uninstallLog(), QString());
    }
};

QTEST_MAIN(UninstallFlowTest)
#include "UninstallFlowTest.moc"
