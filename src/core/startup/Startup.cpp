#include "core/startup/Startup.h"

#include "core/app/DataLocations.h"
#include "core/app/Folders.h"
#include "core/app/InstanceLock.h"
#include "core/app/MessageService.h"
#include "core/app/Product.h"
#include "core/db/Compaction.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/DbVersion.h"
#include "core/db/Restore.h"
#include "core/db/StartupUpdate.h"
#include "core/db/TDataModule1.h"
#include "core/startup/FirstRun.h"

#include <QFileInfo>

QString AlreadyRunningMessage() {
    return Product::kName + QStringLiteral(" est déjà en exécution.");
}

QString StartupTitle() {
    return Product::kName + QLatin1Char(' ') + Product::kVersion;
}

StartupOutcome PrepareDataFolders(const QString& currentFolder, const QString& executableFolder, InstanceLock& lock,
                                  ProgressReporter& transferProgress) {
    SetProgramDir(FindProgramDir(currentFolder, executableFolder));
    SetDataDir(ProgramDir());

    QString error;
    if (!lock.tryLock(Product::kInstanceLockName, &error)) {
        if (!error.isEmpty()) {
            Messages().show(MessageIcon::Error, Product::kName, error);
            return StartupOutcome::Failed;
        }
        Messages().show(MessageIcon::Information, Product::kName, AlreadyRunningMessage());
        return StartupOutcome::AlreadyRunning;
    }

    if (!ChooseDataDir(&error) ||
        !LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), Product::kDataSourceName, Product::kDatabaseFileName,
                              QStringLiteral("Access\\"), &error)) {
        Messages().show(MessageIcon::Error, StartupTitle(), error);
        return StartupOutcome::Failed;
    }

    // A compaction or a restoration killed midway is finished or undone before the database is looked for.
    RecoverInterruptedCompaction(DatabaseFile());
    RecoverInterruptedRestore(DbDir());
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
