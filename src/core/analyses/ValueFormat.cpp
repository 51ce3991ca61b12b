#include "core/analyses/ValueFormat.h"

#include "core/app/NumberFormat.h"
#include "core/app/TextRoutines.h"

#include <QtGlobal>

namespace {

const QString kIntegerPart = QStringLiteral("#######0.");

QString EditPattern(int decimals) {
    return kIntegerPart + DecimalsSuffix(qMin(decimals, kMaxValueDecimals));
}

} // namespace

ValuePatterns AnalysisValuePatterns(int decimals, const QString& unit) {
    const QString edit = EditPattern(decimals);
    return {edit, edit + QLatin1Char(' ') + unit};
}

ValuePatterns DefaultValuePatterns() {
    const QString pattern = EditPattern(2);
    return {pattern, pattern};
}

QString AnalysisEditText(double value, int decimals) {
    return FormatFloatPattern(EditPattern(decimals), value);
}

QString AnalysisDisplayText(double value, int decimals, const QString& unit) {
    return FormatFloatPattern(AnalysisValuePatterns(decimals, unit).display, value);
}

QString AnalysisDisplayText(double value, int decimals, const QString& unit, QChar decimalSeparator) {
    return FormatFloatPattern(AnalysisValuePatterns(decimals, unit).display, value, decimalSeparator);
}
