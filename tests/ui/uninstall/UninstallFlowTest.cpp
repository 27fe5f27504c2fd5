// SPDX-License-Identifier: MIT
// Uninstalling from the main window with real processes, and the clean-up dialog.
#include "TestApplication.h"
#include "registry/Registry.h"
#include "ui/QtErrorReporter.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"
#include "uninstall/FrmUninstaller.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tw;

namespace {

const QString kStart = QStringLiteral("06/12/2026 10:00:00\r\nUninstalling Probe App\r\n");
const QString kNotRemoved
    = QStringLiteral("Uninstall Not Successful. Program was not removed from the list.\r\n");

QString readLog(TestApplication& test)
{
    QFile f(test.folder() + QStringLiteral("/UnLog.log"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll());
}

// A registry whose one entry uninstalls with the stand-in uninstaller in `mode`.
struct Fixture
{
    explicit Fixture(const std::string& mode)
        : test({ { QStringLiteral("Probe"), QStringLiteral("Probe App"), QStringLiteral("placeholder.exe") },
            { QStringLiteral("Zeta"), QStringLiteral("Zeta"), QStringLiteral("z.exe") } })
    {
        test.app().registry->SaveString(kHKeyLocalMachine, kPath, "UninstallString",
            "\"" TIDEWELL_TEST_UNINSTALLER "\" " + mode + " \"" + test.registryFile().toStdString()
                + "\" Probe");
        test.app().registry->SaveString(kHKeyLocalMachine, kPath + "\\Sub", "x", "y");
        test.window().mnu_refresh_Click();
        test.window().list().selectPosition(0);
    }
    static inline const std::string kPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Probe";
    TestApplication test;
};

} // namespace

class UninstallFlowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anUninstallerThatRemovesItsEntryGivesOkAndARebuiltList()
    {
        Fixture f("remove");
        // The stand-in deletes the key, which must have no subkeys for that.
        f.test.app().registry->DeleteKey(kHKeyLocalMachine, Fixture::kPath + "\\Sub");
        f.test.window().Show_FormUninstall();
        QCOMPARE(readLog(f.test),
            kStart + QStringLiteral("Uninstall OK. Uninstaller removed program from the list.\r\n"));
        QCOMPARE(f.test.window().list().rowCount(), 1);
        QVERIFY(f.test.messages.calls().isEmpty());
    }

    void aLeftEntryOpensTheCleanUpWhichRemovesItWithItsSubkeys()
    {
        Fixture f("leave");
        QString shownName;
        QString explanation;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            shownName = dialog->findChild<QLineEdit*>(QStringLiteral("TxtDName"))->text();
            explanation = dialog->findChild<QLabel*>(QStringLiteral("lblMessage1"))->text();
            QTest::mouseClick(
                dialog->findChild<QPushButton*>(QStringLiteral("CmdUninstall")), Qt::LeftButton);
        });
        f.test.window().Show_FormUninstall();
        QCOMPARE(shownName, QStringLiteral("Probe App"));
        QCOMPARE(explanation,
            QStringLiteral(
                "Tidewell has found that the program was not removed.\r\n\r\nThe reason of this could be "
                "that "
                "you did not Uninstall the program.\r\n\r\nPress the CLEAN-UP button to force the removal of "
                "the program from the list."));
        QCOMPARE(readLog(f.test),
            kStart + kNotRemoved
                + QStringLiteral(
                    "Uninstall Not Successful. Force the removal of the program from the list.\r\n"));
        QCOMPARE(f.test.window().list().rowCount(), 1);
        QCOMPARE(f.test.value(QStringLiteral("Probe"), QStringLiteral("DisplayName")), QString());
    }

    void cancelLogsTheAbortAndTheCloseBoxNothing()
    {
        Fixture f("leave");
        QTimer::singleShot(0, [] {
            QTest::mouseClick(
                QApplication::activeModalWidget()->findChild<QPushButton*>(QStringLiteral("CmdCancel")),
                Qt::LeftButton);
        });
        f.test.window().Show_FormUninstall();
        QCOMPARE(readLog(f.test), kStart + kNotRemoved + QStringLiteral("Aborted by the user.\r\n"));
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        f.test.window().Show_FormUninstall();
        QCOMPARE(readLog(f.test),
            kStart + kNotRemoved + QStringLiteral("Aborted by the user.\r\n\r\n") + kStart + kNotRemoved);
        QCOMPARE(f.test.window().list().rowCount(), 2);
    }

    void aCommandThatCannotStartIsReportedAndNothingElseHappens()
    {
        Fixture f("leave");
        f.test.app().registry->SaveString(
            kHKeyLocalMachine, Fixture::kPath, "UninstallString", "\"C:\\nowhere\\u.exe\" /S");
        f.test.window().mnu_refresh_Click();
        f.test.window().list().selectPosition(0);
        QtErrorReporter reporter(f.test.messages);
        setErrorReporter(&reporter);
        f.test.messages.answer(MsgButton::Retry);
        f.test.messages.answer(MsgButton::Ignore);
        f.test.window().Show_FormUninstall();
        setErrorReporter(nullptr);
        QCOMPARE(f.test.messages.calls().size(), 2);
        QVERIFY(f.test.messages.calls()[0].text.contains(QStringLiteral("\r\nin Show_FormUninstall\r\n")));
        QCOMPARE(readLog(f.test), kStart);
    }

    void withNoSelectionNothingIsLoggedOrStarted()
    {
        TestApplication test({ { QStringLiteral("NoCommand"), QStringLiteral("No Command"), QString() } });
        QCOMPARE(test.window().list().rowCount(), 0);
        test.window().Show_FormUninstall();
        QCOMPARE(readLog(test), QString());
    }
};

QTEST_MAIN(UninstallFlowTest)
#include "UninstallFlowTest.moc"
