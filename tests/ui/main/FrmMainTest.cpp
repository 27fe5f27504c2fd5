// SPDX-License-Identifier: MIT
#include "ui/main/FrmMain.h"
#include "TestApplication.h"
#include "ui/main/ProgramList.h"
#include "ui/uninstall/FrmUninstallLog.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace tw;

namespace {

const QList<TestEntry> kThreePrograms = {
    { QStringLiteral("K1"), QStringLiteral("Bravo"), QStringLiteral("C:\\b\\uninst.exe /x") },
    { QStringLiteral("K2"), QStringLiteral("alpha"), QStringLiteral("C:\\a\\uninst.exe") },
    { QStringLiteral("K3"), QStringLiteral("Charlie"), QStringLiteral("A:\\c.exe") },
};

// The names in the order shown, joined by commas.
QString shownNames(const ProgramList& list)
{
    QStringList names;
    for (int i = 0; i < list.rowCount(); ++i)
        names << list.text(i);
    return names.join(QLatin1Char(','));
}

QStringList checkedViewItems(const FrmMain& window)
{
    QStringList checked;
    for (const char* name : { "mnu_LargeIcons", "mnu_SmllIcons", "mnu_list", "mnu_details" }) {
        if (window.findChild<QAction*>(QLatin1String(name))->isChecked())
            checked << QLatin1String(name);
    }
    return checked;
}

void clickHeader(ProgramList& list, int column)
{
    QHeaderView* header = list.reportView()->header();
    const QPoint at(
        header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void showAndWait(QWidget& window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

// Where a control lies in the client area below the menu bar, in pixels.
QRect inClient(const FrmMain& window, const QWidget* control)
{
    const QPoint topLeft = control->mapTo(&window, QPoint(0, 0)) - QPoint(0, window.menuBar()->height());
    return QRect(topLeft, control->size());
}

} // namespace

class FrmMainTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }

    void aFixedCentredFrameWhoseListFillsTheClientArea()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY2(flags.testFlag(Qt::CustomizeWindowHint), "without it the platform adds a maximize button");
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        showAndWait(window);
        QCOMPARE(window.frameGeometry().center(), window.screen()->availableGeometry().center());
        QCOMPARE(test.messages.calls().size(), 0);

        // The list reaches the right edge and the status bar; the side panel is as tall.
        auto* list = window.findChild<ProgramList*>(QStringLiteral("lstview"));
        auto* status = window.findChild<QStatusBar*>(QStringLiteral("StatusBar"));
        const QRect listAt = inClient(window, list);
        QVERIFY(qAbs(listAt.right() + 1 - window.width()) <= 1);
        QVERIFY(qAbs(listAt.bottom() + 1 - inClient(window, status).top()) <= 1);
        QCOMPARE(inClient(window, window.findChild<QWidget*>(QStringLiteral("picSideMenu"))).height(),
            listAt.height());

        // Minimizing and restoring moves nothing.
        window.showMinimized();
        window.showNormal();
        QCOMPARE(inClient(window, list), listAt);
    }

