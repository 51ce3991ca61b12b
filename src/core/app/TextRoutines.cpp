#include "core/app/TextRoutines.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

constexpr int kMaxShortText = 255;
const QChar kBlank = QLatin1Char(' ');

qsizetype CountLeadingBlanks(const QString& text) {
    qsizetype count = 0;
    while (count < text.size() && text.at(count) == kBlank)
        ++count;
    return count;
}

} // namespace

QString RemoveAccents(const QString& text) {
    static const struct {
        const char16_t* letters;
        QChar plain;
    } kGroups[] = {
        {u"éèêë", QLatin1Char('e')}, {u"àâä", QLatin1Char('a')}, {u"ùûü", QLatin1Char('u')},
        {u"ôö", QLatin1Char('o')},   {u"îï", QLatin1Char('i')},  {u"ç", QLatin1Char('c')},
    };
    QString result = text;
    for (QChar& c : result) {
        for (const auto& group : kGroups) {
            if (QStringView(group.letters).contains(c)) {
                c = group.plain;
                break;
            }
        }
    }
    return result;
}

QString CleanFileName(const QString& text) {
    static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
    QString result = text;
    for (QChar& c : result) {
        if (kForbidden.contains(c)) c = QLatin1Char('_');
    }
    return result;
}

QString TrimBlanks(const QString& text) {
    const qsizetype start = CountLeadingBlanks(text);
    if (start == text.size()) return text.isEmpty() ? text : QString(kBlank);
    qsizetype end = text.size();
    while (text.at(end - 1) == kBlank)
        --end;
    return text.mid(start, end - start);
}

QString TrimLeftBlanks(const QString& text) {
    const qsizetype start = CountLeadingBlanks(text);
    if (start == text.size()) return text;
    return text.mid(start);
}

QString FormCaptionFromTitle(const QString& text) {
    const qsizetype start = CountLeadingBlanks(text);
    QString result = (start == text.size() && !text.isEmpty()) ? QString(kBlank) : text.mid(start);
    result.replace(QStringLiteral("''"), QStringLiteral("'"));
    return result.left(kMaxShortText);
}

QString ZeroPad(qint64 n, int width) {
    const QString digits = QString::number(n);
    // Negative numbers are never padded: zeros in front of a minus sign would make no number at all.
    if (n < 0) return digits;
    return digits.rightJustified(qMin(width, 8), QLatin1Char('0'));
}

QString DecimalsSuffix(int decimals) {
    if (decimals <= 0) return QString();
    return QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
}

QString FormatFixed(int width, int decimals, double x) {
    const int shownDecimals = qMax(decimals, 0);
    // Qt rounds exact ties away from zero, as numbers are rounded on paper.
    QString digits = QString::number(x, 'f', shownDecimals);
    // A small negative value rounded to zero is shown without its sign.
    static const QRegularExpression kNonZeroDigit(QStringLiteral("[1-9]"));
    if (digits.startsWith(QLatin1Char('-')) && !digits.contains(kNonZeroDigit)) digits.remove(0, 1);
    const int fieldWidth = decimals < 1 ? width : width + decimals + 1;
    return digits.rightJustified(fieldWidth, kBlank);
}

bool IsNumber(const QString& text) {
    static const QRegularExpression kNumber(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    QString candidate = text;
    const qsizetype comma = candidate.indexOf(QLatin1Char(','));
    if (comma >= 0) candidate[comma] = QLatin1Char('.');
    return kNumber.match(candidate).hasMatch();
}

QString NormalizeDecimal(const QString& text) {
    QString result = text;
    qsizetype position = result.indexOf(QLatin1Char(','));
    if (position < 0) position = result.indexOf(QLatin1Char('.'));
    if (position >= 0) result.replace(position, 1, QLocale().decimalPoint());
    return result.left(kMaxShortText);
}

qint64 LeadingInteger(const QString& text) {
    const QString head = text.section(QLatin1Char('%'), 0, 0);
    if (!IsNumber(head)) return -1;
    bool ok = false;
    const qint64 value = head.toLongLong(&ok);
    return ok ? value : -1;
}

QString MarkedField(const QString& text, int i, int markLength) {
    const QString startMarker = QStringLiteral("%&") + QChar(char16_t(96 + i)) + QLatin1Char('%');
    const QString endMarker = QStringLiteral("%&") + QChar(char16_t(97 + i)) + QLatin1Char('%');
    const qsizetype start = text.indexOf(startMarker);
    if (start < 0) return QString();
    const qsizetype fieldStart = start + markLength;
    const qsizetype end = text.indexOf(endMarker, fieldStart);
    if (end < 0) return QString();
    return text.mid(fieldStart, end - fieldStart);
}

QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;

    // Windows-1252 is Latin-1 except for 0x80-0x9F; the five unassigned bytes are kept as their C1 controls.
    static const char16_t kHighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString result;
    result.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        result += (code >= 0x80 && code < 0xA0) ? QChar(kHighControls[code - 0x80]) : QChar(char16_t(code));
    }
    return result;
}
