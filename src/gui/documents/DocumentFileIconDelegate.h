#pragma once

#include <QStyledItemDelegate>

// The icon column of the file documents grid: the stored 32 x 32 icon (a bitmap blob) resampled to
// 14 x 14 and drawn one pixel in from the cell's top left corner, on white.
class DocumentFileIconDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
