// SPDX-License-Identifier: MIT
#pragma once

#include "reports/AuditReport.h"
#include "ui/TextOutput.h"

#include <QDialog>

class QPlainTextEdit;
class QRadioButton;

namespace tw {

struct AppContext;
class Registry;
class MessageService;
struct Clock;
class ProgramSelection;

// The software audit report: an editable header over the list of programs, in the short or the
// long format, printed or saved as a text file.
class FrmReport : public QDialog
{
    Q_OBJECT

public:
    FrmReport(const AppContext& context, Registry& registry, MessageService& messages, const Clock& clock,
        const ProgramSelection& list, QWidget* parent);

    // Writes the report document to the path, replacing any file there; false after reporting why
    // it could not.
    bool saveFile(const QString& path);
    // The document as saveFile writes it (UTF-8).
    std::string document() const;

    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdClose_Click();

    static QString longFormatCaption(const std::string& osName);

private:
    void Form_Load();

    const AppContext& m_context;
    Registry& m_registry;
    MessageService& m_messages;
    const Clock& m_clock;
    const ProgramSelection& m_list;
    QPlainTextEdit* m_txtHeader = nullptr;
    QRadioButton* m_optDName = nullptr;
    QRadioButton* m_optDetailInfo = nullptr;
    TextOutput m_output;
};

} // namespace tw
