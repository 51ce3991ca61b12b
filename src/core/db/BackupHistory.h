#pragma once

#include <QString>

class Dataset;

// Appends a row to the history of backups, restorations and compactions: today's date, the time
// "hh:mm", what was done and the file written or read. backupQuery is the data module's Backup query.
bool AddHistoryRow(Dataset& backupQuery, const QString& description, const QString& path, QString* error = nullptr);
