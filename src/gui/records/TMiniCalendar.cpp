#include "gui/records/TMiniCalendar.h"

#include "core/app/DateRoutines.h"
#include "core/app/Localisation.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kFrench = 3;
// Sizes are points of a 96-dot-per-inch screen, rounded to pixels as the system does.
constexpr int kDotsPerInch = 96;
// Often enough to turn the page within a minute of midnight.
constexpr int kDayCheckMilliseconds = 30 * 1000;

int PointsToPixels(int points) {
    return (points * kDotsPerInch + 36) / 72;
}

QFont CalendarFont(int points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, PointsToPixels(points)));
    font.setBold(bold);
    return font;
}

// The page behind the texts: a sheet with a binding along its top.
void PaintPage(QPainter& painter, const QRect& area) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF sheet = QRectF(area).adjusted(0.5, 2.5, -1.5, -1.5);
    painter.setPen(QColor(140, 140, 140));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(sheet, 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(190, 190, 190));
    painter.drawRect(QRectF(sheet.right() + 0.5, sheet.top() + 2, 1, sheet.height() - 1));
    painter.drawRect(QRectF(sheet.left() + 2, sheet.bottom() + 0.5, sheet.width() - 1, 1));
    const QRectF binding(sheet.left() + 0.5, sheet.top() + 0.5, sheet.width() - 1, 3);
    painter.setBrush(QColor(176, 32, 32));
    painter.drawRect(binding);
    painter.setBrush(QColor(90, 90, 90));
    for (const qreal x : {sheet.left() + sheet.width() * 0.28, sheet.left() + sheet.width() * 0.72})
        painter.drawEllipse(QPointF(x, sheet.top()), 1.6, 1.6);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

TMiniCalendar::TMiniCalendar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MiniCalendar"));
    setFixedSize(kWidth, kHeight);
    setEnabled(false);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    startTimer(kDayCheckMilliseconds);
}

QString TMiniCalendar::dayText() const {
    return DateText(3, kFrench);
}

QString TMiniCalendar::monthText() const {
    return DateText(5, kFrench).left(3);
}

int TMiniCalendar::dayFontSize() const {
    return height() * 38 / 100;
}

int TMiniCalendar::monthFontSize() const {
    return dayFontSize() / 2;
}

int TMiniCalendar::dayTop() const {
    return height() * 16 / 100;
}

int TMiniCalendar::monthTop() const {
    return height() - 2 * monthFontSize();
}

void TMiniCalendar::showWithClock(bool showCalendar, QWidget* clock) {
    setVisible(showCalendar);
    if (clock) clock->setVisible(showCalendar);
}

void TMiniCalendar::paintEvent(QPaintEvent*) {
    m_paintedDay = Today();
    QPainter painter(this);
    PaintPage(painter, rect());

    const auto drawCentred = [&](const QString& text, const QFont& font, const QColor& colour, int top) {
        painter.setFont(font);
        painter.setPen(colour);
        const QFontMetrics metrics(font);
        const int left = (width() - metrics.horizontalAdvance(text)) / 2;
        painter.drawText(left, top + metrics.ascent(), text);
    };
    drawCentred(dayText(), CalendarFont(dayFontSize(), true), Qt::red, dayTop());
    drawCentred(monthText(), CalendarFont(monthFontSize(), false), Qt::black, monthTop());
}

void TMiniCalendar::timerEvent(QTimerEvent*) {
    if (Today() != m_paintedDay) update();
}
