// SPDX-License-Identifier: MIT
#include "ui/uninstall/FrmWineWait.h"

#include "base/Errors.h"
#include "system/WineServer.h"
#include "ui/HelpSection.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tw {

FrmWineWait::FrmWineWait(WineServer& server, const QString& programName, QWidget* parent)
    : QDialog(parent)
    , m_server(server)
{
    setObjectName(QStringLiteral("FrmWineWait"));
    setWindowTitle(QStringLiteral("Uninstall"));
    setHelpSection(this, "uninstall");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (parent)
        setWindowIcon(parent->windowIcon());

    auto* layout = new QVBoxLayout(this);
    auto* message = new QLabel(this);
    message->setObjectName(QStringLiteral("lblMessage"));
    message->setWordWrap(true);
    message->setTextFormat(Qt::PlainText);
    message->setText(QStringLiteral("The uninstaller of %1 has ended, but Wine is still running in %2. Wine "
                                    "saves the changes to its registry only when its last program has ended, "
                                    "so Tidewell waits for that before it checks the result.\n\n"
                                    "Programs of this prefix still running:")
                         .arg(programName, QString::fromStdString(server.prefix())));
    layout->addWidget(message);
    m_programs = new QListWidget(this);
    m_programs->setObjectName(QStringLiteral("lstPrograms"));
    layout->addWidget(m_programs);
    auto* hint = new QLabel(
        QStringLiteral("Close them to let Wine finish, or check now: the result is then read from the "
                       "running Wine."),
        this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(this);
    auto* judge = buttons->addButton(QStringLiteral("&Check Now"), QDialogButtonBox::ActionRole);
    judge->setObjectName(QStringLiteral("cmdJudgeNow"));
    layout->addWidget(buttons);
    connect(judge, &QPushButton::clicked, this, &FrmWineWait::cmdJudgeNow_Click);
    resize(520, 320);

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &FrmWineWait::poll);
    m_timer->start(500);
    showPrograms();
    // The first look comes once the dialog runs: a server gone already must still end it.
    QTimer::singleShot(0, this, &FrmWineWait::poll);
}

void FrmWineWait::cmdJudgeNow_Click()
{
    Procedure proc("cmdJudgeNow_Click");
    proc.step(__LINE__, [&] { done(JudgeNow); });
}

void FrmWineWait::poll()
{
    if (!m_server.running()) {
        m_timer->stop();
        done(ServerEnded);
        return;
    }
    showPrograms();
}

void FrmWineWait::showPrograms()
{
    QStringList now;
    for (const WineProgram& program : m_server.programs())
        now << QString::fromStdString(program.commandLine);
    if (now.isEmpty())
        now << QStringLiteral("(none: Wine ends a few seconds after its last program)");
    QStringList shown;
    for (int i = 0; i < m_programs->count(); ++i)
        shown << m_programs->item(i)->text();
    if (shown != now) {
        m_programs->clear();
        m_programs->addItems(now);
    }
}

} // namespace tw
