// SPDX-License-Identifier: MIT
#include "ui/main/ProgramList.h"

#include "base/Errors.h"
#include "ui/Twips.h"
#include "ui/main/ImageList.h"

#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QSortFilterProxyModel>
#include <QStackedLayout>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace tw {
namespace {

QString twoLines(const QString& text, const QFontMetrics& metrics, int width)
{
    if (width <= 0 || metrics.horizontalAdvance(text) <= width)
        return text;
    // The longest run of whole words that fits the first line; a single long word is cut anywhere.
    qsizetype split = -1;
    for (qsizetype at = text.indexOf(QLatin1Char(' ')); at > 0; at = text.indexOf(QLatin1Char(' '), at + 1)) {
        if (metrics.horizontalAdvance(text.left(at)) > width)
            break;
        split = at;
    }
    QString first;
    QString rest;
    if (split > 0) {
        first = text.left(split);
        rest = text.mid(split + 1);
    } else {
        qsizetype fit = 1;
        while (fit < text.size() && metrics.horizontalAdvance(text.left(fit + 1)) <= width)
            ++fit;
        first = text.left(fit);
        rest = text.mid(fit);
    }
    return first + QChar::LineSeparator + metrics.elidedText(rest, Qt::ElideRight, width);
}

} // namespace

// Draws the icon view's items: the large images in the large-icon view and the small ones otherwise
// (the report view uses the model's small images directly). Each item keeps to its grid cell, so long
// names are cut short rather than running into the next item.
class IconRoleDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setMode(bool large, const QSize& cell)
    {
        m_large = large;
        m_cell = cell;
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize hint = QStyledItemDelegate::sizeHint(option, index);
        if (!m_cell.isValid())
            return hint;
        if (m_large)
            return m_cell - QSize(kCellGap, kCellGap);
        return QSize(qMin(hint.width(), m_cell.width() - kCellGap), hint.height());
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!m_large)
            return;
        // Names hang from the image in at most two lines, the second cut short when it must be.
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
        option->rect.adjust(0, kCellGap, 0, 0);
        // The style keeps a focus margin of a few pixels on each side of the text.
        option->text = twoLines(option->text, option->fontMetrics, m_cell.width() - 3 * kCellGap);
        const QPixmap image = index.data(ProgramListModel::LargeIconRole).value<QPixmap>();
        if (image.isNull())
            return;
        option->icon = QIcon(image);
        option->decorationSize = image.size();
        option->features |= QStyleOptionViewItem::HasDecoration;
    }

private:
    static constexpr int kCellGap = 4;
    bool m_large = false;
    QSize m_cell;
};

namespace {

constexpr int kColumnTwips[ProgramListModel::ColumnCount] = { 3400, 1150, 1400, 1351, 1600, 15000 };

void setUpItemView(QAbstractItemView* view)
{
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setDragEnabled(false);
    view->setTextElideMode(Qt::ElideRight);
}

} // namespace

ProgramList::ProgramList(QWidget* parent)
    : QWidget(parent)
    , m_model(new ProgramListModel(this))
    , m_proxy(new QSortFilterProxyModel(this))
    , m_stack(new QStackedLayout(this))
    , m_icons(new QListView(this))
    , m_report(new QTreeView(this))
    , m_iconDelegate(new IconRoleDelegate(this))
{
    setObjectName(QStringLiteral("lstview"));
    // Rows sort by the text shown, without regard to case.
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortRole(Qt::DisplayRole);

    m_icons->setObjectName(QStringLiteral("lstviewIcons"));
    m_icons->setModel(m_proxy);
    m_icons->setItemDelegate(m_iconDelegate);
    setUpItemView(m_icons);

    m_report->setObjectName(QStringLiteral("lstviewReport"));
    m_report->setModel(m_proxy);
    setUpItemView(m_report);
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_report->setUniformRowHeights(true);
    m_report->setAllColumnsShowFocus(true);
    m_report->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_report->setIconSize(QSize(16, 16));
    QHeaderView* header = m_report->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(0);
    for (int column = 0; column < ProgramListModel::ColumnCount; ++column)
        header->resizeSection(column, twipsToPixelsX(kColumnTwips[column], this));

    // One selection for every view, so switching views keeps the selected row.
    m_selection = m_report->selectionModel();
    QItemSelectionModel* unused = m_icons->selectionModel();
    m_icons->setSelectionModel(m_selection);
    delete unused;

    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_icons);
    m_stack->addWidget(m_report);
    QWidget::setTabOrder(m_icons, m_report);

    for (QAbstractItemView* view :
        { static_cast<QAbstractItemView*>(m_icons), static_cast<QAbstractItemView*>(m_report) }) {
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::clicked, this, [this] { Q_EMIT clicked(); });
        connect(view, &QAbstractItemView::doubleClicked, this, [this] { Q_EMIT doubleClicked(); });
    }
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { Q_EMIT columnClicked(column); });
    connect(m_selection, &QItemSelectionModel::selectionChanged, this, [this] { Q_EMIT selectionChanged(); });

    setView(Report);
}

