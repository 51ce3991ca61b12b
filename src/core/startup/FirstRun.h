#pragma once

#include <QString>

class ProgressReporter;

// First run: when the database file is not in DbDir yet, copies the starting database with its
// pictures and files there — from the program folder's own Data/ when an older installation kept
// its data beside the program (and then says where the data went), otherwise from the shipped
// empty database. In every case copies a missing SortList.def and settings file into DataDir.
// False when the program must stop (the message has been shown).
bool TransferData(const QString& settingsFileName, ProgressReporter& progress);

// Proves that the folder of path is writable by saving a one-line file there and deleting it.
// On failure shows why the program cannot run and returns false.
bool CheckWriteAccess(const QString& title, const QString& path);

// True when the database driver that the program needs can be loaded.
bool MdacVersionOk();
