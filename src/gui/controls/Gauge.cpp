#include "gui/controls/Gauge.h"

#include "core/app/ProgressReporter.h"

#include <QPainter>

Gauge::Gauge(QWidget* parent)
    : QWidget(parent), m_fill(QColor(0x1f, 0x5f, 0xbf)), m_background(QColor(0xd8, 0xdc, 0xe4)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Gauge::setProgress(int count, int total) {
    if (count == m_count && total == m_total) return;
    m_count = count;
    m_total = total;
    update();
}

int Gauge::filledWidth() const {
    return GaugeFilledWidth(m_count, m_total, width());
}

void Gauge::setColors(const QColor& fill, const QColor& background) {
    m_fill = fill;
    m_background = background;
    update();
}

QSize Gauge::sizeHint() const {
    return QSize(251, 5);
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    const int filled = filledWidth();
    if (filled > 0) painter.fillRect(QRect(0, 0, filled, height()), m_fill);
}
