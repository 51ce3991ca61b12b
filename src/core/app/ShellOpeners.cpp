#include "core/app/ShellOpeners.h"

#include "core/app/Folders.h"
#include "core/app/Localisation.h"
#include "core/app/MessageService.h"
#include "core/app/Product.h"

#include <QDesktopServices>
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
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool OpenWebSite() {
    const QString address = LangString(QStringLiteral("Common"), QStringLiteral("WebSite"), Product::kWebSite);
    return QDesktopServices::openUrl(QUrl(address.trimmed()));
}
