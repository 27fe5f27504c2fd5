// SPDX-License-Identifier: MIT
#include "ui/entries/FrmEditEntry.h"

#include "base/AppContext.h"
#include "base/Errors.h"
#include "inventory/Inventory.h"
#include "registry/Registry.h"
#include "system/WineServer.h"
#include "ui/MessageService.h"
#include "ui/Twips.h"
#include "ui/WriteFailure.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tw {
namespace {

// Which loaded value a row came from (-1: a row added here), and whether it is the key's default value.
constexpr int kOriginRole = Qt::UserRole;
constexpr int kDefaultValueRole = Qt::UserRole + 1;

int keyCodeOf(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return FrmEditEntry::kKeyReturn;
    case Qt::Key_Escape:
        return FrmEditEntry::kKeyEscape;
    case Qt::Key_Up:
        return FrmEditEntry::kKeyUp;
    case Qt::Key_Down:
        return FrmEditEntry::kKeyDown;
    default:
        return 0;
    }
}

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The default value has no name; its row says so where the name would stand.
class NameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.isEmpty() && index.data(kDefaultValueRole).toBool()) {
            option->text = QStringLiteral("(Default)");
            option->font.setItalic(true);
            option->palette.setColor(QPalette::Text, option->palette.color(QPalette::PlaceholderText));
        }
    }
};

} // namespace

