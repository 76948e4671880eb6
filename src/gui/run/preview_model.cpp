#include "run/preview_model.h"

namespace renomiq {

PreviewModel::PreviewModel(QObject *parent) : QAbstractTableModel(parent) {}

int PreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const auto &row = m_rows[static_cast<std::size_t>(index.row())];
    return index.column() == 0 ? row.first : row.second;
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("Old filenames") : QStringLiteral("New filenames preview");
}

void PreviewModel::clear()
{
    m_pending.clear();
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void PreviewModel::addRow(const QString &oldText, const QString &newText)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.emplace_back(oldText, newText);
    endInsertRows();
}

} // namespace renomiq

namespace renomiq {

void PreviewModel::addRowLater(const QString &oldText, const QString &newText)
{
    m_pending.emplace_back(oldText, newText);
}

void PreviewModel::addPendingRows()
{
    if (m_pending.empty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(m_pending.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(m_pending.begin()), std::make_move_iterator(m_pending.end()));
    m_pending.clear();
    endInsertRows();
}

} // namespace renomiq
