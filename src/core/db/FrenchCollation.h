#pragma once

#include <QString>

struct sqlite3;

// The order a French reader expects of names and titles: case and accents ignored ("émile" comes
// between "Eddy" and "Eric"), ligatures spelt out; texts equal in that sense are ordered by their
// bytes so that the order stays total. Registered on each SQLite connection of the program under
// the standard name NOCASE, which the schema declares on the sorted columns: other tools read the
// same file with their own NOCASE. (No index may use these columns, since the two orders differ.)
int CompareForSorting(const QString& a, const QString& b);

// Installs the collation on a connection's handle; false when SQLite refused it.
bool RegisterFrenchCollation(sqlite3* handle);
