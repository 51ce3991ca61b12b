#include "core/analyses/AnalysisChartRenderer.h"

#include "core/imaging/Bitmaps.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QLineF>

#include <cmath>

namespace {

constexpr int kLabelPixels = 9;
constexpr int kTitlePixels = 24;
constexpr int kTickLength = 4;
constexpr int kPadding = 8;
constexpr int kLabelGap = 3;
// Horizontal labels are thinned out to leave at least this much room between two.
constexpr int kLabelSpacing = 8;
// A label of the vertical axis about every so many pixels.
constexpr int kVerticalLabelSpacing = 28;

QFont LabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kLabelPixels);
    return font;
}

QFont TitleFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kTitlePixels);
    font.setBold(true);
    return font;
}

QString TickText(double value, int decimals) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // No "-0" on the axis.
    if (std::fabs(value) < std::pow(10.0, -decimals) / 2) value = 0;
    return locale.toString(value, 'f', decimals);
}

int TitleHeight(const ChartLook& look) {
    return look.showTitle ? QFontMetrics(TitleFont()).height() + kLabelGap : 0;
}

// The horizontal labels are all of one form per mode: measuring a handful is enough.
int WidestLabel(const QStringList& labels, const QFontMetrics& metrics) {
    int widest = 0;
    const int count = int(labels.size());
    const int sample = qMin(count, 32);
    for (int i = 0; i < sample; ++i)
        widest = qMax(widest, metrics.horizontalAdvance(labels[i]));
    for (int i = qMax(sample, count - 32); i < count; ++i)
        widest = qMax(widest, metrics.horizontalAdvance(labels[i]));
    return widest;
}

// Several points in one pixel column draw no more than the column's first, lowest, highest and last point do:
// a run of thousands of results is drawn from a few points per column, with the same pixels.
QList<QPointF> ReducedToColumns(const QList<QPointF>& run) {
    if (run.size() < 5) return run;
    QList<QPointF> reduced;
    reduced.reserve(run.size());
    qsizetype start = 0;
    while (start < run.size()) {
        const int column = int(std::floor(run[start].x()));
        qsizetype end = start + 1;
        qsizetype lowest = start, highest = start;
        while (end < run.size() && int(std::floor(run[end].x())) == column) {
            if (run[end].y() > run[lowest].y()) lowest = end;
            if (run[end].y() < run[highest].y()) highest = end;
            ++end;
        }
        const qsizetype last = end - 1;
        qsizetype kept[] = {start, qMin(lowest, highest), qMax(lowest, highest), last};
        qsizetype previous = -1;
        for (const qsizetype index : kept)
            if (index != previous) {
                reduced << run[index];
                previous = index;
            }
        start = end;
    }
    return reduced;
}

// Draws one series: a line through points at neighbouring positions, broken where a position has no point. Each
// segment is drawn on its own with round ends, which joins them as a round-joined line would be, without the cost
// of stroking one long self-crossing outline.
void DrawSeries(QPainter& painter, const ChartSeries& series, const ChartGeometry& geometry) {
    if (!series.shown || series.points.size() < 2) return;
    // A thin line ends on its last point (a flat cap would leave that pixel out).
    QPen pen(series.colour, series.width, Qt::SolidLine, series.width <= 1 ? Qt::SquareCap : Qt::RoundCap,
             Qt::RoundJoin);
    QList<QPointF> run;
    QColor runColour;
    QList<QLineF> segments;
    const auto flush = [&] {
        if (run.size() >= 2) {
            const QList<QPointF> points = ReducedToColumns(run);
            segments.clear();
            segments.reserve(points.size() - 1);
            for (qsizetype i = 1; i < points.size(); ++i)
                segments << QLineF(points[i - 1], points[i]);
            pen.setColor(runColour);
            painter.setPen(pen);
            painter.drawLines(segments);
        }
        run.clear();
    };
    int previous = -2;
    for (const ChartPoint& point : series.points) {
        const QColor colour = point.colour.isValid() ? point.colour : series.colour;
        if (point.position != previous + 1 || colour != runColour) {
            // A new colour starts at the last point of the previous run, so the line stays whole.
            const bool joined = point.position == previous + 1 && !run.isEmpty();
            const QPointF last = joined ? run.last() : QPointF();
            flush();
            if (joined) run << last;
            runColour = colour;
        }
        run << QPointF(geometry.xOf(point.position), geometry.yOf(point.value));
        previous = point.position;
    }
    flush();
}

} // namespace

ChartLook ChartLook::Screen() {
    return {};
}

ChartLook ChartLook::SavedPicture() {
    ChartLook look;
    look.showTitle = true;
    look.topMargin = 0;
    return look;
}

ChartLook ChartLook::Exported() {
    ChartLook look;
    look.backgroundTop = Qt::white;
    look.backgroundBottom = Qt::white;
    return look;
}

double ChartGeometry::xOf(int position) const {
    if (positions <= 1) return plot.left() + (plot.width() - 1) / 2.0;
    return plot.left() + double(position) * (plot.width() - 1) / (positions - 1);
}

double ChartGeometry::yOf(double value) const {
    const double span = range.maximum - range.minimum;
    return plot.bottom() - (value - range.minimum) / span * (plot.height() - 1);
}

