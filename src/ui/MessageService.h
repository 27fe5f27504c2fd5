// SPDX-License-Identifier: MIT
#pragma once

#include "base/Errors.h"

#include <QList>
#include <QString>

class QPrinter;
class QWidget;

namespace tw {

enum class MsgIcon { None, Information, Question, Warning, Critical };
enum class MsgButton { Ok, Yes, No, Abort, Retry, Ignore, Cancel };
// The buttons of a box, in the order they are offered; the first one is the default.
using MsgButtons = QList<MsgButton>;

// Every message box, question, error report, file dialog and print dialog of the program goes through
// this one interface, so the real dialogs live in one place and tests can answer them from a script.
class MessageService
{
public:
    virtual ~MessageService() = default;

    // Shows a modal box and returns the button chosen. Line breaks in the text may be CR LF.
    virtual MsgButton message(
        QWidget* parent, const QString& title, const QString& text, MsgIcon icon, const MsgButtons& buttons)
        = 0;

    // The file dialogs return the chosen path, or an empty string when the user cancelled. A filter is
    // given either as "Description|*.a;*.b|..." pairs or in Qt's "Description (*.a *.b);;..." form.
    virtual QString getOpenFileName(
        QWidget* parent, const QString& title, const QString& dir, const QString& filter)
        = 0;
    // Asks before overwriting an existing file. A non-empty defaultSuffix ("txt") is added to a name
    // typed without an extension.
    virtual QString getSaveFileName(QWidget* parent, const QString& title, const QString& dir,
        const QString& filter, const QString& defaultSuffix)
        = 0;
    // An existing folder, or an empty string when the user cancelled.
    virtual QString getExistingDirectory(QWidget* parent, const QString& title, const QString& dir) = 0;

    // Returns true when the user chose to print; the printer then carries the user's settings.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;

    // Puts the mouse pointer back to the default by dropping every override cursor.
    virtual void restoreCursor();

    // Information icon, OK only.
    void information(QWidget* parent, const QString& title, const QString& text);
    // Question icon, Yes and No; true for Yes.
    bool question(QWidget* parent, const QString& title, const QString& text);
    // Critical icon, OK only: the procedures that report their own errors use it.
    void critical(QWidget* parent, const QString& title, const QString& text);
    // The common error report: "Error", critical icon, Abort, Retry and Ignore.
    ErrorAction errorReport(QWidget* parent, const ErrorInfo& info);
};

} // namespace tw
