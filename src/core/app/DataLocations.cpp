#include "core/app/DataLocations.h"

#include "core/app/FailureText.h"
#include "core/app/FileRoutines.h"
#include "core/app/Folders.h"
#include "core/app/IniFile.h"
#include "core/app/Product.h"
#include "core/app/RemovableDrive.h"
#include "core/app/TextRoutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

RemovableTest g_removableTest = [](const QString& folder) { return IsOnRemovableDrive(folder); };

const QString kAppExe = QStringLiteral("appexe");

QString WarningText(const QString& aboutLine) {
    return QStringList{QStringLiteral("ATTENTION : NE SUPPRIMEZ PAS CE REPERTOIRE "), QString(), aboutLine,
                       QStringLiteral("Contact : ") + Product::kContactAddress,
                       QStringLiteral("Site web : ") + Product::kWebSite}
        .join(QLatin1Char('\n'));
}

// Creates a data folder that did not exist, with its warning file.
bool CreateWarnedFolder(const QString& folder, const QString& aboutLine, QString* error) {
    if (QFileInfo(folder).isDir()) return true;
    if (!CreatePrivateFolder(folder, error)) return false;
    return SaveTextFile(folder + QStringLiteral("Avertissement.txt"), WarningText(aboutLine), error);
}

bool DataBesideProgram(const QString& appDataDir) {
    if (appDataDir == kAppExe) return true;
    if (QFileInfo::exists(ProgramDir() + Product::DevelopmentMarkerName())) return true;
    const QString programFiles = SpecialFolder(ShellFolder::ProgramFiles);
    return g_removableTest(ProgramDir()) && !ProgramDir().contains(programFiles);
}

} // namespace

QString FindProgramDir(const QString& currentFolder, const QString& executableFolder) {
    if (QFileInfo(AsFolder(currentFolder) + QStringLiteral("Ressources/DB")).isDir()) return AsFolder(currentFolder);
    const QString installed =
        QDir::cleanPath(executableFolder + QStringLiteral("/../") + QStringLiteral(QUORVEL_DATA_SUBDIR));
    if (QFileInfo(installed + QStringLiteral("/Ressources/DB")).isDir()) return AsFolder(installed);
    return AsFolder(currentFolder);
}

void SetRemovableTestForTesting(RemovableTest test) {
    g_removableTest = test ? test : [](const QString& folder) { return IsOnRemovableDrive(folder); };
}

bool CreatePrivateFolder(const QString& folder, QString* error) {
    if (QFileInfo(folder).isDir()) return true;
    // The parent may be missing too (Documents in a new account): create it the same way.
    const QString parent = QFileInfo(QDir::cleanPath(folder)).path();
    if (parent != QDir::cleanPath(folder) && !QFileInfo(parent).isDir() && !CreatePrivateFolder(parent, error))
        return false;
    const QByteArray path = QFile::encodeName(folder);
    // The mode is set on the folder itself: the umask may leave it narrower, never wider.
    if (::mkdir(path.constData(), 0700) == 0) {
        ::chmod(path.constData(), 0700);
        return true;
    }
    const int failure = errno;
    if (QFileInfo(folder).isDir()) return true; // made meanwhile by another copy
    if (error) *error = SystemFailureText(QStringLiteral("Impossible de créer le répertoire"), folder, failure);
    return false;
}

bool ChooseDataDir(QString* error) {
    const IniFile directories(ProgramDir() + QStringLiteral("directories.ini"));
    const QString appDataDir = directories.readString(QStringLiteral("Path"), QStringLiteral("AppDataDir"), QString());

    if (DataBesideProgram(appDataDir)) {
        SetDataDir(ProgramDir());
    } else {
        // A relative AppDataDir is taken from the program folder, where the file that names it lies.
        const QString base = appDataDir.isEmpty()
                                 ? SpecialFolder(ShellFolder::Documents) + Product::kMakerFolder
                                 : AsFolder(QDir(ProgramDir()).absoluteFilePath(ToSlashes(appDataDir)));
        if (!CreateWarnedFolder(base,
                                QStringLiteral("Ce répertoire contient les données des logiciels édités par "
                                               "Dunmarrow Software Developpement"),
                                error))
            return false;
        const QString dataDir = base + RemoveAccents(Product::kName) + QLatin1Char('/');
        if (!CreateWarnedFolder(dataDir,
                                QStringLiteral("Ce répertoire contient les données du logiciels ") + Product::kName +
                                    QStringLiteral(" édités par Dunmarrow Software Developpement"),
                                error))
            return false;
        SetDataDir(dataDir);
    }

    for (const char* sub : {"Export", "Html", "Backup", "Data", "Data/Access", "Data/Images", "Data/Files"})
        if (!CreatePrivateFolder(DataDir() + QLatin1String(sub), error)) return false;
    return true;
}

void EnsureDataFile(const QString& name) {
    const QString target = DataDir() + name;
    if (QFileInfo::exists(target)) return;
    for (const QString& folder :
         {ProgramDir(), ProgramDir() + QStringLiteral("Ressources/DB/"), ProgramDir() + QStringLiteral("Maj/")}) {
        if (QFileInfo(folder + name).isFile()) {
            QFile::copy(folder + name, target);
            // The shipped copy is read-only; the user's copy must be writable.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
            return;
        }
    }
}
