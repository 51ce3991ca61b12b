#include "core/app/Localisation.h"

#include "core/app/DateRoutines.h"

#include <QLocale>
#include <QTest>

class TestLocalisation : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void langString_data();
    void langString();
    void languageNumber_data();
    void languageNumber();
    void monthName_data();
    void monthName();
    void userLanguage();
    void dateText_data();
    void dateText();
};

void TestLocalisation::cleanup() {
    SetClockForTesting(QDateTime());
}

void TestLocalisation::langString_data() {
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unchanged") << QStringLiteral("MISE A JOUR (Sauvegarde)")
                               << QStringLiteral("MISE A JOUR (Sauvegarde)");
    QTest::newRow("two lines") << QStringLiteral("Première ligne{CR}Seconde ligne")
                               << QStringLiteral("Première ligne\nSeconde ligne");
    QTest::newRow("every marker") << QStringLiteral("{CR}a{CR}{CR}b{CR}") << QStringLiteral("\na\n\nb\n");
    QTest::newRow("marker case matters") << QStringLiteral("a{cr}b") << QStringLiteral("a{cr}b");
    QTest::newRow("empty") << QString() << QString();
}

void TestLocalisation::langString() {
    QFETCH(QString, defaultText);
    QFETCH(QString, expected);
    QCOMPARE(LangString(QStringLiteral("Lib_Bd_Maj"), QStringLiteral("String1"), defaultText), expected);
}

void TestLocalisation::languageNumber_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("default") << QStringLiteral("laDefault") << 0;
    QTest::newRow("English") << QStringLiteral("laEnglish") << 1;
    QTest::newRow("German") << QStringLiteral("laGerman") << 2;
    QTest::newRow("French") << QStringLiteral("laFrench") << 3;
    QTest::newRow("Italian") << QStringLiteral("laItalian") << 4;
    QTest::newRow("Spanish") << QStringLiteral("laSpanish") << 5;
    QTest::newRow("outside the table") << QStringLiteral("laDutch") << 1;
    QTest::newRow("bare name") << QStringLiteral("French") << 1;
    QTest::newRow("empty") << QString() << 1;
}

void TestLocalisation::languageNumber() {
    QFETCH(QString, name);
    QFETCH(int, number);
    QCOMPARE(LanguageNumber(name), number);
}

void TestLocalisation::monthName_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("name");
    QTest::newRow("August, French") << 8 << 3 << QStringLiteral("Août");
    QTest::newRow("January, English") << 1 << 1 << QStringLiteral("January");
    QTest::newRow("March, German") << 3 << 2 << QStringLiteral("März");
    QTest::newRow("December, French") << 12 << 3 << QStringLiteral("Décembre");
    QTest::newRow("June, Italian") << 6 << 4 << QStringLiteral("Giugno");
    QTest::newRow("September, Spanish") << 9 << 5 << QStringLiteral("Septiembre");
    QTest::newRow("unknown language as English") << 5 << 9 << QStringLiteral("May");
    QTest::newRow("month 0") << 0 << 3 << QString();
    QTest::newRow("month 13") << 13 << 3 << QString();
}

void TestLocalisation::monthName() {
    QFETCH(int, month);
    QFETCH(int, language);
    QFETCH(QString, name);
    QCOMPARE(MonthName(month, language), name);
}

void TestLocalisation::userLanguage() {
    // The tests run under fr_FR.UTF-8; language 0 then means French.
    if (QLocale::system().language() != QLocale::French) QSKIP("needs a French user locale (LANG=fr_FR.UTF-8)");
    QCOMPARE(UserLanguageNumber(), 3);
    QCOMPARE(MonthName(2, 0), QStringLiteral("Février"));
}

void TestLocalisation::dateText_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("expected");
    QTest::newRow("day with leading zero") << QDate(2008, 8, 5) << 3 << 3 << QStringLiteral("05");
    QTest::newRow("two-digit day") << QDate(2008, 8, 31) << 3 << 1 << QStringLiteral("31");
    QTest::newRow("month in French") << QDate(2008, 8, 5) << 5 << 3 << QStringLiteral("Août");
    QTest::newRow("month in Spanish") << QDate(2008, 1, 5) << 5 << 5 << QStringLiteral("Enero");
    QTest::newRow("other mode") << QDate(2008, 8, 5) << 4 << 3 << QString();
}

void TestLocalisation::dateText() {
    QFETCH(QDate, today);
    QFETCH(int, mode);
    QFETCH(int, language);
    QFETCH(QString, expected);
    SetClockForTesting(QDateTime(today, QTime(12, 0)));
    QCOMPARE(DateText(mode, language), expected);
}

QTEST_GUILESS_MAIN(TestLocalisation)
#include "TestLocalisation.moc"
