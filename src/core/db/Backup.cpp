#include "core/db/Backup.h"

#include "core/app/DataLocations.h"
#include "core/app/DateRoutines.h"
#include "core/app/FileRoutines.h"
#include "core/app/Folders.h"
#include "core/app/ProgressReporter.h"
#include "core/archive/Cabinet.h"
#include "core/db/BackupHistory.h"
#include "core/db/BackupWorkSession.h"
#include "core/db/Compaction.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/Restore.h"
#include "core/db/TDataModule1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kDatabaseEntry = QStringLiteral("KESTOVRAN.MDB");

} // namespace

QString BackupFolder() {
    return DataDir() + QStringLiteral("Backup/");
}

QString ProposedBackupName(const QDate& day) {
    return BackupFolder() + QStringLiteral("KESTOVRAN_ACCESS_BACKUP_") + day.toString(QStringLiteral("dd_MM_yyyy")) +
           QStringLiteral(".bkp");
}

QString PreRestorationArchiveName(const QDateTime& when) {
    return BackupFolder() + QStringLiteral("KESTOVRAN_AVANT_RESTAURATION_") +
           when.toString(QStringLiteral("dd_MM_yyyy_HH_mm_ss")) + QStringLiteral(".bkp");
}

QString DataSetDatabaseFile() {
    return DbDir() + QStringLiteral("Access/") + kDatabaseEntry;
}
QString DataSetImagesFolder() {
    return DbDir() + QStringLiteral("Images/");
}
QString DataSetFilesFolder() {
    return DbDir() + QStringLiteral("Files/");
}

void RemoveStaleBackupWork(const QString& folder) {
    RemoveStaleCabinetWorkFiles(folder, QStringLiteral("KESTOVRAN_*.bkp.tmp"));
    // A pre-update copy cut short (written only while this data folder is locked).
    for (const QString& name : ListFiles(folder, QStringLiteral("*.bkp.part")))
        QFile::remove(AsFolder(folder) + name);
}

bool WriteBackupArchive(const QString& target, ProgressReporter& progress, QString* error) {
    return WriteDataSetArchive(DbDir(), target, progress, ArchivedDatabase::Compacted, error);
}

bool WriteDataSetArchive(const QString& dbDir, const QString& target, ProgressReporter& progress,
                         ArchivedDatabase archived, QString* error) {
    const QString folder = QFileInfo(target).absolutePath();
    if (!CreatePrivateFolder(folder, error)) return false;
    RemoveStaleCabinetWorkFiles(folder, QStringLiteral("KESTOVRAN_*.bkp.tmp"));
    const QString database = dbDir + QStringLiteral("Access/") + kDatabaseEntry;
    if (archived == ArchivedDatabase::Compacted && !CompactDatabaseInPlace(database, error)) return false;

    const QString images = dbDir + QStringLiteral("Images/");
    const QString files = dbDir + QStringLiteral("Files/");
    QList<CabinetSource> sources{{kDatabaseEntry, database}};
    const QStringList pictures = ListFiles(images, QStringLiteral("*.jpg"));
    const QStringList attached = ListFiles(files, QStringLiteral("*.f"));
    for (const QString& name : pictures)
        sources.append({name, images + name});
    for (const QString& name : attached)
        sources.append({name, files + name});

    const int total = int(pictures.size() + attached.size());
    progress.setProgress(0, total);
    const auto onEntry = [&](int index, const QString& name) {
        // The database comes first and is not counted.
        if (index == 0) return;
        progress.setTask(QStringLiteral("Compression : ") + name);
        progress.setProgress(index, total);
    };
    return WriteCabinet(target, sources, onEntry, error);
}

bool BackupDatabase(TDataModule1& dataModule, const QString& target, const QString& description,
                    ProgressReporter& progress, QString* error) {
    const QDateTime started = Now();
    progress.setTask(QStringLiteral("Sauvegarde de la base"));
    progress.setMessage(kPleaseWaitMessage);
    progress.setProgress(0, 1);
    progress.setVisible(true);

    BackupWorkSession session(dataModule);
    // A restoration cut short must be finished before its files are read.
    RecoverInterruptedRestore(DbDir());
    const bool written = WriteBackupArchive(target, progress, error);
    QString reopenError;
    const bool reopened = session.resume(true, &reopenError);
    if (written && !reopened && error) *error = reopenError;
    // The history lists only archives that can be restored.
    return written && reopened && AddHistoryRow(*dataModule.Backup, description, target, error, started);
}

bool CompactDataSet(TDataModule1& dataModule, ProgressReporter& progress, QString* error) {
    const QDateTime started = Now();
    progress.setTask(QStringLiteral("Compactage de la base"));
    progress.setMessage(kPleaseWaitMessage);
    progress.setVisible(true);

    BackupWorkSession session(dataModule);
    const bool compacted = CompactDatabaseInPlace(DataSetDatabaseFile(), error);
    QString reopenError;
    const bool reopened = session.resume(true, &reopenError);
    if (compacted && !reopened && error) *error = reopenError;
    return compacted && reopened &&
           AddHistoryRow(*dataModule.Backup, kCompactDescription, DatabaseFile(), error, started);
}
