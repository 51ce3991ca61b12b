#pragma once

#include <QAbstractListModel>

class PersonList;

// The person list as the grid shows it: one row per entry, and a single blank row when the list
// is empty (the grid never has no row at all). The rows are read from the list in memory only.
class PersonListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        ForeNameRole,
        NumberRole,
        IdRole,
    };

    explicit PersonListModel(const PersonList* list, QObject* parent = nullptr);

    const PersonList* personList() const { return m_list; }
    // Tells the views that the list was rebuilt.
    void listReset();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const PersonList* m_list;
};
