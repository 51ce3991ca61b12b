#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class Dataset;

// What the chart of a person-analysis shows, computed from its results and nothing else: eight series over a
// horizontal axis of equally spaced labelled positions (one per date, or one per year), the results line between the
// lower-bound and upper-bound lines. Drawing is AnalysisChartRenderer's.

enum class ChartMode { Dates = 1, Years = 2 };

// The mode in force until one is chosen.
constexpr ChartMode kDefaultChartMode = ChartMode::Years;
// The mode a stored PERSON.AnalysisMode stands for; the default for anything else (none stored).
ChartMode ChartModeFromStored(const QVariant& stored);

// One result. An empty value or bound (no number stored) is "none": it is left out of the range and out of the
// lines, which break around it.
struct ChartResult {
    QDate date;
    std::optional<double> value;
    std::optional<double> minimum;
    std::optional<double> maximum;
};

struct ChartPoint {
    int position = 0; // on the horizontal axis: 0, 1, 2 ...
    double value = 0;
    QString label;
    QColor colour;
};

struct ChartSeries {
    QString title;
    bool shown = true;
    int width = 1;
    QColor colour;
    QList<ChartPoint> points;
};

// The value that tells that a range tracker is not yet set.
constexpr double kUnsetRange = -9999;

struct AnalysisChart {
    // Series indexes, in drawing order.
    enum : int { Value, ValueLine, MinWide, Min, MaxWide, Max, LimitMin, LimitMax, SeriesCount };

    QString title;
    QList<ChartSeries> series; // SeriesCount of them
    QStringList keys;          // the point keys, in order of first appearance
    // The range trackers, after widening: lowest - 1 and highest + 1, or kUnsetRange when never set.
    double lowest = kUnsetRange;
    double highest = kUnsetRange;

    // The number of positions of the horizontal axis, and the label of each (that of the first point there).
    int positionCount() const;
    QStringList positionLabels() const;
};

// "Evolution des analyses : " + the current analysis title.
QString ChartTitle(const QString& analysisTitle);

// The key of a result's point: its date "dd/mm/yyyy" in mode Dates, its year in four digits in mode Years.
QString ChartPointKey(const QDate& date, ChartMode mode);

// The eight series from the results, which come in ascending date order. Each key gets, per list, the largest value,
// the largest lower bound and the largest upper bound of its results. With no result the chart is an empty frame
// from 0 to 1 on both axes with a red line at 0.
AnalysisChart BuildAnalysisChart(const QList<ChartResult>& results, ChartMode mode, const QString& analysisTitle);

// The results of a dataset, read through "Date_Analysis", "Value_Analysis", "Value_Min" and "Value_Max" without
// moving its current row (the grid shown over it does not repaint per row).
QList<ChartResult> ReadChartResults(const Dataset& results);

// The vertical range over the points of the shown series; a range of no height is widened by 1 each way.
struct ChartRange {
    double minimum = 0;
    double maximum = 1;
};
ChartRange VerticalRange(const AnalysisChart& chart);
