// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <vector>

namespace tw {

class ImageList;

// The rows of the program list in the order the scan added them, with the two image list indexes
// of each. Every view of the list shows this one model.
class ProgramListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DisplayName, Size, LastUsedOn, Frequency, Source, UninstallCommand, ColumnCount };
    enum Role {
        KeyRole = Qt::UserRole + 1,
        LargeIconRole, // the row's image in the large image list (Qt::DecorationRole is the small one)
    };

    struct Row
    {
        ProgramRow program;
        int largeIcon = 1;
        int smallIcon = 1;
    };

    explicit ProgramListModel(QObject* parent = nullptr);

    // The lists the icon indexes point into; nullptr detaches one.
    void setImageLists(const ImageList* large, const ImageList* small);
    void removeAll();
    void addRow(ProgramRow program, int largeIcon, int smallIcon);
    const Row& row(int sourceRow) const { return m_rows.at(static_cast<std::size_t>(sourceRow)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static QString cellText(const ProgramRow& program, int column);

private:
    std::vector<Row> m_rows;
    QPointer<const ImageList> m_large;
    QPointer<const ImageList> m_small;
};

} // namespace tw
