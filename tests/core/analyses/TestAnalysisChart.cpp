// The chart's series model: the per-key lists, the two range trackers (and their -9999 rule), the eight series
// with their titles, shown flags, widths and colours, the empty chart, empty values and bounds, and the vertical
// range and its round steps.
#include "core/analyses/AnalysisChart.h"
#include "core/analyses/AnalysisChartRenderer.h"

#include <QTest>

namespace {

// "yyyy-mm-dd;value;minimum;maximum", an empty field for no number.
QList<ChartResult> Results(const QStringList& lines) {
    QList<ChartResult> results;
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(';'));
        ChartResult result;
        result.date = QDate::fromString(fields.value(0), Qt::ISODate);
        std::optional<double>* numbers[] = {&result.value, &result.minimum, &result.maximum};
        for (int i = 0; i < 3; ++i)
            if (!fields.value(i + 1).isEmpty()) *numbers[i] = fields.value(i + 1).toDouble();
        results.append(result);
    }
    return results;
}

// "position:value position:value ..."
QString Points(const ChartSeries& series) {
    QStringList points;
    for (const ChartPoint& point : series.points)
        points << QString::number(point.position) + QLatin1Char(':') + QString::number(point.value);
    return points.join(QLatin1Char(' '));
}

} // namespace

class TestAnalysisChart : public QObject {
    Q_OBJECT
private slots:
    void series_data() {
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("minima");
        QTest::addColumn<QString>("maxima");
        QTest::addColumn<QString>("limitMin");
        QTest::addColumn<QString>("limitMax");
        QTest::addColumn<double>("bottom");
        QTest::addColumn<double>("top");

        QTest::newRow("no result: an empty frame, the red line at 0")
            << QStringList{} << 1 << QStringList{"0", "1"} << ""
            << ""
            << ""
            << "0:0 1:0"
            << "0:1" << 0.0 << 1.0;
        QTest::newRow("one result: single points, range around result and bounds")
            << QStringList{"2024-01-15;1.05;0.7;1.1"} << 1 << QStringList{"15/01/2024"} << "0:1.05"
            << "0:0.7"
            << "0:1.1"
            << "0:-0.3"
            << "0:2.1" << -0.3 << 2.1;
        QTest::newRow("5, 7, 6 by date: same day merged to its largest")
            << QStringList{"2005-03-01;5;4;8", "2005-03-01;7;4;8", "2005-06-15;6;4;8"} << 1
            << QStringList{"01/03/2005", "15/06/2005"} << "0:7 1:6"
            << "0:4 1:4"
            << "0:8 1:8"
            << "0:3"
            << "0:9" << 3.0 << 9.0;
        QTest::newRow("5, 7, 6 by year: one position")
            << QStringList{"2005-03-01;5;4;8", "2005-03-01;7;4;8", "2005-06-15;6;4;8"} << 2 << QStringList{"2005"}
            << "0:7"
            << "0:4"
            << "0:8"
            << "0:3"
            << "0:9" << 3.0 << 9.0;
        QTest::newRow("by year, each list keeps its own largest")
            << QStringList{"2023-12-31;5;3;7", "2024-01-01;4;2;9", "2024-05-05;6;4;8"} << 2
            << QStringList{"2023", "2024"} << "0:5 1:6"
            << "0:3 1:4"
            << "0:7 1:9"
            << "0:1"
            << "0:10" << 1.0 << 10.0;
        QTest::newRow("all bounds 0: the lower line at 0, the range from -1")
            << QStringList{"2024-01-01;1;0;0", "2024-02-01;2;0;0"} << 1 << QStringList{"01/01/2024", "01/02/2024"}
            << "0:1 1:2"
            << "0:0 1:0"
            << "0:0 1:0"
            << "0:-1"
            << "0:3" << -1.0 << 3.0;
        QTest::newRow("a first result of -9999 is taken for an unset tracker")
            << QStringList{"2024-01-01;-9999;0;0", "2024-02-01;5;4;8"} << 1 << QStringList{"01/01/2024", "01/02/2024"}
            << "0:-9999 1:5"
            << "0:0 1:4"
            << "0:0 1:8"
            << "0:3"
            << "0:9" << -9999.0 << 9.0;
        QTest::newRow("empty values and bounds: no point, out of the range")
            << QStringList{"2024-01-01;1;;2", "2024-02-01;1.5;0.5;", "2024-03-01;;0.6;2.2"} << 1
            << QStringList{"01/01/2024", "01/02/2024", "01/03/2024"} << "0:1 1:1.5"
            << "1:0.5 2:0.6"
            << "0:2 2:2.2"
            << "0:-0.5"
            << "0:3.2" << -0.5 << 3.2;
        QTest::newRow("a result with nothing: no tracker set, nothing drawn")
            << QStringList{"2024-01-01;;;"} << 1 << QStringList{} << ""
            << ""
            << ""
            << ""
            << "" << 0.0 << 1.0;
        QTest::newRow("a result without date has an empty key")
            << QStringList{";2;1;3", "2024-01-01;2.5;1;3"} << 2 << QStringList{"", "2024"} << "0:2 1:2.5"
            << "0:1 1:1"
            << "0:3 1:3"
            << "0:0"
            << "0:4" << 0.0 << 4.0;
    }
    void series() {
        QFETCH(QStringList, results);
        QFETCH(int, mode);
        QFETCH(QStringList, labels);
        QFETCH(QString, values);
        QFETCH(QString, minima);
        QFETCH(QString, maxima);
        QFETCH(QString, limitMin);
        QFETCH(QString, limitMax);
        QFETCH(double, bottom);
        QFETCH(double, top);

        const AnalysisChart chart = BuildAnalysisChart(Results(results), ChartMode(mode), QStringLiteral("Glycémie"));
        QCOMPARE(chart.series.size(), int(AnalysisChart::SeriesCount));
        QCOMPARE(chart.positionLabels(), labels);
        // The wide and the thin line of each pair hold the same points.
        QCOMPARE(Points(chart.series[AnalysisChart::Value]), values);
        QCOMPARE(Points(chart.series[AnalysisChart::ValueLine]), values);
        QCOMPARE(Points(chart.series[AnalysisChart::MinWide]), minima);
        QCOMPARE(Points(chart.series[AnalysisChart::Min]), minima);
        QCOMPARE(Points(chart.series[AnalysisChart::MaxWide]), maxima);
        QCOMPARE(Points(chart.series[AnalysisChart::Max]), maxima);
        QCOMPARE(Points(chart.series[AnalysisChart::LimitMin]), limitMin);
        QCOMPARE(Points(chart.series[AnalysisChart::LimitMax]), limitMax);
        const ChartRange range = VerticalRange(chart);
        QCOMPARE(range.minimum, bottom);
        QCOMPARE(range.maximum, top);
        // Every point is labelled with the key of its position.
        for (const ChartSeries& series : chart.series)
            for (const ChartPoint& point : series.points)
                QCOMPARE(point.label, labels.value(point.position));
    }

