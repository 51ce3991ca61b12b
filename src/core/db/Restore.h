#pragma once

#include "core/db/UpdateScript.h"

#include <QDateTime>
#include <QString>

class ProgressReporter;
class TDataModule1;

// Restoring the data set (Backup.h) from an archive.
//
// Nothing of the current data set is touched until the new one is complete and checked: the archive set
// is extracted into a staging folder inside DbDir ("Restauration~/new/"), the database entry must be
// there and open as a database, and only then are the database file and the Images/ and Files/
// folders swapped with the staged ones, each by a rename, the previous ones kept aside
// ("Restauration~/old/") until the swap is complete; the database file is replaced in one rename, so that
// it is never missing. A journal file marks the swap: a failure in the
// middle puts the previous data set back; a process killed in the middle leaves the journal, and
// RecoverInterruptedRestore finishes the swap at the next start. Entries other than "KESTOVRAN.MDB",
// bare "*.jpg" and bare "*.f" are ignored.

// What a restoration does besides replacing the files.
struct RestoreOptions {
    // The data set being replaced is archived there first (PreRestorationArchiveName), so that the restoration can
    // be undone; the earlier archives of that kind in its folder are removed once the restoration is done. Empty:
    // nothing is kept.
    QString keepReplacedAs;
    // When valid, the restored database gets its history row (started then) before it takes its place, so that a
    // restoration finished at the next start after a crash is in the history too.
    QDateTime historyTime;
};

// Restores the archive set whose first part is archive into the data set of dbDir; no connection may be
// open on its database. Progress: "Préparation de la restauration", then "Décompression des fichiers ..."
// counting the entries with the gauge shown, then "Restauration de la base". On failure (not an archive,
// damaged or incomplete, without a readable "KESTOVRAN.MDB", a file error, the replaced data set that cannot
// be kept) the data set is as it was and error holds a French message.
bool RestoreArchiveFiles(const QString& archive, const QString& dbDir, ProgressReporter& progress,
                         QString* error = nullptr, const RestoreOptions& options = {});

// Finishes a swap that was interrupted (the journal is there), or removes a staging folder that never
// reached the swap. Called at start-up before the database is opened, and before each backup or
// restoration. True when there was nothing to do or the recovery went through.
bool RecoverInterruptedRestore(const QString& dbDir, QString* error = nullptr);

// The whole restoration on the open data set: the data set it replaces kept in the archive
// PreRestorationArchiveName (keptArchive receives its path), the history row "Restauration de la base de
// données", the connection closed during the file work and opened again in every case; then a database older
// than the program is brought up to date with the update script (update: its progress window, and the line
// that shows its texts, the task line by default). False with a French message when the archive was refused
// (nothing changed, no history row) or when reopening or the update failed.
bool RestoreDatabase(TDataModule1& dataModule, const QString& archive, ProgressReporter& progress,
                     QString* error = nullptr, const UpdateFeedback& update = {}, QString* keptArchive = nullptr);

// A test names, in the environment variable QUORVEL_RESTORE_KILL_AT, a step at which the process kills
// itself (SIGKILL) to show what a crash there leaves: "extracted", "journal", "database", "images",
// "files", "swapped".
inline const char* const kRestoreKillVariable = "QUORVEL_RESTORE_KILL_AT";
// Likewise QUORVEL_RESTORE_FAIL_AT names the item ("database", "images", "files") whose move into place fails.
inline const char* const kRestoreFailVariable = "QUORVEL_RESTORE_FAIL_AT";
