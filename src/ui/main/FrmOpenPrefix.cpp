// SPDX-License-Identifier: MIT
#include "ui/main/FrmOpenPrefix.h"

#include "base/Errors.h"
#include "ui/MessageService.h"
#include "ui/main/PrefixCatalogue.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tw {

namespace {

enum Column { Owner, Name, Programs, Path };

} // namespace

FrmOpenPrefix::FrmOpenPrefix(
    PrefixCatalogue& catalogue, MessageService& messages, const QString& current, QWidget* parent)
    : QDialog(parent)
    , m_catalogue(catalogue)
    , m_messages(messages)
    , m_current(current)
{
    setObjectName(QStringLiteral("FrmOpenPrefix"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Open Prefix"));
    if (parent)
        setWindowIcon(parent->windowIcon());

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("&Wine prefixes found on this computer:"), this);
    layout->addWidget(intro);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstPrefixes"));
    m_list->setHeaderLabels({ QStringLiteral("Owner"), QStringLiteral("Name"), QStringLiteral("Programs"),
        QStringLiteral("Folder") });
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setAlternatingRowColors(true);
    m_list->header()->setStretchLastSection(true);
    m_list->headerItem()->setTextAlignment(Programs, Qt::AlignRight | Qt::AlignVCenter);
    m_list->header()->setSectionsMovable(false);
    intro->setBuddy(m_list);
    layout->addWidget(m_list, 1);
    m_none = new QLabel(
        QStringLiteral("No Wine prefix was found. Browse for the folder of one (it holds system.reg and "
                       "drive_c)."),
        this);
    m_none->setObjectName(QStringLiteral("lblNone"));
    m_none->setWordWrap(true);
    layout->addWidget(m_none);
    m_warnings = new QLabel(this);
    m_warnings->setObjectName(QStringLiteral("lblWarnings"));
    m_warnings->setWordWrap(true);
    layout->addWidget(m_warnings);

    // Browse stands apart, on the left: it opens another dialog rather than the prefix chosen.
    auto* row = new QHBoxLayout;
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("CmdBrowse"));
    browse->setAutoDefault(false);
    row->addWidget(browse);
    auto* buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    m_open->setObjectName(QStringLiteral("CmdOpen"));
    m_open->setDefault(true);
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    row->addWidget(buttons, 1);
    layout->addLayout(row);
    setTabOrder(m_list, m_open);
    setTabOrder(m_open, cancel);
    setTabOrder(cancel, browse);
    connect(browse, &QPushButton::clicked, this, &FrmOpenPrefix::CmdBrowse_Click);
    connect(m_open, &QPushButton::clicked, this, &FrmOpenPrefix::CmdOpen_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Enter is the default button's; a double click opens too.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &FrmOpenPrefix::CmdOpen_Click);

    fill(current);
    resize(760, 380);
}

void FrmOpenPrefix::fill(const QString& current)
{
    QStringList warnings;
    QList<CataloguedPrefix> found;
    {
        // Each prefix's registry is read to count its programs.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        found = m_catalogue.prefixes(warnings);
        QApplication::restoreOverrideCursor();
    }
    for (const CataloguedPrefix& p : found) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(Owner, p.owners);
        item->setText(Name, p.names);
        item->setText(Programs, p.programs < 0 ? QStringLiteral("?") : QString::number(p.programs));
        item->setTextAlignment(Programs, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(Programs, p.error);
        item->setText(Path, QDir::toNativeSeparators(p.path));
        item->setToolTip(Path, item->text(Path));
        item->setData(Path, Qt::UserRole, p.path);
        if (p.path == current || !m_list->currentItem())
            m_list->setCurrentItem(item);
    }
    for (int column : { Owner, Name, Programs }) {
        m_list->resizeColumnToContents(column);
        m_list->setColumnWidth(column, m_list->columnWidth(column) + fontMetrics().averageCharWidth() * 2);
    }
    m_list->setVisible(!found.isEmpty());
    m_none->setVisible(found.isEmpty());
    m_open->setEnabled(!found.isEmpty());
    // The files by name; what is wrong with each, which can be long, in the tooltip.
    QStringList files;
    for (const QString& w : warnings)
        files << w.section(QStringLiteral(": "), 0, 0);
    m_warnings->setVisible(!warnings.isEmpty());
    m_warnings->setText(
        QStringLiteral("Not read, so a prefix may be missing here: ") + files.join(QStringLiteral(", ")));
    m_warnings->setToolTip(warnings.join(QLatin1Char('\n')));
    if (!found.isEmpty())
        m_list->setFocus();
}

void FrmOpenPrefix::CmdOpen_Click()
{
    Procedure proc("CmdOpen_Click");
    proc.step(__LINE__, [&] {
        if (const QTreeWidgetItem* item = m_list->currentItem())
            openFolder(item->data(Path, Qt::UserRole).toString());
    });
}

void FrmOpenPrefix::CmdBrowse_Click()
{
    Procedure proc("CmdBrowse_Click");
    proc.step(__LINE__, [&] {
        // Beside the prefix open now, where others often are.
        const QString start = m_current.isEmpty() ? QDir::homePath() : QFileInfo(m_current).absolutePath();
        const QString folder = m_messages.getExistingDirectory(this, QStringLiteral("Open Prefix"), start);
        if (!folder.isEmpty())
            openFolder(folder);
    });
}

void FrmOpenPrefix::openFolder(const QString& folder)
{
    if (m_catalogue.open(folder, this))
        accept();
}

} // namespace tw
