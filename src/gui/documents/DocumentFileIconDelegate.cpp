#include "gui/documents/DocumentFileIconDelegate.h"

#include "core/imaging/Resampling.h"
#include "core/imaging/WindowsBitmap.h"

#include <QPainter>

void DocumentFileIconDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    painter->fillRect(option.rect, Qt::white);
    const QByteArray blob = index.data(Qt::DisplayRole).toByteArray();
    QImage icon;
    if (blob.isEmpty() || !ReadBitmapData(blob, &icon)) return;
    painter->drawImage(QRect(option.rect.left() + 1, option.rect.top() + 1, 14, 14), ResampledBitmap(icon, 14, 14));
}
