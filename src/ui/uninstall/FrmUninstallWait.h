// SPDX-License-Identifier: MIT
#pragma once

#include "uninstall/UninstallRun.h"

#include <QDialog>
#include <QElapsedTimer>

namespace tw {

class MessageService;

// Shown over the main window while an uninstaller runs (once it has run for a moment, so a quick one
// shows nothing): its Cancel stops the wait. Nothing is ended behind the user's back: Cancel asks
// whether to end the uninstaller's process, leave it running, or go on waiting. Not run with exec():
// the run polls it between its looks at the uninstaller.
class FrmUninstallWait : public QDialog
{
    Q_OBJECT

public:
    FrmUninstallWait(
        MessageService& messages, const QString& title, const QString& programName, QWidget* parent);

    // Lets `run` ask this dialog while it waits, and tell the user, through the message service, what
    // its log cannot.
    void attach(UninstallRun& run);

    // One look while the uninstaller runs: shows the dialog once it is due, lets the user act on it,
    // and returns what the user decided.
    WaitDecision poll();
    // The wait is over: the dialog goes.
    void waitOver();

    void cmdCancel_Click();
    void reject() override;

private:
    MessageService& m_messages;
    QString m_title;
    QString m_programName;
    QElapsedTimer m_since;
    WaitDecision m_decision = WaitDecision::KeepWaiting;
    bool m_asking = false;
};

} // namespace tw
