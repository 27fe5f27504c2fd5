// SPDX-License-Identifier: MIT
#include "ui/entries/FrmNewEntry.h"

#include "base/AppContext.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "inventory/Inventory.h"
#include "registry/KeyNames.h"
#include "registry/Registry.h"
#include "system/WineServer.h"
#include "ui/HelpSection.h"
#include "ui/MessageService.h"
#include "ui/OwnErrorReport.h"
#include "ui/ProgramSelection.h"
#include "ui/Twips.h"
#include "ui/WriteFailure.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tw {

namespace {

QString trimSpaces(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace

FrmNewEntry::FrmNewEntry(const AppContext& context, Registry& registry, WineServer* wine,
    MessageService& messages, const ProgramSelection& list, std::function<void()> refresh, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_registry(registry)
    , m_wine(wine)
    , m_messages(messages)
    , m_list(list)
    , m_refresh(std::move(refresh))
{
    setObjectName(QStringLiteral("FrmNewEntry"));
    setWindowTitle(QStringLiteral("New Program"));
    setHelpSection(this, "new");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    if (parent)
        setWindowIcon(parent->windowIcon());
    setFixedSize(twipsToPixels(QSize(6615, 4260), this));

    auto* heading = new QLabel(QStringLiteral("New Program"), this);
    heading->setObjectName(QStringLiteral("lblNew"));
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    heading->setFont(big);
    heading->setGeometry(twipsToPixels(QRect(240, 180, 6135, 480), this));

    struct Field
    {
        const char* label;
        const char* labelName;
        const char* text;
        const char* boxName;
        QLineEdit** box;
    };
    const Field fields[] = {
        { "Registry Entry Name :", "LblRegName", "", "TxtRegName", &m_txtRegName },
        { "Program Name (how it appears in the program list) :", "LblDiplayName", "", "TxtDiplayName",
            &m_txtDiplayName },
        { "Uninstall Command :", "LblUninstallString", "", "TxtUninstallString", &m_txtUninstallString },
    };
    int top = 840;
    for (const Field& f : fields) {
        auto* label = new QLabel(QString::fromUtf8(f.label), this);
        label->setObjectName(QString::fromUtf8(f.labelName));
        label->setGeometry(twipsToPixels(QRect(240, top, 6135, 255), this));
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromUtf8(f.boxName));
        box->setGeometry(twipsToPixels(QRect(240, top + 285, 6135, 315), this));
        label->setBuddy(box);
        *f.box = box;
        top += 840;
    }
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("CmdOk"));
    ok->setToolTip(QStringLiteral("OK"));
    ok->setGeometry(twipsToPixels(QRect(3240, 3480, 1455, 435), this));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    cancel->setToolTip(QStringLiteral("Cancel"));
    cancel->setGeometry(twipsToPixels(QRect(4920, 3480, 1455, 435), this));
    setTabOrder(m_txtRegName, m_txtDiplayName);
    setTabOrder(m_txtDiplayName, m_txtUninstallString);
    setTabOrder(m_txtUninstallString, ok);
    setTabOrder(ok, cancel);
    connect(ok, &QPushButton::clicked, this, &FrmNewEntry::cmdOk_Click);
    connect(cancel, &QPushButton::clicked, this, &FrmNewEntry::cmdCancel_Click);
}

void FrmNewEntry::refuse(const QString& message, QLineEdit* field, bool selectAll)
{
    m_messages.information(this, QString::fromStdString(m_context.title), message);
    if (selectAll)
        field->setSelection(0, static_cast<int>(field->text().size()));
    field->setFocus();
}

void FrmNewEntry::cmdOk_Click()
{
    runWithOwnReport(this, m_messages, QString::fromStdString(m_context.title),
        QStringLiteral("Error occurred New Entry Ok: "), [this] {
            m_txtDiplayName->setText(trimSpaces(m_txtDiplayName->text()));
            m_txtRegName->setText(trimSpaces(m_txtRegName->text()));
            m_txtUninstallString->setText(trimSpaces(m_txtUninstallString->text()));
            const QString name = m_txtRegName->text();
            if (name.isEmpty() && m_txtDiplayName->text().isEmpty()
                && m_txtUninstallString->text().isEmpty()) {
                close();
                return;
            }
            if (name.isEmpty())
                return refuse(
                    QStringLiteral("Please Enter a value for the Registry Entry Name"), m_txtRegName, false);
            if (m_txtDiplayName->text().isEmpty())
                return refuse(
                    QStringLiteral("Please enter a value for the Display Name "), m_txtDiplayName, false);
            if (m_txtUninstallString->text().isEmpty())
                return refuse(QStringLiteral("Please enter a value for the uninstall String"),
                    m_txtUninstallString, false);
            for (int i = 0; i < m_list.rowCount(); ++i) {
                if (QString::fromStdString(m_list.program(i).key).compare(name, Qt::CaseInsensitive) == 0)
                    return refuse(
                        QStringLiteral(
                            "This key name already exist in the list. Please enter another key name."),
                        m_txtRegName, true);
            }
            // A backslash would create nested keys, and an existing entry the list does not show (a
            // hidden one, say) would be overwritten.
            const keynames::Problem problem = keynames::check(name.toStdString());
            if (problem == keynames::Problem::Backslash)
                return refuse(
                    QStringLiteral("The Registry Entry Name cannot contain a backslash (\\). Please enter "
                                   "another key name."),
                    m_txtRegName, true);
            if (problem == keynames::Problem::TooLong)
                return refuse(
                    QStringLiteral("The Registry Entry Name is longer than 255 characters. Please enter "
                                   "a shorter key name."),
                    m_txtRegName, true);
            if (keynames::exists(m_registry, kHKeyLocalMachine, kUninstallPath, name.toStdString()))
                return refuse(
                    QStringLiteral("An entry with this key name already exists in the registry, although "
                                   "the list does not show it. Please enter another key name."),
                    m_txtRegName, true);
            const std::string path = kUninstallPath + name.toStdString();
            const std::string nul(1, '\0');
            long rc = kErrorSuccess;
            {
                // Wine is held off for the two writes only, not for the refresh. Both reach the disk
                // together or not at all.
                const WriteHold hold(m_wine);
                hold.throwIfRefused();
                RegistryApi& api = m_registry.api();
                rc = api.beginChanges();
                if (rc == kErrorSuccess)
                    rc = m_registry.SaveString(
                        kHKeyLocalMachine, path, "DisplayName", m_txtDiplayName->text().toStdString() + nul);
                if (rc == kErrorSuccess)
                    rc = m_registry.SaveString(kHKeyLocalMachine, path, "UninstallString",
                        m_txtUninstallString->text().toStdString() + nul);
                if (rc == kErrorSuccess)
                    rc = api.commitChanges();
                if (rc != kErrorSuccess) {
                    api.cancelChanges();
                    // Where each write went to disk as it came, the half-made key goes again.
                    m_registry.DeleteKey(kHKeyLocalMachine, path);
                }
            }
            if (rc != kErrorSuccess) {
                m_messages.critical(
                    this, QString::fromStdString(m_context.title), writeFailureMessage(m_registry.api(), rc));
                return;
            }
            if (m_refresh)
                m_refresh();
            close();
        });
}

void FrmNewEntry::cmdCancel_Click()
{
    Procedure proc("cmdCancel_Click");
    proc.step(__LINE__, [&] { close(); });
}

} // namespace tw
