#pragma once

#include <QChar>
#include <QString>

// How an analysis value, a result or a bound, is written: with the decimals and the unit of its catalogue entry or
// person-analysis.
//
// Edit pattern: "#######0." followed by DecimalsSuffix(decimals) (for two decimals "#######0..00": the second point
// carries the decimals). Display pattern: the edit pattern, one blank and the unit as stored, so that an empty unit
// still leaves its blank. Written through FormatFloatPattern: rounded to the decimals, halves away from zero, at
// least one integer digit, no thousands separator, the locale's decimal separator, none at all for 0 decimals.
struct ValuePatterns {
    QString edit;
    QString display;

    bool operator==(const ValuePatterns&) const = default;
};

// A double has no more than 15 significant digits: more decimals than that (a value stored by another program)
// are written as 15.
constexpr int kMaxValueDecimals = 15;

ValuePatterns AnalysisValuePatterns(int decimals, const QString& unit);
// What the results grid shows before any person-analysis is selected: two decimals, no unit.
ValuePatterns DefaultValuePatterns();

// The value as it is edited and as it is shown, with the locale's decimal separator or the one given.
QString AnalysisEditText(double value, int decimals);
QString AnalysisDisplayText(double value, int decimals, const QString& unit);
QString AnalysisDisplayText(double value, int decimals, const QString& unit, QChar decimalSeparator);
