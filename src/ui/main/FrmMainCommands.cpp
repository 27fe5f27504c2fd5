// SPDX-License-Identifier: MIT
// The main window's commands: menus, toolbar, side panel, the list's events and the search.
#include "ui/main/FrmMain.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "registry/RegistryView.h"
#include "session/Session.h"
#include "ui/MessageService.h"
#include "ui/main/FrmAbout.h"
#include "ui/main/MainServices.h"
#include "ui/main/ProgramList.h"
#include "ui/main/UpdateCheck.h"
#include "ui/reports/FrmInfo.h"
#include "ui/reports/FrmReport.h"
#include "ui/uninstall/FrmUninstallLog.h"
#include "uninstall/Processes.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace tw {
void FrmMain::lstview_Click()
{
    Procedure proc("lstview_Click");
    proc.step(__LINE__, [&] {
        const std::optional<int> position = m_list->selectedPosition();
        if (!position)
            return;
        m_lblExclaim->setText(QStringLiteral("The Selected Program (") + m_list->text(*position)
            + QStringLiteral(
                ") can be uninstalled from your computer by clicking the Uninstall Button below."));
    });
}

void FrmMain::lstview_ColumnClick(int column)
{
    Procedure proc("lstview_ColumnClick");
    if (!proc.step(__LINE__, [&] { m_list->setSorted(true); }))
        return;
    const auto key = static_cast<std::int16_t>(column);
    // The remembered column starts at 0, so the first click on Display Name already reverses.
    if (!proc.step(__LINE__, [&] {
            if (key == m_sortColumn)
                m_list->setSortOrder(
                    m_list->sortOrder() == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder);
        }))
        return;
    proc.step(__LINE__, [&] {
        m_list->setSortKey(key);
        m_sortColumn = key;
    });
}

void FrmMain::lstview_DblClick()
{
    Procedure proc("lstview_DblClick");
    proc.step(__LINE__, [&] {
        if (m_list->selectedPosition())
            Show_FormUninstall();
    });
}

void FrmMain::lstview_MouseUP(Qt::MouseButton button, const QPoint& globalPos)
{
    Procedure proc("lstview_MouseUP");
    proc.step(__LINE__, [&] {
        if (m_list->selectedPosition() && button == Qt::RightButton)
            m_actions.uninstall->popup(globalPos);
    });
}

void FrmMain::Toolbar1_ButtonClick(int index)
{
    Procedure proc("Toolbar1_ButtonClick");
    proc.step(__LINE__, [&] {
        switch (index) {
        case 1:
            Show_FormUninstall();
            break;
        case 3:
            Delete_Entry_Click();
            break;
        case 5:
            mnu_prgdtls_Click();
            break;
        case 7:
            Mnu_ChangeIcon_Click();
            break;
        case 9:
            mnu_PrntNSaveAudit_Click();
            break;
        case 11:
            mnu_NewPrg_Click();
            break;
        case 13:
            mnu_UninstLog_Click();
            break;
        case 15:
            mnu_Exit_Click();
            break;
        default: // a separator
            break;
        }
    });
}

void FrmMain::mnu_Exit_Click()
{
    Procedure proc("mnu_Exit_Click");
    proc.step(__LINE__, [&] { close(); });
}

void FrmMain::mnu_UninstallProg_Click()
{
    Procedure proc("mnu_uninstallProg_Click");
    proc.step(__LINE__, [&] { Show_FormUninstall(); });
}

void FrmMain::mnu_DelFrmLst_Click()
{
    Procedure proc("mnu_DelFrmLst_Click");
    proc.step(__LINE__, [&] { Delete_Entry_Click(); });
}

void FrmMain::mnu_EditPrgDtls_Click()
{
    Procedure proc("mnu_EditPrgDtls_Click");
    proc.step(__LINE__, [&] { Edit_Entry_Click(); });
}

