#include "gui/analyses/AnalysisChartWidget.h"

#include "core/analyses/AnalysisChartRenderer.h"

#include <QPainter>

AnalysisChartWidget::AnalysisChartWidget(QWidget* parent)
    : QWidget(parent), m_chart(BuildAnalysisChart({}, kDefaultChartMode, QString())) {
    setObjectName(QStringLiteral("Chart_Analysis"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AnalysisChartWidget::setChart(const AnalysisChart& chart) {
    m_chart = chart;
    update();
}

void AnalysisChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawAnalysisChart(painter, rect(), m_chart, ChartLook::Screen());
    if (!isEnabled()) painter.fillRect(rect(), QColor(255, 255, 255, 90));
}
