#pragma once

#include "core/analyses/AnalysisChart.h"

#include <QWidget>

// The chart of the current person-analysis on the page: the series drawn with the page's look (blue gradient, title
// hidden). It keeps nothing but the series it was last given.
class AnalysisChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisChartWidget(QWidget* parent = nullptr);

    void setChart(const AnalysisChart& chart);
    const AnalysisChart& chart() const { return m_chart; }

    QSize sizeHint() const override { return QSize(400, 220); }
    QSize minimumSizeHint() const override { return QSize(160, 120); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AnalysisChart m_chart;
};
