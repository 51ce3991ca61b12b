#include "core/app/TextRoutines.h"

#include <QLocale>
#include <QTest>

class TestTextRoutines : public QObject {
    Q_OBJECT

private slots:
    void removeAccents_data();
    void removeAccents();
    void cleanFileName();
    void blanks_data();
    void blanks();
    void formCaptionFromTitle_data();
    void formCaptionFromTitle();
    void zeroPad_data();
    void zeroPad();
    void decimalsSuffix_data();
    void decimalsSuffix();
    void formatFixed_data();
    void formatFixed();
    void isNumber_data();
    void isNumber();
    void normalizeDecimal_data();
    void normalizeDecimal();
    void taggedText_data();
    void taggedText();
    void decodeText_data();
    void decodeText();
};

void TestTextRoutines::removeAccents_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sentence") << QStringLiteral("Prélèvement à l'hôpital, façon")
                              << QStringLiteral("Prelevement a l'hopital, facon");
    QTest::newRow("every letter") << QStringLiteral("éèêëàâäùûüôöîïç") << QStringLiteral("eeeeaaauuuooiic");
    QTest::newRow("capitals kept") << QStringLiteral("École Ça") << QStringLiteral("École Ça");
    QTest::newRow("other accents kept") << QStringLiteral("ñáíó") << QStringLiteral("ñáíó");
    QTest::newRow("empty") << QString() << QString();
}

void TestTextRoutines::removeAccents() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(RemoveAccents(text), expected);
}

void TestTextRoutines::cleanFileName() {
    QCOMPARE(CleanFileName(QStringLiteral("Glycémie: 12/05/2008")), QStringLiteral("Glycémie_ 12_05_2008"));
    QCOMPARE(CleanFileName(QStringLiteral("a/b\\c:d*e?f\"g<h>i|j")), QStringLiteral("a_b_c_d_e_f_g_h_i_j"));
}

void TestTextRoutines::blanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::addColumn<QString>("leftTrimmed");
    QTest::newRow("both sides") << QStringLiteral("  abc  ") << QStringLiteral("abc") << QStringLiteral("abc  ");
    QTest::newRow("inner blanks kept") << QStringLiteral(" a b ") << QStringLiteral("a b") << QStringLiteral("a b ");
    QTest::newRow("blanks only") << QStringLiteral("   ") << QStringLiteral(" ") << QStringLiteral("   ");
    QTest::newRow("one blank") << QStringLiteral(" ") << QStringLiteral(" ") << QStringLiteral(" ");
    QTest::newRow("empty") << QString() << QString() << QString();
    QTest::newRow("tabs are no blanks") << QStringLiteral("\tx\t") << QStringLiteral("\tx\t")
                                        << QStringLiteral("\tx\t");
}

void TestTextRoutines::blanks() {
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QFETCH(QString, leftTrimmed);
    QCOMPARE(TrimBlanks(text), trimmed);
    QCOMPARE(TrimLeftBlanks(text), leftTrimmed);
}

void TestTextRoutines::formCaptionFromTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::newRow("label") << QStringLiteral("  Saisie d'une personne") << QStringLiteral("Saisie d'une personne");
    QTest::newRow("doubled apostrophes") << QStringLiteral("  Liste d''analyses ''X''")
                                         << QStringLiteral("Liste d'analyses 'X'");
    QTest::newRow("blanks only") << QStringLiteral("    ") << QStringLiteral(" ");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("cut at 255") << QStringLiteral("  ") + QString(300, QLatin1Char('x'))
                                << QString(255, QLatin1Char('x'));
}

void TestTextRoutines::formCaptionFromTitle() {
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QCOMPARE(FormCaptionFromTitle(title), caption);
}

void TestTextRoutines::zeroPad_data() {
    QTest::addColumn<qint64>("n");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("7 in 4") << qint64(7) << 4 << QStringLiteral("0007");
    QTest::newRow("wider than width") << qint64(12345) << 4 << QStringLiteral("12345");
    QTest::newRow("exact width") << qint64(12) << 2 << QStringLiteral("12");
    QTest::newRow("zero") << qint64(0) << 2 << QStringLiteral("00");
    QTest::newRow("width 1") << qint64(5) << 1 << QStringLiteral("5");
    QTest::newRow("width 8") << qint64(5) << 8 << QStringLiteral("00000005");
    QTest::newRow("width beyond 8") << qint64(5) << 12 << QStringLiteral("00000005");
}

void TestTextRoutines::zeroPad() {
    QFETCH(qint64, n);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QCOMPARE(ZeroPad(n, width), expected);
}

void TestTextRoutines::decimalsSuffix_data() {
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative") << -1 << QString();
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("one") << 1 << QStringLiteral(".0");
    QTest::newRow("three") << 3 << QStringLiteral(".000");
}

void TestTextRoutines::decimalsSuffix() {
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(DecimalsSuffix(decimals), expected);
}

void TestTextRoutines::formatFixed_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pi, 2 decimals") << 7 << 2 << 3.14159 << QStringLiteral("      3.14");
    QTest::newRow("rounds up") << 7 << 2 << 2.675001 << QStringLiteral("      2.68");
    QTest::newRow("tie away from zero") << 7 << 2 << 0.125 << QStringLiteral("      0.13");
    QTest::newRow("negative tie") << 3 << 0 << -2.5 << QStringLiteral(" -3");
    QTest::newRow("no decimals") << 7 << 0 << 12.4 << QStringLiteral("     12");
    QTest::newRow("negative decimals") << 4 << -1 << 12.6 << QStringLiteral("  13");
    QTest::newRow("carry") << 3 << 1 << 9.96 << QStringLiteral(" 10.0");
    QTest::newRow("negative value") << 7 << 1 << -4.25 << QStringLiteral("     -4.3");
    QTest::newRow("negative zero drops its sign") << 7 << 2 << -0.001 << QStringLiteral("      0.00");
    QTest::newRow("never truncated") << 2 << 1 << 12345.67 << QStringLiteral("12345.7");
}

