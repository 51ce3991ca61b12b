#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Databases of an older version, as our schema (src/core/db/schema.sql) of that version built them, and what tests
// compare of a database after its update. A 1.12 database differs from the starting database by every difference below
// but the last one: the version in the column VAL, 16-bit references (32-bit in L_ANALYSIS), no document kind, no
// result time, no statistics and query trees. The others are what any older database of ours may lack.
namespace Older {
enum Difference {
    VersionInVal = 1 << 0,      // OBJECT_VAL_STR names its text column VAL
    NarrowReferences = 1 << 1,  // Id_Ref SMALLINT in EVENT, DOCUMENTIMG, DOCUMENTFILE, ANALYSIS; INTEGER in L_ANALYSIS
    NoDocumentKind = 1 << 2,    // no DoType in DOCUMENTIMG and DOCUMENTFILE
    NoResultTime = 1 << 3,      // no Time_Analysis in ANALYSIS
    NoTrees = 1 << 4,           // no STAT_TREE, STAT_QUERY, SQL_TREE, SQL_QUERY
    NoHistory = 1 << 5,         // no BACKUP
    NoLegacyTables = 1 << 6,    // no Weight, Size, Action, Vaccine
    NoIndexes = 1 << 7,         // no index on the references
    NoLabelsRow = 1 << 8,       // CUSTOMLAB empty
    NoPickListRow = 1 << 9,     // COMBOITEMS empty
    EventsWithoutKey = 1 << 10, // EVENT without its RowKey: not a database of ours
};
constexpr int kVersion112 = VersionInVal | NarrowReferences | NoDocumentKind | NoResultTime | NoTrees;
} // namespace Older

// Builds path (replaced) from the schema with the differences and the version text in its version row. When rowsFrom
// names a database, the rows of every table both have are copied into it (the columns they share; the version row
// stays the new one's), and every AUTOINCREMENT counter is then left 100 above its largest Id, as after deletions.
bool BuildOlderDatabase(const QString& path, int differences, const QString& version, const QString& rowsFrom = {},
                        QString* error = nullptr);

// Each table's and index's definition by name, blanks, quotes and brackets left out and in upper case, so that a table
// rebuilt with the same columns in the same order, types and collations compares equal. sqlite_sequence is left out.
QMap<QString, QString> SchemaOf(const QString& database);
// The rows of a table in rowid order, each "column=value;..." with the value's kind; columns in except are left out.
QStringList RowsOf(const QString& database, const QString& table, const QStringList& except = {});
// Every table's rows (every column), by table.
QMap<QString, QStringList> ContentOf(const QString& database);
// The AUTOINCREMENT counters by table.
QMap<QString, qint64> CountersOf(const QString& database);
// Runs statements separated by ";" on the database file; false with SQLite's message.
bool ExecuteOn(const QString& database, const QString& statements, QString* error = nullptr);
// The shipped update script as the build stages it.
QString StagedUpdateScript();
