// SPDX-License-Identifier: MIT
// A change the registry file does not take is said, naming the file and the reason, and nothing looks
// changed: the dialog stays open with what was typed, the list and the log stay as they were.
#include "TestApplication.h"
#include "inventory/Inventory.h"
#include "ui/entries/FrmDeleteEntry.h"
#include "ui/entries/FrmEditEntry.h"
#include "ui/entries/FrmNewEntry.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;

namespace {

const QList<TestEntry> kEntries
    = { { QStringLiteral("Probe"), QStringLiteral("Probe App"), QStringLiteral("C:\\probe\\uninst.exe") } };

bool run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A small file system of its own, filled to the last byte once the registry is in it.
struct FullFileSystem
{
    FullFileSystem()
    {
        mounted = run(QStringLiteral("mount"),
            { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                QStringLiteral("size=256k"), QStringLiteral("tmpfs"), dir.path() });
    }
    ~FullFileSystem()
    {
        if (mounted)
            run(QStringLiteral("umount"), { dir.path() });
    }
    void fill() const
    {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size() && filler.flush()) { }
    }

    QTemporaryDir dir;
    bool mounted = false;
};

// A file nobody may change, not even its owner or root, while the object lives.
struct Immutable
{
    explicit Immutable(QString file_)
        : file(std::move(file_))
        , set(run(QStringLiteral("chattr"), { QStringLiteral("+i"), file }))
    { }
    ~Immutable()
    {
        if (set)
            run(QStringLiteral("chattr"), { QStringLiteral("-i"), file });
    }
    QString file;
    bool set;
};

} // namespace

class WriteFailureTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newProgramOnAFullFileSystemKeepsWhatWasTyped()
    {
        FullFileSystem fs;
        if (!fs.mounted)
            QSKIP("cannot mount a small tmpfs here (needs root)");
        TestApplication test(kEntries, {}, fs.dir.path());
        fs.fill();
        const QByteArray before = fileBytes(test.registryFile());
        QPointer<FrmNewEntry> dialog = new FrmNewEntry(
            test.app().context, *test.app().session.registry, test.app().session.wineServer.get(),
            *test.app().messages, test.window().list(), [&w = test.window()] { w.mnu_refresh_Click(); },
            &test.window());
        dialog->show();
        dialog->findChild<QLineEdit*>(QStringLiteral("TxtRegName"))->setText(QStringLiteral("Fresh"));
        dialog->findChild<QLineEdit*>(QStringLiteral("TxtDiplayName"))->setText(QStringLiteral("Fresh App"));
        dialog->findChild<QLineEdit*>(QStringLiteral("TxtUninstallString"))->setText(QStringLiteral("f.exe"));
        test.messages.answer(MsgButton::Ok);
        clickButton(dialog, "CmdOk");

        const auto& said = test.messages.calls().last();
        QCOMPARE(said.icon, MsgIcon::Critical);
        QVERIFY2(
            said.text.contains(test.registryFile()) && said.text.contains(QStringLiteral("No space left")),
            qPrintable(said.text));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("TxtDiplayName"))->text(),
            QStringLiteral("Fresh App"));
        QCOMPARE(fileBytes(test.registryFile()), before);
        QCOMPARE(test.window().list().rowCount(), 1);
        dialog->close();
    }

    void anImmutableFileRefusesTheEditorDeleteAndChangeIcon()
    {
        TestApplication test(kEntries);
        Immutable frozen(test.registryFile());
        if (!frozen.set)
            QSKIP("chattr +i is not available on this file system");
        const QByteArray before = fileBytes(test.registryFile());
        FrmMain& w = test.window();
        w.list().selectPosition(0);
        const ProgramRow row = *w.list().selectedProgram();

        // The editor: OK says why, and the dialog stays open.
        QPointer<FrmEditEntry> editor = new FrmEditEntry(
            test.app().context, *test.app().session.registry, test.app().session.wineServer.get(),
            *test.app().messages, row, [] {}, &w);
        editor->show();
        auto* grid = editor->findChild<QTableWidget*>(QStringLiteral("MSFEntries"));
        grid->item(0, 1)->setText(QStringLiteral("Changed"));
        test.messages.answer(MsgButton::Ok);
        clickButton(editor, "CmdOk");
        QCOMPARE(test.messages.calls().last().icon, MsgIcon::Critical);
        QVERIFY(test.messages.calls().last().text.contains(test.registryFile()));
        QVERIFY(editor->isVisible());
        editor->close();

        // Delete From List: the entry stays, and no line claims it was deleted.
        QPointer<FrmDeleteEntry> remover = new FrmDeleteEntry(
            test.app().context, *test.app().session.registry, test.app().session.wineServer.get(),
            *test.app().messages, test.app().clock, row, [] {}, {}, &w);
        remover->show();
        test.messages.answer(MsgButton::Yes);
        test.messages.answer(MsgButton::Ok);
        clickButton(remover, "CmdDelete");
        QVERIFY(test.messages.calls().last().text.contains(test.registryFile()));
        QVERIFY(remover->isVisible());
        QCOMPARE(test.uninstallLog(), QString());
        remover->close();

        // Change Icon: said, and the list is not refreshed as if it had changed.
        test.messages.answerOpenFile(QStringLiteral(TIDEWELL_TEST_DATA "/wine/uninst-group103.ico"));
        test.messages.answer(MsgButton::Ok);
        w.Mnu_ChangeIcon_Click();
        QCOMPARE(test.messages.calls().last().icon, MsgIcon::Critical);
        QVERIFY(test.messages.calls().last().text.contains(test.registryFile()));

        QCOMPARE(fileBytes(test.registryFile()), before);
        QCOMPARE(test.value(QStringLiteral("Probe"), QStringLiteral("DisplayIcon")), QString());
    }
};

QTEST_MAIN(WriteFailureTest)
#include "WriteFailureTest.moc"
