// SPDX-License-Identifier: MIT
#include "ui/main/FrmMain.h"
#include "TestApplication.h"
#include "ui/Twips.h"
#include "ui/main/ProgramList.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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

QStringList shownNames(const ProgramList& list)
{
    QStringList names;
    for (int i = 0; i < list.rowCount(); ++i)
        names << list.text(i);
    return names;
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

// Where a control lies in the client area the layout table measures, in pixels.
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

    void hasAFixedCentredFrameWithoutMaximize()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        QCOMPARE(window.windowTitle(), QStringLiteral("Tidewell"));
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY2(flags.testFlag(Qt::CustomizeWindowHint), "without it the platform adds a maximize button");
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.frameGeometry().center(), window.screen()->availableGeometry().center());
        const QSize client = twipsToPixels(QSize(10920, 7905), &window);
        QCOMPARE(window.size(), client + QSize(0, window.menuBar()->height()));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(test.messages.calls().size(), 0);
    }

    void laysOutTheControlsAsTheTableSays()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The resize rule: the list fills the client area to its right edge and down to the status bar,
        // and the side panel as far down.
        auto* list = window.findChild<ProgramList*>(QStringLiteral("lstview"));
        auto* panel = window.findChild<QWidget*>(QStringLiteral("picSideMenu"));
        auto* status = window.findChild<QStatusBar*>(QStringLiteral("StatusBar"));
        const QRect client(QPoint(0, 0), twipsToPixels(QSize(10920, 7905), &window));
        QCOMPARE(inClient(window, list).topLeft(), twipsToPixels(QRect(2880, 825, 1, 1), &window).topLeft());
        QVERIFY(qAbs(inClient(window, list).right() - client.right()) <= 1);
        QVERIFY(qAbs(inClient(window, list).bottom() + 1 - inClient(window, status).top()) <= 1);
        QCOMPARE(inClient(window, panel).height(), inClient(window, list).height());

        // Minimizing and restoring moves nothing.
        const QRect about = inClient(window, window.findChild<QWidget*>(QStringLiteral("CmdAbout")));
        const QRect listBefore = inClient(window, list);
        window.showMinimized();
        window.showNormal();
        QCOMPARE(inClient(window, window.findChild<QWidget*>(QStringLiteral("CmdAbout"))), about);
        QCOMPARE(inClient(window, list), listBefore);
    }

    void hasTheMenusAndToolbarOfTheTable()
    {
        TestApplication test({});
        FrmMain& window = test.window();
        const auto captions = [&](const char* menu) {
            QStringList items;
            for (QAction* action : window.findChild<QMenu*>(QLatin1String(menu))->actions())
                items << (action->isSeparator() ? QLatin1Char('-') + action->objectName()
                                                : action->objectName() + QLatin1Char('=') + action->text());
            return items;
        };
        QCOMPARE(captions("mnu_File"),
            QStringList({ QStringLiteral("mnu_PrntNSaveAudit=&Print and Save Audit Report..."),
                QStringLiteral("-Sep06"), QStringLiteral("mnu_Exit=E&xit") }));
        QCOMPARE(captions("mnu_Uninstall"),
            QStringList({ QStringLiteral("mnu_UninstallProg=Un&install..."),
                QStringLiteral("mnu_DelFrmLst=&Delete From List..."), QStringLiteral("-Sep02"),
                QStringLiteral("mnu_prgdtls=&Program Details"),
                QStringLiteral("mnu_EditPrgDtls=&Edit Program Details"),
                QStringLiteral("mnu_ChangeIcon=&Change Icon"), QStringLiteral("-Sep03"),
                QStringLiteral("mnu_NewPrg=&New Program"),
                QStringLiteral("mnu_UninstLog=Uninstall &Log...") }));
        QCOMPARE(captions("mnu_View"),
            QStringList({ QStringLiteral("mnu_LargeIcons=&Large Icons"),
                QStringLiteral("mnu_SmllIcons=&Small Icons"), QStringLiteral("mnu_list=Li&st"),
                QStringLiteral("mnu_details=&Details"), QStringLiteral("-Sep04"),
                QStringLiteral("mnu_refresh=&Refresh"), QStringLiteral("mnu_View32=&32-bit Programs") }));
        QCOMPARE(captions("mnu_help"),
            QStringList(
                { QStringLiteral("mnu_hlptopics=Help &Topics"), QStringLiteral("mnu_about=&About...") }));
        for (QAction* action : window.findChildren<QAction*>())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));

        const QList<QAction*> buttons = window.findChild<QToolBar*>(QStringLiteral("Toolbar1"))->actions();
        QCOMPARE(buttons.size(), 15);
        QStringList shown;
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i]->data().toInt(), i + 1);
            QCOMPARE(buttons[i]->isSeparator(), i % 2 == 1);
            if (!buttons[i]->isSeparator()) {
                shown << buttons[i]->text() + QLatin1Char('|') + buttons[i]->toolTip();
                QCOMPARE(buttons[i]->icon().actualSize(QSize(32, 32)), QSize(32, 32));
            }
        }
        QCOMPARE(shown,
            QStringList({ QStringLiteral("Uninstall|Uninstall program"),
                QStringLiteral("Delete From List|Delete program from list"),
                QStringLiteral("Program Details|View registry details"),
                QStringLiteral("Change Icon|Change the program icon"),
                QStringLiteral("Audit Report|Print or save an audit report"),
                QStringLiteral("New Program|Create a new program"),
                QStringLiteral("Uninstall Log|View the uninstall log"), QStringLiteral("Exit|Exit") }));
        QCOMPARE(window.findChild<QWidget*>(QStringLiteral("lstview"))->toolTip(),
            QStringLiteral("Double click a program to run uninstall"));
        QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("CmdChkUpdate"))->text(),
            QStringLiteral("Chec&k Update"));
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
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ProgramList& list = window.list();
        QCOMPARE(shownNames(list),
            QStringList({ QStringLiteral("Bravo"), QStringLiteral("alpha"), QStringLiteral("Charlie") }));

        // The remembered column starts at Display Name, so the first click there reverses the order.
        clickHeader(list, ProgramListModel::DisplayName);
        QCOMPARE(list.sortOrder(), Qt::DescendingOrder);
        QCOMPARE(shownNames(list),
            QStringList({ QStringLiteral("Charlie"), QStringLiteral("Bravo"), QStringLiteral("alpha") }));
        clickHeader(list, ProgramListModel::DisplayName);

        // Another column keeps the direction; its second click reverses it. Commands sort as text.
        clickHeader(list, ProgramListModel::UninstallCommand);
        QCOMPARE(list.sortOrder(), Qt::AscendingOrder);
        QCOMPARE(shownNames(list),
            QStringList({ QStringLiteral("Charlie"), QStringLiteral("alpha"), QStringLiteral("Bravo") }));
        clickHeader(list, ProgramListModel::UninstallCommand);
        QCOMPARE(shownNames(list),
            QStringList({ QStringLiteral("Bravo"), QStringLiteral("alpha"), QStringLiteral("Charlie") }));

        // A rebuilt list comes up in the same order, with its top row selected and named in the label.
        window.mnu_refresh_Click();
        QCOMPARE(shownNames(list),
            QStringList({ QStringLiteral("Bravo"), QStringLiteral("alpha"), QStringLiteral("Charlie") }));
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
        QCOMPARE(window.statusText(), QStringLiteral("1 program(s) available for uninstall"));
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
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
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
        empty.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&empty.window()));
        QTreeView* emptyView = empty.window().list().reportView();
        QTest::mouseClick(emptyView->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        QVERIFY(!empty.window().findChild<QMenu*>(QStringLiteral("mnu_Uninstall"))->isVisible());
    }

    void enterMovesAlongTheTabOrder()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
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
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QUrl page = QUrl::fromLocalFile(test.folder() + QStringLiteral("/help/tidewell.html"));

        QTest::keyClick(window.list().reportView(), Qt::Key_F1);
        QCOMPARE(test.desktop.opened(), QList<QUrl> { page });
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("CmdHelp")), Qt::LeftButton);
        window.findChild<QAction*>(QStringLiteral("mnu_hlptopics"))->trigger();
        QCOMPARE(test.desktop.opened(), QList<QUrl>({ page, page, page }));
    }

    void exitClosesEveryOtherWindowToo()
    {
        TestApplication test(kThreePrograms);
        FrmMain& window = test.window();
        window.show();
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));

        window.findChild<QAction*>(QStringLiteral("mnu_Exit"))->trigger();
        QVERIFY(!window.isVisible());
        QVERIFY(!other.isVisible());
    }
};

QTEST_MAIN(FrmMainTest)
#include "FrmMainTest.moc"
