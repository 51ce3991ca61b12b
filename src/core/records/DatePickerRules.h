#pragma once

#include <QColor>
#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// The rules of the date picker that do not depend on widgets: where it opens, the date it opens on, and the year
// and month steps applied to its working date text ("dd/mm/yyyy").

// Vertical gap kept between the field's top and the picker, and the margin kept above the screen's bottom edge.
constexpr int kDatePickerFieldOffset = 15;
constexpr int kDatePickerBottomMargin = 30;

// Colours of the picker: its background and the calendar's month area, the title band, the area around the month.
inline const QColor kDatePickerBackground = QColor(255, 255, 242);
inline const QColor kDatePickerTitleBand = QColor(212, 212, 212);
inline const QColor kDatePickerOutsideMonth = QColor(255, 255, 255);
// The one-pixel border: the background darkened by 35 on each channel.
QColor DatePickerBorderColour();

// Top-left corner of the picker for a field whose rectangle on the screen is fieldOnScreen, on a screen whose
// geometry is screen. The picker opens under the field, at its left edge; when it would come within 30 pixels of
// the screen's bottom edge it is lifted to end 30 pixels above that edge. The field's top + 15 is where the
// picker would start under a field of the usual height; a taller field is not covered: the picker then starts at
// its bottom edge. The left edge is brought back onto the screen when the picker would leave it on the right.
QPoint DatePickerPosition(const QRect& fieldOnScreen, const QSize& pickerSize, const QRect& screen);

// The date text the picker opens on: the field's first 10 characters when they make a valid date text, otherwise
// today's date.
QString OpeningDateText(const QString& fieldText);

enum class DateStep { YearMinus, YearPlus, MonthMinus, MonthPlus };

// The working date text moved by one year or one month; the day is reduced to the last day of the resulting month
// when that month is shorter. A step that would leave the years 1900 to 2099 (which no valid date text holds)
// leaves the text unchanged, and so does a text that is no date.
QString StepDateText(const QString& text, DateStep step);

// The label texts for a date: the year in four digits, and the month's name upper-cased in the named language
// ("laFrench", "laEnglish", ... as LanguageNumber reads them).
QString DatePickerYearText(const QDate& date);
QString DatePickerMonthText(const QDate& date, const QString& languageName);

// The language name the picker uses for its month names (the keyed text String1 of section SelectDate).
QString DatePickerLanguageName();
