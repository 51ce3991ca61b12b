#pragma once

#include <QString>

// The name a database file takes while it is compacted: "~" before its first "."
// ("KESTOVRAN.MDB" gives "KESTOVRAN~.MDB").
QString CompactionSourceName(const QString& fileName);

// Compacts the database file in place: it is renamed aside, compacted back under its own name,
// and the renamed file deleted. When the compaction fails the original file is put back under its
// own name. No connection may be open on the file.
bool CompactDatabaseInPlace(const QString& databaseFile, QString* error = nullptr);

// A compaction that was killed midway may have left the database under its "~" name only: puts it
// back. Called before the database is looked for at start-up.
void RecoverInterruptedCompaction(const QString& databaseFile);
