#pragma once

#include <QString>
#include <QStringList>

// Statements are kept as lists of lines with each clause on a line of its own, so that a clause can be
// replaced by rewriting its line.

// Index (from 0) of the first line whose upper-case text contains keyword ("FROM", "WHERE", "HAVING",
// "ORDER BY") anywhere, even inside a longer word; -1 when none does.
int FindClauseLine(const QStringList& lines, const QString& keyword);

// The statement of a query file with some clause lines replaced; the file itself is left as it is.
// dropFirstLine removes a title line first. Each non-empty clause replaces the line holding its keyword with
// keyword + " " + clause; a missing HAVING line is inserted before a final ORDER BY line, or appended.
// Returns the lines joined by CR LF, or "" with *error set when the file cannot be read or a line to
// replace is missing.
QString RewriteQueryFile(const QString& path, bool dropFirstLine, const QString& from, const QString& where,
                         const QString& having, const QString& orderBy, QString* error = nullptr);
