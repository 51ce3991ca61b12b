// The value format of analyses: the edit and display patterns built from the decimals and the unit, and the texts
// they give under a decimal comma and a decimal point.
#include "core/analyses/ValueFormat.h"

#include <QLocale>
#include <QTest>

class TestValueFormat : public QObject {
    Q_OBJECT
private slots:
    void patterns_data() {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("display");
        QTest::newRow("two decimals: two points in a row") << 2 << "g/l"
                                                           << "#######0..00"
                                                           << "#######0..00 g/l";
        QTest::newRow("no decimals: a final point") << 0 << "UI/l"
                                                    << "#######0."
                                                    << "#######0. UI/l";
        QTest::newRow("three decimals") << 3 << "mmol/l"
                                        << "#######0..000"
                                        << "#######0..000 mmol/l";
        QTest::newRow("empty unit keeps its blank") << 1 << ""
                                                    << "#######0..0"
                                                    << "#######0..0 ";
        QTest::newRow("negative decimals as none") << -2 << "%"
                                                   << "#######0."
                                                   << "#######0. %";
    }
    void patterns() {
        QFETCH(int, decimals);
        QFETCH(QString, unit);
        QFETCH(QString, edit);
        QFETCH(QString, display);
        const ValuePatterns patterns = AnalysisValuePatterns(decimals, unit);
        QCOMPARE(patterns.edit, edit);
        QCOMPARE(patterns.display, display);
    }

    // Before a person-analysis is chosen the results show two decimals without unit.
    void defaultPatterns() {
        QCOMPARE(DefaultValuePatterns().edit, QStringLiteral("#######0..00"));
        QCOMPARE(DefaultValuePatterns().display, QStringLiteral("#######0..00"));
    }

    // Texts under a French locale (decimal comma) and, with the comma made a point, under an English one.
    void texts_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("display");
        QTest::newRow("5.5, 2 decimals, g/l") << 5.5 << 2 << "g/l"
                                              << "5,50"
                                              << "5,50 g/l";
        QTest::newRow("4.6, no decimals") << 4.6 << 0 << "g/l"
                                          << "5"
                                          << "5 g/l";
        QTest::newRow("halves away from zero") << 2.675 << 2 << "g/l"
                                               << "2,68"
                                               << "2,68 g/l";
        QTest::newRow("negative half") << -0.5 << 0 << "°C"
                                       << "-1"
                                       << "-1 °C";
        QTest::newRow("one integer digit at least") << 0.07 << 2 << "g/l"
                                                    << "0,07"
                                                    << "0,07 g/l";
        QTest::newRow("no thousands separator") << 12345.678 << 1 << "UI"
                                                << "12345,7"
                                                << "12345,7 UI";
        QTest::newRow("zero with three decimals") << 0.0 << 3 << "mg"
                                                  << "0,000"
                                                  << "0,000 mg";
        QTest::newRow("unit of blanks as stored") << 1.0 << 1 << "  "
                                                  << "1,0"
                                                  << "1,0   ";
        QTest::newRow("unit holding pattern characters") << 7.25 << 1 << "0.5#"
                                                         << "7,3"
                                                         << "7,3 0.5#";
        QTest::newRow("more decimals than a double holds") << 1.5 << 40 << "g"
                                                           << "1,500000000000000"
                                                           << "1,500000000000000 g";
    }
    void texts() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, unit);
        QFETCH(QString, edit);
        QFETCH(QString, display);
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(AnalysisEditText(value, decimals), edit);
        QCOMPARE(AnalysisDisplayText(value, decimals, unit), display);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QString pointEdit = edit;
        pointEdit.replace(QLatin1Char(','), QLatin1Char('.'));
        QCOMPARE(AnalysisEditText(value, decimals), pointEdit);
        QLocale::setDefault(saved);
        QCOMPARE(AnalysisDisplayText(value, decimals, unit, QLatin1Char('.')).left(pointEdit.size()), pointEdit);
    }
};

QTEST_GUILESS_MAIN(TestValueFormat)
#include "TestValueFormat.moc"
