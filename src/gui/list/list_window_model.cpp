#include "list/list_window_model.h"

#include "services/qt_text.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

#include <algorithm>

namespace renomiq {

FileListModel::FileListModel(QObject *parent) : QAbstractListModel(parent)
{
    m_folderIcon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    m_fileIcon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

void FileListModel::indexRemove(const std::string &text)
{
    auto it = m_index.find(text);
    if (it != m_index.end() && --it->second == 0)
        m_index.erase(it);
}

bool FileListModel::hasRow(const std::string &text) const
{
    return m_index.find(text) != m_index.end();
}

void FileListModel::setRowText(std::size_t row, const std::string &text)
{
    Row &r = m_rows.at(row);
    indexRemove(r.text);
    r.text = text;
    indexAdd(text);
    const QModelIndex i = index(static_cast<int>(row));
    Q_EMIT dataChanged(i, i);
}

void FileListModel::appendRow(const std::string &text)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.push_back({text, false, false});
    indexAdd(text);
    endInsertRows();
    Q_EMIT rowsChanged();
}

void FileListModel::appendRows(const std::vector<std::string> &texts, bool skipDuplicates)
{
    std::vector<Row> added;
    added.reserve(texts.size());
    for (const std::string &text : texts) {
        if (skipDuplicates && hasRow(text))
            continue;
        indexAdd(text);
        added.push_back({text, false, false});
    }
    if (added.empty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(added.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    endInsertRows();
    Q_EMIT rowsChanged();
}

void FileListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_index.clear();
    endResetModel();
    Q_EMIT rowsChanged();
}

void FileListModel::setListing(const std::vector<std::string> &folders, const std::vector<std::string> &files)
{
    beginResetModel();
    m_rows.clear();
    m_index.clear();
    m_rows.reserve(folders.size() + files.size());
    for (const std::string &name : folders) {
        m_rows.push_back({name, true, false});
        indexAdd(name);
    }
    for (const std::string &name : files) {
        m_rows.push_back({name, false, false});
        indexAdd(name);
    }
    endResetModel();
    Q_EMIT rowsChanged();
}

void FileListModel::removeRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Contiguous runs from the bottom up, so the indices above stay valid.
    for (auto end = rows.rbegin(); end != rows.rend();) {
        auto begin = end;
        while (std::next(begin) != rows.rend() && *std::next(begin) == *begin - 1)
            ++begin;
        const int first = *begin, last = *end;
        beginRemoveRows(QModelIndex(), first, last);
        for (int r = first; r <= last; ++r)
            indexRemove(m_rows[static_cast<std::size_t>(r)].text);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
        end = std::next(begin);
    }
    Q_EMIT rowsChanged();
}

void FileListModel::reorderRows(const std::vector<std::size_t> &order)
{
    Q_EMIT layoutAboutToBeChanged();
    std::vector<Row> rows;
    rows.reserve(order.size());
    std::vector<int> newRowOf(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        rows.push_back(std::move(m_rows[order[i]]));
        newRowOf[order[i]] = static_cast<int>(i);
    }
    m_rows = std::move(rows);
    // The selection and the current row follow their items.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &i : before)
        after.append(index(newRowOf[static_cast<std::size_t>(i.row())]));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}

std::vector<std::string> FileListModel::rowTexts() const
{
    std::vector<std::string> texts;
    texts.reserve(m_rows.size());
    for (const Row &row : m_rows)
        texts.push_back(row.text);
    return texts;
}

void FileListModel::setChecked(const std::vector<int> &rows, bool checked)
{
    for (int r : rows)
        m_rows.at(static_cast<std::size_t>(r)).checked = checked;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0), index(static_cast<int>(m_rows.size()) - 1), {Qt::CheckStateRole});
}

void FileListModel::setAllChecked(bool checked)
{
    for (Row &r : m_rows)
        r.checked = checked;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0), index(static_cast<int>(m_rows.size()) - 1), {Qt::CheckStateRole});
}

void FileListModel::setCheckable(bool checkable)
{
    if (checkable == m_checkable)
        return;
    beginResetModel();
    m_checkable = checkable;
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QIcon FileListModel::iconFor(const Row &row) const
{
    if (row.folder)
        return m_folderIcon;
    const std::size_t slash = row.text.rfind('\\');
    const std::size_t dot = row.text.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return m_fileIcon;
    const QString extension = toQt(row.text.substr(dot)).toLower();
    auto it = m_icons.find(extension);
    if (it == m_icons.end()) {
        static const QMimeDatabase mimes;
        const QMimeType type = mimes.mimeTypeForFile(QStringLiteral("x") + extension, QMimeDatabase::MatchExtension);
        QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), m_fileIcon));
        it = m_icons.insert(extension, icon);
    }
    return *it;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()))
        return {};
    const Row &row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole: // the whole text of a row the column cuts off
        return toQt(row.text);
    case Qt::DecorationRole:
        return iconFor(row);
    case Qt::CheckStateRole:
        if (m_checkable)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !m_checkable || !index.isValid())
        return false;
    m_rows[static_cast<std::size_t>(index.row())].checked = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractListModel::flags(index);
    if (m_checkable && index.isValid()) // the root is no row: it has no check mark
        f |= Qt::ItemIsUserCheckable;
    return f;
}

} // namespace renomiq