ChartTicks VerticalTicks(const ChartRange& range, int length, int spacing) {
    ChartTicks ticks;
    const double span = range.maximum - range.minimum;
    if (!(span > 0) || !std::isfinite(span)) return ticks;
    const int wanted = qMax(2, length / qMax(1, spacing));
    const double raw = span / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= raw) break;
    }
    ticks.decimals = qMax(0, int(-std::floor(std::log10(step) + 1e-9)));
    const double first = std::ceil(range.minimum / step - 1e-9) * step;
    for (int i = 0;; ++i) {
        const double value = first + i * step;
        if (value > range.maximum + step * 1e-9 || i > 1000) break;
        ticks.values.append(value);
    }
    return ticks;
}

ChartGeometry ChartLayout(const AnalysisChart& chart, const QRect& area, const ChartLook& look) {
    ChartGeometry geometry;
    geometry.range = VerticalRange(chart);
    geometry.positions = chart.positionCount();
    const QFontMetrics metrics(LabelFont());

    const int top = area.top() + look.topMargin + TitleHeight(look) + metrics.height() / 2 + 1;
    const int bottom = area.bottom() - kPadding - metrics.height() - kTickLength - kLabelGap;
    // The vertical labels need room on the left: measured on the labels of a first estimate of the height.
    const ChartTicks ticks = VerticalTicks(geometry.range, qMax(1, bottom - top), kVerticalLabelSpacing);
    int widest = 0;
    for (const double value : ticks.values)
        widest = qMax(widest, metrics.horizontalAdvance(TickText(value, ticks.decimals)));
    // The first and the last horizontal label are centred on the ends of the axis: half of each stands out.
    const QStringList labels = chart.positionLabels();
    const int firstHalf = labels.isEmpty() ? 0 : metrics.horizontalAdvance(labels.first()) / 2 + kLabelGap;
    const int lastHalf = labels.isEmpty() ? 0 : metrics.horizontalAdvance(labels.last()) / 2 + kLabelGap;
    const int left = area.left() + qMax(kPadding + widest + kTickLength + kLabelGap, kPadding + firstHalf);
    const int right = area.right() - kPadding - lastHalf;
    geometry.plot = QRect(QPoint(left, top), QPoint(qMax(left + 1, right), qMax(top + 1, bottom)));
    return geometry;
}

void DrawAnalysisChart(QPainter& painter, const QRect& area, const AnalysisChart& chart, const ChartLook& look) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(area);

    QLinearGradient background(area.topLeft(), area.bottomLeft());
    background.setColorAt(0, look.backgroundTop);
    background.setColorAt(1, look.backgroundBottom);
    painter.fillRect(area, background);

    if (look.showTitle) {
        painter.setFont(TitleFont());
        painter.setPen(Qt::black);
        painter.drawText(QRect(area.left(), area.top() + look.topMargin, area.width(), TitleHeight(look)),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, chart.title);
    }

    const ChartGeometry geometry = ChartLayout(chart, area, look);
    const QRect& plot = geometry.plot;
    const QFont labelFont = LabelFont();
    const QFontMetrics metrics(labelFont);
    painter.setFont(labelFont);

    // Vertical axis: grid lines, ticks and labels at round values.
    const ChartTicks ticks = VerticalTicks(geometry.range, plot.height(), kVerticalLabelSpacing);
    for (const double value : ticks.values) {
        const int y = int(std::lround(geometry.yOf(value)));
        if (y > plot.top() && y < plot.bottom()) {
            painter.setPen(kChartGridColour);
            painter.drawLine(plot.left() + 1, y, plot.right() - 1, y);
        }
        painter.setPen(kChartAxisColour);
        painter.drawLine(plot.left() - kTickLength, y, plot.left() - 1, y);
        painter.setPen(Qt::black);
        const QRect box(area.left(), y - metrics.height(), plot.left() - kTickLength - kLabelGap - area.left(),
                        2 * metrics.height());
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, TickText(value, ticks.decimals));
    }

    // Horizontal axis: one label per position, thinned out when they would overlap.
    const QStringList labels = chart.positionLabels();
    if (!labels.isEmpty()) {
        const double spacing = geometry.positions > 1 ? double(plot.width() - 1) / (geometry.positions - 1) : 1e9;
        const int stride = qMax(1, int(std::ceil((WidestLabel(labels, metrics) + kLabelSpacing) / spacing)));
        for (int position = 0; position < labels.size(); position += stride) {
            const int x = int(std::lround(geometry.xOf(position)));
            painter.setPen(kChartAxisColour);
            painter.drawLine(x, plot.bottom() + 1, x, plot.bottom() + kTickLength);
            painter.setPen(Qt::black);
            const int width = metrics.horizontalAdvance(labels[position]) + 2;
            painter.drawText(QRect(x - width / 2, plot.bottom() + kTickLength + 1, width, metrics.height()),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, labels[position]);
        }
    }

    // The frame, then the series over it (a line at the bottom of the range lies on the frame).
    painter.setPen(kChartAxisColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    for (const ChartSeries& series : chart.series)
        DrawSeries(painter, series, geometry);
    painter.restore();
}

QImage RenderAnalysisChart(const AnalysisChart& chart, const QSize& size, const ChartLook& look) {
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) return {};
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        DrawAnalysisChart(painter, picture.rect(), chart, look);
    }
    return ToBitmap24(picture);
}
