// quorvel-cli as scripts use it: the real executable, in a new user's account.
#include "cli/CommandLine.h"
#include "core/app/InstanceLock.h"
#include "support/CliRun.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void usage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "info";
        QTest::newRow("nothing") << QStringList{} << 2 << "Usage : quorvel-cli";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << "Commande inconnue : frobnicate";
        QTest::newRow("info takes no argument") << QStringList{"info", "x"} << 2 << "info ne prend pas d'argument.";
    }

    void usage() {
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

    void infoPreparesANewUsersDataFolder() {
        SandboxHome sandbox;
        const CliRun run = RunCli(sandbox, {QStringLiteral("info")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString dataDir = sandbox.defaultDataDir();
        const QString programDir = QFileInfo(QStringLiteral(QUORVEL_STAGED_PROGRAM_DIR)).canonicalFilePath() + '/';
        const QStringList lines = run.out.split('\n');
        QCOMPARE(lines.mid(0, 7),
                 (QStringList{"ProgramDir : " + programDir, "DataDir : " + dataDir, "DbDir : " + dataDir + "Data/",
                              "Base de données : " + dataDir + "Data/Access/KESTOVRAN.MDB", "Version : 1.13",
                              "Fournisseur : OLEDB", "Version de la base : 1.13"}));
        for (const char* count : {"  CUSTOMLAB : 1", "  COMBOITEMS : 1", "  OBJECT_VAL_STR : 1", "  PERSON : 0"})
            QVERIFY2(lines.contains(QLatin1String(count)), count);
        for (const char* path : {"Avertissement.txt", "db.ini", "quorvel.ini", "SortList.def", "Export", "Html",
                                 "Backup", "Data/Access/KESTOVRAN.MDB", "Data/Images", "Data/Files"})
            QVERIFY2(QFileInfo::exists(dataDir + QLatin1String(path)), path);
        QVERIFY(!QFileInfo::exists(dataDir + QStringLiteral("write.tmp")));
    }

    void compactKeepsTheDataAndNotesIt() {
        SandboxHome sandbox;
        QCOMPARE(RunCli(sandbox, {QStringLiteral("info")}).status, 0);
        const QString access = sandbox.defaultDataDir() + QStringLiteral("Data/Access/");
        QCOMPARE(Sqlite(access + "KESTOVRAN.MDB", "INSERT INTO PERSON (Name) VALUES ('Durand');"), QString());

        CliRun run = RunCli(sandbox, {QStringLiteral("compact")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.out, QStringLiteral("Compactage effectué.\n"));
        QCOMPARE(Sqlite(access + "KESTOVRAN.MDB", "SELECT Name FROM PERSON; SELECT Description FROM BACKUP;"),
                 QStringLiteral("Durand\nCompactage de la base de données"));
        QVERIFY(!QFileInfo::exists(access + QStringLiteral("KESTOVRAN~.MDB")));

        // A compaction that cannot write its copy leaves the database where and as it was.
        QVERIFY(QDir().mkpath(access + QStringLiteral("KESTOVRAN.MDB.part/blocked")));
        run = RunCli(sandbox, {QStringLiteral("compact")});
        QCOMPARE(run.status, 1);
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(Sqlite(access + "KESTOVRAN.MDB", "SELECT Name FROM PERSON;"), QStringLiteral("Durand"));
        QVERIFY(!QFileInfo::exists(access + QStringLiteral("KESTOVRAN~.MDB")));
    }

    void interruptedCompactionIsRecovered() {
        SandboxHome sandbox;
        QCOMPARE(RunCli(sandbox, {QStringLiteral("info")}).status, 0);
        const QString access = sandbox.defaultDataDir() + QStringLiteral("Data/Access/");
        QCOMPARE(Sqlite(access + "KESTOVRAN.MDB", "INSERT INTO PERSON (Name) VALUES ('Martin');"), QString());
        // Killed after moving the database aside and before its compacted copy was complete.
        QVERIFY(QFile::rename(access + QStringLiteral("KESTOVRAN.MDB"), access + QStringLiteral("KESTOVRAN~.MDB")));
        const CliRun run = RunCli(sandbox, {QStringLiteral("info")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(QStringLiteral("  PERSON : 1")));
        QCOMPARE(Sqlite(access + "KESTOVRAN.MDB", "SELECT Name FROM PERSON;"), QStringLiteral("Martin"));
    }

    void refusedWhileQuorvelRuns() {
        SandboxHome sandbox;
        InstanceLock running;
        QVERIFY(running.tryLock(QStringLiteral("ANALYSIS")));
        const CliRun run = RunCli(sandbox, {QStringLiteral("info")});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.err.contains(QStringLiteral("Quorvel est déjà en exécution.")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // Not a file touched: the new user's folders were not even created.
        QCOMPARE(QDir(sandbox.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
