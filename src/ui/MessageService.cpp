// SPDX-License-Identifier: MIT
#include "ui/MessageService.h"

#include <QGuiApplication>

namespace tw {

void MessageService::restoreCursor()
{
    // Override cursors stack up; the default pointer shows only when the stack is empty.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void MessageService::information(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, title, text, MsgIcon::Information, { MsgButton::Ok });
}

bool MessageService::question(QWidget* parent, const QString& title, const QString& text)
{
    return message(parent, title, text, MsgIcon::Question, { MsgButton::Yes, MsgButton::No })
        == MsgButton::Yes;
}

void MessageService::critical(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, title, text, MsgIcon::Critical, { MsgButton::Ok });
}

ErrorAction MessageService::errorReport(QWidget* parent, const ErrorInfo& info)
{
    const MsgButton answer
        = message(parent, QStringLiteral("Error"), QString::fromStdString(errorReportText(info)),
            MsgIcon::Critical, { MsgButton::Abort, MsgButton::Retry, MsgButton::Ignore });
    switch (answer) {
    case MsgButton::Abort:
        return ErrorAction::Abort;
    case MsgButton::Retry:
        return ErrorAction::Retry;
    case MsgButton::Ignore:
        return ErrorAction::Ignore;
    default:
        return ErrorAction::Other;
    }
}

} // namespace tw
