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
    m_rows.shrink_to_fit();
    m_text.clear();
    m_text.shrink_to_fit();
    endResetModel();
}

void ProgramListModel::addRow(ProgramRow program, int largeIcon, int smallIcon)
{
    StoredRow stored;
    stored.start = m_text.size();
    const std::string empty;
    const std::string* texts[FieldCount] = { &program.key, &program.text, &program.size, &program.lastUsedOn,
        &program.frequency, &program.uninstallCommand, program.icon ? &program.icon->path : &empty };
    for (int i = 0; i < FieldCount; ++i) {
        stored.length[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(texts[i]->size());
        m_text += *texts[i];
    }
    stored.hasIcon = program.icon.has_value();
    stored.source = program.source;
    stored.iconIndex = program.icon ? program.icon->index : 0;
    stored.largeIcon = largeIcon;
    stored.smallIcon = smallIcon;

    const int at = rowCount();
    beginInsertRows({}, at, at);
    m_rows.push_back(stored);
    endInsertRows();
}

std::string_view ProgramListModel::field(const StoredRow& row, Field which) const
{
    std::size_t start = row.start;
    for (int i = 0; i < which; ++i)
        start += row.length[static_cast<std::size_t>(i)];
    return std::string_view(m_text).substr(start, row.length[which]);
}

QString ProgramListModel::fieldText(const StoredRow& row, Field which) const
{
    const std::string_view text = field(row, which);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

ProgramListModel::Row ProgramListModel::row(int sourceRow) const
{
    const StoredRow& stored = m_rows.at(static_cast<std::size_t>(sourceRow));
    Row r;
    r.program.key = field(stored, Key);
    r.program.text = field(stored, Text);
    r.program.size = field(stored, SizeText);
    r.program.lastUsedOn = field(stored, LastUsedOnText);
    r.program.frequency = field(stored, FrequencyText);
    r.program.uninstallCommand = field(stored, UninstallCommandText);
    if (stored.hasIcon)
        r.program.icon = IconRef { std::string(field(stored, IconPath)), stored.iconIndex };
    r.program.source = stored.source;
    r.largeIcon = stored.largeIcon;
    r.smallIcon = stored.smallIcon;
    return r;
}

int ProgramListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ProgramListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProgramListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const StoredRow& r = m_rows.at(static_cast<std::size_t>(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case DisplayName:
            return fieldText(r, Text);
        case Size:
            return fieldText(r, SizeText);
        case LastUsedOn:
            return fieldText(r, LastUsedOnText);
        case Frequency:
            return fieldText(r, FrequencyText);
        case Source:
            return QString::fromStdString(sourceName(r.source));
        case UninstallCommand:
            return fieldText(r, UninstallCommandText);
        default:
            return QString();
        }
    case KeyRole:
        return fieldText(r, Key);
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
