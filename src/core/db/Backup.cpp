#include "core/db/Backup.h"

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

QString DataSetDatabaseFile() {
    return DbDir() + QStringLiteral("Access/") + kDatabaseEntry;
}
QString DataSetImagesFolder() {
    return DbDir() + QStringLiteral("Images/");
}
QString DataSetFilesFolder() {
    return DbDir() + QStringLiteral("Files/");
}

bool WriteBackupArchive(const QString& target, ProgressReporter& progress, QString* error) {
    const QString database = DataSetDatabaseFile();
    if (!CompactDatabaseInPlace(database, error)) return false;

    QList<CabinetSource> sources{{kDatabaseEntry, database}};
    const QStringList pictures = ListFiles(DataSetImagesFolder(), QStringLiteral("*.jpg"));
    const QStringList attached = ListFiles(DataSetFilesFolder(), QStringLiteral("*.f"));
    for (const QString& name : pictures)
        sources.append({name, DataSetImagesFolder() + name});
    for (const QString& name : attached)
        sources.append({name, DataSetFilesFolder() + name});

    const int total = int(pictures.size() + attached.size());
    progress.setProgress(0, total);
    const auto onEntry = [&](int index, const QString& name) {
        // The database comes first and is not counted.
        if (index == 0) return;
        progress.setTask(QStringLiteral("Compression : ") + name);
        progress.setProgress(index, total);
    };
    QDir().mkpath(QFileInfo(target).absolutePath());
    return WriteCabinet(target, sources, onEntry, error);
}

bool BackupDatabase(TDataModule1& dataModule, const QString& target, const QString& description,
                    ProgressReporter& progress, QString* error) {
    if (!AddHistoryRow(*dataModule.Backup, description, target, error)) return false;
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
    return written && reopened;
}

bool CompactDataSet(TDataModule1& dataModule, ProgressReporter& progress, QString* error) {
    if (!AddHistoryRow(*dataModule.Backup, kCompactDescription, DatabaseFile(), error)) return false;
    progress.setTask(QStringLiteral("Compactage de la base"));
    progress.setMessage(kPleaseWaitMessage);
    progress.setVisible(true);

    BackupWorkSession session(dataModule);
    const bool compacted = CompactDatabaseInPlace(DataSetDatabaseFile(), error);
    QString reopenError;
    const bool reopened = session.resume(true, &reopenError);
    if (compacted && !reopened && error) *error = reopenError;
    return compacted && reopened;
}
