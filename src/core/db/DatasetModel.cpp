#include "core/db/DatasetModel.h"

#include "core/db/Dataset.h"

DatasetModel::DatasetModel(Dataset* dataset, QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_dataset(dataset), m_columns(std::move(columns)) {
    connect(dataset, &Dataset::reset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(dataset, &Dataset::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        endInsertRows();
    });
    connect(dataset, &Dataset::rowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        endRemoveRows();
    });
    connect(dataset, &Dataset::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_dataset ? 0 : m_dataset->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!m_dataset || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return m_dataset->valueAt(index.row(), m_dataset->fieldIndex(m_columns.value(index.column()).field));
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return m_columns.value(section).header;
}
