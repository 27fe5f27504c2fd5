// SPDX-License-Identifier: MIT
// The list as the scan fills it: which entries show, their icons, the image lists, the columns, and
// the icon change that writes DisplayIcon and fills the list again.
#include "ui/main/ProgramList.h"
#include "TestApplication.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ImageList.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTreeView>

using namespace tw;

namespace {

const QString kIcoFile = QStringLiteral(TIDEWELL_TEST_DATA "/wine/uninst-group103.ico");
const QString kExeFile = QStringLiteral(TIDEWELL_TEST_DATA "/wine/TidewellProbe.exe");

void copyInto(const QString& source, const QString& target)
{
    QVERIFY(QDir().mkpath(QFileInfo(target).absolutePath()));
    QVERIFY(QFile::copy(source, target));
}

QStringList keys(const ProgramList& list)
{
    QStringList shown;
    for (int i = 0; i < list.rowCount(); ++i)
        shown << QString::fromStdString(list.program(i).key);
    return shown;
}

// The large image a row shows; -1 for no such row.
int largeIconOf(const ProgramList& list, const char* key)
{
    const ProgramListModel& model = list.model();
    for (int i = 0; i < model.rowCount(); ++i) {
        if (model.row(i).program.key == key)
            return model.row(i).largeIcon;
    }
    return -1;
}

} // namespace

class ProgramListTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }

    void listsRemovableEntriesThatHaveANameAndACommand()
    {
        TestApplication test({
            { QStringLiteral("A"), QStringLiteral("Abacus Tools"), QStringLiteral("\"C:\\A\\un.exe\" /S") },
            TestEntry(QStringLiteral("B"), QStringLiteral("Hidden by NoRemove"), QStringLiteral("b.exe"))
                .withNoRemove(1),
            TestEntry(QStringLiteral("C"), QStringLiteral("NoRemove as text"), QStringLiteral("c.exe"))
                .withNoRemoveText(QStringLiteral("1")),
            { QStringLiteral("D"), QStringLiteral("No command"), QString() },
            { QStringLiteral("E"), QString(), QStringLiteral("e.exe") },
            TestEntry(QStringLiteral("F"), QStringLiteral("NoRemove 0"), QStringLiteral("f.exe"))
                .withNoRemove(0),
        });
        FrmMain& window = test.window();
        ProgramList& list = window.list();
        QCOMPARE(keys(list), QStringList({ QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("F") }));
        const QAbstractItemModel* shown = list.reportView()->model();
        QCOMPARE(shown->data(shown->index(0, ProgramListModel::UninstallCommand)).toString(),
            QStringLiteral("\"C:\\A\\un.exe\" /S"));
        QCOMPARE(list.selectedPosition(), std::optional<int>(0));
        QCOMPARE(window.statusText(), QStringLiteral("3 program(s) available for uninstall"));
        QVERIFY(test.messages.calls().isEmpty());
        // Outside the 98 family the usage columns show.
        QVERIFY(list.columnWidth(ProgramListModel::Size) > 0);
    }

    // The list keeps each row's source, which every command on the row acts on.
    void aRowKeepsItsSource()
    {
        ProgramListModel model;
        ProgramRow mine;
        mine.key = "A";
        mine.source = { kHKeyCurrentUser, false };
        ProgramRow machine32 = mine;
        machine32.source = { kHKeyLocalMachine, true };
        model.addRow(mine, 1, 1);
        model.addRow(machine32, 1, 1);
        QVERIFY(model.row(0).program.source == mine.source);
        QVERIFY(model.row(1).program.source == machine32.source);
        QCOMPARE(model.data(model.index(0, ProgramListModel::Source)).toString(), QStringLiteral("Per user"));
    }

    void anEmptyUninstallKeyGivesAnEmptyListWithItsViewChecked()
    {
        TestApplication test(
            { TestEntry(QStringLiteral("X"), QStringLiteral("Only hidden"), QStringLiteral("x.exe"))
                    .withNoRemove(1) });
        FrmMain& window = test.window();
        window.mnu_list_Click();
        window.mnu_refresh_Click();
        QCOMPARE(window.list().rowCount(), 0);
        QCOMPARE(window.list().selectedPosition(), std::nullopt);
        QCOMPARE(window.statusText(), QStringLiteral("0 program(s) available for uninstall"));
        QVERIFY(window.findChild<QAction*>(QStringLiteral("mnu_list"))->isChecked());
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblExclaim"))->text(), QString());
    }

    void imageListsHoldTheDefaultPictureAndOneImagePerLoadedIcon()
    {
        TestApplication test({
            { QStringLiteral("I1"), QStringLiteral("Icon file"), QStringLiteral("x.exe"),
                QStringLiteral("C:\\App\\app.ico") },
            { QStringLiteral("I2"), QStringLiteral("Quoted program"), QStringLiteral("x.exe"),
                QStringLiteral("\"C:\\App\\Probe.exe\",0") },
            { QStringLiteral("I3"), QStringLiteral("Missing file"), QStringLiteral("x.exe"),
                QStringLiteral("C:\\App\\gone.exe") },
            { QStringLiteral("I4"), QStringLiteral("No icon"), QStringLiteral("x.exe") },
            { QStringLiteral("I5"), QStringLiteral("Index not a number"), QStringLiteral("x.exe"),
                QStringLiteral("C:\\App\\probe.exe,main") },
        });
        copyInto(kIcoFile, test.folder() + QStringLiteral("/drive_c/App/app.ico"));
        copyInto(kExeFile, test.folder() + QStringLiteral("/drive_c/App/probe.exe"));
        FrmMain& window = test.window();
        QAbstractItemModelTester tester(
            &window.list().model(), QAbstractItemModelTester::FailureReportingMode::QtTest);

        for (int refresh = 0; refresh < 3; ++refresh) {
            window.mnu_refresh_Click();
            QCOMPARE(window.largeImages().count(), 3);
            QCOMPARE(window.smallImages().count(), 3);
        }
        const ProgramList& list = window.list();
        QCOMPARE(largeIconOf(list, "I1"), 2);
        QCOMPARE(largeIconOf(list, "I2"), 3);
        for (const char* key : { "I3", "I4", "I5" })
            QCOMPARE(largeIconOf(list, key), 1);
        // The loaded icon is the file's, not another copy of the default picture.
        QVERIFY(window.largeImages().image(2).toImage() != window.largeImages().image(1).toImage());
        // The views draw the row's own image: the small one in the report, the large one in large icons.
        const QAbstractItemModel* shown = list.reportView()->model();
        const QModelIndex first = shown->index(0, 0);
        QCOMPARE(shown->data(first, Qt::DecorationRole).value<QPixmap>().toImage(),
            window.smallImages().image(2).toImage());
        QCOMPARE(shown->data(first, ProgramListModel::LargeIconRole).value<QPixmap>().toImage(),
            window.largeImages().image(2).toImage());
    }

    void onThe98FamilyTheUsageColumnsHaveNoWidth()
    {
        TestApplication old({ { QStringLiteral("A"), QStringLiteral("Abacus"), QStringLiteral("a.exe") } },
            "Microsoft Windows 98 Second Edition");
        old.window().mnu_refresh_Click();
        for (int column :
            { ProgramListModel::Size, ProgramListModel::LastUsedOn, ProgramListModel::Frequency })
            QCOMPARE(old.window().list().columnWidth(column), 0);
    }

    void changeIconWritesTheChosenFileAsDisplayIcon_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("an icon file, as chosen")
            << QStringLiteral("C:\\Icons\\Tool.ICO") << QStringLiteral("C:\\Icons\\Tool.ICO");
        QTest::newRow("a program gets its first icon")
            << QStringLiteral("C:\\App\\app.exe") << QStringLiteral("C:\\App\\app.exe,0");
        QTest::newRow("only the last three characters count")
            << QStringLiteral("C:\\x.icon") << QStringLiteral("C:\\x.icon,0");
    }

    void changeIconWritesTheChosenFileAsDisplayIcon()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        TestApplication test({ { QStringLiteral("A"), QStringLiteral("Abacus"), QStringLiteral("a.exe") },
            { QStringLiteral("B"), QStringLiteral("Bravo"), QStringLiteral("b.exe") } });
        FrmMain& window = test.window();
        window.list().selectPosition(1);
        test.messages.answerOpenFile(chosen);

        window.findChild<QAction*>(QStringLiteral("mnu_ChangeIcon"))->trigger();

        QCOMPARE(test.value(QStringLiteral("B"), QStringLiteral("DisplayIcon")), written);
        QCOMPARE(test.value(QStringLiteral("A"), QStringLiteral("DisplayIcon")), QString());
        const auto& call = test.messages.calls().at(0);
        QCOMPARE(call.title, QStringLiteral("Please select an Icon or Exe file..."));
        QCOMPARE(call.filter, QStringLiteral("Application, Icons (*.exe, *.ico)|*.exe;*.ico"));
        // No C:\Program Files in this prefix: the dialog starts beside the registry file.
        QCOMPARE(QDir(call.dir), QDir(test.folder()));
        // The list was filled again: the first row is selected once more.
        QCOMPARE(window.list().selectedPosition(), std::optional<int>(0));
    }

    void changeIconInThePrefixWritesTheWindowsPathAndShowsTheIcon()
    {
        TestApplication test({ { QStringLiteral("A"), QStringLiteral("Abacus"), QStringLiteral("a.exe") } });
        const QString local = test.folder() + QStringLiteral("/drive_c/Program Files/Tool/tool.ico");
        copyInto(kIcoFile, local);
        FrmMain& window = test.window();
        test.messages.answerOpenFile(local);

        window.Mnu_ChangeIcon_Click();

        QCOMPARE(test.messages.calls().at(0).dir, test.folder() + QStringLiteral("/drive_c/Program Files"));
        QCOMPARE(test.value(QStringLiteral("A"), QStringLiteral("DisplayIcon")),
            QStringLiteral("C:\\Program Files\\Tool\\tool.ico"));
        QCOMPARE(window.largeImages().count(), 2);
        QCOMPARE(largeIconOf(window.list(), "A"), 2);
    }

    void changeIconWritesNothingWhenCancelledOrWithoutASelection()
    {
        TestApplication test({ { QStringLiteral("A"), QStringLiteral("Abacus"), QStringLiteral("a.exe"),
            QStringLiteral("C:\\old.ico") } });
        test.messages.answerOpenFile(QString());
        test.window().Mnu_ChangeIcon_Click();
        QCOMPARE(test.messages.calls().size(), 1);
        QCOMPARE(
            test.value(QStringLiteral("A"), QStringLiteral("DisplayIcon")), QStringLiteral("C:\\old.ico"));

        // The toolbar button runs the same handler; with no row there is no dialog at all.
        TestApplication empty({});
        empty.window().Toolbar1_ButtonClick(7);
        QVERIFY(empty.messages.calls().isEmpty());
    }
};

QTEST_MAIN(ProgramListTest)
#include "ProgramListTest.moc"
