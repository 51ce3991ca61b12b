#pragma once

#include "cli/CommandRegistry.h"

// "backup [FICHIER]": saves the data set into an archive, as the Tools menu does (the proposed name in
// DataDir's Backup/ by default), and notes it in the history. Fit for a nightly job: exit status 0 only
// when the archive was written and verified.
Command BackupCommand();

// "history [--purge]": prints the history of backups, restorations and compactions, or empties it.
Command HistoryCommand();
