#include "core/db/Restore.h"

#include "core/app/DateRoutines.h"
#include "core/app/FailureText.h"
#include "core/app/FileRoutines.h"
#include "core/app/Folders.h"
#include "core/app/KillPoints.h"
#include "core/app/PrivateFiles.h"
#include "core/app/ProgressReporter.h"
#include "core/archive/Cabinet.h"
#include "core/db/Backup.h"
#include "core/db/BackupHistory.h"
#include "core/db/BackupWorkSession.h"
#include "core/db/Connection.h"
#include "core/db/RestoreUpdate.h"
#include "core/db/TDataModule1.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kDatabaseEntry = QStringLiteral("KESTOVRAN.MDB");
const QString kStagingFolder = QStringLiteral("Restauration~/");
const QString kJournalName = QStringLiteral("journal");
const QStringList kDatabaseCompanions{QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

void KillPoint(const char* step) {
    KillPointForTesting(kRestoreKillVariable, step);
}

QString Staging(const QString& dbDir) {
    return dbDir + kStagingFolder;
}

// The three things a restoration replaces: where the new one waits, where it goes, where the old one waits.
struct SwapItem {
    QString staged;
    QString live;
    QString aside;
};

QList<SwapItem> SwapItems(const QString& dbDir) {
    const QString staging = Staging(dbDir);
    return {{staging + QStringLiteral("new/Access/") + kDatabaseEntry,
             dbDir + QStringLiteral("Access/") + kDatabaseEntry, staging + QStringLiteral("old/") + kDatabaseEntry},
            {staging + QStringLiteral("new/Images"), dbDir + QStringLiteral("Images"),
             staging + QStringLiteral("old/Images")},
            {staging + QStringLiteral("new/Files"), dbDir + QStringLiteral("Files"),
             staging + QStringLiteral("old/Files")}};
}

bool Exists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool RemoveTree(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) return QDir(path).removeRecursively();
    return !Exists(path) || QFile::remove(path);
}

bool Rename(const QString& from, const QString& to, QString* error) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    const int failure = errno;
    if (error)
        *error = SystemFailureText(
            QStringLiteral("Impossible de déplacer \"%1\" vers").arg(QDir::toNativeSeparators(from)), to, failure);
    return false;
}

// Makes what was renamed and written under folder durable before the next step depends on it.
void SyncFileSystem(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::syncfs(fd);
    ::close(fd);
}

// Puts every staged item in place, the live one going aside first. Safe to run again after a crash at any
// point: an item already swapped has no staged copy left.
bool SwapForward(const QString& dbDir, QString* error) {
    QDir().mkpath(dbDir + QStringLiteral("Access"));
    QDir().mkpath(Staging(dbDir) + QStringLiteral("old"));
    const QList<SwapItem> items = SwapItems(dbDir);
    static const char* const kDone[] = {"database", "images", "files"};
    for (int i = 0; i < items.size(); ++i) {
        const SwapItem& item = items[i];
        if (!Exists(item.staged)) continue;
        if (i == 0) {
            // A journal of SQLite's beside the database belongs to the database it replaces.
            for (const QString& suffix : kDatabaseCompanions) {
                if (!Exists(item.live + suffix)) continue;
                if (Exists(item.aside + suffix) ? !RemoveTree(item.live + suffix)
                                                : !Rename(item.live + suffix, item.aside + suffix, error))
                    return false;
            }
            // The previous database stays under its name until the new one replaces it in one rename: a
            // start in between never finds the database missing. A hard link keeps it aside; where the file
            // system has none, it moves aside.
            if (Exists(item.live) && !Exists(item.aside) &&
                ::link(QFile::encodeName(item.live).constData(), QFile::encodeName(item.aside).constData()) != 0 &&
                !Rename(item.live, item.aside, error))
                return false;
            KillPoint("database-aside");
        } else if (Exists(item.live)) {
            // Something made after a crash, where the previous one had already gone aside.
            if (Exists(item.aside) ? !RemoveTree(item.live) : !Rename(item.live, item.aside, error)) return false;
        }
        if (qEnvironmentVariable(kRestoreFailVariable) == QLatin1String(kDone[i])) {
            if (error) *error = QStringLiteral("Échec simulé du remplacement de \"%1\".").arg(item.live);
            return false;
        }
        if (!Rename(item.staged, item.live, error)) return false;
        KillPoint(kDone[i]);
    }
    return true;
}

