#include "gui/controls/ButtonGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace {

constexpr int kSide = 32;

const QColor kInk(45, 62, 96);
const QColor kBlue(52, 110, 200);
const QColor kGreen(46, 160, 67);
const QColor kRed(205, 52, 52);
const QColor kPaper(252, 252, 248);
const QColor kYellow(236, 190, 60);

void Page(QPainter& p, const QRectF& box) {
    QPainterPath page;
    const qreal fold = box.width() * 0.3;
    page.moveTo(box.topLeft());
    page.lineTo(box.right() - fold, box.top());
    page.lineTo(box.right(), box.top() + fold);
    page.lineTo(box.bottomRight());
    page.lineTo(box.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.drawLine(QPointF(box.right() - fold, box.top()), QPointF(box.right() - fold, box.top() + fold));
    p.drawLine(QPointF(box.right() - fold, box.top() + fold), QPointF(box.right(), box.top() + fold));
}

void Arrow(QPainter& p, bool up) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QPolygonF head;
    if (up)
        head << QPointF(16, 8) << QPointF(24, 17) << QPointF(19, 17) << QPointF(19, 24) << QPointF(13, 24)
             << QPointF(13, 17) << QPointF(8, 17);
    else
        head << QPointF(16, 24) << QPointF(24, 15) << QPointF(19, 15) << QPointF(19, 8) << QPointF(13, 8)
             << QPointF(13, 15) << QPointF(8, 15);
    p.setBrush(Qt::white);
    p.drawPolygon(head);
}

void Draw(QPainter& p, ButtonGlyph glyph) {
    switch (glyph) {
    case ButtonGlyph::Add:
        Page(p, QRectF(5, 3, 18, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(15, 15, 16, 16));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(18, 22, 10, 2.5));
        p.drawRect(QRectF(21.75, 18, 2.5, 10));
        break;
    case ButtonGlyph::Edit:
        Page(p, QRectF(4, 3, 18, 24));
        p.save();
        p.translate(20, 18);
        p.rotate(45);
        p.setPen(QPen(kInk, 1));
        p.setBrush(kYellow);
        p.drawRect(QRectF(-3, -13, 6, 20));
        p.setBrush(QColor(240, 200, 170));
        p.drawPolygon(QPolygonF{QPointF(-3, 7), QPointF(3, 7), QPointF(0, 12)});
        p.setBrush(kRed);
        p.drawRect(QRectF(-3, -15, 6, 3));
        p.restore();
        break;
    case ButtonGlyph::Delete:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(220, 225, 235));
        p.drawRect(QRectF(8, 9, 16, 19));
        p.drawRect(QRectF(5, 6, 22, 3));
        p.drawRect(QRectF(12, 3, 8, 3));
        p.setPen(QPen(kRed, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 14), QPointF(20, 23));
        p.drawLine(QPointF(20, 14), QPointF(12, 23));
        break;
    case ButtonGlyph::Prior:
        Arrow(p, true);
        break;
    case ButtonGlyph::Next:
        Arrow(p, false);
        break;
    case ButtonGlyph::Print:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(120, 130, 150));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 19, 14, 10));
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(11, 23), QPointF(21, 23));
        p.drawLine(QPointF(11, 26), QPointF(19, 26));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(24, 14, 3, 3));
        break;
    case ButtonGlyph::Html: {
        p.setPen(QPen(kBlue.darker(130), 1.5));
        p.setBrush(QColor(200, 225, 250));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(10, 3, 12, 26));
        p.drawLine(QPointF(16, 3), QPointF(16, 29));
        p.drawLine(QPointF(3, 16), QPointF(29, 16));
        p.drawLine(QPointF(5.5, 9.5), QPointF(26.5, 9.5));
        p.drawLine(QPointF(5.5, 22.5), QPointF(26.5, 22.5));
        break;
    }
    case ButtonGlyph::View:
        Page(p, QRectF(4, 3, 18, 24));
        p.setPen(QPen(kInk, 2));
        p.setBrush(QColor(200, 225, 250, 200));
        p.drawEllipse(QRectF(13, 12, 12, 12));
        p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(23.5, 22.5), QPointF(29, 28));
        break;
    case ButtonGlyph::Save:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(90, 100, 120));
        p.drawRect(QRectF(10, 18, 12, 10));
        break;
    case ButtonGlyph::Mail:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 8, 26, 17));
        p.drawPolyline(QPolygonF{QPointF(3, 8), QPointF(16, 18), QPointF(29, 8)});
        break;
    case ButtonGlyph::Run:
        Page(p, QRectF(4, 3, 18, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(14, 14, 17, 17));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF{QPointF(20, 18), QPointF(27, 22.5), QPointF(20, 27)});
        break;
    case ButtonGlyph::ChartMode:
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(4, 4), QPointF(4, 28));
        p.drawLine(QPointF(4, 28), QPointF(28, 28));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(8, 16, 5, 11));
        p.setBrush(kGreen);
        p.drawRect(QRectF(15, 9, 5, 18));
        p.setBrush(kYellow);
        p.drawRect(QRectF(22, 13, 5, 14));
        break;
    case ButtonGlyph::File:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kYellow);
        p.drawRoundedRect(QRectF(3, 8, 26, 19), 2, 2);
        p.drawRect(QRectF(3, 5, 11, 4));
        break;
    case ButtonGlyph::Analyses:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(220, 235, 250));
        p.drawRoundedRect(QRectF(11, 3, 10, 26), 4, 4);
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(12.5, 15, 7, 12.5), 3, 3);
        break;
    case ButtonGlyph::Tools:
        p.setPen(QPen(QColor(110, 115, 125), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 24), QPointF(21, 11));
        p.setPen(QPen(QColor(110, 115, 125), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(17, 3, 12, 12), 200 * 16, 270 * 16);
        break;
    case ButtonGlyph::Help: {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(20);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
}

} // namespace

QIcon ButtonGlyphIcon(ButtonGlyph glyph) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, glyph);
    painter.end();
    return QIcon(pixmap);
}

QToolButton* PageButton(QWidget* parent, const QString& name, const QString& text, const QString& hint,
                        ButtonGlyph icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setIcon(ButtonGlyphIcon(icon));
    button->setIconSize(QSize(22, 22));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedWidth(76);
    return button;
}
