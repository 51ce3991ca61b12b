// Numbers written after a pattern ("#######0.00 g/l") and read back from typed text.
#include "core/app/NumberFormat.h"

#include <QLocale>
#include <QTest>

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void patterns_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two decimals, unit") << "#######0..00 g/l" << 5.5 << "5,50 g/l";
        QTest::newRow("no decimals: no separator") << "#######0. g/l" << 4.6 << "5 g/l";
        QTest::newRow("no decimals, empty unit keeps its blank") << "#######0. " << 4.6 << "5 ";
        QTest::newRow("weight") << "#######0.000 Kg" << 3.25 << "3,250 Kg";
        QTest::newRow("size") << "#######0.00 cm" << 50.0 << "50,00 cm";
        QTest::newRow("one integer digit at least") << "#######0..00" << 0.07 << "0,07";
        QTest::newRow("no integer digit asked") << "#.00" << 0.5 << ",50";
        QTest::newRow("half up on the typed digits") << "#######0..00" << 2.675 << "2,68";
        QTest::newRow("half up, small") << "#######0..00" << 0.125 << "0,13";
        QTest::newRow("half away from zero, negative") << "#######0." << -2.5 << "-3";
        QTest::newRow("carry into a new digit") << "#######0..00" << 9.995 << "10,00";
        QTest::newRow("carry from nothing") << "#######0." << 0.5 << "1";
        QTest::newRow("below half of the last decimal") << "#######0..000" << 0.0004 << "0,000";
        QTest::newRow("negative rounding to zero has no sign") << "#######0..00" << -0.001 << "0,00";
        QTest::newRow("zero") << "#######0..00" << 0.0 << "0,00";
        QTest::newRow("no thousands separator") << "#######0." << 1234567890.0 << "1234567890";
        QTest::newRow("more digits than the pattern shows") << "#0" << 123456.0 << "123456";
        QTest::newRow("three decimals") << "#######0..000" << -12.3456 << "-12,346";
        QTest::newRow("tiny value") << "#######0..00" << 1e-300 << "0,00";
        QTest::newRow("huge value") << "#######0." << 1e20 << "100000000000000000000";
        QTest::newRow("prefix kept") << "Maxi #0.0" << 1.25 << "Maxi 1,3";
    }
    void patterns() {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(FormatFloatPattern(pattern, value, QLatin1Char(',')), expected);
        QString withPoint = expected;
        withPoint.replace(QLatin1Char(','), QLatin1Char('.'));
        QCOMPARE(FormatFloatPattern(pattern, value, QLatin1Char('.')), withPoint);
    }

    void localeSeparator() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(FormatFloatPattern(QStringLiteral("#######0..00 g/l"), 5.5), QStringLiteral("5,50 g/l"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(FormatFloatPattern(QStringLiteral("#######0..00 g/l"), 5.5), QStringLiteral("5.50 g/l"));
        QCOMPARE(FormatFloatPattern(QStringLiteral("#######0."), 12345.0), QStringLiteral("12345"));
        QLocale::setDefault(saved);
    }

    void notANumber() {
        QCOMPARE(FormatFloatPattern(QStringLiteral("#0.00 g"), qQNaN(), QLatin1Char(',')), QStringLiteral("NAN g"));
        QCOMPARE(FormatFloatPattern(QStringLiteral("#0.00"), -qInf(), QLatin1Char(',')), QStringLiteral("-INF"));
    }

    void reading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("comma") << "3,25" << true << 3.25;
        QTest::newRow("point") << "3.25" << true << 3.25;
        QTest::newRow("blanks around") << "  -0,5 " << true << -0.5;
        QTest::newRow("leading separator") << ",5" << true << 0.5;
        QTest::newRow("trailing separator") << "7." << true << 7.0;
        QTest::newRow("exponent") << "1,5e3" << true << 1500.0;
        QTest::newRow("integer") << "+12" << true << 12.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks only") << "   " << false << 0.0;
        QTest::newRow("two separators") << "1,2,3" << false << 0.0;
        QTest::newRow("unit typed") << "5 g/l" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("thousands blank") << "1 000" << false << 0.0;
        QTest::newRow("overflow") << "1e999" << false << 0.0;
    }
    void reading() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double read = -42;
        QCOMPARE(ReadDecimalText(text, &read), ok);
        QCOMPARE(read, ok ? value : -42.0);
    }
};

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "TestNumberFormat.moc"
