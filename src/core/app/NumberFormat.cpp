#include "core/app/NumberFormat.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

namespace {

struct Pattern {
    QString prefix;
    QString suffix;
    int integerDigits = 0; // "0" before the separator: digits always written
    int decimals = 0;
    bool hasSeparator = false;
};

bool IsNumberPatternChar(QChar c) {
    return c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char('.') || c == QLatin1Char(',');
}

Pattern ParsePattern(const QString& text) {
    Pattern pattern;
    int start = 0;
    while (start < text.size() && !IsNumberPatternChar(text.at(start)))
        ++start;
    int end = start;
    while (end < text.size() && IsNumberPatternChar(text.at(end)))
        ++end;
    pattern.prefix = text.left(start);
    pattern.suffix = text.mid(end);
    bool afterPoint = false;
    for (int i = start; i < end; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char('0')) {
            if (afterPoint)
                ++pattern.decimals;
            else
                ++pattern.integerDigits;
        }
    }
    pattern.hasSeparator = pattern.decimals > 0;
    return pattern;
}

// The magnitude's 15 significant digits and the number of them that stand before the decimal point, rounded to
// the given decimals, halves up.
struct DecimalDigits {
    QByteArray digits; // no leading zero unless the value is zero
    int pointPosition = 0;
};

DecimalDigits RoundedDigits(double magnitude, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", magnitude);
    QByteArray digits;
    int exponent = 0;
    for (const char* c = text; *c; ++c) {
        if (*c >= '0' && *c <= '9') {
            digits.append(*c);
        } else if (*c == 'e') {
            exponent = std::atoi(c + 1);
            break;
        }
    }
    int pointPosition = exponent + 1;
    const int keep = pointPosition + decimals;
    if (keep < 0) return {QByteArray("0"), 1};
    if (keep < digits.size()) {
        const bool roundUp = digits.at(keep) >= '5';
        digits.truncate(keep);
        if (roundUp) {
            int i = keep - 1;
            while (i >= 0 && digits.at(i) == '9')
                digits[i--] = '0';
            if (i >= 0) {
                digits[i] = static_cast<char>(digits.at(i) + 1);
            } else {
                digits.prepend('1');
                ++pointPosition;
            }
        }
        if (digits.isEmpty()) return {QByteArray("0"), 1};
    }
    return {digits, pointPosition};
}

} // namespace

QString FormatFloatPattern(const QString& patternText, double value, QChar decimalSeparator) {
    const Pattern pattern = ParsePattern(patternText);
    if (std::isnan(value)) return pattern.prefix + QStringLiteral("NAN") + pattern.suffix;
    if (std::isinf(value))
        return pattern.prefix + (value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF")) + pattern.suffix;

    const DecimalDigits rounded = RoundedDigits(std::fabs(value), pattern.decimals);
    const auto digitAt = [&](int position) {
        return position >= 0 && position < rounded.digits.size() ? QLatin1Char(rounded.digits.at(position))
                                                                 : QLatin1Char('0');
    };
    QString integer;
    for (int position = 0; position < rounded.pointPosition; ++position)
        integer.append(digitAt(position));
    while (integer.startsWith(QLatin1Char('0')))
        integer.remove(0, 1);
    while (integer.size() < pattern.integerDigits)
        integer.prepend(QLatin1Char('0'));
    QString fraction;
    for (int i = 0; i < pattern.decimals; ++i)
        fraction.append(digitAt(rounded.pointPosition + i));

    const bool zero = rounded.digits.count('0') == rounded.digits.size();
    QString number = (value < 0 && !zero) ? QStringLiteral("-") : QString();
    number += integer;
    if (pattern.hasSeparator) number += decimalSeparator + fraction;
    return pattern.prefix + number + pattern.suffix;
}

QString FormatFloatPattern(const QString& pattern, double value) {
    return FormatFloatPattern(pattern, value, QLocale().decimalPoint().at(0));
}

bool ReadDecimalText(const QString& text, double* value) {
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][+-]?\\d+)?$"));
    QString typed = text.trimmed();
    if (!number.match(typed).hasMatch()) return false;
    typed.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double read = QLocale::c().toDouble(typed, &ok);
    if (!ok || !std::isfinite(read)) return false;
    if (value) *value = read;
    return true;
}
