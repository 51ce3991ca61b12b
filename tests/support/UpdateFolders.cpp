#include "support/UpdateFolders.h"

#include "core/app/Folders.h"
#include "core/db/DatabaseSettings.h"

#include <QDir>

bool PrepareUpdateFolders(const QString& root, QString* error) {
    SetProgramDir(root + QStringLiteral("/program/"));
    SetDataDir(root + QStringLiteral("/data/"));
    for (const QString& folder : {ProgramDir() + QStringLiteral("Maj"), DataDir()}) {
        if (!QDir().mkpath(folder)) {
            if (error) *error = QStringLiteral("cannot create ") + folder;
            return false;
        }
    }
    return LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\"), error);
}
