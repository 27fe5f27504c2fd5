// SPDX-License-Identifier: MIT
#pragma once

#include "ui/TextOutput.h"

#include <QDialog>

#include <string>

class QPlainTextEdit;

namespace tw {

struct AppContext;
class MessageService;
struct Clock;

// Shows the uninstall log and prints it, saves a copy of it or deletes it.
class FrmUninstallLog : public QDialog
{
    Q_OBJECT

public:
    FrmUninstallLog(const AppContext& context, MessageService& messages, const Clock& clock, QWidget* parent);

    // Writes the log's printed form to the path, replacing any file there; false after reporting
    // why it could not.
    bool saveFile(const QString& path);
    // The document as saveFile writes it (UTF-8), dated now.
    std::string document() const;

    void cmdDelete_Click();
    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdClose_Click();

private:
    void Form_Load();

    const AppContext& m_context;
    MessageService& m_messages;
    const Clock& m_clock;
    QPlainTextEdit* m_txtLog = nullptr;
    // The log as read (CR LF between lines): what the box shows, kept as bytes for Save and Print.
    std::string m_text;
    TextOutput m_output;
};

} // namespace tw
