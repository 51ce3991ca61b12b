#include "core/records/CurrencySymbol.h"

#include <QLocale>

namespace {

QString& StoredSymbol() {
    static QString symbol = QLocale().currencySymbol(QLocale::CurrencySymbol);
    return symbol;
}

} // namespace

QString ProgramCurrencySymbolFor(const QString& systemSymbol) {
    const QString upper = systemSymbol.toUpper();
    if (upper == QLatin1String("FF") || upper == QLatin1String("FR") || upper == QLatin1String("F"))
        return QStringLiteral("€");
    return systemSymbol;
}

QString ProgramCurrencySymbol() {
    return StoredSymbol();
}

void SetProgramCurrencySymbol(const QString& symbol) {
    StoredSymbol() = symbol;
}

void ApplySystemCurrencySymbol() {
    SetProgramCurrencySymbol(ProgramCurrencySymbolFor(QLocale().currencySymbol(QLocale::CurrencySymbol)));
}
