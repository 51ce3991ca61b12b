#include "core/analyses/AnalysisChart.h"

#include "core/app/DateRoutines.h"
#include "core/db/Dataset.h"

#include <QHash>

#include <cmath>

namespace {

const QColor kValueWide(0, 204, 0);
const QColor kValueLine(0, 255, 0);
const QColor kBound(Qt::black);
const QColor kLimit(Qt::red);

std::optional<double> NumberOf(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) return std::nullopt;
    return number;
}

// The larger of two optional numbers; none only when both are none.
std::optional<double> Larger(const std::optional<double>& kept, const std::optional<double>& candidate) {
    if (!kept) return candidate;
    if (candidate && *candidate > *kept) return candidate;
    return kept;
}

struct KeyValues {
    std::optional<double> value;
    std::optional<double> minimum;
    std::optional<double> maximum;
};

QList<ChartSeries> EmptySeries() {
    // Title, shown, width, colour.
    return {
        {QStringLiteral("Value"), true, 3, kValueWide, {}}, {QStringLiteral("Value_"), true, 1, kValueLine, {}},
        {QStringLiteral("Min"), false, 3, kBound, {}},      {QStringLiteral("Min"), true, 1, kBound, {}},
        {QStringLiteral("Max"), false, 3, kBound, {}},      {QStringLiteral("Max"), true, 1, kBound, {}},
        {QStringLiteral("Limit_min"), true, 1, kLimit, {}}, {QStringLiteral("Limit_max"), true, 1, kLimit, {}},
    };
}

void AddPoint(ChartSeries& series, int position, double value, const QString& label, const QColor& colour) {
    series.points.append({position, value, label, colour});
}

} // namespace

ChartMode ChartModeFromStored(const QVariant& stored) {
    if (stored.isNull()) return kDefaultChartMode;
    bool ok = false;
    const int mode = stored.toInt(&ok);
    if (ok && mode == int(ChartMode::Dates)) return ChartMode::Dates;
    if (ok && mode == int(ChartMode::Years)) return ChartMode::Years;
    return kDefaultChartMode;
}

QString ChartTitle(const QString& analysisTitle) {
    return QStringLiteral("Evolution des analyses : ") + analysisTitle;
}

QString ChartPointKey(const QDate& date, ChartMode mode) {
    if (!date.isValid()) return {};
    return mode == ChartMode::Dates ? DateToText(date) : QString::number(date.year());
}

int AnalysisChart::positionCount() const {
    int count = 0;
    for (const ChartSeries& one : series)
        for (const ChartPoint& point : one.points)
            count = qMax(count, point.position + 1);
    return count;
}

QStringList AnalysisChart::positionLabels() const {
    QStringList labels(positionCount());
    QList<bool> labelled(labels.size(), false);
    for (const ChartSeries& one : series)
        for (const ChartPoint& point : one.points)
            if (!labelled[point.position]) {
                labels[point.position] = point.label;
                labelled[point.position] = true;
            }
    return labels;
}

