// SPDX-License-Identifier: MIT
#pragma once

#include "ui/MessageService.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace tw {

// Stands in for the user at every box and dialog: answers come from a script queued by the test, and
// each call is recorded so the test can assert exactly what the user was asked. A call the script does
// not answer fails the running test and gets the most cautious answer, so nothing waits for input.
class ScriptedMessageService : public MessageService
{
public:
    enum class CallKind { Message, OpenFile, SaveFile, Folder, Print };

    struct Call
    {
        CallKind kind = CallKind::Message;
        QPointer<QWidget> parent;
        QString title;
        QString text;
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons;
        QString dir;
        QString filter;
        QString defaultSuffix;
        bool answered = true; // false when the script had no fitting answer
    };

    // Answers are used in the order queued; each must fit the kind of the call it meets.
    void answer(MsgButton button);
    void answerOpenFile(const QString& fileName); // empty: the user cancels
    void answerSaveFile(const QString& fileName); // empty: the user cancels
    void answerFolder(const QString& folder); // empty: the user cancels
    void answerPrint(bool print);

    const QList<Call>& calls() const { return m_calls; }
    int unexpectedCalls() const { return m_unexpected; }
    qsizetype pendingAnswers() const { return m_script.size(); }
    int cursorRestores() const { return m_cursorRestores; }

    MsgButton message(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
        const MsgButtons& buttons) override;
    QString getOpenFileName(
        QWidget* parent, const QString& title, const QString& dir, const QString& filter) override;
    QString getSaveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
        const QString& defaultSuffix) override;
    QString getExistingDirectory(QWidget* parent, const QString& title, const QString& dir) override;
    bool printDialog(QWidget* parent, QPrinter& printer) override;
    void restoreCursor() override;

private:
    struct Answer
    {
        CallKind kind = CallKind::Message;
        MsgButton button = MsgButton::Ok;
        QString fileName;
        bool print = false;
    };

    // Records the call; returns the next answer if it fits, otherwise fails the test.
    std::optional<Answer> take(Call call);
    void fail(Call& call, const QString& why);

    QList<Answer> m_script;
    QList<Call> m_calls;
    int m_unexpected = 0;
    int m_cursorRestores = 0;
};

// Readable names in QCOMPARE failures.
char* toString(MsgButton button);
char* toString(MsgIcon icon);

} // namespace tw