FrmEditEntry::FrmEditEntry(const AppContext& context, Registry& registry, WineServer* wine,
    MessageService& messages, const ProgramRow& selected, std::function<void()> refresh, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_registry(registry)
    , m_wine(wine)
    , m_messages(messages)
    , m_selected(selected)
    , m_path(std::string(kUninstallPath) + selected.key)
    , m_refresh(std::move(refresh))
{
    setObjectName(QStringLiteral("FrmEditEntry"));
    setWindowTitle(QStringLiteral("Edit Program Details"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    buildControls();
    Form_Load();
}

FrmEditEntry::~FrmEditEntry() = default;

void FrmEditEntry::buildControls()
{
    m_txtDName = new QLineEdit(this);
    m_txtDName->setObjectName(QStringLiteral("TxtDName"));
    m_txtDName->setReadOnly(true);
    QFont bold = m_txtDName->font();
    bold.setBold(true);
    m_txtDName->setFont(bold);

    m_label2 = new QLabel(QStringLiteral("Uninstall Information:"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));

    m_grid = new QTableWidget(1, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("MSFEntries"));
    m_grid->setHorizontalHeaderLabels(
        { QStringLiteral("Registry Key"), QStringLiteral("Registry Value"), QStringLiteral("Type") });
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(
        m_grid->fontMetrics().height() + twipsToPixelsY(120, this));
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setTabKeyNavigation(false); // Tab leaves the grid, as it leaves every other control
    m_grid->setWordWrap(false);
    m_grid->setItemDelegateForColumn(NameColumn, new NameDelegate(m_grid));
    m_grid->installEventFilter(this);

    // Laid over the grid's current cell while the user types, hidden otherwise.
    m_txtEdit = new QLineEdit(this);
    m_txtEdit->setObjectName(QStringLiteral("txtEdit"));
    m_txtEdit->setFrame(false);
    QPalette tip = m_txtEdit->palette();
    tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
    m_txtEdit->setPalette(tip);
    m_txtEdit->hide();
    m_txtEdit->installEventFilter(this);

    auto button = [this](const char* name, const char* caption, const char* tooltip) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(QLatin1String(tooltip));
        b->setMinimumWidth(twipsToPixelsX(1215, this));
        return b;
    };
    m_cmdAdd = button("CmdAdd", "&Add", "Add entry");
    m_cmdDelete = button("CmdDelete", "&Delete", "Delete entry");
    m_cmdOk = button("CmdOk", "&OK", "OK");
    m_cmdCancel = button("CmdCancel", "&Cancel", "Cancel");
    m_cmdOk->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdAdd);
    buttons->addWidget(m_cmdDelete);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOk);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    const int margin = twipsToPixelsX(180, this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(twipsToPixelsY(60, this));
    layout->addWidget(m_txtDName);
    layout->addSpacing(twipsToPixelsY(90, this));
    layout->addWidget(m_label2);
    layout->addWidget(m_grid, 1);
    layout->addSpacing(twipsToPixelsY(90, this));
    layout->addLayout(buttons);

    setTabOrder(m_txtDName, m_grid);
    setTabOrder(m_grid, m_txtEdit);
    setTabOrder(m_txtEdit, m_cmdAdd);
    setTabOrder(m_cmdAdd, m_cmdDelete);
    setTabOrder(m_cmdDelete, m_cmdOk);
    setTabOrder(m_cmdOk, m_cmdCancel);

    connect(m_grid, &QTableWidget::cellClicked, this, [this] { MSFEntries_Click(); });
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this] { MSFEntries_LeaveCell(); });
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { MSFEntries_Scroll(); });
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { MSFEntries_Scroll(); });
    // A column dragged wider or narrower takes the edit box along.
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (m_editing)
            placeEditor();
    });
    connect(m_cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(m_cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(m_cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FrmEditEntry::Form_Load()
{
    Procedure proc("Form_Load", OnError::Skip);
    proc.step(__LINE__, [&] {
        if (parentWidget())
            setWindowIcon(parentWidget()->window()->windowIcon());
    });
    // The grid comes with one empty row, which AddItem appends after.
    proc.step(__LINE__, [&] { fillRow(0, QString(), QString(), -1, kRegSz); });
    proc.step(__LINE__, [&] { m_txtDName->setText(fromUtf8(m_selected.text)); });
    proc.step(__LINE__, [&] { m_grid->setCurrentCell(0, NameColumn); });
    proc.step(
        __LINE__, [&] { m_values = entries::readEntryValues(m_registry.api(), kHKeyLocalMachine, m_path); });
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        proc.step(__LINE__, [&] {
            AddItem(fromUtf8(entries::displayName(m_values[i])), fromUtf8(entries::displayText(m_values[i])),
                static_cast<int>(i), m_values[i].type);
        });
    }
    // A grid keeps at least one row: with no values the empty one stays.
    proc.step(__LINE__, [&] {
        if (m_grid->rowCount() > 1)
            m_grid->removeRow(0);
    });
    proc.step(__LINE__, [&] {
        const QFontMetrics metrics = m_grid->fontMetrics();
        const int padding
            = 2 * (m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1);
        m_grid->setColumnWidth(NameColumn, metrics.horizontalAdvance(QString(51, QLatin1Char(' '))));
        m_grid->setColumnWidth(TextColumn, metrics.horizontalAdvance(QString(75, QLatin1Char(' '))));
        if (m_grid->columnWidth(TextColumn) < m_widestValue + padding)
            m_grid->setColumnWidth(TextColumn, m_widestValue + padding);
        int typeWidth = metrics.horizontalAdvance(QStringLiteral("REG_EXPAND_SZ"));
        for (const entries::EntryValue& v : m_values)
            typeWidth = std::max(typeWidth, metrics.horizontalAdvance(fromUtf8(entries::typeName(v.type))));
        m_grid->setColumnWidth(TypeColumn, typeWidth + padding);
    });
    proc.step(__LINE__, [&] {
        m_grid->setCurrentCell(0, NameColumn);
        m_grid->setFocus();
        // Wide enough for the design widths of the columns; a wider value scrolls.
        const int columns = m_grid->fontMetrics().horizontalAdvance(QString(51 + 75, QLatin1Char(' ')))
            + m_grid->columnWidth(TypeColumn) + m_grid->verticalScrollBar()->sizeHint().width()
            + 2 * m_grid->frameWidth();
        const QMargins margins = layout()->contentsMargins();
        resize(std::max(columns + margins.left() + margins.right(), twipsToPixelsX(7200, this)),
            twipsToPixelsY(6000, this));
    });
}

void FrmEditEntry::AddItem(const QString& name, const QString& valueText, int origin, std::uint32_t type)
{
    // Its own report in place of the common one; loading goes on with the next value.
    try {
        const int row = m_grid->rowCount();
        m_grid->setRowCount(row + 1);
        m_grid->setCurrentCell(row, NameColumn);
        fillRow(row, name, valueText, origin, type);
        m_grid->setCurrentCell(row, TextColumn);
        const int width = fontMetrics().horizontalAdvance(valueText);
        if (width > m_widestValue)
            m_widestValue = width;
    } catch (...) {
        const ErrorInfo info = describeCurrentException("AddItem", __LINE__);
        m_messages.critical(this, title(),
            QStringLiteral("Error occurred Edit Entry AddItem: \r\n")
                + QString::fromStdString(info.description));
    }
}

void FrmEditEntry::fillRow(int row, const QString& name, const QString& text, int origin, std::uint32_t type)
{
    auto* nameItem = new QTableWidgetItem(name);
    nameItem->setData(kOriginRole, origin);
    nameItem->setData(
        kDefaultValueRole, origin >= 0 && m_values[static_cast<std::size_t>(origin)].name.empty());
    m_grid->setItem(row, NameColumn, nameItem);
    m_grid->setItem(row, TextColumn, new QTableWidgetItem(text));
    auto* typeItem = new QTableWidgetItem(fromUtf8(entries::typeName(type)));
    typeItem->setForeground(palette().color(QPalette::PlaceholderText));
    m_grid->setItem(row, TypeColumn, typeItem);
}

void FrmEditEntry::cmdAdd_Click()
{
    Procedure proc("cmdAdd_Click");
    // A shortcut presses the button without taking the focus from the edit box.
    if (!proc.step(__LINE__, [&] { commitEdit(); }))
        return;
    if (!proc.step(__LINE__, [&] {
            const int row = m_grid->rowCount();
            m_grid->setRowCount(row + 1);
            fillRow(row, QString(), QString(), -1, kRegSz);
            m_grid->setCurrentCell(row, NameColumn);
        }))
        return;
    proc.step(__LINE__, [&] { m_grid->setFocus(); });
}

void FrmEditEntry::cmdDelete_Click()
{
    Procedure proc("cmdDelete_Click", OnError::Skip);
    proc.step(__LINE__, [&] { commitEdit(); });
    MsgButton answer = MsgButton::No;
    proc.step(__LINE__, [&] {
        answer
            = m_messages.message(this, title(), QStringLiteral("Are you sure you want to delete the value?"),
                MsgIcon::Question, { MsgButton::Yes, MsgButton::No });
    });
    if (answer == MsgButton::No)
        return;
    // Like the grid it stands for, the grid keeps at least one row.
    proc.step(__LINE__, [&] {
        const int row = m_grid->currentRow();
        if (row >= 0 && m_grid->rowCount() > 1)
            m_grid->removeRow(row);
    });
    proc.step(__LINE__, [&] { m_grid->setFocus(); });
}

void FrmEditEntry::cmdOk_Click()
{
    Procedure proc("cmdOk_Click");
    if (!proc.step(__LINE__, [&] { commitEdit(); }))
        return;
    entries::EntryPlan plan;
    if (!proc.step(__LINE__, [&] { plan = entries::planWriteBack(m_values, gridRows()); }))
        return;
    if (plan.rejected) {
        proc.step(__LINE__, [&] {
            const QString name = plan.rejected->name.empty()
                ? QStringLiteral("The default value")
                : QStringLiteral("The value \"%1\"").arg(fromUtf8(plan.rejected->name));
            const QString rule = plan.rejected->form == entries::ValueForm::Number
                ? QStringLiteral("must be a whole number from -2147483648 to 4294967295.")
                : QStringLiteral("must be bytes in hexadecimal, such as 01 00 ff.");
            m_messages.information(this, title(), name + QLatin1Char(' ') + rule);
            m_grid->setCurrentCell(static_cast<int>(plan.rejected->row), TextColumn);
            m_grid->setFocus();
        });
        return;
    }
    if (m_wine && m_wine->running()) {
        proc.step(__LINE__, [&] {
            m_messages.information(
                this, title(), QString::fromStdString(wineRunningMessage(m_wine->prefix())));
        });
        return;
    }
    // Every change of the session as one save: a failure at any step leaves the entry as it was, and
    // the dialog stays open with what the user typed.
    long rc = kErrorSuccess;
    if (!proc.step(__LINE__, [&] {
            const WriteHold hold(m_wine);
            hold.throwIfRefused();
            rc = entries::applyChanges(m_registry.api(), kHKeyLocalMachine, m_path, plan.changes);
        }))
        return;
    if (rc != kErrorSuccess) {
        m_messages.critical(this, title(), writeFailureMessage(m_registry.api(), rc));
        return;
    }
    if (!proc.step(__LINE__, [&] { accept(); }))
        return;
    proc.step(__LINE__, [&] {
        if (m_refresh)
            m_refresh();
    });
}

void FrmEditEntry::cmdCancel_Click()
{
    Procedure proc("cmdCancel_Click");
    proc.step(__LINE__, [&] { reject(); });
}

std::vector<entries::EntryRow> FrmEditEntry::gridRows() const
{
    std::vector<entries::EntryRow> rows;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        const QTableWidgetItem* name = m_grid->item(r, NameColumn);
        const QTableWidgetItem* text = m_grid->item(r, TextColumn);
        entries::EntryRow row;
        const int origin = name ? name->data(kOriginRole).toInt() : -1;
        if (origin >= 0)
            row.origin = static_cast<std::size_t>(origin);
        row.name = name ? name->text().toStdString() : std::string();
        row.text = text ? text->text().toStdString() : std::string();
        rows.push_back(std::move(row));
    }
    return rows;
}

QString FrmEditEntry::title() const
{
    return QString::fromStdString(m_context.title);
}

bool FrmEditEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid) {
        if (event->type() == QEvent::FocusIn) {
            MSFEntries_GotFocus();
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QList<uint> typed = key->text().toUcs4();
            if (typed.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                return false;
            const auto code = static_cast<char32_t>(typed.front());
            if (code > 32 && !QChar::isPrint(code))
                return false;
            MSFEntries_KeyPress(code);
            return true;
        }
    } else if (watched == m_txtEdit) {
        if (event->type() == QEvent::FocusOut) {
            // A menu or another window taking the focus for a while is no reason to end the edit.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                txtEdit_LostFocus();
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const int code = keyCodeOf(key);
            txtEdit_KeyDown(code, key->modifiers());
            int ascii = key->text().isEmpty() ? 0 : key->text().front().unicode();
            if (ascii != 0) {
                txtEdit_KeyPress(ascii);
                if (ascii == 0)
                    return true;
            }
            // Enter and Escape would otherwise reach the dialog and close it.
            return code != 0;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmEditEntry::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_editing)
        placeEditor();
}

} // namespace tw
