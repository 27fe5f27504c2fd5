// SPDX-License-Identifier: MIT
// Delete from list: the warning, the second question, the deletion with its log lines, or the uninstaller.
#include "ui/entries/FrmDeleteEntry.h"
#include "TestApplication.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tw;

namespace { } // namespace

class FrmDeleteEntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theWarningHasItsFiveLines()
    {
        QCOMPARE(FrmDeleteEntry::warning(QStringLiteral("The \"Big\" Tool")),
            QStringLiteral(
                "Are you sure you want to delete \"The \"Big\" Tool\" from the list of programs installed in "
                "your computer?\r\n\r\n WARNING: You should only delete the entries for programs that you "
                "know for sure that are no longer on your computer. If the program is still on the computer "
                "and you delete it from the list, you may not be able to uninstall it later.\r\n\r\n To "
                "check "
                "if the program is really not on you computer,  Please try to uninstall it first."));
    }

    void noKeepsEverythingAndYesDeletesTheEntryWithItsSubkeys()
    {
        TestApplication test({ { QStringLiteral("Old"), QStringLiteral("Old Tool"), QStringLiteral("o.exe") },
            { QStringLiteral("Other"), QStringLiteral("Other"), QStringLiteral("x.exe") } });
        test.app().session.registry->SaveString(
            kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Old\\Sub", "x", "y");
        FrmMain& w = test.window();
        w.list().selectPosition(0);
        QPointer<FrmDeleteEntry> dialog = new FrmDeleteEntry(
            test.app().context, *test.app().session.registry, test.app().session.wineServer.get(),
            *test.app().messages, test.app().clock, *w.list().selectedProgram(),
            [&w] { w.mnu_refresh_Click(); }, {}, &w);
        dialog->show();
        QCOMPARE(
            dialog->findChild<QLineEdit*>(QStringLiteral("TxtDName"))->text(), QStringLiteral("Old Tool"));

        test.messages.answer(MsgButton::No);
        clickButton(dialog, "CmdDelete");
        QCOMPARE(test.messages.calls().last().text,
            QStringLiteral("Are you sure you want to delete the program?"));
        QCOMPARE(test.messages.calls().last().icon, MsgIcon::Question);
        QVERIFY(dialog->isVisible());
        QCOMPARE(test.uninstallLog(), QString());

        test.messages.answer(MsgButton::Yes);
        clickButton(dialog, "CmdDelete");
        QTRY_VERIFY(dialog.isNull() || !dialog->isVisible());
        QCOMPARE(
            test.uninstallLog(), QStringLiteral("06/12/2026 10:00:00\r\nDeleted Entry for Old Tool\r\n"));
        QCOMPARE(w.list().rowCount(), 1);
        QCOMPARE(test.value(QStringLiteral("Old"), QStringLiteral("DisplayName")), QString());
    }

    void anEntryThatCannotBeDeletedIsReportedAndNotLogged()
    {
        TestApplication test(
            { { QStringLiteral("Old"), QStringLiteral("Old Tool"), QStringLiteral("o.exe") } });
        FrmMain& w = test.window();
        w.list().selectPosition(0);
        QPointer<FrmDeleteEntry> dialog = new FrmDeleteEntry(
            test.app().context, *test.app().session.registry, test.app().session.wineServer.get(),
            *test.app().messages, test.app().clock, *w.list().selectedProgram(),
            [&w] { w.mnu_refresh_Click(); }, {}, &w);
        dialog->show();
        // Another program damages the file: nothing may be written over it.
        {
            QFile f(test.registryFile());
            QVERIFY(f.open(QIODevice::Append));
            f.write("garbage line\n");
        }
        test.messages.answer(MsgButton::Yes);
        test.messages.answer(MsgButton::Ok);
        clickButton(dialog, "CmdDelete");
        QCOMPARE(test.messages.calls().last().icon, MsgIcon::Critical);
        QVERIFY(test.messages.calls().last().text.startsWith(
            QStringLiteral("Error occurred Delete Entry Delete: \r\n")));
        QVERIFY(dialog->isVisible());
        QCOMPARE(test.uninstallLog(), QString());
        dialog->close();
    }

    void uninstallClosesTheDialogAndRunsTheUninstallerOfTheSameEntry()
    {
        TestApplication test({ { QStringLiteral("Probe"), QStringLiteral("Probe App"), QString() } });
        test.app().session.registry->SaveString(kHKeyLocalMachine,
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Probe", "UninstallString",
            "\"" TIDEWELL_TEST_UNINSTALLER "\" remove \"" + test.registryFile().toStdString() + "\" Probe");
        FrmMain& w = test.window();
        w.mnu_refresh_Click();
        w.list().selectPosition(0);
        QTimer::singleShot(0, [] { clickButton(QApplication::activeModalWidget(), "CmdUnInstall"); });
        w.Delete_Entry_Click();
        QCOMPARE(test.uninstallLog(),
            QStringLiteral(
                "06/12/2026 10:00:00\r\nUninstalling Probe App\r\nUninstall OK. Uninstaller removed "
                "program from the list.\r\n"));
        QCOMPARE(w.list().rowCount(), 0);
    }
};

QTEST_MAIN(FrmDeleteEntryTest)
#include "FrmDeleteEntryTest.moc"
