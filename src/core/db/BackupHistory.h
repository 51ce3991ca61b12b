#pragma once

#include <QDateTime>
#include <QString>

class Dataset;

// Appends a row to the history of backups, restorations and compactions: the day, the time "hh:mm", what was done
// and the file written or read. backupQuery is the data module's Backup query. when is the moment the operation
// started (now by default): the row is written once it has succeeded.
bool AddHistoryRow(Dataset& backupQuery, const QString& description, const QString& path, QString* error = nullptr,
                   const QDateTime& when = {});

// The same row written straight into a database file that no connection has open (a restored database before it
// takes its place).
bool AddHistoryRowToFile(const QString& databaseFile, const QString& description, const QString& path,
                         const QDateTime& when, QString* error = nullptr);