AnalysisChart BuildAnalysisChart(const QList<ChartResult>& results, ChartMode mode, const QString& analysisTitle) {
    AnalysisChart chart;
    chart.title = ChartTitle(analysisTitle);
    chart.series = EmptySeries();

    // One pass: the per-key lists, looked up by key, and the two range trackers.
    QHash<QString, int> keyIndex;
    QList<KeyValues> perKey;
    double lowest = kUnsetRange;
    double highest = kUnsetRange;
    for (const ChartResult& result : results) {
        const QString key = ChartPointKey(result.date, mode);
        const auto found = keyIndex.constFind(key);
        if (found == keyIndex.constEnd()) {
            keyIndex.insert(key, int(perKey.size()));
            chart.keys.append(key);
            perKey.append({result.value, result.minimum, result.maximum});
        } else {
            KeyValues& kept = perKey[*found];
            kept.value = Larger(kept.value, result.value);
            kept.minimum = Larger(kept.minimum, result.minimum);
            kept.maximum = Larger(kept.maximum, result.maximum);
        }

        // A tracker at -9999 counts as not set, whatever put it there. A result without a value lets its bound
        // stand in for it.
        const std::optional<double> firstLow = result.value ? result.value : result.minimum;
        if (firstLow) {
            if (lowest == kUnsetRange || *firstLow < lowest) lowest = *firstLow;
        }
        if (result.minimum && *result.minimum < lowest) lowest = *result.minimum;
        const std::optional<double> firstHigh = result.value ? result.value : result.maximum;
        if (firstHigh) {
            if (highest == kUnsetRange || *firstHigh > highest) highest = *firstHigh;
        }
        if (result.maximum && *result.maximum > highest) highest = *result.maximum;
    }

    if (lowest != kUnsetRange) lowest -= 1;
    if (highest != kUnsetRange) highest += 1;
    chart.lowest = lowest;
    chart.highest = highest;

    QList<ChartSeries>& series = chart.series;
    if (chart.keys.isEmpty()) {
        // An empty frame from 0 to 1 both ways, the red lower-limit line at 0.
        AddPoint(series[AnalysisChart::LimitMin], 0, 0, QStringLiteral("0"), kLimit);
        AddPoint(series[AnalysisChart::LimitMin], 1, 0, QStringLiteral("1"), kLimit);
        AddPoint(series[AnalysisChart::LimitMax], 0, 1, QStringLiteral("0"), kLimit);
        return chart;
    }

    for (int position = 0; position < chart.keys.size(); ++position) {
        const QString& key = chart.keys[position];
        const KeyValues& values = perKey[position];
        if (position == 0) {
            if (lowest != kUnsetRange) AddPoint(series[AnalysisChart::LimitMin], 0, lowest, key, kLimit);
            if (highest != kUnsetRange) AddPoint(series[AnalysisChart::LimitMax], 0, highest, key, kLimit);
        }
        if (values.value) {
            AddPoint(series[AnalysisChart::Value], position, *values.value, key, kValueWide);
            AddPoint(series[AnalysisChart::ValueLine], position, *values.value, key, kValueLine);
        }
        if (values.minimum) {
            AddPoint(series[AnalysisChart::MinWide], position, *values.minimum, key, kBound);
            AddPoint(series[AnalysisChart::Min], position, *values.minimum, key, Qt::black);
        }
        if (values.maximum) {
            AddPoint(series[AnalysisChart::MaxWide], position, *values.maximum, key, kBound);
            AddPoint(series[AnalysisChart::Max], position, *values.maximum, key, Qt::black);
        }
    }
    return chart;
}

QList<ChartResult> ReadChartResults(const Dataset& results) {
    QList<ChartResult> read;
    if (!results.isOpen()) return read;
    const int date = results.fieldIndex(QStringLiteral("Date_Analysis"));
    const int value = results.fieldIndex(QStringLiteral("Value_Analysis"));
    const int minimum = results.fieldIndex(QStringLiteral("Value_Min"));
    const int maximum = results.fieldIndex(QStringLiteral("Value_Max"));
    read.reserve(results.recordCount());
    for (int row = 0; row < results.recordCount(); ++row) {
        const QVariant day = results.valueAt(row, date);
        ChartResult result;
        result.date = day.metaType().id() == QMetaType::QDate ? day.toDate()
                                                              : QDate::fromString(day.toString().left(10), Qt::ISODate);
        result.value = NumberOf(results.valueAt(row, value));
        result.minimum = NumberOf(results.valueAt(row, minimum));
        result.maximum = NumberOf(results.valueAt(row, maximum));
        read.append(result);
    }
    return read;
}

ChartRange VerticalRange(const AnalysisChart& chart) {
    bool any = false;
    ChartRange range;
    for (const ChartSeries& series : chart.series) {
        if (!series.shown) continue;
        for (const ChartPoint& point : series.points) {
            if (!any) {
                range.minimum = range.maximum = point.value;
                any = true;
            } else {
                range.minimum = qMin(range.minimum, point.value);
                range.maximum = qMax(range.maximum, point.value);
            }
        }
    }
    if (!any) return {0, 1};
    if (range.maximum - range.minimum <= 0) {
        range.minimum -= 1;
        range.maximum += 1;
    }
    return range;
}