// Undoes SwapForward: the previous items come back, the new ones go back to the staging folder.
bool SwapBack(const QString& dbDir, QString* error) {
    const QList<SwapItem> items = SwapItems(dbDir);
    for (int i = int(items.size()) - 1; i >= 0; --i) {
        const SwapItem& item = items[i];
        // The previous database replaces the new one in one rename (it may still be a link to it).
        if (i == 0) {
            if (Exists(item.aside) && !Rename(item.aside, item.live, error)) return false;
            for (const QString& suffix : kDatabaseCompanions)
                if (Exists(item.aside + suffix) && !Rename(item.aside + suffix, item.live + suffix, error))
                    return false;
            continue;
        }
        if (!Exists(item.staged) && Exists(item.live) && !Rename(item.live, item.staged, error)) return false;
        if (Exists(item.aside)) {
            if (Exists(item.live) && !RemoveTree(item.live)) return false;
            if (!Rename(item.aside, item.live, error)) return false;
        }
    }
    return true;
}

bool WriteJournal(const QString& dbDir, QString* error) {
    const QString journal = Staging(dbDir) + kJournalName;
    QFile file(journal + QStringLiteral(".tmp"));
    const bool written = OpenPrivately(file, QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write("Restauration en cours : remplacement des données.\n") > 0 && file.flush() &&
                         ::fsync(file.handle()) == 0;
    file.close();
    if (!written || !Rename(file.fileName(), journal, nullptr)) {
        if (error) *error = QStringLiteral("Impossible d'écrire le fichier \"%1\".").arg(journal);
        return false;
    }
    SyncFileSystem(Staging(dbDir));
    return true;
}

// The entries that belong to a data set, and where each goes in the staging folder; anything else is left out.
QString StagedPlace(const CabinetEntry& entry) {
    if (!IsBareEntryName(entry.name)) return QString();
    if (entry.name.compare(kDatabaseEntry, Qt::CaseInsensitive) == 0) return QStringLiteral("Access/") + kDatabaseEntry;
    if (entry.name.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive) && entry.name.size() > 4)
        return QStringLiteral("Images/") + entry.name;
    if (entry.name.endsWith(QStringLiteral(".f"), Qt::CaseInsensitive) && entry.name.size() > 2)
        return QStringLiteral("Files/") + entry.name;
    return QString();
}

bool CheckStagedDatabase(const QString& path, const QString& archive, QString* error) {
    QFile file(path);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly)) head = file.read(32);
    file.close();
    if (head.mid(4).startsWith("Standard Jet DB") || head.mid(4).startsWith("Standard ACE DB")) {
        if (error)
            *error = QStringLiteral("La base de données de l'archive \"%1\" est une base Access, que cette version ne "
                                    "sait pas restaurer : rien n'a été restauré.")
                         .arg(archive);
        return false;
    }
    const QString connection = QStringLiteral("RestoreCheck");
    QString detail;
    bool sound = OpenDatabaseFile(connection, path, &detail);
    if (sound) {
        QSqlQuery check(QSqlDatabase::database(connection, false));
        sound = check.exec(QStringLiteral("PRAGMA quick_check")) && check.next() &&
                check.value(0).toString() == QLatin1String("ok");
        if (!sound) detail = QStringLiteral("le contrôle d'intégrité a échoué");
        if (sound) {
            sound = check.exec(QStringLiteral("SELECT COUNT(*) FROM PERSON"));
            if (!sound) detail = QStringLiteral("la table des personnes est absente");
        }
    }
    CloseDatabase(connection);
    if (!sound && error) {
        detail = TechnicalDetail(detail);
        const QString cause = FrenchCause(detail);
        *error = QStringLiteral("La base de données de l'archive \"%1\" est illisible%2 : rien n'a été restauré.\n"
                                "Détail technique : %3")
                     .arg(QDir::toNativeSeparators(archive),
                          cause.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(cause), detail);
    }
    return sound;
}

