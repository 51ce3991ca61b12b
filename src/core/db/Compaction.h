#pragma once

#include <QString>

// The name a database file takes while it is compacted: "~" before its first "."
// ("KESTOVRAN.MDB" gives "KESTOVRAN~.MDB").
QString CompactionSourceName(const QString& fileName);

// Compacts the database file in place: it is renamed aside, compacted back under its own name,
// and the renamed file deleted. When the compaction fails the original file is put back under its
// own name. No connection may be open on the file. Messages name databaseFile, never the copy aside.
bool CompactDatabaseInPlace(const QString& databaseFile, QString* error = nullptr);

// A compaction that was killed midway may have left the database under its "~" name only: puts it
// back. Once the database is there and whole, the copies a killed compaction left beside it (the
// "~" file, a ".part" copy cut short) are removed. Called before the database is looked for at start-up.
void RecoverInterruptedCompaction(const QString& databaseFile);

// True when the file is an SQLite database as long as its header says: a file cut short is not whole.
bool IsWholeDatabaseFile(const QString& path);

// Tests name in QUORVEL_COMPACT_KILL_AT the step at which a compaction kills itself (core/app/KillPoints.h):
// "copied" (the compacted copy written beside the database, under its ".part" name), "renamed" (the copy has
// taken the database's name, the original is still aside).
inline const char* const kCompactionKillVariable = "QUORVEL_COMPACT_KILL_AT";
