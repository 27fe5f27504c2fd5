// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
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
    Row row(int sourceRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // A row's texts, in this order, one after the other in m_text.
    enum Field {
        Key,
        Text,
        SizeText,
        LastUsedOnText,
        FrequencyText,
        UninstallCommandText,
        IconPath,
        FieldCount
    };
    // A row as the list holds it: its texts' place in m_text, so that a long list takes little more
    // than its text.
    struct StoredRow
    {
        std::size_t start = 0;
        std::array<std::uint32_t, FieldCount> length {};
        std::int32_t iconIndex = 0;
        bool hasIcon = false;
        RegistrySource source;
        int largeIcon = 1;
        int smallIcon = 1;
    };

    std::string_view field(const StoredRow& row, Field which) const;
    QString fieldText(const StoredRow& row, Field which) const;

    std::vector<StoredRow> m_rows;
    std::string m_text;
    QPointer<const ImageList> m_large;
    QPointer<const ImageList> m_small;
};

} // namespace tw
