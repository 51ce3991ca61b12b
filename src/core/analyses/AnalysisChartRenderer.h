#pragma once

#include "core/analyses/AnalysisChart.h"

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// Draws an analysis chart; the same drawing serves the page and every picture made of the chart. Two-dimensional,
// one equally spaced labelled position per key (the first and last at the ends of the axis, a single one in the
// middle), the vertical axis over the shown series with round steps, lines without markers (a series of one point
// draws nothing, and a line breaks where a point is missing), no legend.
struct ChartLook {
    bool showTitle = false;
    QColor backgroundTop = QColor(128, 128, 255);
    QColor backgroundBottom = QColor(223, 223, 255);
    // Space above the title (or above the plot when there is no title), in pixels.
    int topMargin = 8;

    // The page's chart: title hidden, blue gradient.
    static ChartLook Screen();
    // The picture saved as a JPEG: title shown, no top margin, gradient kept.
    static ChartLook SavedPicture();
    // The picture exported for the reports and the web page: white background, title hidden.
    static ChartLook Exported();
};

inline const QColor kChartAxisColour(100, 100, 255);
inline const QColor kChartGridColour(176, 176, 255);

// Where the chart puts things inside an area.
struct ChartGeometry {
    QRect plot; // the frame of the plot, its pixels included
    ChartRange range;
    int positions = 0;

    // Pixel centre of a horizontal position and of a value.
    double xOf(int position) const;
    double yOf(double value) const;
};

ChartGeometry ChartLayout(const AnalysisChart& chart, const QRect& area, const ChartLook& look);
void DrawAnalysisChart(QPainter& painter, const QRect& area, const AnalysisChart& chart, const ChartLook& look);
// The chart drawn into a new 24-bit bitmap of that size.
QImage RenderAnalysisChart(const AnalysisChart& chart, const QSize& size, const ChartLook& look);

// Round steps for the vertical axis: the values to label between minimum and maximum, about one per `spacing`
// pixels of an axis `length` pixels long, at multiples of 1, 2 or 5 times a power of ten; and the decimals those
// labels need.
struct ChartTicks {
    QList<double> values;
    int decimals = 0;
};
ChartTicks VerticalTicks(const ChartRange& range, int length, int spacing);
