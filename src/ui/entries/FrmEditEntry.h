// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"
#include "registry/EntryValues.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tw {

struct AppContext;
class Registry;
class WineServer;
class MessageService;

// The entry editor: every value of the selected program's uninstall entry as a row of name, text and
// type, edited in place by a text box laid over the current cell, and written back on OK.
class FrmEditEntry : public QDialog
{
    Q_OBJECT

public:
    // The grid's columns.
    enum Column { NameColumn, TextColumn, TypeColumn, ColumnCount };
    // The key codes the editor acts on, as the key events number them.
    static constexpr int kKeyReturn = 13;
    static constexpr int kKeyEscape = 27;
    static constexpr int kKeyUp = 38;
    static constexpr int kKeyDown = 40;

    // `refresh` rebuilds the program list after OK has written the entry (the main window's
    // mnu_refresh_Click). The dialog deletes itself when it closes.
    FrmEditEntry(const AppContext& context, Registry& registry, WineServer* wine, MessageService& messages,
        const ProgramRow& selected, std::function<void()> refresh, QWidget* parent);
    ~FrmEditEntry() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void AddItem(const QString& name, const QString& valueText, int origin, std::uint32_t type);
    // A row's three cells; origin -1: a row added here.
    void fillRow(int row, const QString& name, const QString& text, int origin, std::uint32_t type);
    void MSHFlexGridEdit(QTableWidget* grid, QLineEdit* edit, char32_t keyAscii);
    void EditKeyCode(QTableWidget* grid, QLineEdit* edit, int keyCode, Qt::KeyboardModifiers shift);

    void MSFEntries_Click();
    void MSFEntries_KeyPress(char32_t keyAscii);
    void MSFEntries_GotFocus();
    void MSFEntries_LeaveCell();
    void MSFEntries_Scroll();
    void txtEdit_KeyPress(int& keyAscii);
    void txtEdit_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void txtEdit_LostFocus();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    // The edit box's two ways out: into the cell it was opened on, or thrown away.
    void commitEdit();
    void abandonEdit();
    void placeEditor();
    std::vector<entries::EntryRow> gridRows() const;
    QString title() const;

    const AppContext& m_context;
    Registry& m_registry;
    WineServer* m_wine;
    MessageService& m_messages;
    ProgramRow m_selected;
    std::string m_path;
    std::function<void()> m_refresh;
    std::vector<entries::EntryValue> m_values; // as loaded; the rows point into it

    QLineEdit* m_txtDName = nullptr;
    QLabel* m_label2 = nullptr;
    QTableWidget* m_grid = nullptr;
    QLineEdit* m_txtEdit = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdDelete = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdCancel = nullptr;

    int m_widestValue = 0; // pixels, in the grid's font
    bool m_editing = false;
    int m_editRow = -1;
    int m_editColumn = -1;
};

} // namespace tw
