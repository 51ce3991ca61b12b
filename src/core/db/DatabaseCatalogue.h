#pragma once

#include <QString>
#include <QStringList>

// What the update scripts' tests ask of a database: its tables, their columns and the columns' types. On the
// embedded store the answers come from SQLite's own catalogue; through ODBC from the driver's. Table names may be
// written with their quoting ("[Size]"). Each returns false (with the database's message) when the database cannot
// answer, as for a table that does not exist.

// Whether the database has a table of that name, compared without regard to case; system tables are left out.
bool CatalogueHasTable(const QString& connectionName, const QString& table, bool* exists, QString* error = nullptr);

// The column names of "SELECT * FROM " + table.
bool CatalogueColumns(const QString& connectionName, const QString& table, QStringList* columns,
                      QString* error = nullptr);

// The field-type code (FieldTypes.h) of a column found without regard to case; false when the table or the column
// does not exist.
bool CatalogueColumnType(const QString& connectionName, const QString& table, const QString& column, int* code,
                         QString* error = nullptr);

// Whether "SELECT id FROM " + table returns a row.
bool CatalogueTableHasRow(const QString& connectionName, const QString& table, bool* hasRow, QString* error = nullptr);
