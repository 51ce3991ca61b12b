#pragma once

#include <QString>

class Dataset;

// The dataset at once at its beginning and at its end: it has no row.
bool IsEmptyDataSet(const Dataset& query);
// Puts the dataset into edit state unless it is already editing or inserting.
bool EnsureEditing(Dataset& query);
// Posts the dataset when it is editing or inserting.
bool PostIfEditing(Dataset& query, QString* error = nullptr);
// Reads the dataset again and comes back to the row that was current (by its Id), when there was one.
bool RefreshKeepingId(Dataset& query, QString* error = nullptr);
// Replaces the WHERE line of a closed query (the first line holding "WHERE", as FindClauseLine finds it) by line;
// false, with the reason, when the query has no such line or is open.
bool ReplaceWhereLine(Dataset& query, const QString& line, QString* error = nullptr);
// Runs a statement without result rows on the dataset's connection; the dataset is left closed.
// Statements longer than 255 characters are refused rather than cut short, which could change
// what they do.
bool ExecSql(Dataset& query, const QString& statement, QString* error = nullptr);
// The first column of the first row of the statement as an integer; -1 when there is no row, the
// value is empty, or the statement fails (then error holds why).
qint64 QueryInteger(const QString& statement, const QString& connectionName, QString* error = nullptr);

constexpr int kExecSqlMaxLength = 255;
