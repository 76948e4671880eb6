#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace renomiq {

// The rows of the preview: old name and new name.
class PreviewModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PreviewModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void clear();
    void addRow(const QString &oldText, const QString &newText);
    // Rows kept aside while the preview is computed, then added in one go.
    void addRowLater(const QString &oldText, const QString &newText);
    void addPendingRows();
    const QString &oldText(int row) const { return m_rows[static_cast<std::size_t>(row)].first; }
    const QString &newText(int row) const { return m_rows[static_cast<std::size_t>(row)].second; }

private:
    std::vector<std::pair<QString, QString>> m_rows;
    std::vector<std::pair<QString, QString>> m_pending;
};

} // namespace renomiq
