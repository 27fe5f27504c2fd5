// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

namespace tw {

struct AppContext;
class WineServer;
class MessageService;
class UninstallRun;

// Shown when an uninstaller left its entry behind: force the entry out of the registry, or leave it.
class FrmUninstaller : public QDialog
{
    Q_OBJECT

public:
    FrmUninstaller(const AppContext& context, WineServer* wine, MessageService& messages, UninstallRun& run,
        ProgramRow selected, std::function<void()> refresh, QWidget* parent);

    void cmdUnInstall_Click();
    void cmdCancel_Click();

    static QString explanation();

private:
    const AppContext& m_context;
    WineServer* m_wine;
    MessageService& m_messages;
    UninstallRun& m_run;
    ProgramRow m_selected;
    std::function<void()> m_refresh;
};

} // namespace tw
