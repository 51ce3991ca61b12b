// The date picker's rules: where it opens, the date it opens on, and the year and month steps on its working date.
#include "core/app/DateRoutines.h"
#include "core/records/DatePickerRules.h"

#include <QtTest>

class TestDatePickerRules : public QObject {
    Q_OBJECT
private slots:
    void init() { SetClockForTesting(QDateTime(QDate(2024, 5, 17), QTime(10, 0))); }
    void cleanup() { SetClockForTesting(QDateTime()); }

    void placement_data() {
        QTest::addColumn<QRect>("field");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1024, 768);
        // Under the field, at its left edge: a field of the usual height is not covered.
        QTest::newRow("under a line edit") << QRect(100, 200, 120, 21) << screen << QPoint(100, 221);
        QTest::newRow("field lower than 15 pixels") << QRect(100, 200, 120, 12) << screen << QPoint(100, 215);
        // Near the bottom the picker ends 30 pixels above the screen's bottom edge.
        QTest::newRow("near the bottom") << QRect(100, 600, 120, 21) << screen << QPoint(100, 768 - 220 - 30);
        // 497 + 220 + 21 = 738 = 768 - 30 is not less than the limit; one pixel higher is.
        QTest::newRow("just too low") << QRect(100, 497, 120, 21) << screen << QPoint(100, 518);
        QTest::newRow("just high enough") << QRect(100, 496, 120, 21) << screen << QPoint(100, 517);
        QTest::newRow("near the right edge") << QRect(900, 200, 120, 21) << screen << QPoint(1024 - 260, 221);
        QTest::newRow("second screen to the right and lower")
            << QRect(1100, 1000, 120, 21) << QRect(1024, 100, 1280, 1024) << QPoint(1100, 1124 - 220 - 30);
    }

    // The picker is 260 x 220 pixels in every case.
    void placement() {
        QFETCH(QRect, field);
        QFETCH(QRect, screen);
        QFETCH(QPoint, expected);
        QCOMPARE(DatePickerPosition(field, QSize(260, 220), screen), expected);
    }

    void openingDate_data() {
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a date") << "15/06/1985"
                                << "15/06/1985";
        QTest::newRow("first ten characters") << "15/06/1985 10:30"
                                              << "15/06/1985";
        QTest::newRow("not a date") << "31/02/2020"
                                    << "17/05/2024";
        QTest::newRow("empty") << ""
                               << "17/05/2024";
        QTest::newRow("short day and month") << "5/6/1985"
                                             << "17/05/2024";
        QTest::newRow("incomplete entry") << "12/06/19  "
                                          << "17/05/2024";
        QTest::newRow("before 1900") << "05/06/1899"
                                     << "17/05/2024";
        QTest::newRow("29 February of a leap year") << "29/02/2008"
                                                    << "29/02/2008";
    }

    void openingDate() {
        QFETCH(QString, fieldText);
        QFETCH(QString, expected);
        QCOMPARE(OpeningDateText(fieldText), expected);
    }

    void steps_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("expected");
        const int yearMinus = int(DateStep::YearMinus), yearPlus = int(DateStep::YearPlus);
        const int monthMinus = int(DateStep::MonthMinus), monthPlus = int(DateStep::MonthPlus);
        QTest::newRow("31 January + month, common year") << "31/01/2021" << monthPlus << "28/02/2021";
        QTest::newRow("31 January + month, leap year") << "31/01/2024" << monthPlus << "29/02/2024";
        QTest::newRow("31 March - month") << "31/03/2023" << monthMinus << "28/02/2023";
        QTest::newRow("31 May - month") << "31/05/2023" << monthMinus << "30/04/2023";
        QTest::newRow("December + month") << "15/12/2020" << monthPlus << "15/01/2021";
        QTest::newRow("January - month") << "15/01/2021" << monthMinus << "15/12/2020";
        QTest::newRow("29 February + year") << "29/02/2024" << yearPlus << "28/02/2025";
        QTest::newRow("29 February - year") << "29/02/2024" << yearMinus << "28/02/2023";
        QTest::newRow("to the next leap year") << "28/02/2023" << yearPlus << "28/02/2024";
        QTest::newRow("an ordinary year step") << "15/06/1985" << yearPlus << "15/06/1986";
        QTest::newRow("past 2099") << "31/12/2099" << monthPlus << "31/12/2099";
        QTest::newRow("before 1900") << "15/06/1900" << yearMinus << "15/06/1900";
        QTest::newRow("first month of 1900") << "15/01/1900" << monthMinus << "15/01/1900";
        QTest::newRow("not a date") << "" << monthPlus << "";
    }

    void steps() {
        QFETCH(QString, text);
        QFETCH(int, step);
        QFETCH(QString, expected);
        QCOMPARE(StepDateText(text, DateStep(step)), expected);
    }

    // Each step works on the text as it stands: the day cut at a month's end is not given back.
    void monthEndIsNotRestoredByStepsBack() {
        QString text = QStringLiteral("31/01/2021");
        text = StepDateText(text, DateStep::MonthPlus);
        text = StepDateText(text, DateStep::MonthMinus);
        QCOMPARE(text, QStringLiteral("28/01/2021"));
    }

    void labels_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("month");
        QTest::newRow("the picker's own language") << QDate(2024, 2, 1) << DatePickerLanguageName() << "FÉVRIER";
        QTest::newRow("August in French") << QDate(2024, 8, 1) << "laFrench"
                                          << "AOÛT";
        QTest::newRow("German") << QDate(2024, 3, 1) << "laGerman"
                                << "MÄRZ";
        QTest::newRow("unknown language is English") << QDate(2024, 12, 1) << "Klingon"
                                                     << "DECEMBER";
    }

    void labels() {
        QFETCH(QDate, date);
        QFETCH(QString, language);
        QFETCH(QString, month);
        QCOMPARE(DatePickerMonthText(date, language), month);
        QCOMPARE(DatePickerYearText(date), QString::number(date.year()));
    }
};

QTEST_GUILESS_MAIN(TestDatePickerRules)
#include "TestDatePickerRules.moc"
