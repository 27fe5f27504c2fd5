// SPDX-License-Identifier: MIT
#include "ui/OwnErrorReport.h"

#include "base/Errors.h"
#include "ui/MessageService.h"

namespace tw {

bool runWithOwnReport(QWidget* parent, MessageService& messages, const QString& title, const QString& prefix,
    const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (...) {
        const ErrorInfo info = describeCurrentException("", 0);
        messages.critical(
            parent, title, prefix + QStringLiteral("\r\n") + QString::fromStdString(info.description));
        return false;
    }
}

} // namespace tw
