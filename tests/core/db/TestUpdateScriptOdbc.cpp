// The update engine on the ODBC access path: the tests answer as on the embedded store, statements with "[Name]"
// quoting run, pictures are extracted, and the connection comes back through the data source after a compaction.
#include "core/app/Folders.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/UpdateLog.h"
#include "core/db/UpdateScript.h"
#include "core/imaging/WindowsBitmap.h"
#include "support/FixtureDatabase.h"
#include "support/OdbcSandbox.h"
#include "support/OlderDatabase.h"
#include "support/PictureFixtures.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kScript = QStringLiteral("odbc.maj");

QVariant Value(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(statement) || !query.next()) return QVariant();
    return query.value(0);
}

} // namespace

class TestUpdateScriptOdbc : public QObject {
    Q_OBJECT

    std::unique_ptr<OdbcSandbox> m_odbc;
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<FixtureDatabase> m_fixture;

    bool run(const QByteArray& script, QString* error = nullptr) {
        WriteTestFile(DataDir() + kScript, script);
        UpdateScriptOptions options;
        options.connectionName = kMainConnection;
        options.databaseFolder = DbDir();
        return RunUpdateScript(DataDir(), kScript, options, error);
    }

private slots:
    void initTestCase() {
        // Before any ODBC call: unixODBC reads its configuration folders once.
        m_odbc = std::make_unique<OdbcSandbox>();
        QVERIFY2(m_odbc->isValid(), qPrintable(m_odbc->error()));
    }

    void init() {
        m_data = std::make_unique<QTemporaryDir>();
        m_fixture = std::make_unique<FixtureDatabase>(m_data->path() + QStringLiteral("/Data/"));
        QString error;
        QVERIFY2(m_fixture->build(&error), qPrintable(error));
        QVERIFY2(LoadTestDatabaseSettings(m_data->path(), QStringLiteral("ODBC"), QStringLiteral("KESTOVRAN"), &error),
                 qPrintable(error));
        SetProgramDir(m_data->path() + QStringLiteral("/program/"));
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));
        QCOMPARE(QSqlDatabase::database(kMainConnection).driverName(), QStringLiteral("QODBC"));
    }

    void cleanup() { CloseDatabase(kMainConnection); }

    void testsAnswerAsOnTheEmbeddedStore_data() {
        QTest::addColumn<QString>("test");
        QTest::addColumn<bool>("blockRuns");
        QTest::newRow("table there") << "NotTableExists(person)" << false;
        QTest::newRow("system table") << "NotTableExists(sqlite_sequence)" << true;
        QTest::newRow("column there") << "NotFieldExists(PERSON.birthday_date)" << false;
        QTest::newRow("autoincrement") << "NotFieldType(PERSON.Id,ftAutoInc)" << false;
        QTest::newRow("memo") << "NotFieldType(PERSON.Org_Secu,ftMemo)" << false;
        QTest::newRow("text") << "NotFieldType(PERSON.Name,ftWideString)" << false;
        QTest::newRow("date") << "NotFieldType(EVENT.Date_Event,ftDateTime)" << false;
        QTest::newRow("small integer") << "NotFieldType(PERSON.Id_File,ftInteger)" << true;
        QTest::newRow("rows") << "TableEmpty(PERSON)" << false;
    }

    void testsAnswerAsOnTheEmbeddedStore() {
        QFETCH(QString, test);
        QFETCH(bool, blockRuns);
        QString error;
        QVERIFY2(run((test + "\r\nSqlExe{INSERT INTO [Size] (Id_Ref) VALUES (77)}\r\nEND\r\n").toUtf8(), &error),
                 qPrintable(error));
        QCOMPARE(Value("SELECT count(*) FROM \"Size\" WHERE Id_Ref=77").toInt(), blockRuns ? 1 : 0);
    }

    void picturesAndCompactionThroughTheDataSource() {
        QSqlQuery picture(QSqlDatabase::database(kMainConnection));
        picture.prepare(QStringLiteral("UPDATE PERSON SET Img1=? WHERE Id=?"));
        picture.addBindValue(WriteBitmapData(QuadrantBitmap(32, 32)));
        picture.addBindValue(Fixture::kDupont);
        QVERIFY(picture.exec());
        picture.finish();

        QString error;
        QVERIFY2(run("TableExists(PERSON)\r\nExtractImageToJpeg('PERSON','Img1','People')\r\n"
                     "CompactDataBase(KESTOVRAN.MDB)\r\nSqlExe{DELETE FROM [Size]}\r\nEND\r\n",
                     &error),
                 qPrintable(error));
        const QString log = QString::fromUtf8(ReadWholeFile(UpdateLogFile()));
        QVERIFY2(log.contains("Compactage de la base de données (Ok)"), qPrintable(log));
        QVERIFY(QFileInfo::exists(DbDir() + QStringLiteral("Images/People%1.jpg").arg(Fixture::kDupont)));
        QVERIFY(!QFileInfo::exists(DbDir() + "Access/KESTOVRAN~.MDB"));
        QCOMPARE(QSqlDatabase::database(kMainConnection).driverName(), QStringLiteral("QODBC"));
        QCOMPARE(Value("SELECT count(*) FROM PERSON WHERE Img1 IS NOT NULL").toInt(), 0);
        QCOMPARE(Value("SELECT count(*) FROM \"Size\"").toInt(), 0);
        QCOMPARE(Value("SELECT count(*) FROM PERSON").toInt(), Fixture::kPersonCount);
    }

    // The script the program ships brings a 1.12 database reached through the data source to our schema.
    void shippedScriptThroughTheDataSource() {
        CloseDatabase(kMainConnection);
        QString error;
        const QString rows = m_data->path() + QStringLiteral("/rows.MDB");
        QVERIFY2(m_fixture->copyTo(rows, &error), qPrintable(error));
        QVERIFY2(
            BuildOlderDatabase(m_fixture->databaseFile(), Older::kVersion112, QStringLiteral("1.12"), rows, &error),
            qPrintable(error));
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));
        QVERIFY(QDir().mkpath(ProgramDir() + QStringLiteral("Maj")));
        QVERIFY(QFile::copy(StagedUpdateScript(), ProgramDir() + QStringLiteral("Maj/BD_113.maj")));
        UpdateScriptOptions options;
        options.connectionName = kMainConnection;
        options.databaseFolder = DbDir();
        QVERIFY2(RunUpdateScript(ProgramDir() + QStringLiteral("Maj/"), QStringLiteral("BD_113.maj"), options, &error),
                 qPrintable(error));
        CloseDatabase(kMainConnection);
        const QString log = QString::fromUtf8(ReadWholeFile(UpdateLogFile()));
        QVERIFY2(!log.contains(QStringLiteral(" (error : ")), qPrintable(log));
        QCOMPARE(SchemaOf(m_fixture->databaseFile()), SchemaOf(StagedStartingDatabase()));
        QCOMPARE(RowsOf(m_fixture->databaseFile(), QStringLiteral("L_ANALYSIS")),
                 RowsOf(rows, QStringLiteral("L_ANALYSIS")));
    }
};

QTEST_GUILESS_MAIN(TestUpdateScriptOdbc)
#include "TestUpdateScriptOdbc.moc"
