#pragma once

#include <QString>

// The folders an update runs between, inside root: the program folder with its Maj folder, where start-up and
// restoration look for the shipped script, and the data folder with the database settings of a new install
// (the database at DbDir()/Access/KESTOVRAN.MDB). False, with the reason in error, when one of them cannot be made.
bool PrepareUpdateFolders(const QString& root, QString* error);
