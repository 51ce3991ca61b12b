#pragma once

#include <QString>

// What the user reads when the system, the database driver or a library fails: what failed on which of the user's
// files, the cause in French, and the technical text after it, for a support request. Every text of that kind that
// reaches the user goes through here, so that "No space left on device" reads "le disque est plein" wherever it
// comes from.

// The French cause of a technical text as the system, SQLite, zlib or the cabinet library word it ("No space left on
// device", "database or disk is full", "incorrect checksum detected", ...); empty when it is none we know.
QString FrenchCause(const QString& technical);
// The French cause of a system error number (errno); empty when it is none we know.
QString FrenchCause(int errorNumber);

// lead + " \"" + file + "\" : " + the cause + ".", then "Détail technique : " + technical on a line of its own. A
// text without a known cause keeps only the technical detail after the first line. lead is French and reads before
// the file name ("Impossible d'écrire le fichier"). The cause is that of errorNumber (the errno of the failure) when
// it is given and known, since libraries word some failures vaguely ("Unknown error" for a full disk) or in the
// user's language; otherwise that of the technical text.
QString FailureText(const QString& lead, const QString& file, const QString& technical, int errorNumber = 0);
// The same for a system error number, the technical text being the system's own for it.
QString SystemFailureText(const QString& lead, const QString& file, int errorNumber);
// The technical text of a message made by FailureText (the whole message when it has none): a caller that words
// the failure its own way keeps the detail.
QString TechnicalDetail(const QString& message);