void TestTextRoutines::formatFixed() {
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(double, x);
    QFETCH(QString, expected);
    QCOMPARE(FormatFixed(width, decimals, x), expected);
}

void TestTextRoutines::isNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("comma") << QStringLiteral("12,5") << true;
    QTest::newRow("point") << QStringLiteral("12.5") << true;
    QTest::newRow("two commas") << QStringLiteral("12,5,1") << false;
    QTest::newRow("comma and point") << QStringLiteral("12,5.1") << false;
    QTest::newRow("integer") << QStringLiteral("42") << true;
    QTest::newRow("leading zeros") << QStringLiteral("05") << true;
    QTest::newRow("plus sign") << QStringLiteral("+3") << true;
    QTest::newRow("minus sign") << QStringLiteral("-3,25") << true;
    QTest::newRow("exponent") << QStringLiteral("1.5E3") << true;
    QTest::newRow("negative exponent") << QStringLiteral("2e-4") << true;
    QTest::newRow("exponent without digits") << QStringLiteral("2e") << false;
    QTest::newRow("fraction only") << QStringLiteral(",5") << true;
    QTest::newRow("trailing point") << QStringLiteral("12.") << true;
    QTest::newRow("sign only") << QStringLiteral("-") << false;
    QTest::newRow("point only") << QStringLiteral(".") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blank") << QStringLiteral(" ") << false;
    QTest::newRow("inner blank") << QStringLiteral("1 2") << false;
    QTest::newRow("letters") << QStringLiteral("12a") << false;
    QTest::newRow("not a number") << QStringLiteral("nan") << false;
}

void TestTextRoutines::isNumber() {
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(IsNumber(text), expected);
}

void TestTextRoutines::normalizeDecimal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma") << QStringLiteral("12,5") << QStringLiteral("12#5");
    QTest::newRow("point") << QStringLiteral("12.5") << QStringLiteral("12#5");
    QTest::newRow("comma before point") << QStringLiteral("1.234,5") << QStringLiteral("1.234#5");
    QTest::newRow("only the first comma") << QStringLiteral("1,2,3") << QStringLiteral("1#2,3");
    QTest::newRow("no separator") << QStringLiteral("12") << QStringLiteral("12");
    QTest::newRow("cut at 255") << QString(300, QLatin1Char('1')) << QString(255, QLatin1Char('1'));
}

void TestTextRoutines::normalizeDecimal() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    // Both locales of the test: one whose separator is the comma, one whose separator is the point.
    for (const QLocale::Language language : {QLocale::French, QLocale::English}) {
        const QLocale previous;
        QLocale::setDefault(QLocale(language));
        const QString separator = QLocale().decimalPoint();
        const QString result = NormalizeDecimal(text);
        QLocale::setDefault(previous);
        QCOMPARE(result, QString(expected).replace(QLatin1Char('#'), separator));
    }
}

void TestTextRoutines::taggedText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("leading");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("third");
    QTest::newRow("person entry") << QStringLiteral("12%&a%Name%&b%First name%&c%01/02/1960%&d%") << qint64(12)
                                  << QStringLiteral("Name") << QStringLiteral("First name")
                                  << QStringLiteral("01/02/1960");
    QTest::newRow("empty field") << QStringLiteral("7%&a%%&b%x%&c%") << qint64(7) << QString() << QStringLiteral("x")
                                 << QString();
    QTest::newRow("field with percent") << QStringLiteral("3%&a%50% de%&b%") << qint64(3) << QStringLiteral("50% de")
                                        << QString() << QString();
    QTest::newRow("no identifier") << QStringLiteral("abc%&a%Name%&b%") << qint64(-1) << QStringLiteral("Name")
                                   << QString() << QString();
    QTest::newRow("decimal identifier") << QStringLiteral("1,5%&a%x%&b%") << qint64(-1) << QStringLiteral("x")
                                        << QString() << QString();
    QTest::newRow("no percent at all") << QStringLiteral("42") << qint64(42) << QString() << QString() << QString();
    QTest::newRow("empty text") << QString() << qint64(-1) << QString() << QString() << QString();
    QTest::newRow("large identifier") << QStringLiteral("5000000000%&a%x%&b%") << qint64(5000000000)
                                      << QStringLiteral("x") << QString() << QString();
}

void TestTextRoutines::taggedText() {
    QFETCH(QString, text);
    QFETCH(qint64, leading);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, third);
    QCOMPARE(LeadingInteger(text), leading);
    QCOMPARE(MarkedField(text, 1, 4), first);
    QCOMPARE(MarkedField(text, 2, 4), second);
    QCOMPARE(MarkedField(text, 3, 4), third);
}

void TestTextRoutines::decodeText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("utf-8") << QByteArray("Glyc\xc3\xa9mie \xe2\x82\xac") << QStringLiteral("Glycémie €");
    QTest::newRow("utf-8 with mark") << QByteArray("\xef\xbb\xbf"
                                                   "abc")
                                     << QStringLiteral("abc");
    QTest::newRow("windows-1252") << QByteArray("Glyc\xe9mie \x80 \x9c") << QStringLiteral("Glycémie € œ");
    QTest::newRow("ascii") << QByteArray("SELECT *") << QStringLiteral("SELECT *");
}

void TestTextRoutines::decodeText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(DecodeText(bytes), expected);
}

QTEST_GUILESS_MAIN(TestTextRoutines)
#include "TestTextRoutines.moc"
