#include "core/app/Localisation.h"

#include "core/app/DateRoutines.h"
#include "core/app/TextRoutines.h"

#include <QLocale>

namespace {

constexpr int kEnglish = 1;
constexpr int kGerman = 2;
constexpr int kFrench = 3;
constexpr int kItalian = 4;
constexpr int kSpanish = 5;

const char16_t* const kMonthNames[5][12] = {
    {u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August", u"September", u"October",
     u"November", u"December"},
    {u"Januar", u"Februar", u"März", u"April", u"Mai", u"Juni", u"Juli", u"August", u"September", u"Oktober",
     u"November", u"Dezember"},
    {u"Janvier", u"Février", u"Mars", u"Avril", u"Mai", u"Juin", u"Juillet", u"Août", u"Septembre", u"Octobre",
     u"Novembre", u"Décembre"},
    {u"Gennaio", u"Febbraio", u"Marzo", u"Aprile", u"Maggio", u"Giugno", u"Luglio", u"Agosto", u"Settembre", u"Ottobre",
     u"Novembre", u"Dicembre"},
    {u"Enero", u"Febrero", u"Marzo", u"Abril", u"Mayo", u"Junio", u"Julio", u"Agosto", u"Septiembre", u"Octubre",
     u"Noviembre", u"Diciembre"},
};

} // namespace

QString LangString(const QString&, const QString&, const QString& defaultText) {
    QString text = defaultText;
    text.replace(QStringLiteral("{CR}"), QStringLiteral("\n"));
    return text;
}

int LanguageNumber(const QString& name) {
    static const struct {
        const char* name;
        int number;
    } kLanguages[] = {
        {"laDefault", 0},      {"laEnglish", kEnglish}, {"laGerman", kGerman},
        {"laFrench", kFrench}, {"laItalian", kItalian}, {"laSpanish", kSpanish},
    };
    for (const auto& language : kLanguages) {
        if (name.compare(QLatin1String(language.name), Qt::CaseInsensitive) == 0) return language.number;
    }
    return kEnglish;
}

int UserLanguageNumber() {
    switch (QLocale::system().language()) {
    case QLocale::German:
        return kGerman;
    case QLocale::Spanish:
        return kSpanish;
    case QLocale::French:
        return kFrench;
    case QLocale::Italian:
        return kItalian;
    default:
        return kEnglish;
    }
}

int ResolveLanguage(int language) {
    if (language == 0) return UserLanguageNumber();
    if (language < kEnglish || language > kSpanish) return kEnglish;
    return language;
}

QString MonthName(int month, int language) {
    if (month < 1 || month > 12) return QString();
    return QString::fromUtf16(kMonthNames[ResolveLanguage(language) - 1][month - 1]);
}

QString DateText(int mode, int language) {
    switch (mode) {
    case 3:
        return ZeroPad(Today().day(), 2);
    case 5:
        return MonthName(Today().month(), language);
    default:
        return QString();
    }
}
