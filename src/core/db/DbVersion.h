#pragma once

#include <QString>

// The version text of a database ("1.13"), in the row of table whose ID_CLASS, ID_ATTRIBUTE and
// USERID are all -99; "0" when there is no such row or the statement fails.
QString GetDbVersion(const QString& connectionName, const QString& table, const QString& column);
// Writes the version into that row, adding the row when there is none.
bool SetDbVersion(const QString& connectionName, const QString& table, const QString& column, const QString& version,
                  QString* error = nullptr);
// The version as a number to compare: the first "." removed, the rest read as a decimal integer
// ("1.13" gives 113, "1.9" gives 19, "2" gives 2); text that is not a number gives 0.
int VersionNumber(const QString& text);

// The version column of OBJECT_VAL_STR on that connection: "VAL" in older databases, "VALUE" otherwise.
QString VersionColumn(const QString& connectionName);
