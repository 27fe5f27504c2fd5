// SPDX-License-Identifier: MIT
#include "ui/main/MainActions.h"

#include "ui/Twips.h"
#include "ui/main/ImageList.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace tw {
namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void separator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QMenu* menu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

struct ToolbarButton
{
    const char* caption;
    const char* tooltip;
};

// The buttons at the odd indexes; a separator follows each but the last.
const ToolbarButton kButtons[] = {
    { "Uninstall", "Uninstall program" },
    { "Delete From List", "Delete program from list" },
    { "Program Details", "View registry details" },
    { "Change Icon", "Change the program icon" },
    { "Audit Report", "Print or save an audit report" },
    { "New Program", "Create a new program" },
    { "Uninstall Log", "View the uninstall log" },
    { "Exit", "Exit" },
};

} // namespace

MainActions MainActions::create(QMainWindow& window, const ImageList& images)
{
    MainActions a;
    QMenuBar* bar = window.menuBar();

    a.file = menu(bar, "mnu_File", QStringLiteral("&File"));
    a.openPrefix = item(a.file, "mnu_OpenPrefix", QStringLiteral("&Open Prefix..."));
    separator(a.file, "Sep07");
    a.printAndSaveAudit
        = item(a.file, "mnu_PrntNSaveAudit", QStringLiteral("&Print and Save Audit Report..."));
    separator(a.file, "Sep06");
    a.exit = item(a.file, "mnu_Exit", QStringLiteral("E&xit"));

    a.uninstall = menu(bar, "mnu_Uninstall", QStringLiteral("&Uninstall"));
    a.uninstallProgram = item(a.uninstall, "mnu_UninstallProg", QStringLiteral("Un&install..."));
    a.deleteFromList = item(a.uninstall, "mnu_DelFrmLst", QStringLiteral("&Delete From List..."));
    separator(a.uninstall, "Sep02");
    a.programDetails = item(a.uninstall, "mnu_prgdtls", QStringLiteral("&Program Details"));
    a.editProgramDetails = item(a.uninstall, "mnu_EditPrgDtls", QStringLiteral("&Edit Program Details"));
    a.changeIcon = item(a.uninstall, "mnu_ChangeIcon", QStringLiteral("&Change Icon"));
    separator(a.uninstall, "Sep03");
    a.newProgram = item(a.uninstall, "mnu_NewPrg", QStringLiteral("&New Program"));
    a.uninstallLog = item(a.uninstall, "mnu_UninstLog", QStringLiteral("Uninstall &Log..."));

    a.view = menu(bar, "mnu_View", QStringLiteral("&View"));
    a.largeIcons = item(a.view, "mnu_LargeIcons", QStringLiteral("&Large Icons"));
    a.smallIcons = item(a.view, "mnu_SmllIcons", QStringLiteral("&Small Icons"));
    a.list = item(a.view, "mnu_list", QStringLiteral("Li&st"));
    a.details = item(a.view, "mnu_details", QStringLiteral("&Details"));
    for (QAction* viewItem : { a.largeIcons, a.smallIcons, a.list, a.details })
        viewItem->setCheckable(true);
    separator(a.view, "Sep04");
    a.refresh = item(a.view, "mnu_refresh", QStringLiteral("&Refresh"));
    a.view32 = item(a.view, "mnu_View32", QStringLiteral("&32-bit Programs"));
    a.view32->setCheckable(true);

    a.help = menu(bar, "mnu_help", QStringLiteral("&Help"));
    a.helpTopics = item(a.help, "mnu_hlptopics", QStringLiteral("Help &Topics"));
    a.about = item(a.help, "mnu_about", QStringLiteral("&About..."));

    a.toolbar = new QToolBar(&window);
    a.toolbar->setObjectName(QStringLiteral("Toolbar1"));
    a.toolbar->setMovable(false);
    a.toolbar->setFloatable(false);
    a.toolbar->toggleViewAction()->setEnabled(false);
    a.toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    a.toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    a.toolbar->setIconSize(QSize(images.imageSize(), images.imageSize()));
    a.toolbar->setFixedHeight(twipsToPixelsY(810, &window));
    int index = 1;
    int image = 1;
    for (const ToolbarButton& button : kButtons) {
        if (index > 1) {
            QAction* gap = a.toolbar->addSeparator();
            gap->setData(index++);
        }
        QAction* action = a.toolbar->addAction(QIcon(images.image(image++)), QLatin1String(button.caption));
        action->setToolTip(QLatin1String(button.tooltip));
        action->setData(index++);
    }
    // Eight captions under 32-pixel images fit the toolbar's 810 twips only tightly packed: small
    // captions, no padding, the same room around each image.
    QFont small = a.toolbar->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    a.toolbar->setFont(small);
    a.toolbar->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; border: none; }"
                                            "QToolButton { padding: 1px 6px 0px 6px; margin: 0px; }"));
    const int minimum = twipsToPixelsX(1050, &window);
    for (QAction* action : a.toolbar->actions()) {
        if (QWidget* button = a.toolbar->widgetForAction(action); button && !action->isSeparator())
            button->setMinimumWidth(minimum);
    }
    window.addToolBar(Qt::TopToolBarArea, a.toolbar);
    return a;
}

} // namespace tw