// Whatever a folder of the data set holds besides its pictures or attached files stays where it is: it is
// linked (or copied) into the staged folder, so that the swap keeps it.
bool CarryOverOtherFiles(const QString& liveFolder, const QString& stagedFolder, const QString& mask, QString* error) {
    if (!QFileInfo(liveFolder).isDir()) return true;
    const QStringList kept = ListFiles(liveFolder, mask);
    QDirIterator it(liveFolder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir live(liveFolder);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = live.relativeFilePath(path);
        if (!relative.contains(QLatin1Char('/')) && kept.contains(relative)) continue;
        const QString target = stagedFolder + relative;
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink()) {
            QDir().mkpath(target);
            continue;
        }
        if (Exists(target)) continue; // an entry of the archive
        QDir().mkpath(QFileInfo(target).path());
        if (::link(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0 &&
            !QFile::copy(path, target)) {
            if (error) *error = QStringLiteral("Impossible de copier le fichier \"%1\".").arg(path);
            return false;
        }
    }
    return true;
}

bool MakePrivateFolder(const QString& path) {
    return QDir().mkpath(path) && QFile::setPermissions(path, kPrivateFolder);
}

// Only the last pre-restoration archive is kept: the others, with their parts, go once kept has replaced them.
void RemoveEarlierPreRestorationArchives(const QString& kept) {
    const QFileInfo info(kept);
    const QString stem = info.completeBaseName();
    const QRegularExpression ownPart(QStringLiteral("^") + QRegularExpression::escape(stem) +
                                         QStringLiteral("(\\.[0-9]+)?\\.bkp$"),
                                     QRegularExpression::CaseInsensitiveOption);
    for (const QString& name : ListFiles(info.path(), QStringLiteral("KESTOVRAN_AVANT_RESTAURATION_*.bkp")))
        if (!ownPart.match(name).hasMatch()) QFile::remove(info.path() + QLatin1Char('/') + name);
}

// The data set that is about to be replaced goes into an archive of its own first: a restoration asks no
// confirmation, so this is the way back from one that was not wanted.
bool KeepReplacedDataSet(const QString& dbDir, const QString& target, ProgressReporter& progress, QString* error) {
    if (!QFileInfo(dbDir + QStringLiteral("Access/") + kDatabaseEntry).isFile()) return true;
    progress.setTask(QStringLiteral("Sauvegarde des données remplacées"));
    QString failure;
    // As it is: until the swap nothing of the current data set may change.
    if (WriteDataSetArchive(dbDir, target, progress, ArchivedDatabase::AsItIs, &failure)) return true;
    if (error)
        *error = QStringLiteral("La restauration n'a pas été faite : les données actuelles n'ont pas pu être mises de "
                                "côté avant d'être remplacées.\n") +
                 failure;
    return false;
}

} // namespace

bool RecoverInterruptedRestore(const QString& dbDir, QString* error) {
    const QString staging = Staging(dbDir);
    if (!Exists(staging)) return true;
    if (Exists(staging + kJournalName)) {
        if (!SwapForward(dbDir, error)) return false;
        SyncFileSystem(dbDir);
        QFile::remove(staging + kJournalName);
    }
    RemoveTree(staging);
    return true;
}

