#pragma once

#include <QAbstractListModel>

class AnalysisList;

// The analysis list as the grid shows it: one row per entry, and a single blank row when the list is empty (the
// grid never has no row at all). Rows are read from the list in memory only.
class AnalysisListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        TitleRole = Qt::UserRole + 1,
        UpperTextRole,
        LowerTextRole,
        IdRole,
    };

    explicit AnalysisListModel(const AnalysisList* list, QObject* parent = nullptr);

    const AnalysisList* analysisList() const { return m_list; }
    // Tells the views that the list was rebuilt.
    void listReset();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const AnalysisList* m_list;
};
