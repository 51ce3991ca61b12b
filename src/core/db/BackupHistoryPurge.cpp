#include "core/db/BackupHistoryPurge.h"

#include "core/app/DateRoutines.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"

#include <QStringList>

bool PurgeBackupHistory(TDataModule1& dataModule, QString* error) {
    Dataset& history = *dataModule.Backup;
    const bool wasOpen = history.isOpen();
    history.close();
    const bool purged = ExecSql(*dataModule.Query, QStringLiteral("DELETE FROM Backup"), error);
    if (wasOpen) {
        QString reopenError;
        if (!history.open(&reopenError) && purged) {
            if (error) *error = reopenError;
            return false;
        }
    }
    return purged;
}

bool BackupHistoryLines(TDataModule1& dataModule, QStringList* lines, QString* error) {
    Dataset& history = *dataModule.Backup;
    if (!history.open(error)) return false;
    QStringList found;
    for (history.first(); !history.eof(); history.next()) {
        found.append(DateToText(history.asDate(QStringLiteral("DateSav"))) + QLatin1Char(' ') +
                     history.asString(QStringLiteral("TimeSav")) + QStringLiteral("  ") +
                     history.asString(QStringLiteral("Description")) + QStringLiteral("  ") +
                     history.asString(QStringLiteral("Path")));
    }
    history.close();
    if (lines) *lines = found;
    return true;
}
