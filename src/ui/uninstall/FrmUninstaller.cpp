// SPDX-License-Identifier: MIT
#include "ui/uninstall/FrmUninstaller.h"

#include "base/AppContext.h"
#include "base/Errors.h"
#include "system/WineServer.h"
#include "ui/HelpSection.h"
#include "ui/MessageService.h"
#include "ui/Twips.h"
#include "uninstall/UninstallRun.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace tw {

QString FrmUninstaller::explanation()
{
    const QString twoBreaks = QStringLiteral("\r\n\r\n");
    QString caption = QStringLiteral("Tidewell has found that the program was not removed.") + twoBreaks;
    caption = caption + QStringLiteral("The reason of this could be that you did not Uninstall the program.")
        + twoBreaks;
    caption = caption
        + QStringLiteral("Press the CLEAN-UP button to force the removal of the program from the list.");
    return caption;
}

FrmUninstaller::FrmUninstaller(const AppContext& context, WineServer* wine, MessageService& messages,
    UninstallRun& run, ProgramRow selected, std::function<void()> refresh, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_wine(wine)
    , m_messages(messages)
    , m_run(run)
    , m_selected(std::move(selected))
    , m_refresh(std::move(refresh))
{
    setObjectName(QStringLiteral("FrmUninstaller"));
    setWindowTitle(QStringLiteral("Uninstall"));
    setHelpSection(this, "uninstall");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(QSize(7350, 4185), this));

    auto* name = new QLineEdit(this);
    name->setObjectName(QStringLiteral("TxtDName"));
    name->setReadOnly(true);
    name->setGeometry(twipsToPixels(QRect(240, 285, 6855, 285), this));
    auto* message = new QLabel(this);
    message->setObjectName(QStringLiteral("lblMessage1"));
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setGeometry(twipsToPixels(QRect(405, 855, 6555, 1830), this));
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("imgError"));
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    image->setGeometry(twipsToPixels(QRect(3360, 2040, 480, 480), this));
    auto* cleanUp = new QPushButton(QStringLiteral("CLEAN - &UP"), this);
    cleanUp->setObjectName(QStringLiteral("CmdUninstall"));
    cleanUp->setToolTip(QStringLiteral("Uninstall program"));
    cleanUp->setGeometry(twipsToPixels(QRect(2520, 2760, 2295, 495), this));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    cancel->setToolTip(QStringLiteral("Cancel"));
    cancel->setGeometry(twipsToPixels(QRect(5520, 3600, 1575, 495), this));
    connect(cleanUp, &QPushButton::clicked, this, &FrmUninstaller::cmdUnInstall_Click);
    connect(cancel, &QPushButton::clicked, this, &FrmUninstaller::cmdCancel_Click);

    Procedure proc("Form_Load");
    proc.step(__LINE__, [&] {
        if (parent)
            setWindowIcon(parent->windowIcon());
    });
    proc.step(__LINE__, [&] { name->setText(QString::fromStdString(m_selected.text)); });
    proc.step(__LINE__, [&] { message->setText(explanation()); });
}

void FrmUninstaller::cmdUnInstall_Click()
{
    Procedure proc("cmdUnInstall_Click");
    bool removed = false;
    bool refused = false;
    if (!proc.step(__LINE__, [&] {
            const WriteHold hold(m_wine);
            refused = hold.refused();
            if (!refused)
                removed = m_run.forceRemoval({ m_selected.key, m_selected.text, {}, m_selected.source });
        }))
        return;
    if (refused) {
        // Nothing was written; the dialog stays open so the clean-up can be tried once Wine has ended.
        m_messages.critical(this, QString::fromStdString(m_context.title),
            QString::fromStdString(wineRunningMessage(m_wine->prefix())));
        return;
    }
    if (!removed) {
        // Nothing is logged for an entry that is still there, and the dialog stays open.
        m_messages.critical(this, QString::fromStdString(m_context.title),
            QStringLiteral("The entry \"") + QString::fromStdString(m_selected.key)
                + QStringLiteral("\" could not be removed from the registry."));
        return;
    }
    proc.step(__LINE__, [&] {
        if (m_refresh)
            m_refresh();
    });
    proc.step(__LINE__, [&] { close(); });
}

void FrmUninstaller::cmdCancel_Click()
{
    Procedure proc("cmdCancel_Click");
    proc.step(__LINE__, [&] { m_run.abortedByUser(); });
    proc.step(__LINE__, [&] { close(); });
}

} // namespace tw
