#pragma once

#include <QDate>
#include <QWidget>

// The tear-off calendar of the main window's left bar: a calendar page showing today's day of the month in red
// and the first three letters of the month's French name in black. It is for display only and ignores the mouse;
// it repaints by itself when the day changes.
class TMiniCalendar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 30;
    static constexpr int kHeight = 43;

    explicit TMiniCalendar(QWidget* parent = nullptr);

    // Today's day as two digits, and the first three letters of today's month ("05", "Aoû").
    QString dayText() const;
    QString monthText() const;

    // Font sizes in points, and the tops of the two texts, for the control's height: the day at 0.38 x height (cut
    // toward zero) with its top at 0.16 x height, the month at half that size with its top at height - 2 x size.
    int dayFontSize() const;
    int monthFontSize() const;
    int dayTop() const;
    int monthTop() const;

    // The ShowCalendar setting: the calendar and the left bar's clock are shown or hidden together.
    void showWithClock(bool showCalendar, QWidget* clock);

    QSize sizeHint() const override { return QSize(kWidth, kHeight); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QDate m_paintedDay;
};
