#include "core/records/PersonListModel.h"

#include "core/records/PersonList.h"

PersonListModel::PersonListModel(const PersonList* list, QObject* parent) : QAbstractListModel(parent), m_list(list) {}

void PersonListModel::listReset() {
    beginResetModel();
    endResetModel();
}

int PersonListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : qMax(1, m_list->count());
}

QVariant PersonListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_list->count()) return {};
    const QString& entry = m_list->entries()[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return (PersonListEntryField(entry, 1) + QLatin1Char(' ') + PersonListEntryField(entry, 2)).trimmed();
    case NameRole:
        return PersonListEntryField(entry, 1);
    case ForeNameRole:
        return PersonListEntryField(entry, 2);
    case NumberRole:
        return PersonListEntryField(entry, 3);
    case IdRole:
        return m_list->idAt(index.row());
    default:
        return {};
    }
}

Qt::ItemFlags PersonListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // The blank row of an empty list cannot be chosen.
    if (index.row() >= m_list->count()) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
