// SPDX-License-Identifier: MIT
#include "ui/uninstall/FrmUninstallLog.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "reports/TextFiles.h"
#include "ui/HelpSection.h"
#include "ui/MessageService.h"
#include "ui/Twips.h"
#include "uninstall/LogViewerText.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tw {

FrmUninstallLog::FrmUninstallLog(
    const AppContext& context, MessageService& messages, const Clock& clock, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_messages(messages)
    , m_clock(clock)
    , m_output(
          context, messages, this, [this](const QString& path) { return saveFile(path); },
          QStringLiteral("Error Occurred Uninstall Log printFile: "), QRect(840, 2160, 8775, 1455), true)
{
    setHelpSection(this, "log");
    setUpTextDialog(
        this, QStringLiteral("FrmUninstallLog"), QStringLiteral("Uninstall Log"), QSize(9015, 4695));

    auto* heading = new QLabel(QStringLiteral("Uninstall Log"), this);
    heading->setObjectName(QStringLiteral("LblNew"));
    QFont bold = heading->font();
    bold.setPointSizeF(bold.pointSizeF() * 9.75 / 8.25);
    bold.setBold(true);
    heading->setFont(bold);
    heading->setGeometry(twipsToPixels(QRect(300, 285, 8475, 360), this));

    m_txtLog = new QPlainTextEdit(this);
    m_txtLog->setObjectName(QStringLiteral("txtLog"));
    m_txtLog->setReadOnly(true);
    m_txtLog->setFont(fixedPitchFont(9.75));
    m_txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtLog->setTabChangesFocus(true);
    m_txtLog->setGeometry(twipsToPixels(QRect(240, 840, 8535, 2895), this));

    struct Button
    {
        const char* caption;
        const char* name;
        const char* tip;
        int left;
        void (FrmUninstallLog::*slot)();
    };
    const Button buttons[] = {
        { "&Delete", "CmdDelete", "Delete log", 120, &FrmUninstallLog::cmdDelete_Click },
        { "&Save", "CmdSave", "Save log", 2040, &FrmUninstallLog::cmdSave_Click },
        { "&Print", "CmdPrint", "Print log", 3960, &FrmUninstallLog::cmdPrint_Click },
        { "&Close", "CmdClose", "Close", 7200, &FrmUninstallLog::cmdClose_Click },
    };
    QWidget* previous = m_txtLog;
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setAutoDefault(false);
        button->setGeometry(twipsToPixels(QRect(b.left, 4080, 1695, 495), this));
        connect(button, &QPushButton::clicked, this, b.slot);
        setTabOrder(previous, button);
        previous = button;
    }
    m_txtLog->setFocus();

    if (parent)
        setWindowIcon(parent->windowIcon());
    Form_Load();
}

void FrmUninstallLog::Form_Load()
{
    // No log yet, or one that cannot be read: the box stays empty and nothing is said.
    m_txtLog->clear();
    m_text.clear();
    QFile file(QString::fromStdString(m_context.logPath));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    m_text = logViewerText(std::string_view(bytes.constData(), bytes.size()));
    m_txtLog->setPlainText(toBoxText(QString::fromStdString(m_text)));
}

std::string FrmUninstallLog::document() const
{
    const AppContext& c = m_context;
    return uninstallLogDocument(
        c.title, c.versionMajor, c.versionMinor, c.versionRevision, m_clock.nowGeneral(), m_text);
}

bool FrmUninstallLog::saveFile(const QString& path)
{
    std::string error;
    if (writeTextFile(path.toStdString(), document(), error))
        return true;
    m_messages.critical(this, QString::fromStdString(m_context.title),
        QStringLiteral("Error occurred Uninstall Log Save File: \r\n") + QString::fromStdString(error));
    return false;
}

void FrmUninstallLog::cmdDelete_Click()
{
    Procedure proc("cmdDelete_Click");
    bool yes = false;
    if (!proc.step(__LINE__, [&] {
            yes = m_messages.question(this, QString::fromStdString(m_context.title),
                QStringLiteral("Are you sure you want to clear all the information?"));
        }))
        return;
    if (!yes)
        return;
    if (!proc.step(__LINE__, [&] {
            QFile log(QString::fromStdString(m_context.logPath));
            if (QFileInfo(log).isFile() && !log.remove())
                throw Error(errc::kPermissionDenied,
                    "Cannot delete " + m_context.logPath + ": " + log.errorString().toStdString());
        }))
        return;
    proc.step(__LINE__, [&] {
        m_txtLog->clear();
        m_text.clear();
    });
}

void FrmUninstallLog::cmdPrint_Click()
{
    m_output.cmdPrint_Click();
}

void FrmUninstallLog::cmdSave_Click()
{
    m_output.cmdSave_Click();
}

void FrmUninstallLog::cmdClose_Click()
{
    Procedure proc("cmdClose_Click");
    proc.step(__LINE__, [&] { close(); });
}

} // namespace tw
