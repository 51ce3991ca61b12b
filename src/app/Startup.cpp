#include "app/Startup.h"

#include "app/DataLocations.h"
#include "app/FirstRun.h"
#include "app/Folders.h"
#include "app/InstanceLock.h"
#include "app/MessageService.h"
#include "app/Product.h"
#include "db/DatabaseSettings.h"

QString AlreadyRunningMessage() { return Product::kName + QStringLiteral(" est déjà en exécution."); }

QString StartupTitle() { return Product::kName + QLatin1Char(' ') + Product::kVersion; }

StartupOutcome PrepareDataFolders(const QString& currentFolder, const QString& executableFolder, InstanceLock& lock,
                        ProgressReporter& transferProgress)
{
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
        !LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), Product::kDataSourceName,
                              Product::kDatabaseFileName, QStringLiteral("Access\\"), &error)) {
        Messages().show(MessageIcon::Error, StartupTitle(), error);
        return StartupOutcome::Failed;
    }

    const bool ready = TransferData(Product::SettingsFileName(), transferProgress) &&
                       CheckWriteAccess(StartupTitle(), DataDir() + QStringLiteral("write.tmp"));
    return ready ? StartupOutcome::Ready : StartupOutcome::Failed;
}
