// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace tw {

struct AppContext;
class Registry;
class WineServer;
class MessageService;
class ProgramSelection;

// Registers a program that has no uninstall entry: a registry name, a display name and an
// uninstall command, checked and written as two string values.
class FrmNewEntry : public QDialog
{
    Q_OBJECT

public:
    FrmNewEntry(const AppContext& context, Registry& registry, WineServer* wine, MessageService& messages,
        const ProgramSelection& list, std::function<void()> refresh, QWidget* parent);

    void cmdOk_Click();
    void cmdCancel_Click();

private:
    // Shows a check's message and puts the focus in the field it names, its text selected when asked.
    void refuse(const QString& message, QLineEdit* field, bool selectAll);

    const AppContext& m_context;
    Registry& m_registry;
    WineServer* m_wine;
    MessageService& m_messages;
    const ProgramSelection& m_list;
    std::function<void()> m_refresh;
    QLineEdit* m_txtRegName = nullptr;
    QLineEdit* m_txtDiplayName = nullptr;
    QLineEdit* m_txtUninstallString = nullptr;
};

} // namespace tw
