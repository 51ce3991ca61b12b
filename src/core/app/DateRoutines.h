#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Dates are shown and typed "dd/mm/yyyy" and times "hh:mm" whatever the user's locale.
inline const QString kShortDateFormat = QStringLiteral("dd/MM/yyyy");
inline const QString kTimeFormat = QStringLiteral("hh:mm");
inline const QString kLongTimeFormat = QStringLiteral("hh:mm:ss");

// The date as "dd/mm/yyyy"; empty for an invalid date.
QString DateToText(const QDate& date);
// Reads "d/m/yyyy" (one or two digits for the day and month, four for the year, blanks around allowed).
// Returns an invalid date, and *ok false, when the text is no calendar date.
QDate TextToDate(const QString& text, bool* ok = nullptr);

// The clock the whole program reads instead of QDate::currentDate(), so that tests can set "today".
QDate Today();
QDateTime Now();
// Stops the clock at the given moment; an invalid value gives the real clock back.
void SetClockForTesting(const QDateTime& moment);

// A calendar date of the years 1900 to 2099.
bool IsValidDate(const QDate& date);
// Exactly "dd/mm/yyyy" with digits only, and a date that IsValidDate accepts.
bool IsValidDateText(const QString& text);

// Month and year arithmetic; the day is reduced to the last day of the resulting month when needed
// (31/01 + 1 month gives the end of February, 29/02 + 1 year gives 28/02 in a common year).
QDate AddMonths(int n, const QDate& date);
QDate SubtractMonths(int n, const QDate& date);
QDate AddYears(int n, const QDate& date);
QDate SubtractYears(int n, const QDate& date);
int CurrentYear();
