// SPDX-License-Identifier: MIT
#include "ui/entries/FrmEditEntry.h"
#include "TestApplication.h"
#include "inventory/Inventory.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ProgramList.h"

#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <algorithm>

using namespace tw;

namespace {

const QList<TestEntry> kEntries = {
    TestEntry(QStringLiteral("Probe"), QStringLiteral("Probe App"), QStringLiteral("C:\\probe\\uninst.exe"))
        .withNoRemove(0),
    { QStringLiteral("Other"), QStringLiteral("Other App"), QStringLiteral("C:\\other\\uninst.exe") },
};

// One open editor over a test registry, with the pieces the tests drive.
struct Editor
{
    explicit Editor(TestApplication& run, const QString& key = QStringLiteral("Probe"))
        : test(run)
    {
        ProgramRow row;
        row.key = key.toStdString();
        row.text = "Probe App";
        dialog = new FrmEditEntry(
            test.app().context, *test.app().session.registry, test.app().session.wineServer.get(),
            *test.app().messages, row,
            [this] {
                ++refreshes;
                if (refreshList)
                    this->test.window().mnu_refresh_Click();
            },
            &test.window());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        grid = dialog->findChild<QTableWidget*>(QStringLiteral("MSFEntries"));
        edit = dialog->findChild<QLineEdit*>(QStringLiteral("txtEdit"));
    }
    ~Editor() { delete dialog; }

    QString cell(int row, int column) const { return grid->item(row, column)->text(); }
    int rowOf(const QString& name) const
    {
        for (int r = 0; r < grid->rowCount(); ++r) {
            if (cell(r, 0) == name)
                return r;
        }
        return -1;
    }
    void click(int row, int column)
    {
        QTest::mouseClick(
            grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, column)).center());
    }
    // Opens the editor on a cell and types a new text over the old one.
    void type(int row, int column, const QString& text)
    {
        click(row, column);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void key(Qt::Key k) { QTest::keyClick(edit, k); }

    TestApplication& test;
    QPointer<FrmEditEntry> dialog;
    QTableWidget* grid = nullptr;
    QLineEdit* edit = nullptr;
    int refreshes = 0;
    bool refreshList = false;
};

} // namespace

class FrmEditEntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsEveryValueWithItsType()
    {
        TestApplication test(kEntries);
        Editor e(test);
        QVERIFY(e.dialog->isModal());
        auto* name = e.dialog->findChild<QLineEdit*>(QStringLiteral("TxtDName"));
        QCOMPARE(name->text(), QStringLiteral("Probe App"));
        QVERIFY(name->isReadOnly());
        QCOMPARE(e.grid->rowCount(), 3);
        const int noRemove = e.rowOf(QStringLiteral("NoRemove"));
        QCOMPARE(e.cell(noRemove, 1), QStringLiteral("0"));
        QCOMPARE(e.cell(noRemove, 2), QStringLiteral("REG_DWORD"));
        QCOMPARE(e.cell(e.rowOf(QStringLiteral("DisplayName")), 2), QStringLiteral("REG_SZ"));
        QVERIFY(!e.edit->isVisible());

        // A key that cannot be opened shows one empty row.
        Editor missing(test, QStringLiteral("Missing"));
        QCOMPARE(missing.grid->rowCount(), 1);
        QCOMPARE(missing.cell(0, 0), QString());
    }

    void theEditBoxOpensCommitsAndAbandonsByKeyFocusAndScrolling()
    {
        TestApplication test(kEntries);
        Editor e(test);
        const int last = e.grid->rowCount() - 1;

        // A click edits the cell's text from its start, in a box over the cell.
        e.click(0, 1);
        QVERIFY(e.edit->isVisible());
        QCOMPARE(e.edit->text(), e.cell(0, 1));
        QCOMPARE(e.edit->cursorPosition(), 0);
        const QRect cell = e.grid->visualItemRect(e.grid->item(0, 1));
        const QRect cellInDialog(e.grid->viewport()->mapTo(e.dialog, cell.topLeft()), cell.size());
        QVERIFY2(
            cellInDialog.adjusted(-2, -2, 2, 2).contains(e.edit->geometry()), "the box lies over the cell");

        // Escape leaves the cell as it was, and does not close the dialog.
        const QString before = e.cell(0, 1);
        QTest::keyClicks(e.edit, QStringLiteral("zz"));
        e.key(Qt::Key_Escape);
        QVERIFY(!e.edit->isVisible());
        QCOMPARE(e.cell(0, 1), before);
        QVERIFY(e.dialog->isVisible());
        QVERIFY(e.grid->hasFocus());

        // Enter stores the text, and does not press a button of the dialog.
        e.type(0, 1, QStringLiteral("first"));
        e.key(Qt::Key_Return);
        QCOMPARE(e.cell(0, 1), QStringLiteral("first"));
        QVERIFY(e.dialog->isVisible());

        // Up on the first row and Down on the last store the text and stay; Down elsewhere moves on.
        e.type(0, 1, QStringLiteral("up"));
        e.key(Qt::Key_Up);
        QCOMPARE(e.cell(0, 1), QStringLiteral("up"));
        QCOMPARE(e.grid->currentRow(), 0);
        e.type(last, 1, QStringLiteral("down"));
        e.key(Qt::Key_Down);
        QCOMPARE(e.cell(last, 1), QStringLiteral("down"));
        QCOMPARE(e.grid->currentRow(), last);
        e.type(0, 0, QStringLiteral("renamed"));
        e.key(Qt::Key_Down);
        QCOMPARE(e.cell(0, 0), QStringLiteral("renamed"));
        QCOMPARE(e.grid->currentRow(), 1);

        // Typing on the grid starts a new text with that character; Tab away stores it.
        QVERIFY(e.grid->hasFocus());
        QTest::keyClick(e.grid, Qt::Key_X);
        QVERIFY(e.edit->isVisible());
        QCOMPARE(e.edit->text(), QStringLiteral("x"));
        QCOMPARE(e.edit->cursorPosition(), 1);
        e.key(Qt::Key_Tab);
        QCOMPARE(e.cell(1, 0), QStringLiteral("x"));
        QVERIFY(!e.edit->isVisible());

        // Scrolling loses the edit.
        while (e.grid->verticalScrollBar()->maximum() == 0)
            clickButton(e.dialog, "CmdAdd");
        e.grid->scrollToTop();
        e.type(0, 1, QStringLiteral("lost"));
        e.grid->verticalScrollBar()->setValue(e.grid->verticalScrollBar()->maximum());
        QVERIFY(!e.edit->isVisible());
        QCOMPARE(e.cell(0, 1), QStringLiteral("up"));
    }

    void okWritesWhatChangedAndCancelNothing()
    {
        TestApplication test(kEntries);
        const QByteArray original = fileBytes(test.registryFile());
        {
            Editor e(test);
            e.type(e.rowOf(QStringLiteral("DisplayName")), 1, QStringLiteral("Changed"));
            clickButton(e.dialog, "CmdAdd");
            clickButton(e.dialog, "CmdCancel");
            QVERIFY(!e.dialog->isVisible());
            QCOMPARE(e.refreshes, 0);
        }
        QCOMPARE(fileBytes(test.registryFile()), original);
        {
            // An added row without a name writes nothing.
            Editor e(test);
            clickButton(e.dialog, "CmdAdd");
            clickButton(e.dialog, "CmdOk");
            QCOMPARE(e.refreshes, 1);
        }
        QCOMPARE(fileBytes(test.registryFile()), original);

        // A number that is no number keeps the dialog open and writes nothing at all.
        Editor e(test);
        const int noRemove = e.rowOf(QStringLiteral("NoRemove"));
        e.type(e.rowOf(QStringLiteral("DisplayName")), 1, QStringLiteral("  Spaced  "));
        e.type(noRemove, 1, QStringLiteral("yes"));
        test.messages.answer(MsgButton::Ok);
        clickButton(e.dialog, "CmdOk");
        QCOMPARE(test.messages.calls().size(), 1);
        QCOMPARE(test.messages.calls().front().text,
            QStringLiteral("The value \"NoRemove\" must be a whole number from -2147483648 to 4294967295."));
        QVERIFY(e.dialog->isVisible());
        QCOMPARE(e.grid->currentRow(), noRemove);
        QCOMPARE(fileBytes(test.registryFile()), original);

        e.type(noRemove, 1, QStringLiteral("7"));
        clickButton(e.dialog, "CmdOk");
        QCOMPARE(e.refreshes, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(!e.dialog, "the dialog is deleted when it closes");
        // The bytes of every type are the entry-values tests' concern; here that OK writes what was typed.
        QCOMPARE(
            test.value(QStringLiteral("Probe"), QStringLiteral("DisplayName")), QStringLiteral("Spaced  "));
        const auto values = entries::readEntryValues(
            *test.app().session.registryApi, kHKeyLocalMachine, std::string(kUninstallPath) + "Probe");
        QVERIFY(std::any_of(values.begin(), values.end(), [](const entries::EntryValue& v) {
            return v.type == kRegDword && v.data == std::vector<std::uint8_t>({ 7, 0, 0, 0 });
        }));
    }

    void deleteAsksFirstAndOkWithEveryNameClearedRemovesTheEntry()
    {
        TestApplication test(kEntries);
        Editor e(test);
        const int noRemove = e.rowOf(QStringLiteral("NoRemove"));
        e.click(noRemove, 0);
        test.messages.answer(MsgButton::No);
        clickButton(e.dialog, "CmdDelete");
        QCOMPARE(
            test.messages.calls().back().text, QStringLiteral("Are you sure you want to delete the value?"));
        QCOMPARE(test.messages.calls().back().icon, MsgIcon::Question);
        QCOMPARE(e.grid->rowCount(), 3);
        test.messages.answer(MsgButton::Yes);
        clickButton(e.dialog, "CmdDelete");
        QCOMPARE(e.grid->rowCount(), 2);
        QCOMPARE(e.rowOf(QStringLiteral("NoRemove")), -1);

        for (int r = 0; r < e.grid->rowCount(); ++r) {
            e.type(r, 0, QString());
            e.key(Qt::Key_Return);
        }
        FrmMain& window = test.window();
        QCOMPARE(window.list().rowCount(), 2);
        e.refreshList = true;
        clickButton(e.dialog, "CmdOk");
        RegKey key = 0;
        QCOMPARE(test.app().session.registryApi->RegOpenKeyA(
                     kHKeyLocalMachine, (std::string(kUninstallPath) + "Probe").c_str(), &key),
            kErrorFileNotFound);
        QCOMPARE(window.list().rowCount(), 1);
        QCOMPARE(window.list().text(0), QStringLiteral("Other App"));
    }
};

QTEST_MAIN(FrmEditEntryTest)
#include "FrmEditEntryTest.moc"
