#include "core/analyses/AnalysisPictures.h"

#include "core/imaging/Bitmaps.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QImage DrawRing() {
    constexpr int kSide = 100;
    QImage picture(kSide, kSide, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QConicalGradient colours(50, 50, 90);
    colours.setColorAt(0.0, QColor(220, 40, 40));
    colours.setColorAt(0.33, QColor(240, 180, 20));
    colours.setColorAt(0.66, QColor(40, 150, 220));
    colours.setColorAt(1.0, QColor(220, 40, 40));
    QPainterPath ring;
    ring.addEllipse(QRectF(8, 8, 84, 84));
    ring.addEllipse(QRectF(30, 30, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours);
    painter.drawPath(ring);
    painter.end();
    return ToBitmap24(picture);
}

// A 12 x 12 arrow, pointing up or down, red on magenta.
QImage DrawArrow(bool up) {
    QImage icon(12, 12, QImage::Format_RGB32);
    icon.fill(QColor(255, 0, 255));
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor red(220, 0, 0);
    // The shaft, then the head as rows narrowing toward the tip.
    painter.fillRect(QRect(5, up ? 5 : 1, 2, 6), red);
    for (int row = 0; row < 5; ++row) {
        const int y = up ? 1 + row : 10 - row;
        painter.fillRect(QRect(5 - row, y, 2 + 2 * row, 1), red);
    }
    painter.end();
    return ToBitmap24(icon);
}

} // namespace

QImage DefaultAnalysisPicture() {
    static const QImage picture = DrawRing();
    return picture;
}

const QList<QImage>& AnalysisBoundIcons() {
    static const QList<QImage> icons{DrawArrow(true), DrawArrow(false)};
    return icons;
}
