#include "core/app/ShellOpeners.h"

#include "core/app/Folders.h"
#include "core/app/Localisation.h"
#include "core/app/MessageService.h"
#include "core/app/Product.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

bool OpenHelp() {
    const QString path = ProgramDir() + Product::kHelpFileName;
    if (!QFileInfo(path).isFile()) {
        Messages().show(MessageIcon::Warning, Product::kName,
                        LangString(QStringLiteral("CommonLib"), QStringLiteral("String1"),
                                   QStringLiteral("Le fichier d'aide est introuvable !")));
        return false;
    }
    const QString page = QFileInfo(path).absoluteFilePath();
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(page))) return true;
    // No browser, or none that the desktop knows: the page can still be opened by hand.
    Messages().show(MessageIcon::Warning, Product::kName,
                    QStringLiteral("Aucun programme n'a pu ouvrir la documentation.\nOuvrez la page \"%1\" avec votre "
                                   "navigateur.")
                        .arg(QDir::toNativeSeparators(page)));
    return false;
}

bool OpenWebSite() {
    const QString address = LangString(QStringLiteral("Common"), QStringLiteral("WebSite"), Product::kWebSite);
    return QDesktopServices::openUrl(QUrl(address.trimmed()));
}