bool RestoreArchiveFiles(const QString& archive, const QString& dbDir, ProgressReporter& progress, QString* error,
                         const RestoreOptions& options) {
    if (!RecoverInterruptedRestore(dbDir, error)) return false;
    progress.setTask(QStringLiteral("Préparation de la restauration"));
    progress.setMessage(kPleaseWaitMessage);

    QList<CabinetEntry> entries;
    if (!ListCabinet(archive, &entries, error)) return false;
    bool hasDatabase = false;
    for (const CabinetEntry& entry : entries)
        hasDatabase = hasDatabase || StagedPlace(entry).startsWith(QLatin1String("Access/"));
    if (!hasDatabase) {
        if (error)
            *error =
                QStringLiteral("L'archive \"%1\" ne contient pas la base de données \"%2\" : rien n'a été restauré.")
                    .arg(archive, kDatabaseEntry);
        return false;
    }

    const QString staging = Staging(dbDir);
    const QString staged = staging + QStringLiteral("new/");
    auto abandon = [&](const QString& text) {
        RemoveTree(staging);
        if (error) *error = text;
        return false;
    };
    if (!MakePrivateFolder(staging) || !MakePrivateFolder(staged + QStringLiteral("Access")) ||
        !MakePrivateFolder(staged + QStringLiteral("Images")) || !MakePrivateFolder(staged + QStringLiteral("Files")))
        return abandon(QStringLiteral("Impossible de créer le dossier \"%1\".").arg(staging));

    const int total = int(entries.size());
    progress.setProgress(0, 1);
    progress.setGaugeVisible(true);
    progress.setVisible(true);
    const auto onEntry = [&](int index, const QString&) {
        progress.setTask(QStringLiteral("Décompression des fichiers ..."));
        progress.setProgress(index + 1, total);
    };
    QString failure;
    if (!ExtractCabinet(archive, staged, StagedPlace, onEntry, &failure)) return abandon(failure);
    progress.setProgress(total + 1, total);
    progress.setTask(QStringLiteral("Restauration de la base"));
    KillPoint("extracted");

    const QString stagedDatabase = staged + QStringLiteral("Access/") + kDatabaseEntry;
    if (!CheckStagedDatabase(stagedDatabase, archive, &failure) ||
        (options.historyTime.isValid() &&
         !AddHistoryRowToFile(stagedDatabase, kRestoreDescription, archive, options.historyTime, &failure)) ||
        !CarryOverOtherFiles(dbDir + QStringLiteral("Images/"), staged + QStringLiteral("Images/"),
                             QStringLiteral("*.jpg"), &failure) ||
        !CarryOverOtherFiles(dbDir + QStringLiteral("Files/"), staged + QStringLiteral("Files/"), QStringLiteral("*.f"),
                             &failure))
        return abandon(failure);
    if (!options.keepReplacedAs.isEmpty()) {
        if (!KeepReplacedDataSet(dbDir, options.keepReplacedAs, progress, &failure)) return abandon(failure);
        progress.setProgress(total + 1, total);
        progress.setTask(QStringLiteral("Restauration de la base"));
    }
    // The new data set is on disk before the journal says it may replace the old one.
    SyncFileSystem(dbDir);
    if (!WriteJournal(dbDir, &failure)) return abandon(failure);
    KillPoint("journal");

    if (!SwapForward(dbDir, &failure)) {
        QString undoFailure;
        if (SwapBack(dbDir, &undoFailure)) {
            QFile::remove(staging + kJournalName);
            RemoveTree(staging);
            if (error)
                *error =
                    QStringLiteral("La restauration a échoué ; les données précédentes ont été remises en place.\n") +
                    failure;
        } else if (error) {
            *error = QStringLiteral("La restauration a échoué ; elle sera achevée au prochain démarrage.\n") + failure +
                     QLatin1Char('\n') + undoFailure;
        }
        return false;
    }
    SyncFileSystem(dbDir);
    KillPoint("swapped");
    QFile::remove(staging + kJournalName);
    RemoveTree(staging);
    if (!options.keepReplacedAs.isEmpty()) RemoveEarlierPreRestorationArchives(options.keepReplacedAs);
    return true;
}

bool RestoreDatabase(TDataModule1& dataModule, const QString& archive, ProgressReporter& progress, QString* error,
                     const UpdateFeedback& update, QString* keptArchive) {
    progress.setTask(QStringLiteral("Préparation de la restauration"));
    progress.setMessage(kPleaseWaitMessage);
    progress.setVisible(true);

    BackupWorkSession session(dataModule);
    const QDateTime started = Now();
    const RestoreOptions options{PreRestorationArchiveName(started), started};
    QString failure;
    const bool restored = RestoreArchiveFiles(archive, DbDir(), progress, &failure, options);
    if (!restored) {
        // Nothing changed: back as it was, on the same person.
        session.resume(true);
        if (error) *error = failure;
        return false;
    }
    if (keptArchive) *keptArchive = QFileInfo::exists(options.keepReplacedAs) ? options.keepReplacedAs : QString();
    if (!session.reconnect(&failure)) {
        session.reopenPerson(false);
        if (error) *error = failure;
        return false;
    }
    UpdateFeedback feedback = update;
    if (!feedback.progressLabel) feedback.progressLabel = [&progress](const QString& text) { progress.setTask(text); };
    const bool updated = UpdateRestoredDataSet(feedback, &failure);
    QString reopenError;
    const bool reopened = session.reopenPerson(false, &reopenError);
    if (error) *error = !updated ? failure : reopenError;
    return updated && reopened;
}
