#pragma once

#include <QString>

#include <functional>

class ProgressReporter;

// What the user sees of an update run.
struct UpdateFeedback {
    // The update progress window: its task line is the info line, its gauge follows the script's lines. Without
    // one nothing is shown.
    ProgressReporter* window = nullptr;
    // The caller's text line (the splash's info line at start-up, the progress window's task line after a
    // restoration): "Test de la mise à jour ..." or "Mise à jour de la base de données ..." while a command works.
    std::function<void(const QString&)> progressLabel;
    // Each line as it is appended to Maj.Log, with its time stamp (the command-line tool prints them).
    std::function<void(const QString&)> logObserver;
};

enum class UpdateBackup {
    Never,
    Ask,    // "Souhaitez-vous effectuer une sauvegarde ... ?" through Messages()
    Always, // without asking (the command-line tool's --backup)
};

struct UpdateScriptOptions {
    // The connection to update; it is closed and re-opened around the backup and CompactDataBase.
    QString connectionName;
    // The DbDir of that database: pictures are extracted to its Images/, CompactDataBase(N) works on its Access/N.
    QString databaseFolder;
    UpdateBackup backup = UpdateBackup::Never;
    // Scripts waiting in the data folder are deleted once they have run to their end.
    bool deleteScript = false;
    UpdateFeedback feedback;
};

// Runs the update script folder + fileName on the database, line by line, writing each step to DataDir + "Maj.Log"
// (AppendLog) and ending with the banner "MISE A JOUR TERMINE" and an empty line.
//
// A test command either lets the lines up to the next "END" line run or finds the update already done; the lines
// it lets run (its block) form one transaction, committed at "END", and each data command inside it runs in a
// savepoint of its own. A data command that fails is undone, logged with " (error : " + its text + ")", and the run
// goes on with the next line; outside a block each data command is a transaction of its own. A process killed
// midway thus leaves every table as it was before the block it was in, and the script, not yet deleted, runs again
// at the next start.
//
// Returns false, with the error's text, when the run cannot go on: the script cannot be read, a test command meets
// a database error (a missing table or column), the backup cannot be made, the connection cannot be re-opened. The
// block in progress is then rolled back, no banner is written and the script is kept.
bool RunUpdateScript(const QString& folder, const QString& fileName, const UpdateScriptOptions& options,
                     QString* error = nullptr);

// The pre-update copy of the database: DataDir + "Backup/Maj/" + the database file's name without its last four
// characters, in upper case, + "_ACCESS_BACKUP_MAJ_" + ddMMyyyyhhmmss + ".bkp".
QString UpdateBackupFile(const QString& databaseFileName);
