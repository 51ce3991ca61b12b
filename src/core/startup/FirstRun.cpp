#include "core/startup/FirstRun.h"

#include "core/app/DataLocations.h"
#include "core/app/FileRoutines.h"
#include "core/app/Folders.h"
#include "core/app/MessageService.h"
#include "core/app/Product.h"
#include "core/app/ProgressReporter.h"
#include "core/db/DatabaseSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>

namespace {

constexpr int kTransferSteps = 3;

// Copies the database under a temporary name first, so that an interrupted copy never leaves a
// half database that the next start would take for a complete one.
bool CopyDatabaseFile(const QString& source, const QString& target, QString* error) {
    if (QFileInfo::exists(target)) return true;
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QFile input(source);
    if (!input.copy(partial)) {
        if (error)
            *error = QStringLiteral("Impossible de copier la base de données \"%1\" vers \"%2\" : %3")
                         .arg(source, target, input.errorString());
        return false;
    }
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        if (error) *error = QStringLiteral("Impossible de créer la base de données \"%1\".").arg(target);
        return false;
    }
    return true;
}

bool CopyStartingData(const QString& source, const QString& relativePath, bool announce, ProgressReporter& progress,
                      QString* error) {
    progress.setTask(QStringLiteral("TRANSFERT DES DONNEES"));
    progress.setMessage(QStringLiteral("Quelques instants, SVP ..."));
    progress.setProgress(0, kTransferSteps);
    progress.setVisible(announce);

    progress.setMessage(QStringLiteral("Copie de la base de données"));
    progress.setProgress(1, kTransferSteps);
    if (!CopyDatabaseFile(source + relativePath, DbDir() + ToSlashes(CurrentDatabaseSettings().oledbFileName), error))
        return false;

    progress.setMessage(QStringLiteral("Copie des images"));
    progress.setProgress(2, kTransferSteps);
    if (!CopyFiles(source + QStringLiteral("Images/"), DbDir() + QStringLiteral("Images/"), QStringLiteral("*.jpg"),
                   error))
        return false;

    progress.setMessage(QStringLiteral("Copie des fichiers"));
    progress.setProgress(3, kTransferSteps);
    return CopyFiles(source + QStringLiteral("Files/"), DbDir() + QStringLiteral("Files/"), QStringLiteral("*.f"),
                     error);
}

bool CopyDatabaseIfMissing(ProgressReporter& progress) {
    const QString relativePath = DatabaseRelativePath();
    if (QFileInfo::exists(DbDir() + relativePath)) return true;
    // db.ini points at a database of its own (a shared folder, a disk not mounted yet): an empty database made
    // there would look like the user's records are gone, so nothing is made outside the data folder's Data/.
    if (!relativePath.isEmpty() && !IsDefaultDatabaseFolder()) {
        Messages().show(MessageIcon::Error, Product::kName,
                        QStringLiteral("La base de données \"%1\" est introuvable.\nLe dossier que désigne le fichier "
                                       "\"%2\" ([DataBase] Path=%3) ne la contient pas. Corrigez ce fichier, ou "
                                       "remettez la base de données à cet endroit.")
                            .arg(QDir::toNativeSeparators(DbDir() + relativePath),
                                 QDir::toNativeSeparators(DataDir() + QStringLiteral("db.ini")),
                                 CurrentDatabaseSettings().path));
        return false;
    }

    QString error;
    for (const char* sub : {"", "Access", "Images", "Files"})
        if (!CreatePrivateFolder(DbDir() + QLatin1String(sub), &error)) {
            Messages().show(MessageIcon::Error, Product::kName, error);
            return false;
        }

    const QString olderData = ProgramDir() + QStringLiteral("Data/");
    const bool announce =
        QFileInfo::exists(olderData + relativePath) && (QFileInfo::exists(ProgramDir() + QStringLiteral("dsn.ini")) ||
                                                        QFileInfo::exists(ProgramDir() + QStringLiteral("db.ini")));
    const QString source = announce ? olderData : ProgramDir() + QStringLiteral("Ressources/DB/Data/");

    if (!QFileInfo::exists(source + relativePath)) {
        Messages().show(MessageIcon::Warning, Product::kName,
                        QStringLiteral("EXECUTION IMPOSSIBLE !!\n\nCertains composants nécessaires au bon "
                                       "fonctionnement de cette application sont introuvables.\nEffectuez une "
                                       "nouvelle installation de l'application afin de résoudre ce problème."));
        return false;
    }

    const bool copied = CopyStartingData(source, relativePath, announce, progress, &error);
    progress.setVisible(false);
    if (!copied) {
        Messages().show(MessageIcon::Error, Product::kName, error);
        return false;
    }
    if (announce)
        Messages().show(MessageIcon::Warning, Product::kName,
                        QStringLiteral("IMPORTANT !!\n\nLa base de données a été transférée dans le réperoire :\n") +
                            QDir::toNativeSeparators(DbDir()) + QStringLiteral("\n\nNE SUPPRIMEZ PAS CE REPERTOIRE"));
    return true;
}

} // namespace

bool TransferData(const QString& settingsFileName, ProgressReporter& progress) {
    const bool ok = CopyDatabaseIfMissing(progress);
    EnsureDataFile(QStringLiteral("SortList.def"));
    EnsureDataFile(settingsFileName);
    return ok;
}

bool CheckWriteAccess(const QString& title, const QString& path) {
    if (SaveTextFile(path, QStringLiteral("admin"), nullptr) && QFile::remove(path)) return true;
    QFile::remove(path);
    QString upperTitle;
    for (const QChar c : title)
        upperTitle += c.unicode() < 128 ? c.toUpper() : c;
    Messages().show(MessageIcon::Error, title,
                    upperTitle +
                        QStringLiteral(" : EXECUTION IMPOSSIBLE\n\nPour utiliser ce logiciel vous devez :\n\n"
                                       "  - Soit avoir un compte administrateur\n"
                                       "  - Soit avoir des droits en écriture sur le répertoire : ") +
                        QDir::toNativeSeparators(QFileInfo(path).absolutePath() + QLatin1Char('/')) +
                        QStringLiteral("\n\n"));
    return false;
}

bool MdacVersionOk() {
    return QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"));
}
