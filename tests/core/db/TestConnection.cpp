// Opening the database that db.ini designates, refusing what is not a database, and compaction.
#include "core/app/Folders.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/DbVersion.h"
#include "support/SandboxHome.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString kStartingDatabase = QStringLiteral(QUORVEL_STAGED_PROGRAM_DIR "/Ressources/DB/Data/Access/KESTOVRAN.MDB");

QByteArray Content(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A data folder whose db.ini has the given provider, with the starting database in place when asked.
void PrepareDataFolder(const SandboxHome& sandbox, const QString& provider, bool withDatabase) {
    SetProgramDir(sandbox.folder(QStringLiteral("program")));
    SetDataDir(sandbox.folder(QStringLiteral("data")));
    WriteTestFile(DataDir() + QStringLiteral("db.ini"), ("[DataBase]\nProvider=" + provider + "\n").toUtf8());
    QVERIFY(LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                 QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\")));
    if (withDatabase) WriteTestFile(DatabaseFile(), Content(kStartingDatabase));
}

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { CloseDatabase(kMainConnection); }

    void opensTheStartingDatabase() {
        SandboxHome sandbox;
        PrepareDataFolder(sandbox, QStringLiteral("OLEDB"), true);
        QString error;
        QVERIFY(AdoAvailable(&error));
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));
        QVERIFY(QSqlDatabase::database(kMainConnection).isOpen());
        QCOMPARE(VersionColumn(kMainConnection), QStringLiteral("VALUE"));
        QCOMPARE(GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
                 QStringLiteral("1.13"));
    }

    void missingDatabaseIsNotCreated() {
        SandboxHome sandbox;
        PrepareDataFolder(sandbox, QStringLiteral("OLEDB"), false);
        QVERIFY(OpenDatabase(kMainConnection));
        QVERIFY(!QSqlDatabase::database(kMainConnection, false).isOpen());
        QVERIFY(!QFileInfo::exists(DatabaseFile()));
    }

    void unknownProviderFailsClearly_data() {
        QTest::addColumn<QString>("provider");
        QTest::newRow("lower case") << "odbc";
        QTest::newRow("other") << "MSDASQL";
    }

    void unknownProviderFailsClearly() {
        QFETCH(QString, provider);
        SandboxHome sandbox;
        PrepareDataFolder(sandbox, provider, true);
        QString error;
        QVERIFY(!OpenDatabase(kMainConnection, &error));
        QVERIFY2(error.contains(QStringLiteral("Fournisseur de données inconnu")), qPrintable(error));
        QVERIFY(error.contains(provider));
    }

    void foreignFileIsRefusedUntouched_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("Jet file") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2000, 'j');
        QTest::newRow("text") << QByteArray("not a database at all\n");
        QTest::newRow("truncated SQLite") << Content(kStartingDatabase).left(1000);
    }

    void foreignFileIsRefusedUntouched() {
        QFETCH(QByteArray, content);
        SandboxHome sandbox;
        PrepareDataFolder(sandbox, QStringLiteral("OLEDB"), false);
        WriteTestFile(DatabaseFile(), content);
        QString error;
        QVERIFY(!OpenDatabase(kMainConnection, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QSqlDatabase::contains(kMainConnection));
        QCOMPARE(Content(DatabaseFile()), content);
    }

    void compactionWritesACompleteCopy() {
        SandboxHome sandbox;
        PrepareDataFolder(sandbox, QStringLiteral("OLEDB"), true);
        const QString target = DbDir() + QStringLiteral("Access/KESTOVRAN~.MDB");
        WriteTestFile(target, "older copy");
        QString error;
        QVERIFY2(CompactDatabaseFile(DatabaseFile(), target, &error), qPrintable(error));
        QVERIFY(!QFileInfo::exists(target + QStringLiteral(".part")));
        QVERIFY(OpenDatabaseFile(kMainConnection, target, &error));
        QSqlQuery check(QSqlDatabase::database(kMainConnection));
        QVERIFY(check.exec(QStringLiteral("SELECT Misc12 FROM CUSTOMLAB")) && check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("Divers 12"));
    }

    void compactionRefusesAnOpenSourceAndBadInput() {
        SandboxHome sandbox;
        PrepareDataFolder(sandbox, QStringLiteral("OLEDB"), true);
        const QString target = DbDir() + QStringLiteral("copy.MDB");
        QString error;
        QVERIFY(OpenDatabase(kMainConnection, &error));
        QVERIFY(!CompactDatabaseFile(DatabaseFile(), target, &error));
        QVERIFY2(error.contains(QStringLiteral("en cours d'utilisation")), qPrintable(error));
        CloseDatabase(kMainConnection);

        WriteTestFile(DbDir() + QStringLiteral("broken.MDB"), "garbage");
        QVERIFY(!CompactDatabaseFile(DbDir() + QStringLiteral("broken.MDB"), target, &error));
        QVERIFY(!CompactDatabaseFile(DbDir() + QStringLiteral("missing.MDB"), target, &error));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(!QFileInfo::exists(target + QStringLiteral(".part")));
    }

    void otherToolsReadTheFile() {
        // The database stays a plain SQLite file: the standard tool opens it and its sorting works there too.
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"),
                     {kStartingDatabase, QStringLiteral("PRAGMA integrity_check; SELECT VALUE "
                                                        "FROM OBJECT_VAL_STR; SELECT Name "
                                                        "FROM PERSON ORDER BY Name;")});
        QVERIFY(sqlite.waitForFinished(10000));
        QCOMPARE(sqlite.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(sqlite.readAllStandardOutput()), QStringLiteral("ok\n1.13\n"));
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "TestConnection.moc"
