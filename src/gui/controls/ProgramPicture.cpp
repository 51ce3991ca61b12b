#include "gui/controls/ProgramPicture.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <iterator>

void DrawProgramEmblem(QPainter& painter, const QRectF& box) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(box.width(), box.height());
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);

    QLinearGradient background(square.topLeft(), square.bottomRight());
    background.setColorAt(0.0, QColor(0x4a, 0x9c, 0xe8));
    background.setColorAt(1.0, QColor(0x13, 0x4a, 0x8c));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(square, side * 0.2, side * 0.2);

    // The cross, a little above the centre to leave room for the pulse line.
    const qreal arm = side * 0.18;
    const qreal length = side * 0.56;
    const QPointF centre(square.center().x(), square.top() + side * 0.44);
    QPainterPath upright;
    upright.addRect(QRectF(centre.x() - arm / 2, centre.y() - length / 2, arm, length));
    QPainterPath crossbar;
    crossbar.addRect(QRectF(centre.x() - length / 2, centre.y() - arm / 2, length, arm));
    painter.setBrush(Qt::white);
    painter.drawPath(upright.united(crossbar));

    QPen pulsePen(QColor(0xff, 0xd2, 0x5a), qMax<qreal>(1.0, side * 0.05));
    pulsePen.setJoinStyle(Qt::RoundJoin);
    pulsePen.setCapStyle(Qt::RoundCap);
    painter.setPen(pulsePen);
    painter.setBrush(Qt::NoBrush);
    const qreal base = square.top() + side * 0.84;
    const qreal left = square.left() + side * 0.14;
    const qreal step = side * 0.08;
    const QPointF pulse[] = {
        {left, base},
        {left + 2.5 * step, base},
        {left + 3.4 * step, base - side * 0.1},
        {left + 4.4 * step, base + side * 0.06},
        {left + 5.2 * step, base},
        {left + 9 * step, base},
    };
    painter.drawPolyline(pulse, int(std::size(pulse)));
    painter.restore();
}

QPixmap ProgramEmblemPixmap(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    DrawProgramEmblem(painter, QRectF(0, 0, side, side));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramEmblemPixmap(side));
    return icon;
}
