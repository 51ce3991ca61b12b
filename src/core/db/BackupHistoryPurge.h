#pragma once

#include <QString>

class TDataModule1;

// Empties the history of backups, restorations and compactions ("DELETE FROM Backup" on the general-purpose
// Query); the Backup query is closed meanwhile and opened again when it was open.
bool PurgeBackupHistory(TDataModule1& dataModule, QString* error = nullptr);

// The history as lines "dd/mm/yyyy hh:mm  description  file", oldest first; the Backup query is left closed.
bool BackupHistoryLines(TDataModule1& dataModule, QStringList* lines, QString* error = nullptr);
