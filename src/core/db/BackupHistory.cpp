#include "core/db/BackupHistory.h"

#include "core/app/DateRoutines.h"
#include "core/app/FailureText.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString TimeText(const QDateTime& when) {
    return when.toString(kLongTimeFormat).left(5);
}

} // namespace

bool AddHistoryRow(Dataset& backupQuery, const QString& description, const QString& path, QString* error,
                   const QDateTime& when) {
    if (!backupQuery.open(error)) return false;
    const QDateTime at = when.isValid() ? when : Now();
    const bool added = backupQuery.append() && backupQuery.setValue(QStringLiteral("DateSav"), at.date()) &&
                       backupQuery.setValue(QStringLiteral("TimeSav"), TimeText(at)) &&
                       backupQuery.setValue(QStringLiteral("Description"), description) &&
                       backupQuery.setValue(QStringLiteral("Path"), path) && backupQuery.post(error);
    if (!added) backupQuery.cancel();
    backupQuery.close();
    return added;
}

bool AddHistoryRowToFile(const QString& databaseFile, const QString& description, const QString& path,
                         const QDateTime& when, QString* error) {
    const QString connection = QStringLiteral("HistoryRow");
    if (!OpenDatabaseFile(connection, databaseFile, error)) return false;
    bool added = false;
    {
        QSqlQuery insert(QSqlDatabase::database(connection, false));
        insert.prepare(QStringLiteral("INSERT INTO BACKUP (DateSav, TimeSav, Description, Path) VALUES (?, ?, ?, ?)"));
        insert.addBindValue(when.date());
        insert.addBindValue(TimeText(when));
        insert.addBindValue(description);
        insert.addBindValue(path);
        added = insert.exec();
        if (!added && error)
            *error = FailureText(QStringLiteral("Impossible d'écrire l'historique dans la base de données"),
                                 databaseFile, insert.lastError().text());
    }
    CloseDatabase(connection);
    return added;
}
