#include "core/records/Silhouette.h"

#include "core/imaging/Bitmaps.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QImage DrawSilhouette() {
    constexpr int kSide = 100;
    QImage picture(kSide, kSide, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    QLinearGradient shade(0, 0, 0, kSide);
    shade.setColorAt(0, QColor(176, 192, 216));
    shade.setColorAt(1, QColor(120, 142, 178));
    painter.setBrush(shade);
    // Shoulders: the top half of a wide ellipse that leaves the picture at its bottom edge.
    QPainterPath shoulders;
    shoulders.addEllipse(QRectF(12, 62, 76, 70));
    painter.drawPath(shoulders.intersected([] {
        QPainterPath box;
        box.addRect(0, 0, 100, 100);
        return box;
    }()));
    // The head, with a white ring that parts it from the shoulders.
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(29, 15, 42, 48));
    painter.setBrush(shade);
    painter.drawEllipse(QRectF(32, 18, 36, 42));
    painter.end();
    return ToBitmap24(picture);
}

} // namespace

QImage SilhouettePicture() {
    static const QImage silhouette = DrawSilhouette();
    return silhouette;
}
