// The tear-off calendar: today's day and month with a set clock, where and in which colours they are drawn, and
// its showing and hiding with the clock.
#include "core/app/DateRoutines.h"
#include "gui/records/TMiniCalendar.h"
#include "support/Screenshots.h"

#include <QDir>
#include <QLabel>
#include <QtTest>

namespace {

bool IsRed(const QColor& c) {
    return c.red() > 160 && c.green() < 120 && c.blue() < 120;
}

bool IsDark(const QColor& c) {
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
}

// The rows and columns that hold pixels of a kind, within rows from..to-1.
struct Extent {
    int top = -1, bottom = -1, left = -1, right = -1;
};

template <class Test> Extent ExtentOf(const QImage& image, int from, int to, Test test) {
    Extent extent;
    for (int y = std::max(0, from); y < std::min(to, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (!test(image.pixelColor(x, y))) continue;
            if (extent.top < 0) extent.top = y;
            extent.bottom = y;
            extent.left = extent.left < 0 ? x : std::min(extent.left, x);
            extent.right = std::max(extent.right, x);
        }
    return extent;
}

} // namespace

class TestMiniCalendar : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetClockForTesting(QDateTime()); }

    void texts_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("month");
        QTest::newRow("August") << QDate(2024, 8, 5) << "05"
                                << "Aoû";
        QTest::newRow("December") << QDate(2024, 12, 31) << "31"
                                  << "Déc";
        QTest::newRow("June") << QDate(2024, 6, 1) << "01"
                              << "Jui";
        QTest::newRow("July reads the same") << QDate(2024, 7, 14) << "14"
                                             << "Jui";
        QTest::newRow("29 February") << QDate(2024, 2, 29) << "29"
                                     << "Fév";
    }

    void texts() {
        QFETCH(QDate, today);
        QFETCH(QString, day);
        QFETCH(QString, month);
        SetClockForTesting(QDateTime(today, QTime(23, 59)));
        TMiniCalendar calendar;
        QCOMPARE(calendar.dayText(), day);
        QCOMPARE(calendar.monthText(), month);
    }

    // For the 43-pixel page: the day at 16 points from row 6, the month at 8 points from row 27.
    void layoutOfTheTexts() {
        TMiniCalendar calendar;
        QCOMPARE(calendar.size(), QSize(30, 43));
        QCOMPARE(calendar.dayFontSize(), 16);
        QCOMPARE(calendar.dayTop(), 6);
        QCOMPARE(calendar.monthFontSize(), 8);
        QCOMPARE(calendar.monthTop(), 27);
        QVERIFY(!calendar.isEnabled());
        QVERIFY(calendar.testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    // The day is drawn in red between its top and the month's, centred; the month in black below it.
    void drawing() {
        SetClockForTesting(QDateTime(QDate(2024, 8, 28), QTime(9, 0)));
        TMiniCalendar calendar;
        const QImage image = calendar.grab().toImage();
        SaveScreenshot(image, QStringLiteral("MiniCalendar"));
        SaveScreenshot(image.scaled(image.size() * 8, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                       QStringLiteral("MiniCalendar-x8"));

        const Extent day = ExtentOf(image, calendar.dayTop(), calendar.monthTop(), IsRed);
        QVERIFY2(day.top >= calendar.dayTop(), "the day starts at its top");
        QVERIFY2(day.bottom < calendar.monthTop() + 2, "the day ends above the month");
        QVERIFY2(day.bottom - day.top >= 12, "the day is about 16 points high");
        QVERIFY2(std::abs(day.left - (image.width() - 1 - day.right)) <= 1, "the day is centred");

        const Extent month = ExtentOf(image, calendar.monthTop(), image.height(), IsDark);
        QVERIFY2(month.top >= calendar.monthTop(), "the month starts at its top");
        QVERIFY2(month.bottom < image.height() - 1, "the month ends inside the page");
        QVERIFY2(month.right - month.left >= 10, "three letters");
        QVERIFY2(std::abs(month.left - (image.width() - 1 - month.right)) <= 1, "the month is centred");
        QCOMPARE(ExtentOf(image, calendar.monthTop(), image.height(), IsRed).top, -1);

        // Another day draws another picture.
        SetClockForTesting(QDateTime(QDate(2024, 8, 11), QTime(9, 0)));
        QVERIFY(calendar.grab().toImage() != image);
    }

    void hiddenWithTheClock_data() {
        QTest::addColumn<bool>("showCalendar");
        QTest::newRow("ShowCalendar on") << true;
        QTest::newRow("ShowCalendar off") << false;
    }

    void hiddenWithTheClock() {
        QFETCH(bool, showCalendar);
        QWidget bar;
        auto* calendar = new TMiniCalendar(&bar);
        auto* clock = new QLabel(QStringLiteral("10:00"), &bar);
        bar.show();
        calendar->showWithClock(showCalendar, clock);
        QCOMPARE(calendar->isVisible(), showCalendar);
        QCOMPARE(clock->isVisible(), showCalendar);
        calendar->showWithClock(!showCalendar, clock);
        QCOMPARE(calendar->isVisible(), !showCalendar);
        QCOMPARE(clock->isVisible(), !showCalendar);
    }
};

QTEST_MAIN(TestMiniCalendar)
#include "TestMiniCalendar.moc"
