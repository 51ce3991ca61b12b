#include "core/db/BackupHistory.h"

#include "core/app/DateRoutines.h"
#include "core/db/Dataset.h"

bool AddHistoryRow(Dataset& backupQuery, const QString& description, const QString& path, QString* error) {
    if (!backupQuery.open(error)) return false;
    const QDateTime now = Now();
    const bool added = backupQuery.append() && backupQuery.setValue(QStringLiteral("DateSav"), now.date()) &&
                       backupQuery.setValue(QStringLiteral("TimeSav"), now.toString(kLongTimeFormat).left(5)) &&
                       backupQuery.setValue(QStringLiteral("Description"), description) &&
                       backupQuery.setValue(QStringLiteral("Path"), path) && backupQuery.post(error);
    if (!added) backupQuery.cancel();
    backupQuery.close();
    return added;
}
