// quorvel-cli update-db, the real executable in a new user's account: a given script, the waiting scripts, and a
// migration of a few thousand pictures killed midway, then run again to its end.
#include "core/db/Connection.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/WindowsBitmap.h"
#include "support/CliRun.h"
#include "support/PictureFixtures.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

constexpr int kPictures = 2500;
constexpr int kPictureSide = 64;

// Persons 1..count, each with a photo as a bitmap in Img1, and the version of an older database.
bool FillWithPictures(const QString& database, int count) {
    const QString connection = QStringLiteral("fill");
    bool done = OpenDatabaseFile(connection, database);
    if (done) {
        QSqlDatabase db = QSqlDatabase::database(connection);
        const QByteArray picture = WriteBitmapData(QuadrantBitmap(kPictureSide, kPictureSide));
        QSqlQuery insert(db);
        done =
            db.transaction() && insert.prepare(QStringLiteral("INSERT INTO PERSON (Id, Name, Img1) VALUES (?, ?, ?)"));
        for (int id = 1; done && id <= count; ++id) {
            insert.addBindValue(id);
            insert.addBindValue(QStringLiteral("Personne %1").arg(id));
            insert.addBindValue(picture);
            done = insert.exec();
        }
        QSqlQuery version(db);
        done = done && version.exec(QStringLiteral("UPDATE OBJECT_VAL_STR SET VALUE='1.12' WHERE ID_CLASS=-99")) &&
               db.commit();
        if (!done) qWarning() << insert.lastError().text();
    }
    CloseDatabase(connection);
    return done;
}

} // namespace

class TestUpdateScriptCli : public QObject {
    Q_OBJECT
private slots:
    void givenScriptRunsAndItsLogIsPrinted() {
        SandboxHome sandbox;
        QCOMPARE(RunCli(sandbox, {QStringLiteral("info")}).status, 0);
        const QString script = sandbox.folder(QStringLiteral("elsewhere")) + QStringLiteral("essai.maj");
        WriteTestFile(script, "//Essai\r\nNotTableExists(NOTES)\r\nSqlExe{CREATE TABLE NOTES (Id INTEGER)}\r\nEND\r\n");
        const CliRun run = RunCli(sandbox, {QStringLiteral("update-db"), QStringLiteral("essai.maj")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith(QStringLiteral(" : Essai")));
        QVERIFY(lines[1].endsWith(QStringLiteral(" : SQL:CREATE TABLE NOTES (Id INTEGER) (Ok)")));
        QVERIFY(lines[2].endsWith(QStringLiteral("MISE A JOUR TERMINE *********************")));
        const QString dataDir = sandbox.defaultDataDir();
        QCOMPARE(Sqlite(dataDir + "Data/Access/KESTOVRAN.MDB", "SELECT count(*) FROM sqlite_master WHERE name='NOTES'"),
                 QStringLiteral("1"));
        // A script named on the command line is not one of the waiting ones: it stays, and no stamp is written.
        QVERIFY(QFileInfo::exists(script));
        QVERIFY(QFileInfo::exists(dataDir + "Maj.Log"));
    }

    void usageAndMissingScript_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("two scripts") << QStringList{"update-db", "a.maj", "b.maj"} << 2;
        QTest::newRow("unknown option") << QStringList{"update-db", "--force"} << 2;
        QTest::newRow("missing script") << QStringList{"update-db", "absent.maj"} << 1;
    }

