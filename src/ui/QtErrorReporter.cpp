// SPDX-License-Identifier: MIT
#include "ui/QtErrorReporter.h"

#include "ui/MessageService.h"

#include <QApplication>

namespace tw {

QtErrorReporter::QtErrorReporter(MessageService& messages)
    : m_messages(messages)
{ }

ErrorAction QtErrorReporter::report(const ErrorInfo& info)
{
    return m_messages.errorReport(QApplication::activeWindow(), info);
}

void QtErrorReporter::resetPointer()
{
    m_messages.restoreCursor();
}

} // namespace tw
