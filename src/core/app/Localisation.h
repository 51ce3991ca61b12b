#pragma once

#include <QString>

// Keyed texts: every text the program builds in code names a section, a key and its French default. No
// translation file is read: the default is the text.

// The default text with every "{CR}" turned into a line break.
QString LangString(const QString& section, const QString& key, const QString& defaultText);

// Language numbers of the month tables: 0 the user's language, 1 English, 2 German, 3 French, 4 Italian,
// 5 Spanish.
// "laDefault" 0, "laEnglish" 1, "laGerman" 2, "laFrench" 3, "laItalian" 4, "laSpanish" 5; any other name 1.
int LanguageNumber(const QString& name);
// The language of the user's locale: German 2, Spanish 5, French 3, Italian 4, any other 1.
int UserLanguageNumber();
// Language 0 becomes the user's language; a number outside the table becomes English (1).
int ResolveLanguage(int language);
// The name of month 1..12 in the language (0 resolved first); "" for a month outside 1..12.
QString MonthName(int month, int language);
// A text about today for the tear-off calendar: mode 3 the day of the month as two digits, mode 5 the
// month's name in the language (0 resolved first); "" for any other mode.
QString DateText(int mode, int language);
