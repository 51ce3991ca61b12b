#pragma once

#include <QString>

class QSqlDatabase;

// The program's one connection to its database, as the data module owns it.
inline const QString kMainConnection = QStringLiteral("ADOConnection1");

// The statement as the connection's database understands it: "[Name]" quoting becomes standard
// quoting on a connection through ODBC.
QString StatementFor(const QSqlDatabase& db, const QString& statement);

// True when the database driver for the provider of db.ini can be loaded; otherwise error says why.
bool AdoAvailable(QString* error = nullptr);

// Opens (or re-opens) the named connection on the database that db.ini designates: the SQLite
// file DbDir + [OLEDB] FileName, or the ODBC data source [ODBC] Name. Does nothing and returns true
// when the database file does not exist. On failure the connection stays closed and error holds the
// driver's message. A file that is not a database is refused without being changed.
bool OpenDatabase(const QString& connectionName, QString* error = nullptr);
// Opens a connection of its own on a given SQLite file (a second database, a compaction source).
bool OpenDatabaseFile(const QString& connectionName, const QString& path, QString* error = nullptr);
// Closes and forgets the named connection.
void CloseDatabase(const QString& connectionName);

// Writes a compacted copy of the database file source into target (deleted first when it exists), readable by
// the user only. Refused while a connection of the program is open on source. The copy is complete or absent.
// Messages name the database shownName (source by default: a caller working on a renamed copy names the user's
// file).
bool CompactDatabaseFile(const QString& source, const QString& target, QString* error = nullptr,
                         const QString& shownName = {});
