// SPDX-License-Identifier: MIT
#include "ui/uninstall/FrmUninstallWait.h"

#include "base/Errors.h"
#include "ui/MessageService.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

namespace {

// A quick uninstaller ends before the dialog would show.
constexpr qint64 kShowAfterMs = 500;

} // namespace

FrmUninstallWait::FrmUninstallWait(
    MessageService& messages, const QString& title, const QString& programName, QWidget* parent)
    : QDialog(parent)
    , m_messages(messages)
    , m_title(title)
    , m_programName(programName)
{
    setObjectName(QStringLiteral("FrmUninstallWait"));
    setWindowTitle(QStringLiteral("Uninstall"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Modal without exec(): the main window takes no input while the uninstaller runs.
    setWindowModality(Qt::WindowModal);
    if (parent)
        setWindowIcon(parent->windowIcon());

    auto* layout = new QVBoxLayout(this);
    auto* message = new QLabel(this);
    message->setObjectName(QStringLiteral("lblMessage"));
    message->setWordWrap(true);
    message->setTextFormat(Qt::PlainText);
    message->setText(QStringLiteral("Waiting for the uninstaller of %1 to end. Tidewell then checks whether "
                                    "the program was removed.")
                         .arg(programName));
    layout->addWidget(message);
    auto* buttons = new QDialogButtonBox(this);
    auto* cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(cancel, &QPushButton::clicked, this, &FrmUninstallWait::cmdCancel_Click);
    resize(420, sizeHint().height());
}

void FrmUninstallWait::attach(UninstallRun& run)
{
    run.setUninstallerWait({ [this] { return poll(); }, [this] { waitOver(); } });
    run.setTell([this](const std::string& text) {
        m_messages.critical(parentWidget(), m_title, QString::fromStdString(text));
    });
}

WaitDecision FrmUninstallWait::poll()
{
    if (!m_since.isValid())
        m_since.start();
    if (!isVisible() && m_since.elapsed() >= kShowAfterMs)
        show();
    if (isVisible())
        QCoreApplication::processEvents();
    const WaitDecision decision = m_decision;
    m_decision = WaitDecision::KeepWaiting;
    return decision;
}

void FrmUninstallWait::waitOver()
{
    hide();
    m_since.invalidate();
}

void FrmUninstallWait::cmdCancel_Click()
{
    Procedure proc("cmdCancel_Click");
    // A second click while the question is open asks nothing more.
    if (m_asking)
        return;
    m_asking = true;
    proc.step(__LINE__, [&] {
        const MsgButton answer = m_messages.message(this, m_title,
            QStringLiteral("The uninstaller of %1 is still running. Do you want to end it?\r\n\r\n"
                           "Yes ends its process now; No stops waiting and leaves it running; Cancel goes on "
                           "waiting. Then Tidewell checks whether the program was removed.")
                .arg(m_programName),
            // Leaving it running is the default: ending a process is done only on purpose.
            MsgIcon::Question, { MsgButton::No, MsgButton::Yes, MsgButton::Cancel });
        if (answer == MsgButton::Yes)
            m_decision = WaitDecision::EndUninstaller;
        else if (answer == MsgButton::No)
            m_decision = WaitDecision::StopWaiting;
    });
    m_asking = false;
}

void FrmUninstallWait::reject()
{
    // The close box and Escape are Cancel, not a silent end of the wait.
    cmdCancel_Click();
}

} // namespace tw
