#include "core/app/DateRoutines.h"

#include "core/app/TextRoutines.h"

#include <QRegularExpression>

namespace {
QDateTime g_frozenClock;
} // namespace

QString DateToText(const QDate& date) {
    return date.isValid() ? date.toString(kShortDateFormat) : QString();
}

QDate TextToDate(const QString& text, bool* ok) {
    static const QRegularExpression kDate(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    const QRegularExpressionMatch match = kDate.match(text);
    QDate date;
    if (match.hasMatch()) date = QDate(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
    if (ok) *ok = date.isValid();
    return date;
}

QDate Today() {
    return Now().date();
}

QDateTime Now() {
    return g_frozenClock.isValid() ? g_frozenClock : QDateTime::currentDateTime();
}

void SetClockForTesting(const QDateTime& moment) {
    g_frozenClock = moment;
}

bool IsValidDate(const QDate& date) {
    return date.isValid() && date.year() >= 1900 && date.year() <= 2099;
}

bool IsValidDateText(const QString& text) {
    if (text.size() != 10) return false;
    bool ok = false;
    const QDate date = TextToDate(text, &ok);
    return ok && IsNumber(text.mid(0, 2)) && IsNumber(text.mid(3, 2)) && IsNumber(text.mid(6, 4)) && IsValidDate(date);
}

// QDate keeps the day within the resulting month, and counts any number of months or years in either
// direction, so a count of months beyond a year or a subtraction past January needs no special case.
QDate AddMonths(int n, const QDate& date) {
    return date.addMonths(n);
}

QDate SubtractMonths(int n, const QDate& date) {
    return date.addMonths(-n);
}

QDate AddYears(int n, const QDate& date) {
    return date.addYears(n);
}

QDate SubtractYears(int n, const QDate& date) {
    return date.addYears(-n);
}

int CurrentYear() {
    return Today().year();
}
