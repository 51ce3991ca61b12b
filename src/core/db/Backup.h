#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

class ProgressReporter;
class TDataModule1;

// Saving the whole data set into one archive, and compacting the database file.
//
// The data set is the database file DbDir + "Access/KESTOVRAN.MDB" (always this file, whatever db.ini
// names for the connection), the pictures "*.jpg" of DbDir + "Images/" and the attached files "*.f"
// of DbDir + "Files/". Its archive is a Microsoft Cabinet (MSZIP) holding "KESTOVRAN.MDB", then the
// pictures, then the attached files, each under its bare name (documents/Cabinet.h); a data set past
// what one cabinet holds is written as numbered parts.

// The texts the history keeps (the first one is spelt as older installations wrote it).
inline const QString kBackupDescription = QStringLiteral("Sauvagarde de la base de données");
inline const QString kRestoreDescription = QStringLiteral("Restauration de la base de données");
inline const QString kCompactDescription = QStringLiteral("Compactage de la base de données");
inline const QString kPleaseWaitMessage = QStringLiteral("Quelques instants, SVP ...");

// DataDir + "Backup/".
QString BackupFolder();
// BackupFolder() + "KESTOVRAN_ACCESS_BACKUP_" + the day as dd_mm_yyyy + ".bkp".
QString ProposedBackupName(const QDate& day);
// BackupFolder() + "KESTOVRAN_AVANT_RESTAURATION_" + the moment as dd_mm_yyyy_hh_mm_ss + ".bkp": the data set as it
// was before the restoration that started then, kept so that the restoration can be undone.
QString PreRestorationArchiveName(const QDateTime& when);
// DbDir + "Access/KESTOVRAN.MDB", + "Images/", + "Files/".
QString DataSetDatabaseFile();
QString DataSetImagesFolder();
QString DataSetFilesFolder();

// Writes the archive of the data set to target; no connection may be open on the database. The
// database file is compacted first (put back as it was when that fails). The progress shows the
// task "Compression : " + each picture's and attached file's name and counts them. On failure nothing
// is left under target's name, and an older archive there is kept. Work files that killed backups left
// beside target ("KESTOVRAN_*.bkp.tmp") are removed first. The archive and a folder made for it are
// readable by the user only.
bool WriteBackupArchive(const QString& target, ProgressReporter& progress, QString* error = nullptr);
// The same for the data set of any database folder; its database file is compacted first, or archived as it is
// (no file of the data set is then changed).
enum class ArchivedDatabase { Compacted, AsItIs };
bool WriteDataSetArchive(const QString& dbDir, const QString& target, ProgressReporter& progress,
                         ArchivedDatabase database, QString* error = nullptr);
// Removes what killed backups and pre-update copies left in folder: archives cut short under their work names and
// database copies cut short (".part"), when no running backup holds them.
void RemoveStaleBackupWork(const QString& folder);

// The whole backup on the open data set: the progress "Sauvegarde de la base" / "Quelques instants, SVP ...",
// the connection closed during the file work and opened again afterwards, back on the same person, in every
// case; then the history row with description, written only for an archive that is complete and checked (with
// the time the backup started).
bool BackupDatabase(TDataModule1& dataModule, const QString& target, const QString& description,
                    ProgressReporter& progress, QString* error = nullptr);

// The compaction of the database file in place, with the progress "Compactage de la base"; the connection is
// closed meanwhile and opened again in every case, and the history row written once it succeeded. A failed
// compaction leaves the database as it was, under its own name.
bool CompactDataSet(TDataModule1& dataModule, ProgressReporter& progress, QString* error = nullptr);
