// SPDX-License-Identifier: MIT
#include "ui/reports/FrmInfo.h"

#include "base/Errors.h"
#include "inventory/Inventory.h"
#include "registry/Registry.h"
#include "reports/LinkRule.h"
#include "ui/DesktopService.h"
#include "ui/MessageService.h"
#include "ui/Twips.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace tw {
namespace {

const QString kNotAvailable = QStringLiteral("N/A");

std::string trimSpaces(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Fills a box, "N/A" standing in for an empty item; the start of a long text stays in view.
void fill(QLineEdit* box, const std::string& value)
{
    box->setText(value.empty() ? kNotAvailable : QString::fromStdString(value));
    box->setCursorPosition(0);
    box->setToolTip(value.empty() ? QString() : box->text());
}

void styleAsLink(QLineEdit* box, bool link)
{
    if (!link) {
        box->unsetCursor();
        return;
    }
    QFont font = box->font();
    font.setUnderline(true);
    box->setFont(font);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 255));
    box->setPalette(palette);
    box->setCursor(Qt::PointingHandCursor);
}

} // namespace

FrmInfo::FrmInfo(Registry& registry, DesktopService* desktop, MessageService& messages,
    std::function<void()> uninstall, ProgramRow selected, QWidget* parent)
    : QDialog(parent)
    , m_registry(registry)
    , m_desktop(desktop)
    , m_messages(messages)
    , m_uninstall(std::move(uninstall))
    , m_selected(std::move(selected))
{
    setObjectName(QStringLiteral("FrmInfo"));
    setWindowTitle(QStringLiteral("Program Details"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    buildControls();
    Form_Load();
}

void FrmInfo::buildControls()
{
    setFixedSize(twipsToPixels(QSize(7530, 4755), this));

    m_txtDName = new QLineEdit(this);
    m_txtDName->setObjectName(QStringLiteral("TxtDName"));
    m_txtDName->setReadOnly(true);
    m_txtDName->setFrame(false);
    QFont titleFont = m_txtDName->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    m_txtDName->setFont(titleFont);
    m_txtDName->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    m_txtDName->setGeometry(twipsToPixels(QRect(120, 120, 7290, 375), this));

    auto* fmback = new QFrame(this);
    fmback->setObjectName(QStringLiteral("fmback"));
    fmback->setFrameShape(QFrame::StyledPanel);
    fmback->setAutoFillBackground(true);
    QPalette white = fmback->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    white.setColor(QPalette::Text, Qt::black);
    fmback->setPalette(white);
    fmback->setGeometry(twipsToPixels(QRect(120, 600, 7290, 3330), this));

    struct Row
    {
        const char* labelName;
        const char* caption;
        const char* boxName;
        QLineEdit** box;
    };
    const Row rows[] = {
        { "Label1", "Registry Name :", "TxtRName", &m_txtRName },
        { "Label4", "Uninstall String :", "TxtUString", &m_txtUString },
        { "lblprogname", "Publisher :", "TxtPublisher", &m_txtPublisher },
        { "Label5", "Version :", "TxtDVersion", &m_txtDVersion },
        { "Label10", "Help Link :", "TxtHLink", &m_txtHLink },
        { "Label11", "URL Info :", "TxtUIAbout", &m_txtUIAbout },
        { "Label12", "Contact :", "TxtContact", &m_txtContact },
    };
    int top = 195;
    QWidget* previous = m_txtDName;
    for (const Row& row : rows) {
        auto* label = new QLabel(QString::fromUtf8(row.caption), fmback);
        label->setObjectName(QString::fromUtf8(row.labelName));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(twipsToPixels(QRect(120, top, 1650, 315), this));
        auto* box = new QLineEdit(fmback);
        box->setObjectName(QString::fromUtf8(row.boxName));
        box->setReadOnly(true);
        box->setFrame(false);
        box->setGeometry(twipsToPixels(QRect(1890, top, 5220, 315), this));
        *row.box = box;
        setTabOrder(previous, box);
        previous = box;
        top += 435;
    }
    for (QLineEdit* link : { m_txtUString, m_txtHLink, m_txtUIAbout })
        link->installEventFilter(this);

    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CmdClose"));
    close->setToolTip(QStringLiteral("Close"));
    close->setDefault(true);
    close->setGeometry(twipsToPixels(QRect(5850, 4095, 1560, 495), this));
    setTabOrder(previous, close);
    connect(close, &QPushButton::clicked, this, &FrmInfo::cmdClose_Click);
}

void FrmInfo::Form_Load()
{
    Procedure proc("Form_Load");
    if (!proc.step(__LINE__, [&] {
            if (parentWidget())
                setWindowIcon(parentWidget()->windowIcon());
        }))
        return;
    proc.step(__LINE__, [&] { GetProgInformation(); });
}

void FrmInfo::GetProgInformation()
{
    Procedure proc("GetProgInformation");
    const std::string path = std::string(kUninstallPath) + m_selected.key;
    std::string publisher, version, helpLink, supportUrl, contact;
    const auto read = [&](std::string& into, const char* valueName) {
        into = trimSpaces(m_registry.GetStringValue(kHKeyLocalMachine, path, valueName));
    };
    if (!proc.step(__LINE__, [&] { read(publisher, "Publisher"); }))
        return;
    if (!proc.step(__LINE__, [&] { read(version, "DisplayVersion"); }))
        return;
    if (!proc.step(__LINE__, [&] { read(helpLink, "HelpLink"); }))
        return;
    if (!proc.step(__LINE__, [&] { read(supportUrl, "URLInfoAbout"); }))
        return;
    if (!proc.step(__LINE__, [&] { read(contact, "Contact"); }))
        return;

    if (!proc.step(__LINE__, [&] { fill(m_txtRName, m_selected.key); }))
        return;
    if (!proc.step(__LINE__, [&] { fill(m_txtDName, m_selected.text); }))
        return;
    if (!proc.step(__LINE__, [&] {
            fill(m_txtUString, m_selected.uninstallCommand);
            styleAsLink(m_txtUString, !m_selected.uninstallCommand.empty());
        }))
        return;
    if (!proc.step(__LINE__, [&] { fill(m_txtPublisher, publisher); }))
        return;
    if (!proc.step(__LINE__, [&] { fill(m_txtDVersion, version); }))
        return;
    // Only an address a browser or mail program should see looks like a link.
    if (!proc.step(__LINE__, [&] {
            fill(m_txtHLink, helpLink);
            styleAsLink(m_txtHLink, linkTarget(helpLink).has_value());
        }))
        return;
    if (!proc.step(__LINE__, [&] {
            fill(m_txtUIAbout, supportUrl);
            styleAsLink(m_txtUIAbout, linkTarget(supportUrl).has_value());
        }))
        return;
    proc.step(__LINE__, [&] { fill(m_txtContact, contact); });
}

void FrmInfo::openLink(const char* procedure, QLineEdit* box)
{
    Procedure proc(procedure);
    proc.step(__LINE__, [&] {
        if (box->text() == kNotAvailable)
            return;
        // The registry is anyone's to write: a program path or a document here is not opened.
        const std::optional<std::string> target = linkTarget(box->text().toStdString());
        if (!target)
            return;
        const QUrl url(QString::fromStdString(*target));
        if (url.isValid() && m_desktop)
            m_desktop->openUrl(url);
    });
}

void FrmInfo::TxtHLink_Click()
{
    openLink("TxtHLink_Click", m_txtHLink);
}

void FrmInfo::TxtUIAbout_Click()
{
    openLink("TxtUIAbout_Click", m_txtUIAbout);
}

void FrmInfo::TxtUString_Click()
{
    Procedure proc("TxtUString_Click");
    // A click is no reason to run an uninstaller unasked, nor without the log and the check that the
    // entry is gone: the question first, then the main window's uninstall of this row.
    bool yes = false;
    proc.step(__LINE__, [&] {
        if (m_txtUString->text() == kNotAvailable || !m_uninstall)
            return;
        yes = m_messages.question(this, QStringLiteral("Program Details"),
            QStringLiteral(
                "Do you want to uninstall %1? Its uninstaller will be run, and Tidewell will check "
                "that the program is gone from the list.")
                .arg(m_txtDName->text()));
    });
    if (!yes)
        return;
    const auto uninstall = m_uninstall;
    proc.step(__LINE__, [&] { close(); });
    // Once this click has been handled: the uninstall waits with events running, and the closed
    // dialog may be deleted meanwhile.
    QTimer::singleShot(0, qApp, uninstall);
}

void FrmInfo::cmdClose_Click()
{
    Procedure proc("cmdClose_Click");
    proc.step(__LINE__, [&] { close(); });
}

bool FrmInfo::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    bool activated = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A drag that selected text is for copying it, not a click.
        activated = mouse->button() == Qt::LeftButton && box->rect().contains(mouse->position().toPoint())
            && !box->hasSelectedText();
    } else if (event->type() == QEvent::KeyPress && box != m_txtUString
        && linkTarget(box->text().toStdString())) {
        // The web links open from the keyboard too; the uninstall command starts only on a click,
        // so that Enter in the wrong box cannot start it.
        const int key = static_cast<QKeyEvent*>(event)->key();
        activated = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    }
    if (activated) {
        if (box == m_txtHLink)
            TxtHLink_Click();
        else if (box == m_txtUIAbout)
            TxtUIAbout_Click();
        else if (box == m_txtUString)
            TxtUString_Click();
        return event->type() == QEvent::KeyPress;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tw
