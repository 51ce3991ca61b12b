#include "core/analyses/AnalysisListModel.h"

#include "core/analyses/AnalysisList.h"

AnalysisListModel::AnalysisListModel(const AnalysisList* list, QObject* parent)
    : QAbstractListModel(parent), m_list(list) {}

void AnalysisListModel::listReset() {
    beginResetModel();
    endResetModel();
}

int AnalysisListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : qMax(1, m_list->count());
}

QVariant AnalysisListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_list->count()) return {};
    const QString& entry = m_list->entries()[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case TitleRole:
        return AnalysisListPiece(entry, 1);
    case UpperTextRole:
        return AnalysisListPiece(entry, 2);
    case LowerTextRole:
        return AnalysisListPiece(entry, 3);
    case IdRole:
        return m_list->idAt(index.row());
    default:
        return {};
    }
}

Qt::ItemFlags AnalysisListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // The blank row of an empty list can be clicked (it selects the current person-analysis again), not highlighted.
    if (index.row() >= m_list->count()) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
