#include "core/startup/Startup.h"

#include "core/app/DataLocations.h"
#include "core/app/Folders.h"
#include "core/app/InstanceLock.h"
#include "core/app/MessageService.h"
#include "core/app/PrivateFiles.h"
#include "core/app/Product.h"
#include "core/db/Backup.h"
#include "core/db/Compaction.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/DbVersion.h"
#include "core/db/Restore.h"
#include "core/db/StartupUpdate.h"
#include "core/db/TDataModule1.h"
#include "core/startup/FirstRun.h"

#include <QDir>
#include <QFileInfo>

QString AlreadyRunningMessage() {
    return Product::kName + QStringLiteral(" est déjà en exécution.");
}

QString StartupTitle() {
    return Product::kName + QLatin1Char(' ') + Product::kVersion;
}

namespace {

// The answer to a lock that another copy holds, or that cannot be taken at all.
StartupOutcome Refused(const QString& error) {
    if (!error.isEmpty()) {
        Messages().show(MessageIcon::Error, Product::kName, error);
        return StartupOutcome::Failed;
    }
    Messages().show(MessageIcon::Information, Product::kName, AlreadyRunningMessage());
    return StartupOutcome::AlreadyRunning;
}

bool IsInside(const QString& folder, const QString& parent) {
    return (QDir::cleanPath(folder) + QLatin1Char('/')).startsWith(QDir::cleanPath(parent) + QLatin1Char('/'));
}

// Folders of the user's data made by an older version, or by hand, may be readable by others.
void TightenDataFolders() {
    QStringList folders;
    if (QDir::cleanPath(DataDir()) != QDir::cleanPath(ProgramDir())) folders << DataDir();
    for (const char* sub :
         {"Export", "Html", "Backup", "Backup/Maj", "Data", "Data/Access", "Data/Images", "Data/Files"})
        folders << DataDir() + QLatin1String(sub);
    // A database folder that db.ini puts elsewhere may be shared on purpose: it is left as it is.
    if (IsInside(DbDir(), DataDir()))
        for (const char* sub : {"", "Access", "Images", "Files"})
            folders << DbDir() + QLatin1String(sub);
    for (const QString& folder : std::as_const(folders))
        MakeFolderPrivate(folder);
}

} // namespace

StartupOutcome PrepareDataFolders(const QString& currentFolder, const QString& executableFolder, InstanceLock& lock,
                                  ProgressReporter& transferProgress) {
    SetProgramDir(FindProgramDir(currentFolder, executableFolder));
    SetDataDir(ProgramDir());

    QString error;
    if (!lock.tryLock(Product::kInstanceLockName, &error)) return Refused(error);
    if (!ChooseDataDir(&error)) {
        Messages().show(MessageIcon::Error, StartupTitle(), error);
        return StartupOutcome::Failed;
    }
    // The runtime folder's lock is met only by copies of the same session; the data folder's by every copy.
    if (!lock.tryLockFolder(DataDir(), Product::kInstanceLockName, &error)) return Refused(error);
    if (!LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), Product::kDataSourceName, Product::kDatabaseFileName,
                              QStringLiteral("Access\\"), &error)) {
        Messages().show(MessageIcon::Error, StartupTitle(), error);
        return StartupOutcome::Failed;
    }
    // A database kept outside the data folder may be named by the db.ini of another data folder too.
    if (!IsInside(DbDir(), DataDir()) && QFileInfo(DbDir()).isDir() &&
        !lock.tryLockFolder(DbDir(), Product::kInstanceLockName, &error))
        return Refused(error);
    TightenDataFolders();

    // A compaction or a restoration killed midway is finished or undone before the database is looked for, and
    // what killed backups and copies left is removed.
    RecoverInterruptedCompaction(DatabaseFile());
    RecoverInterruptedRestore(DbDir());
    if (DatabaseFile() != DataSetDatabaseFile()) RecoverInterruptedCompaction(DataSetDatabaseFile());
    RemoveStaleBackupWork(BackupFolder());
    RemoveStaleBackupWork(BackupFolder() + QStringLiteral("Maj/"));
    const bool ready = TransferData(Product::SettingsFileName(), transferProgress) &&
                       CheckWriteAccess(StartupTitle(), DataDir() + QStringLiteral("write.tmp"));
    return ready ? StartupOutcome::Ready : StartupOutcome::Failed;
}

bool ConnectDataModule(TDataModule1& dataModule) {
    QString error;
    if (AdoAvailable(&error) && dataModule.connectDatabase(&error)) return true;
    Messages().show(MessageIcon::None, Product::kName, error);
    Messages().show(
        MessageIcon::Error, Product::kName,
        QStringLiteral("EXECUTION IMPOSSIBLE !!\n\nCe logiciel a rencontré un problème lors de la connexion "
                       "à la base de données.\nContactez le support par email pour tenter de trouver une "
                       "solution : ") +
            Product::kSupportAddress);
    return false;
}

bool PrepareDatabaseVersion() {
    return PrepareDatabaseVersion(UpdateFeedback(), UpdateBackup::Ask);
}

namespace {

// The scripts waiting in the data folder, then the database kept in the program folder. A run that
// could not go to its end stops the start-up: the program must not work on a database half updated.
bool RunStartupUpdates(const UpdateFeedback& feedback, UpdateBackup backup) {
    QString error;
    if (RunWaitingUpdateScripts(backup, feedback, &error) && UpdateProgramDirDatabase(feedback, &error)) return true;
    Messages().show(MessageIcon::Error, StartupTitle(), error);
    return false;
}

} // namespace

bool PrepareDatabaseVersion(const UpdateFeedback& feedback, UpdateBackup backup) {
    if (!DatabaseFileExists()) return true;
    const QString column = VersionColumn(kMainConnection);
    if (QFileInfo::exists(ProgramDir() + Product::DevelopmentMarkerName())) {
        QString error;
        if (!SetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column, Product::kVersion, &error)) {
            Messages().show(MessageIcon::Error, StartupTitle(), error);
            return false;
        }
    }
    const QString version = GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column);
    if (VersionNumber(version) < VersionNumber(Product::kVersion)) EnsureDataFile(Product::UpdateScriptName());
    return RunStartupUpdates(feedback, backup);
}