    void toolbarButtonsCarryTheIndexTheirHandlerExpects()
    {
        TestApplication test({});
        const QList<QAction*> buttons
            = test.window().findChild<QToolBar*>(QStringLiteral("Toolbar1"))->actions();
        QCOMPARE(buttons.size(), 15);
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i]->data().toInt(), i + 1);
            QCOMPARE(buttons[i]->isSeparator(), i % 2 == 1);
        }
    }

    void viewCommandsLeaveExactlyTheirItemChecked()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        ProgramList& list = window.list();
        QCOMPARE(list.view(), int(ProgramList::Report));
        QCOMPARE(checkedViewItems(window), QStringList { QStringLiteral("mnu_details") });

        const struct
        {
            const char* item;
            int view;
        } commands[] = { { "mnu_SmllIcons", 1 }, { "mnu_LargeIcons", 0 }, { "mnu_list", 2 },
            { "mnu_LargeIcons", 0 }, { "mnu_LargeIcons", 0 }, { "mnu_details", 3 } };
        for (const auto& command : commands) {
            window.findChild<QAction*>(QLatin1String(command.item))->trigger();
            QCOMPARE(list.view(), command.view);
            QCOMPARE(checkedViewItems(window), QStringList { QLatin1String(command.item) });
        }
        // The row stays selected whichever view shows it.
        window.mnu_list_Click();
        QCOMPARE(list.selectedProgram()->key, std::string("K1"));
        // A refresh keeps the view it started in.
        window.mnu_SmllIcons_Click();
        window.mnu_refresh_Click();
        QCOMPARE(list.view(), int(ProgramList::SmallIcons));
        QCOMPARE(checkedViewItems(window), QStringList { QStringLiteral("mnu_SmllIcons") });
        QVERIFY(list.isVisibleTo(&window));
    }

    void headerClicksSortByAColumnAndReverseIt()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        showAndWait(window);
        ProgramList& list = window.list();
        QCOMPARE(shownNames(list), QStringLiteral("Bravo,alpha,Charlie"));

        // The remembered column starts at Display Name, so the first click there reverses the order.
        clickHeader(list, ProgramListModel::DisplayName);
        QCOMPARE(list.sortOrder(), Qt::DescendingOrder);
        QCOMPARE(shownNames(list), QStringLiteral("Charlie,Bravo,alpha"));
        clickHeader(list, ProgramListModel::DisplayName);

        // Another column keeps the direction. Commands sort as text.
        clickHeader(list, ProgramListModel::UninstallCommand);
        QCOMPARE(list.sortOrder(), Qt::AscendingOrder);
        QCOMPARE(shownNames(list), QStringLiteral("Charlie,alpha,Bravo"));

        // A rebuilt list comes up in the same order, with its top row selected.
        window.mnu_refresh_Click();
        QCOMPARE(shownNames(list), QStringLiteral("Charlie,alpha,Bravo"));
        QCOMPARE(list.selectedPosition(), std::optional<int>(0));
    }

    void theSelectionLabelNamesTheRowExactly()
    {
        TestApplication test(
            { { QStringLiteral("K"), QStringLiteral("  Spaced  Name "), QStringLiteral("x.exe") } });
        FrmMain& window = test.window();
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblExclaim"))->text(),
            QStringLiteral(
                "The Selected Program (  Spaced  Name ) can be uninstalled from your computer by clicking "
                "the Uninstall Button below."));
        // The second panel names the registry; the first keeps its own text.
        QCOMPARE(window.registryStatusText(), QStringLiteral("Registry file: ") + test.registryFile());
        window.findChild<QAction*>(QStringLiteral("mnu_View32"))->trigger();
        QCOMPARE(window.registryStatusText(),
            QStringLiteral("Registry file: ") + test.registryFile() + QStringLiteral(" (32-bit programs)"));
        // A registry without Wow6432Node has one view, which 32-bit programs see too.
        QCOMPARE(window.statusText(), QStringLiteral("1 program(s) available for uninstall"));
    }

    void theRightClickMenuNeedsASelectedRow()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        showAndWait(window);
        auto* menu = window.findChild<QMenu*>(QStringLiteral("mnu_Uninstall"));
        QTreeView* view = window.list().reportView();
        const QPoint onSecondRow = view->visualRect(view->model()->index(1, 0)).center();

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onSecondRow);
        QVERIFY(!menu->isVisible());
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, onSecondRow);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(window.list().selectedProgram()->key, std::string("K2"));
        menu->close();

        TestApplication empty({});
        showAndWait(empty.window());
        QTest::mouseClick(
            empty.window().list().reportView()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        QVERIFY(!empty.window().findChild<QMenu*>(QStringLiteral("mnu_Uninstall"))->isVisible());
    }

    void enterMovesAlongTheTabOrder()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        showAndWait(window);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(window.list().reportView()->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtFind"));
        // (Enter in the search box also searches; the search tests cover that.)
        window.findChild<QWidget*>(QStringLiteral("CmdFind"))->setFocus();
        const QStringList chain = { QStringLiteral("CmdChkUpdate"), QStringLiteral("CmdAbout"),
            QStringLiteral("CmdHelp"), QStringLiteral("lstviewReport") };
        for (const QString& next : chain) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
        // Enter on a button moves on and presses nothing: no About box, no message.
        window.findChild<QWidget*>(QStringLiteral("CmdAbout"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("CmdHelp"));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(test.desktop.opened().isEmpty());
    }

    void f1TheHelpButtonAndTheMenuOpenTheHelpPage()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        showAndWait(window);
        const QUrl page = QUrl::fromLocalFile(test.folder() + QStringLiteral("/help/tidewell.html"));
        QTest::keyClick(window.list().reportView(), Qt::Key_F1);
        clickButton(&window, "CmdHelp");
        window.findChild<QAction*>(QStringLiteral("mnu_hlptopics"))->trigger();
        QCOMPARE(test.desktop.opened(), QList<QUrl>({ page, page, page }));

        // In a dialog, and in a message box over it, at the dialog's own part of the page.
        FrmUninstallLog log(test.app().context, *test.app().messages, test.app().clock, &window);
        showAndWait(log);
        QTest::keyClick(log.findChild<QPushButton*>(), Qt::Key_F1);
        QWidget box(&log, Qt::Dialog);
        showAndWait(box);
        QTest::keyClick(&box, Qt::Key_F1);
        QUrl atLog = page;
        atLog.setFragment(QStringLiteral("log"));
        QCOMPARE(test.desktop.opened().mid(3), QList<QUrl>({ atLog, atLog }));
    }

    void exitClosesEveryOtherWindowToo()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        window.show();
        QWidget other;
        showAndWait(other);
        window.findChild<QAction*>(QStringLiteral("mnu_Exit"))->trigger();
        QVERIFY(!window.isVisible());
        QVERIFY(!other.isVisible());
    }
};

QTEST_MAIN(FrmMainTest)
#include "FrmMainTest.moc"
