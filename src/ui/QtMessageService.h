// SPDX-License-Identifier: MIT
#pragma once

#include "ui/MessageService.h"

namespace tw {

// The message service the program runs with: real, modal Qt dialogs.
class QtMessageService : public MessageService
{
public:
    MsgButton message(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
        const MsgButtons& buttons) override;
    QString getOpenFileName(
        QWidget* parent, const QString& title, const QString& dir, const QString& filter) override;
    QString getSaveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
        const QString& defaultSuffix) override;
    QString getExistingDirectory(QWidget* parent, const QString& title, const QString& dir) override;
    bool printDialog(QWidget* parent, QPrinter& printer) override;
};

} // namespace tw
