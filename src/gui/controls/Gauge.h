#pragma once

#include <QWidget>

// A flat progress strip: a step count out of a total, its filled part drawn from the left.
// The filled width follows GaugeFilledWidth (truncated toward zero), so that a gauge of 251
// pixels shows exactly the widths the program has always shown.
class Gauge : public QWidget {
    Q_OBJECT
public:
    explicit Gauge(QWidget* parent = nullptr);

    void setProgress(int count, int total);
    int count() const { return m_count; }
    int total() const { return m_total; }
    // The width of the filled part at the gauge's present width.
    int filledWidth() const;

    void setColors(const QColor& fill, const QColor& background);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_count = 0;
    int m_total = 0;
    QColor m_fill;
    QColor m_background;
};