void ProgramList::setView(int view)
{
    if (view < LargeIcons || view > Report)
        throw Error(errc::kInvalidCall, "Invalid property value");
    const bool hadFocus = currentView()->hasFocus();
    m_view = view;
    if (view == Report) {
        m_stack->setCurrentWidget(m_report);
    } else {
        // The view mode resets flow, wrapping and movement, so it goes first.
        m_icons->setViewMode(view == LargeIcons ? QListView::IconMode : QListView::ListMode);
        m_icons->setMovement(QListView::Static);
        m_icons->setResizeMode(QListView::Adjust);
        m_icons->setWrapping(true);
        m_icons->setFlow(view == List ? QListView::TopToBottom : QListView::LeftToRight);
        QSize cell;
        if (view == LargeIcons) {
            cell = twipsToPixels(QSize(1440, 1140), this);
            m_icons->setIconSize(QSize(32, 32));
            m_icons->setSpacing(0);
            m_icons->setWordWrap(true);
        } else {
            // Small icons line up in columns of one width; the list's columns fit their names.
            if (view == SmallIcons)
                cell = smallIconCell();
            m_icons->setIconSize(QSize(16, 16));
            m_icons->setWordWrap(false);
            m_icons->setSpacing(view == List ? 1 : 0);
        }
        m_iconDelegate->setMode(view == LargeIcons, cell);
        m_icons->setGridSize(cell);
        m_stack->setCurrentWidget(m_icons);
        m_icons->doItemsLayout();
    }
    setFocusProxy(currentView());
    if (hadFocus)
        currentView()->setFocus();
}

QSize ProgramList::smallIconCell() const
{
    // Columns of at least 2800 twips that share the width between them evenly.
    const int available = width() - 2 * m_icons->frameWidth()
        - m_icons->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_icons) - 1;
    const int columns = qMax(1, available / twipsToPixelsX(2800, this));
    return QSize(qMax(1, available / columns), qMax(18, fontMetrics().height() + 4));
}

void ProgramList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_view == SmallIcons) {
        const QSize cell = smallIconCell();
        m_iconDelegate->setMode(false, cell);
        m_icons->setGridSize(cell);
    }
}

void ProgramList::setImageLists(const ImageList* large, const ImageList* small)
{
    m_model->setImageLists(large, small);
}

QAbstractItemView* ProgramList::currentView() const
{
    if (m_view == Report)
        return m_report;
    return m_icons;
}

int ProgramList::rowCount() const
{
    return m_proxy->rowCount();
}

int ProgramList::sourceRow(int position) const
{
    const QModelIndex index = m_proxy->index(position, 0);
    if (!index.isValid())
        throw Error(errc::kSubscriptOutOfRange, "Index out of bounds");
    return m_proxy->mapToSource(index).row();
}

ProgramRow ProgramList::program(int position) const
{
    return m_model->row(sourceRow(position)).program;
}

QString ProgramList::text(int position) const
{
    return m_model->data(m_model->index(sourceRow(position), ProgramListModel::DisplayName)).toString();
}

std::optional<ProgramRow> ProgramList::selectedProgram() const
{
    if (const auto position = selectedPosition())
        return program(*position);
    return std::nullopt;
}

std::optional<int> ProgramList::selectedPosition() const
{
    const QModelIndexList rows = m_selection->selectedRows(0);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first().row();
}

void ProgramList::selectPosition(int position)
{
    const QModelIndex index = m_proxy->index(position, 0);
    if (!index.isValid())
        throw Error(errc::kSubscriptOutOfRange, "Index out of bounds");
    m_selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ProgramList::ensureVisible(int position)
{
    const QModelIndex index = m_proxy->index(position, 0);
    if (index.isValid())
        currentView()->scrollTo(index);
}

int ProgramList::columnWidth(int column) const
{
    return m_report->header()->sectionSize(column);
}

void ProgramList::setColumnWidth(int column, int pixels)
{
    m_report->header()->resizeSection(column, pixels);
}

void ProgramList::setSorted(bool sorted)
{
    m_sorted = sorted;
    applySort();
}

void ProgramList::setSortKey(int column)
{
    if (column < 0 || column >= ProgramListModel::ColumnCount)
        throw Error(errc::kInvalidCall, "Invalid property value");
    m_sortKey = column;
    applySort();
}

void ProgramList::setSortOrder(Qt::SortOrder order)
{
    m_sortOrder = order;
    applySort();
}

void ProgramList::applySort()
{
    QHeaderView* header = m_report->header();
    header->setSortIndicatorShown(m_sorted);
    if (m_sorted) {
        header->setSortIndicator(m_sortKey, m_sortOrder);
        m_proxy->sort(m_sortKey, m_sortOrder);
    } else {
        m_proxy->sort(-1);
    }
    if (const auto position = selectedPosition())
        ensureVisible(*position);
}

bool ProgramList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && (watched == m_icons->viewport() || watched == m_report->viewport())) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        Q_EMIT mouseReleased(mouse->button(), mouse->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tw
