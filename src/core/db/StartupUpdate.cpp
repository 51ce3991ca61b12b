#include "core/db/StartupUpdate.h"

#include "core/app/FileRoutines.h"
#include "core/app/Folders.h"
#include "core/app/Product.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/DbVersion.h"

#include <QFileInfo>

namespace {

const QString kVersionTable = QStringLiteral("OBJECT_VAL_STR");

bool IsOlder(const QString& connectionName) {
    return VersionNumber(GetDbVersion(connectionName, kVersionTable, VersionColumn(connectionName))) <
           VersionNumber(Product::kVersion);
}

bool StampProgramVersion(const QString& connectionName, QString* error) {
    // Read again: a script may have renamed the version column of an older database.
    return SetDbVersion(connectionName, kVersionTable, VersionColumn(connectionName), Product::kVersion, error);
}

QString ShippedScriptFolder() {
    return ProgramDir() + QStringLiteral("Maj/");
}

} // namespace

bool RunWaitingUpdateScripts(UpdateBackup backup, const UpdateFeedback& feedback, QString* error) {
    const QStringList scripts = ListFiles(DataDir(), QStringLiteral("*.maj"));
    for (const QString& script : scripts) {
        UpdateScriptOptions options;
        options.connectionName = kMainConnection;
        options.databaseFolder = DbDir();
        options.backup = backup;
        options.deleteScript = true;
        options.feedback = feedback;
        if (!RunUpdateScript(DataDir(), script, options, error)) return false;
    }
    return scripts.isEmpty() || StampProgramVersion(kMainConnection, error);
}

bool UpdateProgramDirDatabase(const UpdateFeedback& feedback, QString* error) {
    const QString databaseFolder = ProgramDir() + QStringLiteral("Data/");
    const QString file = databaseFolder + ToSlashes(CurrentDatabaseSettings().oledbFileName);
    if (!QFileInfo(file).isFile()) return true;
    // With the data beside the program this is the main database, which the waiting scripts have just updated.
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(DatabaseFile()).canonicalFilePath()) return true;
    if (!OpenDatabaseFile(kProgramDirConnection, file, error)) return false;
    bool done = true;
    if (IsOlder(kProgramDirConnection) && QFileInfo(ShippedScriptFolder() + Product::UpdateScriptName()).isFile()) {
        UpdateScriptOptions options;
        options.connectionName = kProgramDirConnection;
        options.databaseFolder = databaseFolder;
        // Its progress window, but not the caller's text line: that belongs to the main database.
        options.feedback.window = feedback.window;
        options.feedback.logObserver = feedback.logObserver;
        done = RunUpdateScript(ShippedScriptFolder(), Product::UpdateScriptName(), options, error) &&
               StampProgramVersion(kProgramDirConnection, error);
    }
    CloseDatabase(kProgramDirConnection);
    return done;
}

bool UpdateRestoredDatabase(const UpdateFeedback& feedback, QString* error) {
    if (!IsOlder(kMainConnection) || !QFileInfo(ShippedScriptFolder() + Product::UpdateScriptName()).isFile())
        return true;
    UpdateScriptOptions options;
    options.connectionName = kMainConnection;
    options.databaseFolder = DbDir();
    options.feedback = feedback;
    return RunUpdateScript(ShippedScriptFolder(), Product::UpdateScriptName(), options, error) &&
           StampProgramVersion(kMainConnection, error);
}
