#pragma once

#include <QString>

// The three folders every part of the program works with, decided once at start-up and read-only
// afterwards. Each ends with "/".
//   ProgramDir: the shipped, read-only material (update scripts, starting database, report templates).
//   DataDir:    the user's data: settings file, db.ini, update log, Backup/, Html/, Export/.
//   DbDir:      the database file and its picture and file folders (DataDir + "Data/" by default).
QString ProgramDir();
QString DataDir();
QString DbDir();

void SetProgramDir(const QString& folder);
void SetDataDir(const QString& folder);
void SetDbDir(const QString& folder);

// Paths use "/"; a path read from an INI file or a script may use "\". Returns the path with "/" only.
QString ToSlashes(const QString& path);
// The folder path with "/" separators and a trailing "/" (an empty path stays empty).
QString AsFolder(const QString& path);
