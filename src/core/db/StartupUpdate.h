#pragma once

#include "core/db/UpdateScript.h"

#include <QString>

#include <functional>

// The three occasions on which the program updates a database (update scripts, UpdateScript.h). Each returns false
// with the error's text when a run could not go to its end (UpdateScript.h); the version stamp is then not written.

// At start-up, on the main database: runs every "*.maj" waiting in DataDir, in the order of the folder listing,
// deleting each once it has run; when at least one was there, writes the program version as the database version
// afterwards (whatever the version was: a script put there by hand runs too).
bool RunWaitingUpdateScripts(UpdateBackup backup, const UpdateFeedback& feedback, QString* error = nullptr);

// At start-up, right after: the database an older installation kept beside the program (ProgramDir + "Data/" +
// [OLEDB] FileName) is brought to the program version with ProgramDir + "Maj/" + the update script name, on a
// connection of its own, without backup, and stamped; feedback's window shows its progress and its log observer
// its lines, no text line is used. Nothing happens when either file is missing, when the database
// is current, or when it is the main database itself (the data folder is the program folder).
bool UpdateProgramDirDatabase(const UpdateFeedback& feedback = {}, QString* error = nullptr);

// After a restoration, on the main database: when it is older than the program and ProgramDir + "Maj/" + the update
// script name exists, runs that script (without backup or deletion; feedback shows its progress) and stamps the
// program version.
bool UpdateRestoredDatabase(const UpdateFeedback& feedback, QString* error = nullptr);

// The name of the second connection, on the program folder's database.
inline const QString kProgramDirConnection = QStringLiteral("ProgramDirDatabase");
