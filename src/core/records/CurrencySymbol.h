#pragma once

#include <QString>

// The currency symbol the program writes (reports ask for it by name). It starts as the system's
// own symbol; the French franc symbols of older systems give way to the euro sign.

// The program's symbol for a system symbol: "€" when the symbol, upper-cased, is "FF", "FR" or "F";
// otherwise the system symbol itself.
QString ProgramCurrencySymbolFor(const QString& systemSymbol);

QString ProgramCurrencySymbol();
void SetProgramCurrencySymbol(const QString& symbol);
// Sets the program's symbol from the symbol of the user's locale.
void ApplySystemCurrencySymbol();
