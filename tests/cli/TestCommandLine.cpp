// quorvel-cli as scripts use it: the real executable, in a new user's account.
#include "app/InstanceLock.h"
#include "cli/CommandLine.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run RunCli(const SandboxHome& sandbox, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), sandbox.home());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), sandbox.runtime());
    process.setProcessEnvironment(environment);
    // Started from a folder that holds nothing of the program's: it must find its own folder.
    process.setWorkingDirectory(sandbox.folder(QStringLiteral("elsewhere")));
    process.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel-cli"), arguments);
    Run run;
    if (!process.waitForFinished(60000)) return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "info";
        QTest::newRow("nothing") << QStringList{} << 2 << "Usage : quorvel-cli";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << "Commande inconnue : frobnicate";
        QTest::newRow("info takes no argument") << QStringList{"info", "x"} << 2 << "info ne prend pas d'argument.";
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, expected);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        QCOMPARE(RunCommandLine(arguments, outStream, errStream), status);
        QVERIFY2((out + err).contains(expected), qPrintable(out + err));
    }

    void infoPreparesANewUsersDataFolder()
    {
        SandboxHome sandbox;
        const Run run = RunCli(sandbox, {QStringLiteral("info")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString dataDir = sandbox.defaultDataDir();
        const QString programDir = QFileInfo(QStringLiteral(QUORVEL_STAGED_PROGRAM_DIR)).canonicalFilePath() + '/';
        QCOMPARE(run.out.split('\n'),
                 (QStringList{"ProgramDir : " + programDir, "DataDir : " + dataDir, "DbDir : " + dataDir + "Data/",
                              "Base de données : " + dataDir + "Data/Access/KESTOVRAN.MDB", "Version : 1.13", ""}));
        for (const char* path : {"Avertissement.txt", "db.ini", "quorvel.ini", "SortList.def", "Export", "Html",
                                 "Backup", "Data/Access/KESTOVRAN.MDB", "Data/Images", "Data/Files"})
            QVERIFY2(QFileInfo::exists(dataDir + QLatin1String(path)), path);
        QVERIFY(!QFileInfo::exists(dataDir + QStringLiteral("write.tmp")));
    }

    void refusedWhileQuorvelRuns()
    {
        SandboxHome sandbox;
        InstanceLock running;
        QVERIFY(running.tryLock(QStringLiteral("ANALYSIS")));
        const Run run = RunCli(sandbox, {QStringLiteral("info")});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.err.contains(QStringLiteral("Quorvel est déjà en exécution.")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // Not a file touched: the new user's folders were not even created.
        QCOMPARE(QDir(sandbox.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
