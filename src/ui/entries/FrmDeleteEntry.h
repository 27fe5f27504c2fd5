// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

namespace tw {

struct AppContext;
class Registry;
class WineServer;
class MessageService;
struct Clock;

// Deletes a stale entry from the list after a warning and a second question, or hands over to the
// uninstaller instead.
class FrmDeleteEntry : public QDialog
{
    Q_OBJECT

public:
    FrmDeleteEntry(const AppContext& context, Registry& registry, WineServer* wine, MessageService& messages,
        const Clock& clock, ProgramRow selected, std::function<void()> refresh,
        std::function<void()> uninstall, QWidget* parent);

    void cmdDelete_Click();
    void cmdUnInstall_Click();
    void cmdCancel_Click();

    // The five-line warning for a display name.
    static QString warning(const QString& name);

private:
    const AppContext& m_context;
    Registry& m_registry;
    WineServer* m_wine;
    MessageService& m_messages;
    const Clock& m_clock;
    ProgramRow m_selected;
    std::function<void()> m_refresh;
    std::function<void()> m_uninstall;
    QLineEdit* m_txtDName = nullptr;
    QLabel* m_lblMessage = nullptr;
};

} // namespace tw
