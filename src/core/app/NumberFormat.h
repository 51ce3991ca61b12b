#pragma once

#include <QChar>
#include <QString>

// Numbers written after a pattern and read back from what the user typed.
//
// A pattern is an optional literal prefix, a number part made of "#", "0" and ".", and a literal suffix (the
// unit): "#######0.00 g/l", "#######0.000 Kg", "#######0.". In the number part "0" is a digit always written and
// "#" a digit written only when significant; the first "." marks the place of the decimal separator, any further
// "." is ignored, and the number of "0" after it is the number of decimals. With no "0" after it no separator is
// written. The number is rounded to those decimals, halves away from zero, on its decimal digits (as typed, not
// as the binary double holds them: 2.675 gives 2.68), with no thousands separator and no sign for a value that
// rounds to zero.
QString FormatFloatPattern(const QString& pattern, double value, QChar decimalSeparator);
// The same with the decimal separator of the user's locale.
QString FormatFloatPattern(const QString& pattern, double value);

// Reads a number as the user types it: blanks around it are ignored, a comma or a point may be the decimal
// separator, an exponent is accepted. False (value unchanged) for anything else, an empty text included.
bool ReadDecimalText(const QString& text, double* value);
