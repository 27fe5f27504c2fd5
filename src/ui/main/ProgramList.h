// SPDX-License-Identifier: MIT
#pragma once

#include "ui/ProgramSelection.h"
#include "ui/main/ProgramListModel.h"

#include <QWidget>

#include <optional>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QSortFilterProxyModel;
class QStackedLayout;
class QTreeView;

namespace tw {

class ImageList;
class IconRoleDelegate;

// The program list `lstview`: one model shown in four views (large icons, small icons, list and the
// report with columns) that share one sort order and one selection. Positions count rows as shown,
// from 0 at the top.
class ProgramList : public QWidget, public ProgramSelection
{
    Q_OBJECT

public:
    enum View { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

    explicit ProgramList(QWidget* parent = nullptr);

    ProgramListModel& model() { return *m_model; }
    const ProgramListModel& model() const { return *m_model; }

    int view() const { return m_view; }
    // Throws for a view other than 0 to 3.
    void setView(int view);
    // The list's large and small image lists; nullptr detaches one.
    void setImageLists(const ImageList* large, const ImageList* small);

    std::optional<ProgramRow> selectedProgram() const override;
    int rowCount() const override;
    ProgramRow program(int position) const override;
    QString text(int position) const;
    std::optional<int> selectedPosition() const;
    void selectPosition(int position);
    void ensureVisible(int position);

    // The report view's column widths, in pixels.
    int columnWidth(int column) const;
    void setColumnWidth(int column, int pixels);

    // Sorting as the list control offers it: on or off, the column, the direction. Off shows the rows
    // in the order they were added.
    bool isSorted() const { return m_sorted; }
    void setSorted(bool sorted);
    int sortKey() const { return m_sortKey; }
    void setSortKey(int column);
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void setSortOrder(Qt::SortOrder order);

    // The view shown now: the report view for 3, the icon view for the others.
    QAbstractItemView* currentView() const;
    QListView* iconView() const { return m_icons; }
    QTreeView* reportView() const { return m_report; }

Q_SIGNALS:
    void clicked();
    void doubleClicked();
    void columnClicked(int column);
    void mouseReleased(Qt::MouseButton button, const QPoint& globalPos);
    void selectionChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int sourceRow(int position) const;
    QSize smallIconCell() const;
    void applySort();

    ProgramListModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QItemSelectionModel* m_selection;
    QStackedLayout* m_stack;
    QListView* m_icons;
    QTreeView* m_report;
    IconRoleDelegate* m_iconDelegate;
    int m_view = Report;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace tw
