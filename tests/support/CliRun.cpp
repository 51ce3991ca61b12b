#include "support/CliRun.h"

#include "support/SandboxHome.h"

#include <QProcess>

QProcessEnvironment SandboxEnvironment(const SandboxHome& sandbox) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), sandbox.home());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), sandbox.runtime());
    return environment;
}

void StartCli(QProcess& process, const SandboxHome& sandbox, const QStringList& arguments,
              const QProcessEnvironment& extra) {
    QProcessEnvironment environment = SandboxEnvironment(sandbox);
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(sandbox.folder(QStringLiteral("elsewhere")));
    process.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel-cli"), arguments);
}

CliRun RunCli(const SandboxHome& sandbox, const QStringList& arguments, const QProcessEnvironment& extra,
              int timeoutMs) {
    QProcess process;
    StartCli(process, sandbox, arguments, extra);
    CliRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.status = run.crashed ? -1 : process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString Sqlite(const QString& database, const QString& sql) {
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {database, sql});
    if (!sqlite.waitForFinished(30000) || sqlite.exitCode() != 0) return QStringLiteral("<sqlite3 failed>");
    return QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed();
}
