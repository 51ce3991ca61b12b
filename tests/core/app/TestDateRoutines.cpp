#include "core/app/DateRoutines.h"

#include <QTest>

class TestDateRoutines : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void dateText_data();
    void dateText();
    void isValidDate_data();
    void isValidDate();
    void isValidDateText_data();
    void isValidDateText();
    void monthArithmetic_data();
    void monthArithmetic();
    void yearArithmetic_data();
    void yearArithmetic();
    void clockForTesting();
};

void TestDateRoutines::cleanup() {
    SetClockForTesting(QDateTime());
}

void TestDateRoutines::dateText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("two digits") << QStringLiteral("05/06/2008") << QDate(2008, 6, 5);
    QTest::newRow("one digit") << QStringLiteral("5/6/2008") << QDate(2008, 6, 5);
    QTest::newRow("leap day") << QStringLiteral("29/02/2008") << QDate(2008, 2, 29);
    QTest::newRow("no leap day") << QStringLiteral("29/02/2009") << QDate();
    QTest::newRow("month 13") << QStringLiteral("01/13/2008") << QDate();
    QTest::newRow("day 0") << QStringLiteral("00/01/2008") << QDate();
    QTest::newRow("month first") << QStringLiteral("2008-06-05") << QDate();
    QTest::newRow("two-digit year") << QStringLiteral("05/06/08") << QDate();
    QTest::newRow("empty mask") << QStringLiteral("__/__/____") << QDate();
    QTest::newRow("empty") << QString() << QDate();
}

void TestDateRoutines::dateText() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    bool ok = !date.isValid();
    QCOMPARE(TextToDate(text, &ok), date);
    QCOMPARE(ok, date.isValid());
    if (date.isValid()) QCOMPARE(TextToDate(DateToText(date)), date);
}

void TestDateRoutines::isValidDate_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("valid");
    QTest::newRow("first day") << QDate(1900, 1, 1) << true;
    QTest::newRow("last day") << QDate(2099, 12, 31) << true;
    QTest::newRow("1899") << QDate(1899, 12, 31) << false;
    QTest::newRow("2100") << QDate(2100, 1, 1) << false;
    QTest::newRow("invalid") << QDate() << false;
}

void TestDateRoutines::isValidDate() {
    QFETCH(QDate, date);
    QFETCH(bool, valid);
    QCOMPARE(IsValidDate(date), valid);
}

void TestDateRoutines::isValidDateText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("leap day") << QStringLiteral("29/02/2008") << true;
    QTest::newRow("ordinary") << QStringLiteral("15/07/1975") << true;
    QTest::newRow("31 February") << QStringLiteral("31/02/2008") << false;
    QTest::newRow("29 February common year") << QStringLiteral("29/02/2007") << false;
    QTest::newRow("29 February 1900") << QStringLiteral("29/02/1900") << false;
    QTest::newRow("29 February 2000") << QStringLiteral("29/02/2000") << true;
    QTest::newRow("short") << QStringLiteral("1/2/2008") << false;
    QTest::newRow("1899") << QStringLiteral("05/06/1899") << false;
    QTest::newRow("2100") << QStringLiteral("01/01/2100") << false;
    QTest::newRow("2099") << QStringLiteral("31/12/2099") << true;
    QTest::newRow("blank padded") << QStringLiteral(" 1/02/2008") << false;
    QTest::newRow("signed") << QStringLiteral("+1/02/2008") << false;
    QTest::newRow("other separator") << QStringLiteral("01-02-2008") << false;
    QTest::newRow("month 13") << QStringLiteral("01/13/2008") << false;
    QTest::newRow("empty mask") << QStringLiteral("__/__/____") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestDateRoutines::isValidDateText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidDateText(text), valid);
}

void TestDateRoutines::monthArithmetic_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("added");
    QTest::addColumn<QDate>("subtracted");
    QTest::newRow("end of January, leap year") << 1 << QDate(2008, 1, 31) << QDate(2008, 2, 29) << QDate(2007, 12, 31);
    QTest::newRow("end of January, common year")
        << 1 << QDate(2009, 1, 31) << QDate(2009, 2, 28) << QDate(2008, 12, 31);
    QTest::newRow("mid January") << 1 << QDate(2008, 1, 15) << QDate(2008, 2, 15) << QDate(2007, 12, 15);
    QTest::newRow("end of March back to February")
        << 1 << QDate(2008, 3, 31) << QDate(2008, 4, 30) << QDate(2008, 2, 29);
    QTest::newRow("over the year end") << 3 << QDate(2008, 11, 30) << QDate(2009, 2, 28) << QDate(2008, 8, 30);
    QTest::newRow("twelve months") << 12 << QDate(2008, 5, 10) << QDate(2009, 5, 10) << QDate(2007, 5, 10);
    QTest::newRow("more than a year") << 14 << QDate(2008, 12, 31) << QDate(2010, 2, 28) << QDate(2007, 10, 31);
    QTest::newRow("several years") << 30 << QDate(2008, 1, 1) << QDate(2010, 7, 1) << QDate(2005, 7, 1);
    QTest::newRow("no months") << 0 << QDate(2008, 1, 31) << QDate(2008, 1, 31) << QDate(2008, 1, 31);
}

void TestDateRoutines::monthArithmetic() {
    QFETCH(int, n);
    QFETCH(QDate, date);
    QFETCH(QDate, added);
    QFETCH(QDate, subtracted);
    QCOMPARE(AddMonths(n, date), added);
    QCOMPARE(SubtractMonths(n, date), subtracted);
}

void TestDateRoutines::yearArithmetic_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("added");
    QTest::addColumn<QDate>("subtracted");
    QTest::newRow("leap day") << 1 << QDate(2008, 2, 29) << QDate(2009, 2, 28) << QDate(2007, 2, 28);
    QTest::newRow("leap day to leap year") << 4 << QDate(2008, 2, 29) << QDate(2012, 2, 29) << QDate(2004, 2, 29);
    QTest::newRow("leap day over 2100") << 92 << QDate(2008, 2, 29) << QDate(2100, 2, 28) << QDate(1916, 2, 29);
    QTest::newRow("ordinary") << 10 << QDate(2000, 7, 14) << QDate(2010, 7, 14) << QDate(1990, 7, 14);
}

void TestDateRoutines::yearArithmetic() {
    QFETCH(int, n);
    QFETCH(QDate, date);
    QFETCH(QDate, added);
    QFETCH(QDate, subtracted);
    QCOMPARE(AddYears(n, date), added);
    QCOMPARE(SubtractYears(n, date), subtracted);
}

void TestDateRoutines::clockForTesting() {
    const QDateTime moment(QDate(2031, 3, 9), QTime(14, 5));
    SetClockForTesting(moment);
    QCOMPARE(Now(), moment);
    QCOMPARE(Today(), QDate(2031, 3, 9));
    QCOMPARE(CurrentYear(), 2031);

    SetClockForTesting(QDateTime());
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime now = Now();
    QVERIFY(now >= before && now <= QDateTime::currentDateTime());
    QCOMPARE(CurrentYear(), QDate::currentDate().year());
}

QTEST_GUILESS_MAIN(TestDateRoutines)
#include "TestDateRoutines.moc"
