#pragma once

#include <QByteArray>
#include <QString>

// Small text routines shared by the windows and the database code. Texts are Unicode throughout.

// é è ê ë -> e, à â ä -> a, ù û ü -> u, ô ö -> o, î ï -> i, ç -> c; lower-case letters only.
QString RemoveAccents(const QString& text);
// Every / \ : * ? " < > | becomes "_".
QString CleanFileName(const QString& text);
// Leading and trailing spaces removed; a text of spaces only becomes a single space, an empty text stays empty.
QString TrimBlanks(const QString& text);
// Leading spaces removed; a text of spaces only is returned unchanged.
QString TrimLeftBlanks(const QString& text);
// A window caption from its title label: leading spaces removed (spaces only give a single space), every ''
// turned into ', at most 255 characters.
QString FormCaptionFromTitle(const QString& text);
// The decimal text of n with leading zeros up to width characters; widths above 8 are treated as 8.
QString ZeroPad(qint64 n, int width);
// "" when decimals <= 0, otherwise "." followed by that many zeros (display patterns "#######0." + suffix).
QString DecimalsSuffix(int decimals);
// x rounded to the given decimals (point as separator), right-aligned with spaces in a field of
// width + decimals + 1 characters, or width characters when decimals < 1. Never truncated.
QString FormatFixed(int width, int decimals, double x);
// True when the text, its first comma read as a point, is a complete decimal number: optional sign, digits,
// optional point and fraction, optional exponent. No blanks allowed.
bool IsNumber(const QString& text);
// The first comma, or when there is none the first point, becomes the locale's decimal separator; at most
// 255 characters.
QString NormalizeDecimal(const QString& text);
// The part before the first "%" as an integer, or -1 when it is not an integer.
qint64 LeadingInteger(const QString& text);
// Field i (1, 2, 3 ...) of a tagged text "...%&a%field1%&b%field2%&c%...": the characters between the markers
// "%&" + letter(96 + i) + "%" and "%&" + letter(97 + i) + "%". Empty when either marker is missing.
QString MarkedField(const QString& text, int i, int markLength = 4);

// Text of a file that older installations may have written in the Windows code page: read as UTF-8 (a
// byte-order mark is skipped), or as Windows-1252 when the bytes are not valid UTF-8.
QString DecodeText(const QByteArray& bytes);
