// SPDX-License-Identifier: MIT
// Real installers in a real Wine prefix (made by make-prefix.sh, named in TIDEWELL_E2E_PREFIX): the
// window lists them with their icons, refuses to write while Wine runs, and uninstalls them through the
// same code as its commands, waiting for Wine to save its registry before it judges.
#include "RecordingDesktopService.h"
#include "ScriptedMessageService.h"
#include "TestApplication.h"
#include "app/ModMain.h"
#include "system/WineServer.h"
#include "ui/main/FrmMain.h"
#include "ui/main/MainActions.h"
#include "ui/main/ProgramList.h"
#include "ui/main/ProgramListModel.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tw;

namespace {

// Clicks `button` in the modal dialog `dialogName` as soon as it opens (the uninstall pumps events
// while it waits, so the dialog is looked for again and again).
void clickWhenOpen(const QString& dialogName, const QString& button)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, dialogName, button] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != dialogName)
            return;
        poll->stop();
        poll->deleteLater();
        QTest::mouseClick(modal->findChild<QPushButton*>(button), Qt::LeftButton);
    });
    poll->start(20);
}

} // namespace

class WinePrefixEndToEndTest : public QObject
{
    Q_OBJECT

private:
    QString m_prefix;
    ScriptedMessageService m_messages;
    RecordingDesktopService m_desktop;
    std::unique_ptr<Application> m_app;

    FrmMain& window() { return *m_app->mainWindow; }
    QByteArray registryFile(const char* name = "system.reg") const
    {
        QFile f(m_prefix + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The list's position of an entry, or -1.
    int positionOf(const std::string& key)
    {
        for (int i = 0; i < window().list().rowCount(); ++i) {
            if (window().list().program(i).key == key)
                return i;
        }
        return -1;
    }
    bool hasRealIcon(const std::string& key)
    {
        const ProgramListModel& model = window().list().model();
        for (int i = 0; i < model.rowCount(); ++i) {
            if (model.row(i).program.key == key)
                return model.row(i).largeIcon > 1 && model.row(i).smallIcon > 1;
        }
        return false;
    }
    bool waitForServer(bool running)
    {
        QElapsedTimer t;
        t.start();
        while (m_app->session.wineServer->running() != running && t.elapsed() < 20000)
            QTest::qWait(50);
        return m_app->session.wineServer->running() == running;
    }
    void uninstall(const std::string& key)
    {
        const int position = positionOf(key);
        QVERIFY(position >= 0);
        window().list().selectPosition(position);
        window().Show_FormUninstall();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_prefix = qEnvironmentVariable("TIDEWELL_E2E_PREFIX");
        if (m_prefix.isEmpty())
            QSKIP("no prefix: run tests/wine/e2e.sh");
        int exitCode = 0;
        m_app = Main({ QStringLiteral("tidewell"), QStringLiteral("--prefix"), m_prefix }, m_messages,
            exitCode, &m_desktop);
        QVERIFY(m_app);
        QVERIFY(m_app->session.wineServer);
    }

    void listsTheInstalledProgramsWithTheirIcons()
    {
        QVERIFY(positionOf("TidewellE2ERemoves") >= 0);
        QVERIFY(positionOf("TidewellE2ELeaves") >= 0);
        // Both views of the machine and the user's entries, as Windows lists them.
        QVERIFY(positionOf("TidewellE2E32") > positionOf("TidewellE2ELeaves"));
        QVERIFY(positionOf("TidewellE2EUser") > positionOf("TidewellE2E32"));
        QCOMPARE(window().list().program(positionOf("TidewellE2EUser")).source.root, kHKeyCurrentUser);
        QVERIFY(hasRealIcon("TidewellE2ERemoves")); // from uninst.exe's icon group
        QVERIFY(hasRealIcon("TidewellE2ELeaves")); // from an .ico file
        QCOMPARE(window().registryStatusText(), QStringLiteral("Wine prefix: ") + m_prefix);
    }

    void aWriteWhileWineRunsIsRefusedAndNothingIsLost()
    {
        QProcess server;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("WINEPREFIX"), m_prefix);
        server.setProcessEnvironment(env);
        server.start(QStringLiteral("wineserver"), { QStringLiteral("-p") });
        QVERIFY(server.waitForFinished(10000));
        QVERIFY(waitForServer(true));
        window().updateRegistryStatus();
        QVERIFY(window().registryStatusText().startsWith(QStringLiteral("Wine is running")));

        const QByteArray before = registryFile();
        m_messages.answer(MsgButton::Ok);
        QTimer::singleShot(0, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            dialog->findChild<QLineEdit*>(QStringLiteral("TxtRegName"))
                ->setText(QStringLiteral("TidewellNew"));
            dialog->findChild<QLineEdit*>(QStringLiteral("TxtDiplayName"))->setText(QStringLiteral("New"));
            dialog->findChild<QLineEdit*>(QStringLiteral("TxtUninstallString"))
                ->setText(QStringLiteral("x.exe"));
            clickButton(dialog, "CmdOk");
            if (QApplication::activeModalWidget() == dialog)
                dialog->close();
        });
        window().mnu_NewPrg_Click();
        QCOMPARE(m_messages.calls().size(), 1);
        QVERIFY(m_messages.calls().at(0).text.contains(QStringLiteral("are running")));
        QCOMPARE(registryFile(), before);

        QProcess::execute(QStringLiteral("wineserver"), { QStringLiteral("-k") });
        QVERIFY(waitForServer(false));
        QCOMPARE(registryFile(), before); // Wine saved what it had: nothing of ours was lost either way
        QCOMPARE(positionOf("TidewellNew"), -1);
    }

    void anUninstallerThatRemovesItsEntryIsJudgedOnceWineHasSaved()
    {
        uninstall("TidewellE2ERemoves");
        QCOMPARE(positionOf("TidewellE2ERemoves"), -1);
        QVERIFY(!registryFile().contains("TidewellE2ERemoves"));
        QVERIFY(!m_app->session.wineServer->running());
    }

    void anEntryLeftBehindIsCleanedUp()
    {
        clickWhenOpen(QStringLiteral("FrmUninstaller"), QStringLiteral("CmdUninstall"));
        uninstall("TidewellE2ELeaves");
        QCOMPARE(positionOf("TidewellE2ELeaves"), -1);
        QVERIFY(!registryFile().contains("TidewellE2ELeaves"));
    }

    void theThirtyTwoBitAndThePerUserEntriesAreUninstalledFromTheOneList()
    {
        for (const char* key : { "TidewellE2E32", "TidewellE2EUser" }) {
            QVERIFY(hasRealIcon(key));
            uninstall(key);
            QCOMPARE(positionOf(key), -1);
        }
        QVERIFY(!registryFile().contains("TidewellE2E32"));
        QVERIFY(!registryFile("user.reg").contains("TidewellE2EUser"));
        window().findChild<QAction*>(QStringLiteral("mnu_View32"))->trigger();
        QVERIFY(window().registryStatusText().endsWith(QStringLiteral("(32-bit programs)")));
        QCOMPARE(m_messages.unexpectedCalls(), 0);
    }

    void cleanupTestCase() { m_app.reset(); }
};

QTEST_MAIN(WinePrefixEndToEndTest)
#include "WinePrefixEndToEndTest.moc"
