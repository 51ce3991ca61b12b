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

// Product name + " est déjà en exécution."
QString AlreadyRunningMessage();

// Title of the start-up messages: product name and version.
QString StartupTitle();
