// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QTimer;

namespace tw {

class WineServer;

// Shown while a Wine prefix's server keeps running after the uninstaller ended: until it exits, the
// registry file does not hold the uninstaller's changes. Lists the prefix's programs that are still
// running, so the user can close them, or ask for the verdict now (read from the running server).
// Closes by itself when the server has exited.
class FrmWineWait : public QDialog
{
    Q_OBJECT

public:
    enum Result { ServerEnded = QDialog::Accepted, JudgeNow = QDialog::Rejected };

    FrmWineWait(WineServer& server, const QString& programName, QWidget* parent);

    void cmdJudgeNow_Click();
    // One look at the server: closes the dialog once it has exited, else refreshes the list.
    void poll();

private:
    void showPrograms();

    WineServer& m_server;
    QListWidget* m_programs = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace tw
