// SPDX-License-Identifier: MIT
// The main window's list filling: the scan and the icons come from ProgramScan.
#include "ui/main/FrmMain.h"

#include "base/Errors.h"
#include "ui/main/ProgramList.h"
#include "ui/main/ProgramScan.h"

#include <QLabel>

namespace tw {

void FrmMain::showUnInstallList()
{
    Procedure proc("showUnInstallList", OnError::Skip);
    Inventory inventory = m_scan->inventory();

    proc.step(__LINE__, [&] {
        if (inventory.usageHidden()) {
            for (int column :
                { ProgramListModel::Size, ProgramListModel::LastUsedOn, ProgramListModel::Frequency })
                m_list->setColumnWidth(column, 0);
        }
    });
    proc.step(__LINE__, [&] { m_list->hide(); });
    int remembered = ProgramList::Report;
    proc.step(__LINE__, [&] {
        remembered = m_list->view();
        if (remembered == ProgramList::LargeIcons)
            m_list->setView(ProgramList::Report);
        else if (remembered == ProgramList::SmallIcons)
            m_list->setView(ProgramList::LargeIcons);
    });
    proc.step(__LINE__, [&] { m_list->model().removeAll(); });

    proc.step(__LINE__, [&] { m_list->setImageLists(nullptr, nullptr); });
    proc.step(__LINE__, [&] { m_scan->resetImages(); });
    proc.step(__LINE__, [&] { m_list->setImageLists(m_imgLarge, m_imgSmall); });

    std::vector<ProgramRow> rows;
    proc.step(__LINE__, [&] { rows = inventory.scan(); });
    for (ProgramRow& row : rows) {
        int largeIndex = 1;
        int smallIndex = 1;
        if (row.icon)
            proc.step(
                __LINE__, [&] { m_scan->getIcon(row.icon->path, largeIndex, smallIndex, row.icon->index); });
        proc.step(__LINE__, [&] { m_list->model().addRow(std::move(row), largeIndex, smallIndex); });
    }

    proc.step(__LINE__, [&] { m_list->setView(remembered); });
    proc.step(__LINE__, [&] { m_list->show(); });
    if (m_list->rowCount() >= 1) {
        // Before the window is first shown this only marks the list to get the focus then.
        proc.step(__LINE__, [&] {
            if (m_list->isVisibleTo(this))
                m_list->setFocus();
        });
        proc.step(__LINE__, [&] { m_list->selectPosition(0); });
        proc.step(__LINE__, [&] { lstview_Click(); });
    }
    proc.step(__LINE__, [&] { uncheckAll(); });
    proc.step(__LINE__, [&] { viewItem(remembered)->setChecked(true); });
    proc.step(__LINE__, [&] {
        m_statusPanel->setText(
            QString::number(m_list->rowCount()) + QStringLiteral(" program(s) available for uninstall"));
    });
}

void FrmMain::mnu_refresh_Click()
{
    Procedure proc("mnu_refresh_Click");
    proc.step(__LINE__, [&] { showUnInstallList(); });
}

} // namespace tw
