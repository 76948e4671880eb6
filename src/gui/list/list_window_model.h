#pragma once

#include "targets/file_list.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace renomiq {

// The rows of the list window's file list: one text a row (a bare name in
// folder mode, a full path in files mode), a check mark, and whether the row is
// a folder. Icons are looked up per extension, only for rows that are drawn.
class FileListModel : public QAbstractListModel, public FileList {
    Q_OBJECT

public:
    explicit FileListModel(QObject *parent = nullptr);

    // FileList
    std::size_t rowCount() const override { return m_rows.size(); }
    std::string rowText(std::size_t row) const override { return m_rows.at(row).text; }
    void setRowText(std::size_t row, const std::string &text) override;
    void appendRow(const std::string &text) override;
    void clear() override;
    bool hasRow(const std::string &text) const override;

    // QAbstractListModel
    int rowCount(const QModelIndex &parent) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Appends full paths in one step; with skipDuplicates, not those a row
    // already holds (nor repeats within the paths).
    void appendRows(const std::vector<std::string> &texts, bool skipDuplicates);
    // A folder's listing: its subfolders, then its files, in one reset.
    void setListing(const std::vector<std::string> &folders, const std::vector<std::string> &files);
    // Removes the rows (any order); the rest keep their order.
    void removeRows(std::vector<int> rows);
    // Puts the rows in the order given by their former indices.
    void reorderRows(const std::vector<std::size_t> &order);
    std::vector<std::string> rowTexts() const;

    bool isChecked(int row) const { return m_rows.at(static_cast<std::size_t>(row)).checked; }
    void setChecked(const std::vector<int> &rows, bool checked);
    void setAllChecked(bool checked);
    void setCheckable(bool checkable);
    bool checkable() const { return m_checkable; }

Q_SIGNALS:
    void rowsChanged();

private:
    struct Row {
        std::string text;
        bool folder = false;
        bool checked = false;
    };
    QIcon iconFor(const Row &row) const;
    void indexAdd(const std::string &text) { ++m_index[text]; }
    void indexRemove(const std::string &text);

    std::vector<Row> m_rows;
    std::unordered_map<std::string, int> m_index; // row text -> number of rows holding it
    bool m_checkable = false;
    mutable QHash<QString, QIcon> m_icons; // by lower-case extension
    QIcon m_folderIcon;
    QIcon m_fileIcon;
};

} // namespace renomiq
