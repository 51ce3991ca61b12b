#include "gui/startup/ApplicationSetup.h"

#include "gui/controls/ProgramPicture.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void PrepareApplication(QApplication& application) {
    // Debian ships them in qt6-translations-l10n; without them Qt's texts stay in English.
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
}
