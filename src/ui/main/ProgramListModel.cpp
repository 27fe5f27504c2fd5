// SPDX-License-Identifier: MIT
#include "ui/main/ProgramListModel.h"

#include "ui/main/ImageList.h"

namespace tw {
namespace {

QVariant imageOf(const ImageList* list, int index)
{
    if (!list)
        return {};
    const QPixmap image = list->image(index);
    return image.isNull() ? QVariant() : QVariant(image);
}

} // namespace

ProgramListModel::ProgramListModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

void ProgramListModel::setImageLists(const ImageList* large, const ImageList* small)
{
    m_large = large;
    m_small = small;
    if (!m_rows.empty())
        Q_EMIT dataChanged(
            index(0, DisplayName), index(rowCount() - 1, DisplayName), { Qt::DecorationRole, LargeIconRole });
}

void ProgramListModel::removeAll()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ProgramListModel::addRow(ProgramRow program, int largeIcon, int smallIcon)
{
    const int at = rowCount();
    beginInsertRows({}, at, at);
    m_rows.push_back({ std::move(program), largeIcon, smallIcon });
    endInsertRows();
}

int ProgramListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ProgramListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ProgramListModel::cellText(const ProgramRow& program, int column)
{
    switch (column) {
    case DisplayName:
        return QString::fromStdString(program.text);
    case Size:
        return QString::fromStdString(program.size);
    case LastUsedOn:
        return QString::fromStdString(program.lastUsedOn);
    case Frequency:
        return QString::fromStdString(program.frequency);
    case Source:
        return QString::fromStdString(sourceName(program.source));
    case UninstallCommand:
        return QString::fromStdString(program.uninstallCommand);
    default:
        return {};
    }
}

QVariant ProgramListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row& r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(r.program, index.column());
    case KeyRole:
        return QString::fromStdString(r.program.key);
    case Qt::DecorationRole:
        return index.column() == DisplayName ? imageOf(m_small, r.smallIcon) : QVariant();
    case LargeIconRole:
        return index.column() == DisplayName ? imageOf(m_large, r.largeIcon) : QVariant();
    default:
        return {};
    }
}

QVariant ProgramListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DisplayName:
        return QStringLiteral("Display Name");
    case Size:
        return QStringLiteral("Size");
    case LastUsedOn:
        return QStringLiteral("Last Used On");
    case Frequency:
        return QStringLiteral("Frequency");
    case Source:
        return QStringLiteral("Source");
    case UninstallCommand:
        return QStringLiteral("Uninstall Command");
    default:
        return {};
    }
}

} // namespace tw