    void usageAndMissingScript() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        SandboxHome sandbox;
        const CliRun run = RunCli(sandbox, arguments);
        QCOMPARE(run.status, status);
        QVERIFY(!run.err.isEmpty());
    }

    void backupOptionCopiesTheDatabaseFirst() {
        SandboxHome sandbox;
        QCOMPARE(RunCli(sandbox, {QStringLiteral("info")}).status, 0);
        const QString dataDir = sandbox.defaultDataDir();
        WriteTestFile(dataDir + "Vider.maj", "SqlExe{DELETE FROM COMBOITEMS}");
        const CliRun run = RunCli(sandbox, {QStringLiteral("update-db"), QStringLiteral("--backup")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("Souhaitez-vous")));
        const QStringList backups = QDir(dataDir + "Backup/Maj").entryList({"KESTOVRAN_ACCESS_BACKUP_MAJ_*.bkp"});
        QCOMPARE(backups.size(), 1);
        QCOMPARE(Sqlite(dataDir + "Backup/Maj/" + backups[0], "SELECT count(*) FROM COMBOITEMS"), QStringLiteral("1"));
        QCOMPARE(Sqlite(dataDir + "Data/Access/KESTOVRAN.MDB", "SELECT count(*) FROM COMBOITEMS"), QStringLiteral("0"));
        QVERIFY(!QFileInfo::exists(dataDir + "Vider.maj"));
    }

    void killedMigrationLeavesTheDatabaseWholeAndRunsAgain() {
        SandboxHome sandbox;
        QCOMPARE(RunCli(sandbox, {QStringLiteral("info")}).status, 0);
        const QString dataDir = sandbox.defaultDataDir();
        const QString database = dataDir + QStringLiteral("Data/Access/KESTOVRAN.MDB");
        const QString images = dataDir + QStringLiteral("Data/Images/");
        QVERIFY(FillWithPictures(database, kPictures));
        WriteTestFile(dataDir + "Photos.maj", "// Photos\r\nNotFieldExists(PERSON.Email)\r\n"
                                              "SqlExe{ALTER TABLE PERSON ADD COLUMN Email VARCHAR(128)}\r\n"
                                              "ExtractImageToJpeg('PERSON','Img1','People')\r\nEND\r\n");

        QProcess update;
        StartCli(update, sandbox, {QStringLiteral("update-db")});
        QVERIFY(update.waitForStarted());
        // Killed once a good part of the pictures has been written.
        QElapsedTimer clock;
        clock.start();
        QByteArray printed;
        while (printed.count("Conversion de l'image") < kPictures / 4 && clock.elapsed() < 60000 &&
               update.state() == QProcess::Running) {
            update.waitForReadyRead(100);
            printed += update.readAllStandardOutput();
        }
        QVERIFY2(update.state() == QProcess::Running, "the migration ended before it could be killed");
        update.kill();
        QVERIFY(update.waitForFinished());
        QVERIFY(!printed.contains("MISE A JOUR TERMINE"));

        QCOMPARE(Sqlite(database, "PRAGMA integrity_check"), QStringLiteral("ok"));
        // The block is undone whole: no column added, every picture still in the table, the old version.
        QCOMPARE(Sqlite(database, "SELECT count(*) FROM pragma_table_info('PERSON') WHERE name='Email'"),
                 QStringLiteral("0"));
        QCOMPARE(Sqlite(database, "SELECT count(*) FROM PERSON WHERE Img1 IS NOT NULL"), QString::number(kPictures));
        QCOMPARE(Sqlite(database, "SELECT VALUE FROM OBJECT_VAL_STR WHERE ID_CLASS=-99"), QStringLiteral("1.12"));
        QVERIFY(QFileInfo::exists(dataDir + "Photos.maj"));

        const CliRun again = RunCli(sandbox, {QStringLiteral("update-db")});
        QVERIFY2(again.status == 0, qPrintable(again.err));
        QVERIFY(again.out.contains(QStringLiteral("MISE A JOUR TERMINE")));
        QCOMPARE(Sqlite(database, "SELECT count(*) FROM PERSON WHERE Img1 IS NOT NULL"), QStringLiteral("0"));
        QCOMPARE(Sqlite(database, "SELECT count(*) FROM pragma_table_info('PERSON') WHERE name='Email'"),
                 QStringLiteral("1"));
        QCOMPARE(Sqlite(database, "SELECT VALUE FROM OBJECT_VAL_STR WHERE ID_CLASS=-99"), QStringLiteral("1.13"));
        QVERIFY(!QFileInfo::exists(dataDir + "Photos.maj"));
        QCOMPARE(QDir(images).entryList({"People*.jpg"}, QDir::Files).size(), kPictures);
        for (int id = 1; id <= kPictures; ++id) {
            QImage picture;
            QVERIFY2(JpegLoadBitmap(&picture, images + QStringLiteral("People%1.jpg").arg(id)),
                     qPrintable(QString::number(id)));
            QCOMPARE(picture.size(), QSize(kPictureSide, kPictureSide));
        }
    }
};

QTEST_GUILESS_MAIN(TestUpdateScriptCli)
#include "TestUpdateScriptCli.moc"
