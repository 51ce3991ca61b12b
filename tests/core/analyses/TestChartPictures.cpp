// Pictures of the chart, checked on their pixels: the exported bitmap of the empty chart (the red lower-limit line
// at 0, on the bottom of the frame), of a chart with results (the results line in RGB(0,255,0) between the black
// bound lines, broken where a bound is missing, nothing drawn for a single position), the saved JPEG (1600 x 1200,
// title shown, gradient kept) against the export (white, no title), refused sizes and files, and the proposed name.
#include "core/analyses/AnalysisChartRenderer.h"
#include "core/analyses/ChartPictures.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/WindowsBitmap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor kResultsLine(0, 255, 0);
const QColor kResultsWide(0, 204, 0);

ChartResult Result(const QDate& date, std::optional<double> value, std::optional<double> minimum,
                   std::optional<double> maximum) {
    return {date, value, minimum, maximum};
}

QImage Exported(const AnalysisChart& chart, const QString& file, int width = 670, int height = 360) {
    QString error;
    if (!ExportChartPicture(chart, width, height, file, &error)) qWarning("%s", qPrintable(error));
    QImage picture;
    if (!ReadBitmapFile(file, &picture, &error)) qWarning("%s", qPrintable(error));
    return picture;
}

// The rows of a column whose pixel has that colour, top to bottom.
QList<int> RowsOf(const QImage& picture, int x, const QColor& colour) {
    QList<int> rows;
    for (int y = 0; y < picture.height(); ++y)
        if (picture.pixelColor(x, y) == colour) rows << y;
    return rows;
}

int CountOf(const QImage& picture, const QColor& colour, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += picture.pixelColor(x, y) == colour;
    return count;
}

bool Near(const QColor& a, const QColor& b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// Pixels darker than mid grey in an area.
int DarkPixels(const QImage& picture, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qGray(picture.pixel(x, y)) < 100;
    return count;
}

} // namespace

