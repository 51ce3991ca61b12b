#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class Dataset;

// Shows a dataset in a grid: chosen fields as columns, one row per dataset row. Follows the
// dataset as it is read, edited, added to and deleted from; the grid reads values without moving
// the dataset's current row.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString header;
    };

    explicit DatasetModel(Dataset* dataset, QList<Column> columns, QObject* parent = nullptr);

    Dataset* dataset() const { return m_dataset; }
    const QList<Column>& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QPointer<Dataset> m_dataset;
    QList<Column> m_columns;
};