void FrmMain::mnu_prgdtls_Click()
{
    Procedure proc("mnu_prgdtls_Click");
    proc.step(__LINE__, [&] {
        const std::optional<ProgramRow> selected = m_list->selectedProgram();
        if (!selected)
            return;
        auto* dialog = new FrmInfo(
            *m_services.session.registry, m_services.desktop, m_services.messages,
            [this] { Show_FormUninstall(); }, *selected, this);
        dialog->exec();
    });
}

void FrmMain::mnu_PrntNSaveAudit_Click()
{
    Procedure proc("mnu_PrntNSaveAudit_Click");
    proc.step(__LINE__, [&] {
        auto* dialog = new FrmReport(m_services.context, *m_services.session.registry, m_services.messages,
            m_services.clock, *m_list, this);
        dialog->exec();
    });
}

void FrmMain::mnu_UninstLog_Click()
{
    Procedure proc("mnu_UninstLog_Click");
    proc.step(__LINE__, [&] {
        auto* dialog = new FrmUninstallLog(m_services.context, m_services.messages, m_services.clock, this);
        dialog->exec();
    });
}

void FrmMain::CmdChkUpdate_Click()
{
    runUpdateCheck(m_services.context, m_services.messages, this);
}

void FrmMain::switchView(const char* procedure, int view)
{
    Procedure proc(procedure);
    if (!proc.step(__LINE__, [&] { m_list->setView(view); }))
        return;
    if (!proc.step(__LINE__, [&] { uncheckAll(); }))
        return;
    proc.step(__LINE__, [&] { viewItem(view)->setChecked(true); });
}

void FrmMain::mnu_LargeIcons_Click()
{
    switchView("mnu_LargeIcons_Click", ProgramList::LargeIcons);
}

void FrmMain::mnu_SmllIcons_Click()
{
    switchView("mnu_SmllIcons_Click", ProgramList::SmallIcons);
}

void FrmMain::mnu_list_Click()
{
    switchView("mnu_list_Click", ProgramList::List);
}

void FrmMain::mnu_details_Click()
{
    switchView("mnu_details_Click", ProgramList::Report);
}

// Switches between the programs a 64-bit and a 32-bit program sees; every command works on the view
// shown.
void FrmMain::mnu_View32_Click()
{
    Procedure proc("mnu_View32_Click");
    proc.step(__LINE__, [&] { m_services.session.registryView->setWow32(m_actions.view32->isChecked()); });
    proc.step(__LINE__, [&] { updateRegistryStatus(); });
    proc.step(__LINE__, [&] { mnu_refresh_Click(); });
}

void FrmMain::mnu_hlptopics_Click()
{
    Procedure proc("mnu_hlptopics_Click");
    proc.step(__LINE__, [&] { sendKey(Qt::Key_F1); });
}

void FrmMain::CmdHelp_Click()
{
    sendKey(Qt::Key_F1);
}

void FrmMain::mnu_about_Click()
{
    Procedure proc("mnu_about_Click");
    proc.step(__LINE__, [&] { CmdAbout_Click(); });
}

void FrmMain::CmdAbout_Click()
{
    FrmAbout about(m_services.context, m_services.desktop, this);
    about.exec();
}

void FrmMain::txtFind_KeyUp(int keyCode, Qt::KeyboardModifiers)
{
    Procedure proc("txtFind_KeyUp");
    proc.step(__LINE__, [&] {
        if (keyCode == 13)
            cmdFind_Click();
    });
}

void FrmMain::cmdFind_Click()
{
    Procedure proc("cmdFind_Click");
    proc.step(__LINE__, [&] {
        const std::optional<int> found = m_search.next(m_txtFind->text(), m_list->rowCount(),
            m_list->selectedPosition(), [this](int position) { return m_list->text(position); });
        if (found) {
            m_list->setFocus();
            m_list->selectPosition(*found);
            m_list->ensureVisible(*found);
            lstview_Click();
            return;
        }
        messageService().information(this, QString::fromStdString(m_services.context.title),
            QStringLiteral("The Program You are looking for (") + m_search.lastSearch()
                + QStringLiteral(") was not found"));
    });
}

} // namespace tw
