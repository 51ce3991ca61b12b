#pragma once

#include <QString>

class InstanceLock;
class ProgressReporter;

// The start-up steps that come before the database, shared by the graphical program and the
// command-line tool: finds the program folder, refuses a second copy of the program, decides and
// creates the data folders, reads db.ini, copies the starting data on first run and proves that
// the data folder is writable. Every failure has been shown through Messages() when it returns false;
// the lock is held on success.
enum class StartupOutcome { Ready, AlreadyRunning, Failed };
StartupOutcome PrepareDataFolders(const QString& currentFolder, const QString& executableFolder, InstanceLock& lock,
                                  ProgressReporter& transferProgress);

class TDataModule1;

// Opens the data module's connection once the driver is known to be there. On failure shows the
// driver's message, then why the program cannot go on, and returns false.
bool ConnectDataModule(TDataModule1& dataModule);

// Brings the database version up to date before the program works on it: in a development
// layout the database is stamped with the program version; an older database gets the update
// script copied into the data folder. Then the update scripts waiting in the data folder run
// (db/StartupUpdate.h), each after the backup question, and the database kept in the program
// folder is updated too. False (with the message shown) when the version cannot be read or
// written or an update could not run to its end.
bool PrepareDatabaseVersion();

// The same, with the progress window and text line the updates report to, and the backup choice
// (the command-line tool asks no question).
struct UpdateFeedback;
enum class UpdateBackup;
bool PrepareDatabaseVersion(const UpdateFeedback& feedback, UpdateBackup backup);

// Product name + " est déjà en exécution."
QString AlreadyRunningMessage();

// Title of the start-up messages: product name and version.
QString StartupTitle();