class TestChartPictures : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    // The empty chart: a red line at 0, which is the bottom of the frame, from its left to its right edge.
    void emptyChartRedLine() {
        const AnalysisChart chart = BuildAnalysisChart({}, ChartMode::Years, QStringLiteral("Glycémie"));
        const QImage picture = Exported(chart, path(QStringLiteral("empty.bmp")));
        QCOMPARE(picture.size(), QSize(670, 360));
        QList<QPoint> red;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == QColor(Qt::red)) red << QPoint(x, y);
        QVERIFY(red.size() > 300);
        const int row = red.first().y();
        const int left = red.first().x();
        const int right = red.last().x();
        for (const QPoint& point : red)
            QCOMPARE(point.y(), row);
        QCOMPARE(red.size(), right - left + 1);
        // The frame's left and right edges run down to that row, not below it: the line is the range's bottom.
        for (const int x : {left, right}) {
            QCOMPARE(picture.pixelColor(x, row - 1), kChartAxisColour);
            QCOMPARE(picture.pixelColor(x, row - 20), kChartAxisColour);
        }
        QVERIFY(picture.pixelColor((left + right) / 2, row + 1) == QColor(Qt::white));
        const ChartGeometry geometry = ChartLayout(chart, picture.rect(), ChartLook::Exported());
        QCOMPARE(int(geometry.yOf(0)), row);
        QCOMPARE(geometry.range.minimum, 0.0);
        QCOMPARE(geometry.range.maximum, 1.0);
        // No results line.
        QCOMPARE(CountOf(picture, kResultsLine, picture.rect()), 0);
    }

    // Results between their bounds: in every column between two positions the upper bound line, the results line
    // and the lower bound line come in that order from the top.
    void resultsBetweenBounds() {
        const AnalysisChart chart =
            BuildAnalysisChart({Result(QDate(2024, 1, 15), 5, 4, 8), Result(QDate(2024, 3, 10), 6.5, 4, 8),
                                Result(QDate(2024, 6, 1), 7, 4, 8)},
                               ChartMode::Dates, QStringLiteral("Glycémie"));
        const QImage picture = Exported(chart, path(QStringLiteral("results.bmp")));
        const ChartGeometry geometry = ChartLayout(chart, picture.rect(), ChartLook::Exported());
        QCOMPARE(geometry.positions, 3);
        int columns = 0;
        for (int x = int(geometry.xOf(0)) + 3; x < int(geometry.xOf(2)) - 3; x += 7) {
            const QList<int> black = RowsOf(picture, x, Qt::black);
            const QList<int> green = RowsOf(picture, x, kResultsLine);
            QVERIFY2(green.size() == 1, qPrintable(QString::number(x)));
            QVERIFY2(black.size() >= 2, qPrintable(QString::number(x)));
            QVERIFY(black.first() < green.first());
            QVERIFY(black.last() > green.first());
            // The wide darker line lies under the thin one.
            QVERIFY(picture.pixelColor(x, green.first() - 1) == kResultsWide ||
                    picture.pixelColor(x, green.first() + 1) == kResultsWide);
            ++columns;
        }
        QVERIFY(columns > 40);
        // The bound lines are flat, at 8 and 4.
        const int x = int(geometry.xOf(1));
        QVERIFY(RowsOf(picture, x + 5, Qt::black).contains(int(geometry.yOf(8))));
        QVERIFY(RowsOf(picture, x + 5, Qt::black).contains(int(geometry.yOf(4))));
        // The points of the range: lowest 3, highest 9.
        QCOMPARE(geometry.range.minimum, 3.0);
        QCOMPARE(geometry.range.maximum, 9.0);
    }

    // A missing upper bound breaks its line on both sides of its position; the lower line goes on.
    void missingBoundBreaksTheLine() {
        const AnalysisChart chart =
            BuildAnalysisChart({Result(QDate(2024, 1, 1), 5, 4, 8), Result(QDate(2024, 2, 1), 6, 4, std::nullopt),
                                Result(QDate(2024, 3, 1), 6, 4, 8)},
                               ChartMode::Dates, QString());
        const QImage picture = Exported(chart, path(QStringLiteral("gap.bmp")));
        const ChartGeometry geometry = ChartLayout(chart, picture.rect(), ChartLook::Exported());
        const int upper = int(geometry.yOf(8));
        const int lower = int(geometry.yOf(4));
        for (int x = int(geometry.xOf(0)) + 3; x < int(geometry.xOf(2)) - 3; x += 5) {
            QVERIFY(!RowsOf(picture, x, Qt::black).contains(upper));
            QVERIFY(RowsOf(picture, x, Qt::black).contains(lower));
        }
    }

    // Thousands of positions on a few hundred pixels: a single high result among them still reaches its height.
    void denseResultsKeepTheirPeaks() {
        QList<ChartResult> results;
        QDate day(1990, 1, 1);
        for (int i = 0; i < 5000; ++i) {
            results.append(Result(day, i == 2500 ? 9.0 : (i == 4000 ? -3.0 : 1.0 + (i % 2) * 0.5), 0, 2));
            day = day.addDays(2);
        }
        const AnalysisChart chart = BuildAnalysisChart(results, ChartMode::Dates, QString());
        const QImage picture = Exported(chart, path(QStringLiteral("dense.bmp")));
        const ChartGeometry geometry = ChartLayout(chart, picture.rect(), ChartLook::Exported());
        const int peak = int(geometry.xOf(2500));
        const int dip = int(geometry.xOf(4000));
        QVERIFY(RowsOf(picture, peak, kResultsLine).contains(int(geometry.yOf(9))));
        QVERIFY(RowsOf(picture, dip, kResultsLine).contains(int(geometry.yOf(-3))));
        // Elsewhere the line stays between 1 and 1.5.
        const int elsewhere = int(geometry.xOf(1000));
        for (const int y : RowsOf(picture, elsewhere, kResultsLine))
            QVERIFY(y >= int(geometry.yOf(1.5)) - 1 && y <= int(geometry.yOf(1)) + 1);
    }

    // One position: single points, no line at all.
    void singlePositionDrawsNoLine() {
        const AnalysisChart chart = BuildAnalysisChart(
            {Result(QDate(2005, 3, 1), 5, 4, 8), Result(QDate(2005, 6, 15), 7, 4, 8)}, ChartMode::Years, QString());
        const QImage picture = Exported(chart, path(QStringLiteral("single.bmp")));
        QCOMPARE(CountOf(picture, kResultsLine, picture.rect()), 0);
        QCOMPARE(CountOf(picture, kResultsWide, picture.rect()), 0);
        QCOMPARE(CountOf(picture, Qt::red, picture.rect()), 0);
    }

    // The saved picture: 1600 x 1200 JPEG, the title at the top, the blue gradient; the export is white, untitled.
    void savedAndExported() {
        const AnalysisChart chart =
            BuildAnalysisChart({Result(QDate(2024, 1, 15), 1.05, 0.7, 1.1), Result(QDate(2024, 3, 10), 1.21, 0.7, 1.1)},
                               ChartMode::Dates, QStringLiteral("Glycémie"));
        const QString jpeg = path(QStringLiteral("saved.jpg"));
        QString error;
        QVERIFY2(SaveChartJpeg(chart, jpeg, &error), qPrintable(error));
        QImage saved;
        QVERIFY(JpegLoadBitmap(&saved, jpeg, &error));
        QCOMPARE(saved.size(), QSize(1600, 1200));
        QVERIFY(Near(saved.pixelColor(2, 2), QColor(128, 128, 255), 6));
        QVERIFY(Near(saved.pixelColor(2, 1197), QColor(223, 223, 255), 6));
        const QRect titleBand(400, 0, 800, 30);
        QVERIFY(DarkPixels(saved, titleBand) > 200);

        const QImage exported = Exported(chart, path(QStringLiteral("export.bmp")), 1600, 1200);
        QCOMPARE(exported.pixelColor(2, 2), QColor(Qt::white));
        QCOMPARE(exported.pixelColor(2, 1197), QColor(Qt::white));
        QCOMPARE(DarkPixels(exported, titleBand), 0);
        // The title's room goes to the plot.
        QVERIFY(ChartLayout(chart, exported.rect(), ChartLook::Exported()).plot.top() <
                ChartLayout(chart, saved.rect(), ChartLook::SavedPicture()).plot.top());
    }

    void refusedPictures_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("file");
        QTest::newRow("no width") << 0 << 360 << "zero.bmp";
        QTest::newRow("negative height") << 670 << -1 << "negative.bmp";
        QTest::newRow("absurd size") << 100000 << 100000 << "huge.bmp";
        QTest::newRow("folder that does not exist") << 670 << 360 << "missing/folder/temp.bmp";
    }
    void refusedPictures() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, file);
        const AnalysisChart chart = BuildAnalysisChart({}, ChartMode::Years, QString());
        QString error;
        QVERIFY(!ExportChartPicture(chart, width, height, path(file), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path(file)));
    }

    // An export replaces an older picture of the same name.
    void exportReplaces() {
        const QString file = path(QStringLiteral("analysis.bmp"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old picture");
        old.close();
        const QImage picture = Exported(BuildAnalysisChart({}, ChartMode::Years, QString()), file, 1600, 420);
        QCOMPARE(picture.size(), QSize(1600, 420));
    }

    void proposedName_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("foreName");
        QTest::addColumn<QString>("expected");
        QTest::newRow("title, person and day") << "Glycémie"
                                               << "DUPONT"
                                               << "Jean"
                                               << "Evolution_des_analyses___Glycémie_(DUPONT Jean)_09_12_2026.jpg";
        QTest::newRow("no forename") << "Ferritine"
                                     << "DUPONT"
                                     << ""
                                     << "Evolution_des_analyses___Ferritine_(DUPONT)_09_12_2026.jpg";
        QTest::newRow("characters files cannot hold") << "T3/T4"
                                                      << "O'Neil"
                                                      << "A?"
                                                      << "Evolution_des_analyses___T3_T4_(O'Neil A_)_09_12_2026.jpg";
        QTest::newRow("no analysis") << "Pas d'analyses"
                                     << "Martin"
                                     << "Claire"
                                     << "Evolution_des_analyses___Pas_d'analyses_(Martin Claire)_09_12_2026.jpg";
    }
    void proposedName() {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QFETCH(QString, foreName);
        QFETCH(QString, expected);
        QCOMPARE(ProposedChartPictureName(ChartTitle(title), ChartPersonName(name, foreName), QDate(2026, 12, 9)),
                 expected);
    }
};

QTEST_MAIN(TestChartPictures)
#include "TestChartPictures.moc"
