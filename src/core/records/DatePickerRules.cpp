#include "core/records/DatePickerRules.h"

#include "core/app/DateRoutines.h"
#include "core/app/Localisation.h"

#include <algorithm>

QColor DatePickerBorderColour() {
    return QColor(std::max(0, kDatePickerBackground.red() - 35), std::max(0, kDatePickerBackground.green() - 35),
                  std::max(0, kDatePickerBackground.blue() - 35));
}

QPoint DatePickerPosition(const QRect& fieldOnScreen, const QSize& pickerSize, const QRect& screen) {
    // A line edit is taller than 15 pixels; starting at its top + 15 would hide the text the picker was opened for.
    const int offset = std::max(kDatePickerFieldOffset, fieldOnScreen.height());
    const int screenBottom = screen.top() + screen.height();
    int top;
    if (fieldOnScreen.top() + pickerSize.height() + offset < screenBottom - kDatePickerBottomMargin)
        top = fieldOnScreen.top() + offset;
    else
        top = screenBottom - pickerSize.height() - kDatePickerBottomMargin;
    const int screenRight = screen.left() + screen.width();
    const int left = std::max(screen.left(), std::min(fieldOnScreen.left(), screenRight - pickerSize.width()));
    return QPoint(left, top);
}

QString OpeningDateText(const QString& fieldText) {
    const QString text = fieldText.left(10);
    return IsValidDateText(text) ? text : DateToText(Today());
}

QString StepDateText(const QString& text, DateStep step) {
    bool ok = false;
    const QDate date = TextToDate(text, &ok);
    if (!ok) return text;
    QDate moved;
    switch (step) {
    case DateStep::YearMinus:
        moved = SubtractYears(1, date);
        break;
    case DateStep::YearPlus:
        moved = AddYears(1, date);
        break;
    case DateStep::MonthMinus:
        moved = SubtractMonths(1, date);
        break;
    case DateStep::MonthPlus:
        moved = AddMonths(1, date);
        break;
    }
    return IsValidDate(moved) ? DateToText(moved) : text;
}

QString DatePickerYearText(const QDate& date) {
    return QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
}

QString DatePickerMonthText(const QDate& date, const QString& languageName) {
    return MonthName(date.month(), LanguageNumber(languageName)).toUpper();
}

QString DatePickerLanguageName() {
    return LangString(QStringLiteral("SelectDate"), QStringLiteral("String1"), QStringLiteral("laFrench"));
}
