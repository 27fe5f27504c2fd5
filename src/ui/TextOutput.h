// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QPlainTextEdit;
class QPrinter;
class QWidget;

namespace tw {

struct AppContext;
class MessageService;

// "Lucida Console" at the size, or the system's fixed-pitch font where that is not installed.
QFont fixedPitchFont(qreal pointSize, bool bold = false);

// Text boxes keep line breaks as '\n'; documents and files have CR LF.
QString toBoxText(QString crlfText);
QString fromBoxText(QString boxText);
// The box's text with CR LF line ends, every character as typed (toPlainText would turn a no-break
// space into a space).
QString documentText(const QPlainTextEdit& box);

// The lines a box `columns` characters wide shows for the text, each wrap made a line of its own.
QStringList WYSIWYG_TextBox(const QString& text, int columns);

// The frame both text dialogs share: a fixed-size modal dialog deleted on close, with the grey band
// their heading sits on.
void setUpTextDialog(QDialog* dialog, const QString& objectName, const QString& title, QSize clientTwips);

// The print and save flows the report dialog and the log viewer share. The dialog brings its
// document writer; saving lets it write the file the user picks, printing lets it write the
// temporary print file, reads that back and prints it wrapped to the page.
class TextOutput
{
public:
    // Writes the whole document to the path; false once it has reported why it could not.
    using DocumentWriter = std::function<bool(const QString& path)>;

    // `printError` opens the print error's text; the hidden wrap box `txtPrint` becomes a child of the
    // dialog, at `wrapBoxTwips` with its font bold or not.
    TextOutput(const AppContext& context, MessageService& messages, QWidget* dialog, DocumentWriter saveFile,
        QString printError, const QRect& wrapBoxTwips, bool boldWrapBox);

    void cmdPrint_Click();
    void cmdSave_Click();
    // Prints the text (CR LF line breaks) below three empty lines, wrapped to the printable width;
    // false once a failure has been reported.
    bool printFile(QPrinter& printer, const QString& text);

    QPlainTextEdit* wrapBox() const { return m_txtPrint; }
    QString printFilePath() const;

    static QString saveDialogTitle();
    static QString saveDialogFilter();

private:
    void reportPrintError(const QString& description);

    const AppContext& m_context;
    MessageService& m_messages;
    QWidget* m_dialog;
    DocumentWriter m_saveFile;
    QString m_printError;
    QPlainTextEdit* m_txtPrint;
    QString m_lastFile; // the Save As dialog offers the last chosen file again
};

} // namespace tw
