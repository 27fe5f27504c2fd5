// SPDX-License-Identifier: MIT
#include "ui/entries/FrmDeleteEntry.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "inventory/Inventory.h"
#include "registry/Registry.h"
#include "system/WineServer.h"
#include "ui/HelpSection.h"
#include "ui/MessageService.h"
#include "ui/OwnErrorReport.h"
#include "ui/Twips.h"
#include "uninstall/UninstallLog.h"
#include "uninstall/UninstallRun.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace tw {

QString FrmDeleteEntry::warning(const QString& name)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Are you sure you want to delete ") + QLatin1Char('"') + name + QLatin1Char('"')
        + QStringLiteral(" from the list of programs installed in your computer?") + crlf + crlf
        + QStringLiteral(" WARNING: You should only delete the entries for programs that you know for sure")
        + QStringLiteral(
            " that are no longer on your computer. If the program is still on the computer and you")
        + QStringLiteral(" delete it from the list, you may not be able to uninstall it later.") + crlf + crlf
        + QStringLiteral(" To check if the program is really not on you computer, ")
        + QStringLiteral(" Please try to uninstall it first.");
}

FrmDeleteEntry::FrmDeleteEntry(const AppContext& context, Registry& registry, WineServer* wine,
    MessageService& messages, const Clock& clock, ProgramRow selected, std::function<void()> refresh,
    std::function<void()> uninstall, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_registry(registry)
    , m_wine(wine)
    , m_messages(messages)
    , m_clock(clock)
    , m_selected(std::move(selected))
    , m_refresh(std::move(refresh))
    , m_uninstall(std::move(uninstall))
{
    setObjectName(QStringLiteral("FrmDeleteEntry"));
    setWindowTitle(QStringLiteral("Delete From List"));
    setHelpSection(this, "delete");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    if (parent)
        setWindowIcon(parent->windowIcon());
    setFixedSize(twipsToPixels(QSize(7350, 4500), this));

    m_txtDName = new QLineEdit(this);
    m_txtDName->setObjectName(QStringLiteral("TxtDName"));
    m_txtDName->setReadOnly(true);
    m_txtDName->setGeometry(twipsToPixels(QRect(240, 285, 6855, 315), this));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgWarning"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setGeometry(twipsToPixels(QRect(240, 840, 480, 480), this));

    m_lblMessage = new QLabel(this);
    m_lblMessage->setObjectName(QStringLiteral("lblMessage"));
    m_lblMessage->setWordWrap(true);
    m_lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblMessage->setGeometry(twipsToPixels(QRect(900, 840, 6195, 2700), this));

    struct Button
    {
        const char* caption;
        const char* name;
        const char* tip;
        int left;
        void (FrmDeleteEntry::*slot)();
    };
    const Button buttons[] = {
        { "&Uninstall", "CmdUnInstall", "Uninstall program", 1920, &FrmDeleteEntry::cmdUnInstall_Click },
        { "&Delete", "CmdDelete", "Delete program", 3690, &FrmDeleteEntry::cmdDelete_Click },
        { "&Cancel", "CmdCancel", "Cancel", 5460, &FrmDeleteEntry::cmdCancel_Click },
    };
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setGeometry(twipsToPixels(QRect(b.left, 3780, 1635, 495), this));
        connect(button, &QPushButton::clicked, this, b.slot);
    }

    Procedure proc("Form_Load");
    proc.step(__LINE__, [&] { m_txtDName->setText(QString::fromStdString(m_selected.text)); });
    proc.step(__LINE__, [&] { m_lblMessage->setText(warning(m_txtDName->text())); });
}

void FrmDeleteEntry::cmdDelete_Click()
{
    const QString title = QString::fromStdString(m_context.title);
    runWithOwnReport(this, m_messages, title, QStringLiteral("Error occurred Delete Entry Delete: "), [&] {
        if (!m_messages.question(this, title, QStringLiteral("Are you sure you want to delete the program?")))
            return;
        bool removed = false;
        {
            // Wine is held off for the deletion only, not for the messages and the refresh.
            const WriteHold hold(m_wine);
            hold.throwIfRefused();
            // The key and its subkeys go in one save, or none of them does.
            RegistryApi& api = m_registry.api();
            if (api.beginChanges() == kErrorSuccess) {
                removed = deleteKeyTree(m_registry, kUninstallPath + m_selected.key, m_selected.source.root);
                if (removed)
                    removed = api.commitChanges() == kErrorSuccess;
                else
                    api.cancelChanges();
            }
        }
        // The entry goes with its subkeys; one that is still there is not logged as deleted.
        if (!removed)
            throw Error(errc::kPermissionDenied,
                "The entry \"" + m_selected.key + "\" could not be removed from the registry."
                    + (m_registry.api().lastFailure().empty() ? ""
                                                              : " " + m_registry.api().lastFailure() + "."));
        appendToLog(m_context.logPath, m_clock.nowGeneral(), m_clock);
        appendToLog(m_context.logPath, "Deleted Entry for " + m_txtDName->text().toStdString(), m_clock);
        if (m_refresh)
            m_refresh();
        close();
    });
}

void FrmDeleteEntry::cmdUnInstall_Click()
{
    Procedure proc("cmdUnInstall_Click");
    if (!proc.step(__LINE__, [&] { hide(); }))
        return;
    // The uninstall runs for the same row once this dialog is gone.
    const auto uninstall = m_uninstall;
    close();
    if (uninstall)
        proc.step(__LINE__, [&] { uninstall(); });
}

void FrmDeleteEntry::cmdCancel_Click()
{
    Procedure proc("cmdCancel_Click");
    proc.step(__LINE__, [&] { close(); });
}

} // namespace tw
