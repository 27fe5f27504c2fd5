// SPDX-License-Identifier: MIT
#include "ScriptedMessageService.h"

#include <QTest>

namespace tw {
namespace {

const char* name(MsgButton button)
{
    switch (button) {
    case MsgButton::Ok:
        return "Ok";
    case MsgButton::Yes:
        return "Yes";
    case MsgButton::No:
        return "No";
    case MsgButton::Abort:
        return "Abort";
    case MsgButton::Retry:
        return "Retry";
    case MsgButton::Ignore:
        return "Ignore";
    case MsgButton::Cancel:
        return "Cancel";
    }
    return "?";
}

const char* name(ScriptedMessageService::CallKind kind)
{
    switch (kind) {
    case ScriptedMessageService::CallKind::Message:
        return "message box";
    case ScriptedMessageService::CallKind::OpenFile:
        return "open-file dialog";
    case ScriptedMessageService::CallKind::SaveFile:
        return "save-file dialog";
    case ScriptedMessageService::CallKind::Folder:
        return "folder dialog";
    case ScriptedMessageService::CallKind::Print:
        return "print dialog";
    }
    return "?";
}

// The answer least likely to let a test go on doing harm, and never Retry, which could loop.
MsgButton cautiousAnswer(const MsgButtons& offered)
{
    for (MsgButton button : { MsgButton::Cancel, MsgButton::No, MsgButton::Abort, MsgButton::Ok }) {
        if (offered.contains(button))
            return button;
    }
    return offered.value(0, MsgButton::Cancel);
}

} // namespace

void ScriptedMessageService::answer(MsgButton button)
{
    m_script.append({ CallKind::Message, button, {}, false });
}

void ScriptedMessageService::answerOpenFile(const QString& fileName)
{
    m_script.append({ CallKind::OpenFile, MsgButton::Ok, fileName, false });
}

void ScriptedMessageService::answerSaveFile(const QString& fileName)
{
    m_script.append({ CallKind::SaveFile, MsgButton::Ok, fileName, false });
}

void ScriptedMessageService::answerFolder(const QString& folder)
{
    m_script.append({ CallKind::Folder, MsgButton::Ok, folder, false });
}

void ScriptedMessageService::answerPrint(bool print)
{
    m_script.append({ CallKind::Print, MsgButton::Ok, {}, print });
}

std::optional<ScriptedMessageService::Answer> ScriptedMessageService::take(Call call)
{
    if (m_script.isEmpty()) {
        fail(call, QStringLiteral("nothing left in the script"));
        return std::nullopt;
    }
    if (m_script.first().kind != call.kind) {
        fail(
            call, QStringLiteral("the script expected a %1").arg(QLatin1String(name(m_script.first().kind))));
        return std::nullopt;
    }
    const Answer next = m_script.takeFirst();
    if (call.kind == CallKind::Message && !call.buttons.contains(next.button)) {
        fail(call, QStringLiteral("the scripted %1 is not offered").arg(QLatin1String(name(next.button))));
        return std::nullopt;
    }
    m_calls.append(call);
    return next;
}

void ScriptedMessageService::fail(Call& call, const QString& why)
{
    call.answered = false;
    m_calls.append(call);
    ++m_unexpected;
    const QString message = QStringLiteral("Unexpected %1 \"%2\" (%3): %4")
                                .arg(QLatin1String(name(call.kind)), call.title, why, call.text);
    QTest::qFail(message.toUtf8().constData(), __FILE__, __LINE__);
}

MsgButton ScriptedMessageService::message(
    QWidget* parent, const QString& title, const QString& text, MsgIcon icon, const MsgButtons& buttons)
{
    Call call;
    call.kind = CallKind::Message;
    call.parent = parent;
    call.title = title;
    call.text = text;
    call.icon = icon;
    call.buttons = buttons;
    const auto next = take(call);
    return next ? next->button : cautiousAnswer(buttons);
}

QString ScriptedMessageService::getOpenFileName(
    QWidget* parent, const QString& title, const QString& dir, const QString& filter)
{
    Call call;
    call.kind = CallKind::OpenFile;
    call.parent = parent;
    call.title = title;
    call.dir = dir;
    call.filter = filter;
    const auto next = take(call);
    return next ? next->fileName : QString();
}

QString ScriptedMessageService::getSaveFileName(QWidget* parent, const QString& title, const QString& dir,
    const QString& filter, const QString& defaultSuffix)
{
    Call call;
    call.kind = CallKind::SaveFile;
    call.parent = parent;
    call.title = title;
    call.dir = dir;
    call.filter = filter;
    call.defaultSuffix = defaultSuffix;
    const auto next = take(call);
    return next ? next->fileName : QString();
}

QString ScriptedMessageService::getExistingDirectory(
    QWidget* parent, const QString& title, const QString& dir)
{
    Call call;
    call.kind = CallKind::Folder;
    call.parent = parent;
    call.title = title;
    call.dir = dir;
    const auto next = take(call);
    return next ? next->fileName : QString();
}

bool ScriptedMessageService::printDialog(QWidget* parent, QPrinter&)
{
    Call call;
    call.kind = CallKind::Print;
    call.parent = parent;
    const auto next = take(call);
    return next && next->print;
}

void ScriptedMessageService::restoreCursor()
{
    ++m_cursorRestores;
    MessageService::restoreCursor();
}

char* toString(MsgButton button)
{
    return qstrdup(name(button));
}

char* toString(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None:
        return qstrdup("None");
    case MsgIcon::Information:
        return qstrdup("Information");
    case MsgIcon::Question:
        return qstrdup("Question");
    case MsgIcon::Warning:
        return qstrdup("Warning");
    case MsgIcon::Critical:
        return qstrdup("Critical");
    }
    return qstrdup("?");
}

} // namespace tw
