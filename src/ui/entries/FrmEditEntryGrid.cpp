// SPDX-License-Identifier: MIT
// The entry editor's floating edit box: where it opens over the grid, and what keys do in it.
#include "ui/entries/FrmEditEntry.h"

#include "base/Errors.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

namespace tw {

void FrmEditEntry::MSHFlexGridEdit(QTableWidget* grid, QLineEdit* edit, char32_t keyAscii)
{
    Procedure proc("MSHFlexGridEdit");
    if (!proc.step(__LINE__, [&] {
            // A control character or a space edits the cell's text; anything else starts a new one.
            if (keyAscii <= 32) {
                edit->setText(grid->currentItem() ? grid->currentItem()->text() : QString());
                edit->setCursorPosition(0);
            } else {
                edit->setText(QString::fromUcs4(&keyAscii, 1));
                edit->setCursorPosition(static_cast<int>(edit->text().size()));
            }
        }))
        return;
    if (!proc.step(__LINE__, [&] {
            m_editRow = grid->currentRow();
            m_editColumn = grid->currentColumn();
            placeEditor();
        }))
        return;
    proc.step(__LINE__, [&] {
        m_editing = true;
        edit->show();
        edit->raise();
        edit->setFocus();
    });
}

void FrmEditEntry::placeEditor()
{
    QTableWidgetItem* item = m_grid->item(m_editRow, m_editColumn);
    if (!item)
        return;
    // The cell within the grid's client area, below its frame and including the header row.
    const QRect cell = m_grid->visualItemRect(item);
    const QPoint inGrid = m_grid->viewport()->mapTo(m_grid, cell.topLeft())
        - QPoint(m_grid->frameWidth(), m_grid->frameWidth());
    const QPoint gridAt = m_grid->mapTo(this, QPoint(0, 0));
    int width = cell.width();
    // A cell wider than the grid: the editor ends inside the grid, clear of the scroll bar when there
    // are rows enough to show one.
    if (m_grid->width() < cell.width())
        width = m_grid->width() - twipsToPixelsX(m_grid->rowCount() + 1 > 5 ? 275 : 50, this);
    const int left = gridAt.x() + inGrid.x() + twipsToPixelsX(50, this);
    width -= twipsToPixelsX(42, this);
    // Nor does a box that starts further right reach past the grid's visible cells.
    const int visibleRight = m_grid->viewport()->mapTo(this, QPoint(m_grid->viewport()->width(), 0)).x();
    width = std::min(width, visibleRight - left);
    m_txtEdit->setGeometry(left, gridAt.y() + inGrid.y() + twipsToPixelsY(10, this), width,
        cell.height() - twipsToPixelsY(8, this));
}

void FrmEditEntry::EditKeyCode(QTableWidget* grid, QLineEdit* edit, int keyCode, Qt::KeyboardModifiers)
{
    Procedure proc("EditKeyCode");
    switch (keyCode) {
    case kKeyReturn:
        proc.step(__LINE__, [&] {
            grid->setFocus();
            commitEdit(); // in case the window is not active and the focus change waits
        });
        break;
    case kKeyEscape:
        proc.step(__LINE__, [&] {
            m_editing = false;
            grid->setFocus();
            edit->hide();
        });
        break;
    case kKeyUp:
    case kKeyDown:
        if (!proc.step(__LINE__, [&] {
                grid->setFocus();
                commitEdit();
            }))
            return;
        // The commit into the old cell has happened before the row moves.
        if (!proc.step(__LINE__, [&] { QApplication::processEvents(); }))
            return;
        proc.step(__LINE__, [&] {
            const int row = grid->currentRow();
            if (keyCode == kKeyUp && row > 0)
                grid->setCurrentCell(row - 1, grid->currentColumn());
            else if (keyCode == kKeyDown && row < grid->rowCount() - 1)
                grid->setCurrentCell(row + 1, grid->currentColumn());
        });
        break;
    default:
        break;
    }
}

void FrmEditEntry::commitEdit()
{
    if (!m_editing)
        return;
    m_editing = false;
    if (QTableWidgetItem* item = m_grid->item(m_editRow, m_editColumn))
        item->setText(m_txtEdit->text());
    m_txtEdit->hide();
}

void FrmEditEntry::abandonEdit()
{
    if (!m_editing)
        return;
    m_editing = false;
    m_txtEdit->clear();
    if (m_txtEdit->hasFocus())
        m_grid->setFocus();
    m_txtEdit->hide();
}

void FrmEditEntry::MSFEntries_Click()
{
    Procedure proc("MSFEntries_Click");
    proc.step(__LINE__, [&] {
        // The type follows the value: its column is not edited.
        if (m_grid->currentColumn() != TypeColumn)
            MSHFlexGridEdit(m_grid, m_txtEdit, U' ');
    });
}

void FrmEditEntry::MSFEntries_KeyPress(char32_t keyAscii)
{
    Procedure proc("MSFEntries_KeyPress");
    proc.step(__LINE__, [&] {
        if (m_grid->currentColumn() != TypeColumn)
            MSHFlexGridEdit(m_grid, m_txtEdit, keyAscii);
    });
}

void FrmEditEntry::MSFEntries_GotFocus()
{
    Procedure proc("MSFEntries_GotFocus");
    proc.step(__LINE__, [&] { commitEdit(); });
}

void FrmEditEntry::MSFEntries_LeaveCell()
{
    Procedure proc("MSFEntries_LeaveCell");
    proc.step(__LINE__, [&] { commitEdit(); });
}

void FrmEditEntry::MSFEntries_Scroll()
{
    Procedure proc("MSFEntries_Scroll");
    proc.step(__LINE__, [&] { abandonEdit(); });
}

void FrmEditEntry::txtEdit_KeyPress(int& keyAscii)
{
    Procedure proc("txtEdit_KeyPress");
    proc.step(__LINE__, [&] {
        if (keyAscii == '\r')
            keyAscii = 0;
    });
}

void FrmEditEntry::txtEdit_KeyDown(int keyCode, Qt::KeyboardModifiers shift)
{
    Procedure proc("txtEdit_KeyDown");
    proc.step(__LINE__, [&] { EditKeyCode(m_grid, m_txtEdit, keyCode, shift); });
}

void FrmEditEntry::txtEdit_LostFocus()
{
    Procedure proc("txtEdit_LostFocus");
    proc.step(__LINE__, [&] { commitEdit(); });
}

} // namespace tw
