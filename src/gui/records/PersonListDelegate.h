#pragma once

#include <QStyledItemDelegate>

class PersonList;

// Draws a card of the person list: the selected card inset in pale blue, the 45 x 45 icon in a
// framed box with a drop shadow, and the name, forename and social-security number, each line
// drawn twice (a light shadow one pixel lower right, then the text) and cut at the card's edge.
class PersonListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 60;

    explicit PersonListDelegate(const PersonList* list, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Draws the card of entry row into cell; selected draws it as the grid's selected row.
    void paintCard(QPainter& painter, const QRect& cell, int row, bool selected) const;

private:
    const PersonList* m_list;
};
