// SPDX-License-Identifier: MIT
#include "ui/reports/FrmReport.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "registry/Registry.h"
#include "reports/TextFiles.h"
#include "system/clsSystem.h"
#include "ui/HelpSection.h"
#include "ui/MessageService.h"
#include "ui/ProgramSelection.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tw {
namespace {

// The heading of the old forms: bold, a size above the dialog's text.
QFont headingFont(const QWidget* widget)
{
    QFont font = widget->font();
    font.setPointSizeF(font.pointSizeF() * 9.75 / 8.25);
    font.setBold(true);
    return font;
}

} // namespace

QString FrmReport::longFormatCaption(const std::string& osName)
{
    return isNinetyEightFamily(osName)
        ? QStringLiteral("Long Format (Program Name and Uninstall Command)")
        : QStringLiteral("Long Format (Program Name, Size and Uninstall Command)");
}

FrmReport::FrmReport(const AppContext& context, Registry& registry, MessageService& messages,
    const Clock& clock, const ProgramSelection& list, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_registry(registry)
    , m_messages(messages)
    , m_clock(clock)
    , m_list(list)
    , m_output(
          context, messages, this, [this](const QString& path) { return saveFile(path); },
          QStringLiteral("Error Occurred Report Print File: "), QRect(360, 1080, 8055, 1455), false)
{
    setHelpSection(this, "report");
    setUpTextDialog(
        this, QStringLiteral("FrmReport"), QStringLiteral("Print or Save Audit Report"), QSize(8985, 5085));

    auto* heading = new QLabel(QStringLiteral("Report Header (Add, Change or Remove Text )"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    heading->setFont(headingFont(this));
    // Centred over the band, so a wider font than the original's is not cut off.
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    heading->setGeometry(twipsToPixels(QRect(120, 285, 8775, 240), this));
    heading->raise();

    m_txtHeader = new QPlainTextEdit(this);
    m_txtHeader->setObjectName(QStringLiteral("txtHeader"));
    m_txtHeader->setFont(fixedPitchFont(9.75));
    m_txtHeader->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtHeader->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtHeader->setTabChangesFocus(true);
    m_txtHeader->setGeometry(twipsToPixels(QRect(240, 840, 8535, 2175), this));

    m_optDName = new QRadioButton(QStringLiteral("Short Format (Program Names only)"), this);
    m_optDName->setObjectName(QStringLiteral("OptDName"));
    m_optDName->setToolTip(QStringLiteral("Short format"));
    m_optDName->setGeometry(twipsToPixels(QRect(240, 3240, 5895, 210), this));
    m_optDetailInfo
        = new QRadioButton(QStringLiteral("Long Format (Program Name, Size and Uninstall Command)"), this);
    m_optDetailInfo->setObjectName(QStringLiteral("OptDetailInfo"));
    m_optDetailInfo->setToolTip(QStringLiteral("Long format"));
    m_optDetailInfo->setGeometry(twipsToPixels(QRect(240, 3720, 7455, 255), this));

    struct Button
    {
        const char* caption;
        const char* name;
        const char* tip;
        int left;
        void (FrmReport::*slot)();
    };
    const Button buttons[] = {
        { "&Print", "CmdPrint", "Print report", 120, &FrmReport::cmdPrint_Click },
        { "&Save", "CmdSave", "Save report", 3720, &FrmReport::cmdSave_Click },
        { "&Close", "CmdClose", "Close", 7200, &FrmReport::cmdClose_Click },
    };
    QWidget* previous = m_txtHeader;
    setTabOrder(m_optDName, m_optDetailInfo);
    setTabOrder(m_optDetailInfo, m_txtHeader);
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setAutoDefault(false);
        button->setGeometry(twipsToPixels(QRect(b.left, 4440, 1695, 495), this));
        connect(button, &QPushButton::clicked, this, b.slot);
        setTabOrder(previous, button);
        previous = button;
    }
    m_optDName->setFocus();

    Form_Load();
}

void FrmReport::Form_Load()
{
    Procedure proc("Form_Load");
    if (!proc.step(__LINE__, [&] {
            if (parentWidget())
                setWindowIcon(parentWidget()->windowIcon());
        }))
        return;
    if (!proc.step(__LINE__, [&] { m_optDName->setChecked(true); }))
        return;
    AuditHeader header;
    if (!proc.step(__LINE__, [&] {
            auto calls = makeSystemCalls(m_context.registryFile.empty() ? nullptr : &m_registry);
            clsSystem system(*calls);
            header.computerName = system.computerName();
            header.userName = system.userName();
        }))
        return;
    if (!proc.step(__LINE__, [&] {
            header.date = m_clock.shortDate(m_clock.now());
            header.productName = m_context.productName;
            header.osName = m_context.osName;
            header.programCount = m_list.rowCount();
            m_txtHeader->setPlainText(toBoxText(QString::fromStdString(auditReportHeader(header))));
        }))
        return;
    proc.step(__LINE__, [&] { m_optDetailInfo->setText(longFormatCaption(m_context.osName)); });
}

std::string FrmReport::document() const
{
    std::vector<ProgramRow> rows;
    const int count = m_list.rowCount();
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(m_list.program(i));
    return auditReportDocument(documentText(*m_txtHeader).toStdString(), rows,
        m_optDetailInfo->isChecked() ? ReportFormat::Long : ReportFormat::Short, m_context.osName);
}

bool FrmReport::saveFile(const QString& path)
{
    std::string error;
    if (writeTextFile(path.toStdString(), document(), error))
        return true;
    m_messages.critical(this, QString::fromStdString(m_context.title),
        QStringLiteral("Error occurred Report Save File: \r\n") + QString::fromStdString(error));
    return false;
}

void FrmReport::cmdPrint_Click()
{
    m_output.cmdPrint_Click();
}

void FrmReport::cmdSave_Click()
{
    m_output.cmdSave_Click();
}

void FrmReport::cmdClose_Click()
{
    Procedure proc("cmdClose_Click");
    proc.step(__LINE__, [&] { close(); });
}

} // namespace tw
