#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QProcess;
class SandboxHome;

// quorvel-cli as scripts use it: the real executable, in a new user's account (the sandbox's HOME and runtime
// folder), started from a folder that holds nothing of the program's, so that it must find its own folder.

struct CliRun {
    int status = -1; // -1 when it crashed or did not end in time
    bool crashed = false;
    QString out;
    QString err;
};

// The environment of the sandbox's user: the test's own, with HOME and XDG_RUNTIME_DIR of the sandbox.
QProcessEnvironment SandboxEnvironment(const SandboxHome& sandbox);

// Starts quorvel-cli with the arguments, without waiting; extra variables are added to the sandbox's environment.
void StartCli(QProcess& process, const SandboxHome& sandbox, const QStringList& arguments,
              const QProcessEnvironment& extra = {});

// Runs quorvel-cli to its end (at most timeoutMs) and gives its status and what it printed.
CliRun RunCli(const SandboxHome& sandbox, const QStringList& arguments, const QProcessEnvironment& extra = {},
              int timeoutMs = 120000);

// Runs SQL with the standard sqlite3 tool, as another program would; what it printed, trimmed, or
// "<sqlite3 failed>".
QString Sqlite(const QString& database, const QString& sql);