    // The eight series in their order, whatever the results.
    void seriesLook_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("width");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("0") << 0 << "Value" << true << 3 << QColor(0, 204, 0);
        QTest::newRow("1") << 1 << "Value_" << true << 1 << QColor(0, 255, 0);
        QTest::newRow("2") << 2 << "Min" << false << 3 << QColor(Qt::black);
        QTest::newRow("3") << 3 << "Min" << true << 1 << QColor(Qt::black);
        QTest::newRow("4") << 4 << "Max" << false << 3 << QColor(Qt::black);
        QTest::newRow("5") << 5 << "Max" << true << 1 << QColor(Qt::black);
        QTest::newRow("6") << 6 << "Limit_min" << true << 1 << QColor(Qt::red);
        QTest::newRow("7") << 7 << "Limit_max" << true << 1 << QColor(Qt::red);
    }
    void seriesLook() {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(bool, shown);
        QFETCH(int, width);
        QFETCH(QColor, colour);
        for (const QStringList& results : {QStringList{}, QStringList{"2024-01-01;1;0;2", "2024-02-01;2;0;2"}}) {
            const AnalysisChart chart = BuildAnalysisChart(Results(results), ChartMode::Dates, QString());
            const ChartSeries& series = chart.series.at(index);
            QCOMPARE(series.title, title);
            QCOMPARE(series.shown, shown);
            QCOMPARE(series.width, width);
            QCOMPARE(series.colour, colour);
            for (const ChartPoint& point : series.points)
                QCOMPARE(point.colour, colour);
        }
    }

    // The hidden wide bound lines do not count for the range.
    void rangeOverShownSeriesOnly() {
        AnalysisChart chart = BuildAnalysisChart({}, ChartMode::Dates, QString());
        chart.series[AnalysisChart::MinWide].points.append({0, -50, QStringLiteral("0"), Qt::black});
        chart.series[AnalysisChart::MaxWide].points.append({0, 50, QStringLiteral("0"), Qt::black});
        QCOMPARE(VerticalRange(chart).minimum, 0.0);
        QCOMPARE(VerticalRange(chart).maximum, 1.0);
        chart.series[AnalysisChart::Max].points.append({0, 7, QStringLiteral("0"), Qt::black});
        QCOMPARE(VerticalRange(chart).maximum, 7.0);
    }

    void title() {
        QCOMPARE(BuildAnalysisChart({}, ChartMode::Years, QStringLiteral("Glycémie")).title,
                 QStringLiteral("Evolution des analyses : Glycémie"));
        QCOMPARE(ChartTitle(QStringLiteral("Pas d'analyses")),
                 QStringLiteral("Evolution des analyses : Pas d'analyses"));
    }

    void keys_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("byDate");
        QTest::addColumn<QString>("byYear");
        QTest::newRow("ordinary") << QDate(2026, 12, 9) << "09/12/2026"
                                  << "2026";
        QTest::newRow("early year") << QDate(1905, 1, 2) << "02/01/1905"
                                    << "1905";
        QTest::newRow("no date") << QDate() << ""
                                 << "";
    }
    void keys() {
        QFETCH(QDate, date);
        QFETCH(QString, byDate);
        QFETCH(QString, byYear);
        QCOMPARE(ChartPointKey(date, ChartMode::Dates), byDate);
        QCOMPARE(ChartPointKey(date, ChartMode::Years), byYear);
    }

    void storedMode_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("mode");
        QTest::newRow("dates") << QVariant(1) << 1;
        QTest::newRow("years") << QVariant(2) << 2;
        QTest::newRow("text of a number") << QVariant(QStringLiteral("1")) << 1;
        QTest::newRow("none stored") << QVariant() << 2;
        QTest::newRow("another number") << QVariant(7) << 2;
        QTest::newRow("zero") << QVariant(0) << 2;
    }
    void storedMode() {
        QFETCH(QVariant, stored);
        QFETCH(int, mode);
        QCOMPARE(int(ChartModeFromStored(stored)), mode);
    }

    // Round steps of 1, 2 or 5 times a power of ten, covering the range, with the decimals they need.
    void ticks_data() {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("decimals");
        QTest::newRow("3 to 9, steps of 1") << 3.0 << 9.0 << 170 << QList<double>{3, 4, 5, 6, 7, 8, 9} << 0;
        QTest::newRow("3 to 9, steps of 2") << 3.0 << 9.0 << 100 << QList<double>{4, 6, 8} << 0;
        QTest::newRow("0 to 1, short axis") << 0.0 << 1.0 << 56 << QList<double>{0, 0.5, 1} << 1;
        QTest::newRow("-0.3 to 2.1") << -0.3 << 2.1 << 140 << QList<double>{0, 0.5, 1, 1.5, 2} << 1;
        QTest::newRow("large") << -1.0 << 301.0 << 140 << QList<double>{0, 100, 200, 300} << 0;
        QTest::newRow("small") << 0.011 << 0.019 << 112 << QList<double>{0.012, 0.014, 0.016, 0.018} << 3;
    }
    void ticks() {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(int, length);
        QFETCH(QList<double>, values);
        QFETCH(int, decimals);
        const ChartTicks ticks = VerticalTicks({minimum, maximum}, length, 28);
        QCOMPARE(ticks.values.size(), values.size());
        for (int i = 0; i < values.size(); ++i)
            QVERIFY2(qAbs(ticks.values[i] - values[i]) < 1e-9, qPrintable(QString::number(ticks.values[i])));
        QCOMPARE(ticks.decimals, decimals);
    }
};

QTEST_GUILESS_MAIN(TestAnalysisChart)
#include "TestAnalysisChart.moc"
