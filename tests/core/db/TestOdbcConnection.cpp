// The ODBC access path for real: db.ini in ODBC mode registers a data source in a private unixODBC configuration,
// the connection opens through Debian's SQLite ODBC driver, and datasets read and write every kind of column.
#include "core/app/Folders.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TAddDSN.h"
#include "support/FixtureDatabase.h"
#include "support/OdbcSandbox.h"

#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Fixture;

namespace {

const QString kDirect = QStringLiteral("direct");

// A value as the database file holds it, read without ODBC: its storage class and its text.
QString Stored(const QString& file, const QString& expression, const QString& table, qint64 key,
               const QString& keyColumn = QStringLiteral("Id")) {
    QString result;
    if (!OpenDatabaseFile(kDirect, file)) return QStringLiteral("<cannot open>");
    {
        QSqlQuery query(QSqlDatabase::database(kDirect, false));
        if (query.exec(QStringLiteral("SELECT typeof(%1), %1 FROM %2 WHERE %3=%4")
                           .arg(expression, table, keyColumn, QString::number(key))) &&
            query.next())
            result = query.value(0).toString() + QLatin1Char(':') + query.value(1).toString();
        else
            result = QStringLiteral("<no row>");
    }
    CloseDatabase(kDirect);
    return result;
}

qint64 DirectInteger(const QString& file, const QString& statement) {
    if (!OpenDatabaseFile(kDirect, file)) return -2;
    const qint64 value = QueryInteger(statement, kDirect);
    CloseDatabase(kDirect);
    return value;
}

} // namespace

class TestOdbcConnection : public QObject {
    Q_OBJECT

    std::unique_ptr<OdbcSandbox> m_odbc;
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<FixtureDatabase> m_fixture;

    // A data folder holding db.ini and the filled database in Data/Access/, loaded as start-up does.
    void startWith(const QString& provider, const QString& dataSource,
                   const QString& odbcPath = QStringLiteral("Access\\KESTOVRAN.MDB"), bool withDatabase = true) {
        m_data = std::make_unique<QTemporaryDir>();
        m_fixture = std::make_unique<FixtureDatabase>(m_data->path() + QStringLiteral("/Data/"));
        QString error;
        if (withDatabase) QVERIFY2(m_fixture->build(&error), qPrintable(error));
        QVERIFY2(LoadTestDatabaseSettings(m_data->path(), provider, dataSource, &error, odbcPath), qPrintable(error));
        QCOMPARE(DatabaseFile(), m_fixture->databaseFile());
    }

    QString databaseFile() const { return m_fixture->databaseFile(); }

private slots:
    void initTestCase() {
        // Before any ODBC call: unixODBC reads its configuration folders once.
        m_odbc = std::make_unique<OdbcSandbox>();
        QVERIFY2(m_odbc->isValid(), qPrintable(m_odbc->error()));
    }

    void cleanup() { CloseDatabase(kMainConnection); }

    void startUpRegistersTheDataSourceOnTheDatabaseFile() {
        startWith(QStringLiteral("ODBC"), QStringLiteral("KESTOVRAN"));
        QCOMPARE(m_odbc->dataSourceValue(QStringLiteral("KESTOVRAN"), QStringLiteral("Database")), databaseFile());
        // db.ini still names the Access driver of older installations; the data source uses the SQLite one.
        QCOMPARE(CurrentDatabaseSettings().odbcDriver, QStringLiteral("Microsoft Access Driver (*.mdb)"));
        QCOMPARE(m_odbc->dataSourceValue(QStringLiteral("KESTOVRAN"), QStringLiteral("Driver")), kSqliteOdbcDriver);

        QString error;
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));
        QVERIFY(QSqlDatabase::database(kMainConnection, false).isOpen());
        QCOMPARE(QSqlDatabase::database(kMainConnection, false).driverName(), QStringLiteral("QODBC"));
        QCOMPARE(QueryInteger(QStringLiteral("SELECT count(*) FROM PERSON"), kMainConnection), qint64(kPersonCount));

        // The next start, with the data somewhere else, points the same data source at the new file.
        CloseDatabase(kMainConnection);
        const QString first = databaseFile();
        startWith(QStringLiteral("ODBC"), QStringLiteral("KESTOVRAN"));
        QVERIFY(databaseFile() != first);
        QCOMPARE(m_odbc->dataSourceValue(QStringLiteral("KESTOVRAN"), QStringLiteral("Database")), databaseFile());
    }

    void noDataSourceIsRegisteredWithoutTheDatabaseFile() {
        startWith(QStringLiteral("ODBC"), QStringLiteral("SANS_FICHIER"), QStringLiteral("Access\\KESTOVRAN.MDB"),
                  false);
        QVERIFY(m_odbc->dataSourceValue(QStringLiteral("SANS_FICHIER"), QStringLiteral("Driver")).isEmpty());
        // No connection is attempted on a database that is not there.
        QVERIFY(OpenDatabase(kMainConnection));
        QVERIFY(!QSqlDatabase::database(kMainConnection, false).isOpen());
    }

    void registeringCreatesTheDataSourcesFileWhenMissing() {
        // Debian ships an empty system odbc.ini, but a user's own file does not exist before the first data source.
        QVERIFY(QFile::remove(m_odbc->dataSourcesFile()));
        startWith(QStringLiteral("ODBC"), QStringLiteral("PREMIER"));
        const QString registered = m_odbc->dataSourceValue(QStringLiteral("PREMIER"), QStringLiteral("Database"));
        if (!QFile::exists(m_odbc->dataSourcesFile())) {
            QFile restored(m_odbc->dataSourcesFile());
            QVERIFY(restored.open(QIODevice::WriteOnly));
        }
        QCOMPARE(registered, databaseFile());
    }

    void aLowerCaseProviderIsRefused() {
        startWith(QStringLiteral("odbc"), QStringLiteral("MINUSCULES"));
        QVERIFY(DatabaseRelativePath().isEmpty());
        QVERIFY(m_odbc->dataSourceValue(QStringLiteral("MINUSCULES"), QStringLiteral("Driver")).isEmpty());
        QString error;
        QVERIFY(!OpenDatabase(kMainConnection, &error));
        QVERIFY(!QSqlDatabase::database(kMainConnection, false).isOpen());
        QVERIFY2(error.contains(QStringLiteral("\"odbc\"")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("\"OLEDB\"")) && error.contains(QStringLiteral("\"ODBC\"")),
                 qPrintable(error));
    }

    void aMissingDataSourceGivesTheDriverMessage() {
        // With [ODBC] Path empty nothing is registered: the data source must exist already.
        startWith(QStringLiteral("ODBC"), QStringLiteral("INCONNUE"), QString());
        QString error;
        QVERIFY(!OpenDatabase(kMainConnection, &error));
        QVERIFY(!QSqlDatabase::database(kMainConnection, false).isOpen());
        QVERIFY2(error.contains(QStringLiteral("not found"), Qt::CaseInsensitive), qPrintable(error));
    }

    void aDataSourceSetUpByTheUserIsUsedAsItIs() {
        // Another file than the one of db.ini: the connection follows the data source.
        FixtureDatabase elsewhere;
        QString error;
        QVERIFY2(elsewhere.build(&error), qPrintable(error));
        TAddDSN dsn;
        dsn.DSN_Name = QStringLiteral("MANUELLE");
        dsn.DSN_Path = elsewhere.databaseFile();
        QVERIFY2(dsn.execute(&error), qPrintable(error));

        startWith(QStringLiteral("ODBC"), QStringLiteral("MANUELLE"), QString());
        QCOMPARE(m_odbc->dataSourceValue(QStringLiteral("MANUELLE"), QStringLiteral("Database")),
                 elsewhere.databaseFile());
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));
        Dataset query(QStringLiteral("Query"));
        QVERIFY2(
            ExecSql(query, QStringLiteral("DELETE FROM Event WHERE Event.Id_Ref=") + QString::number(kDupont), &error),
            qPrintable(error));
        CloseDatabase(kMainConnection);
        QCOMPARE(DirectInteger(elsewhere.databaseFile(), QStringLiteral("SELECT count(*) FROM EVENT")), qint64(1));
        QCOMPARE(DirectInteger(databaseFile(), QStringLiteral("SELECT count(*) FROM EVENT")), qint64(4));
    }

    void aDataSourceWhoseFileIsGoneDoesNotCreateAnEmptyDatabase() {
        // The data source was registered on a second file that has since gone; db.ini's own file is there.
        startWith(QStringLiteral("ODBC"), QStringLiteral("DISPARUE"), QStringLiteral("Access\\AUTRE.MDB"));
        const QString gone = m_fixture->dbDir() + QStringLiteral("Access/AUTRE.MDB");
        QString error;
        QVERIFY2(CopyDatabaseFile(databaseFile(), gone, &error), qPrintable(error));
        CreateDataSource(QStringLiteral("DISPARUE"), QString(), gone);
        QCOMPARE(m_odbc->dataSourceValue(QStringLiteral("DISPARUE"), QStringLiteral("Database")), gone);
        QVERIFY(QFile::remove(gone));

        const bool opened = OpenDatabase(kMainConnection, &error);
        const bool created = QFile::exists(gone);
        QFile::remove(gone);
        QVERIFY2(!created, "an empty database file was created");
        QVERIFY(!opened);
        QVERIFY(!error.isEmpty());
    }

    void columnsReadSensibly() {
        startWith(QStringLiteral("ODBC"), QStringLiteral("KESTOVRAN"));
        QString error;
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));

        Dataset results(QStringLiteral("Analysis"));
        results.setSql({QStringLiteral("SELECT * FROM [ANALYSIS]"),
                        QStringLiteral("WHERE ID_REF=") + QString::number(kDupontGlycemie),
                        QStringLiteral("ORDER BY DATE_ANALYSIS")});
        QVERIFY2(results.open(&error), qPrintable(error));
        QCOMPARE(results.recordCount(), kDupontGlycemieResults);
        // A date column: a QDate, or ISO text; shown as ISO text either way.
        const QVariant date = results.value(QStringLiteral("Date_Analysis"));
        QVERIFY2(date.metaType().id() == QMetaType::QDate || date.metaType().id() == QMetaType::QString,
                 date.metaType().name());
        QCOMPARE(results.asDate(QStringLiteral("Date_Analysis")), QDate(2023, 6, 1));
        QCOMPARE(results.asString(QStringLiteral("Date_Analysis")), QStringLiteral("2023-06-01"));
        QCOMPARE(results.value(QStringLiteral("Value_Analysis")).metaType().id(), int(QMetaType::Double));
        QCOMPARE(results.asDouble(QStringLiteral("Value_Analysis")), 0.92);
        QCOMPARE(results.asInteger(QStringLiteral("Id_Ref")), kDupontGlycemie);
        QVERIFY(results.isNull(QStringLiteral("Remark1")));
        QCOMPARE(results.asString(QStringLiteral("Time_Analysis")), QStringLiteral("08:00"));

        Dataset persons(QStringLiteral("Person"));
        persons.setSql({QStringLiteral("SELECT * FROM PERSON WHERE Id=") + QString::number(kDupont)});
        QVERIFY2(persons.open(&error), qPrintable(error));
        QCOMPARE(persons.asString(QStringLiteral("ForeName")), QStringLiteral("Émile"));
        QCOMPARE(persons.asString(QStringLiteral("Misc11")), QStringLiteral("Allergie à la pénicilline"));
        QCOMPARE(persons.value(QStringLiteral("ImgMini1")).metaType().id(), int(QMetaType::QByteArray));
        QCOMPARE(persons.asBytes(QStringLiteral("ImgMini1")), kThumbnailBytes);
        QVERIFY(persons.isNull(QStringLiteral("Img1")));
        QCOMPARE(persons.asDouble(QStringLiteral("BirthDay_Size")), 50.5);
        QCOMPARE(persons.asInteger(QStringLiteral("AnalysisMode")), qint64(1));
        QCOMPARE(persons.asString(QStringLiteral("BirthDay_Date")), QStringLiteral("12/05/1980"));

        // A person above 16 bits keeps its full Id.
        QCOMPARE(QueryInteger(QStringLiteral("SELECT Id FROM PERSON WHERE Name='martin'"), kMainConnection), kMartin);
    }

    void datasetsWriteBackThroughOdbc() {
        startWith(QStringLiteral("ODBC"), QStringLiteral("KESTOVRAN"));
        QString error;
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));

        // A new result, as the add-result command makes it.
        Dataset results(QStringLiteral("Analysis"));
        results.setSql({QStringLiteral("SELECT * FROM [ANALYSIS]"),
                        QStringLiteral("WHERE ID_REF=") + QString::number(kMartinGlycemie),
                        QStringLiteral("ORDER BY DATE_ANALYSIS")});
        results.onNewRecord = [](Dataset& row) {
            row.setValue(QStringLiteral("Id_Ref"), kMartinGlycemie);
            row.setValue(QStringLiteral("Date_Analysis"), QDate(2025, 5, 6));
            row.setValue(QStringLiteral("Value_Analysis"), 0);
        };
        QVERIFY2(results.open(&error), qPrintable(error));
        QVERIFY(results.append());
        QVERIFY(results.setValue(QStringLiteral("Value_Analysis"), 5.875));
        QVERIFY(results.setValue(QStringLiteral("Remark1"), QStringLiteral("Après le repas")));
        QVERIFY2(results.post(&error), qPrintable(error));
        const qint64 id = results.asInteger(QStringLiteral("Id"));
        QCOMPARE(id, QueryInteger(QStringLiteral("SELECT max(Id) FROM ANALYSIS"), kMainConnection));

        // Changing an existing result.
        QVERIFY(results.locate(id));
        QVERIFY(results.edit());
        QVERIFY(results.setValue(QStringLiteral("Date_Analysis"), QDate(2025, 5, 7)));
        QVERIFY2(results.post(&error), qPrintable(error));
        QVERIFY2(RefreshKeepingId(results, &error), qPrintable(error));
        QCOMPARE(results.recordCount(), kMartinGlycemieResults + 1);
        QCOMPARE(results.asInteger(QStringLiteral("Id")), id);
        QCOMPARE(results.asDate(QStringLiteral("Date_Analysis")), QDate(2025, 5, 7));

        // A new thumbnail on an image document; a new event of a person above 16 bits.
        Dataset images(QStringLiteral("DocumentImg"));
        images.setSql({QStringLiteral("SELECT * FROM DOCUMENTIMG"), QStringLiteral("WHERE DocumentImg.Id=2")});
        QVERIFY2(images.open(&error), qPrintable(error));
        const QByteArray picture = QByteArray("BM\0\0\xff", 5).repeated(1000);
        QVERIFY(images.edit());
        QVERIFY(images.setValue(QStringLiteral("ImgMini"), picture));
        QVERIFY2(images.post(&error), qPrintable(error));

        Dataset events(QStringLiteral("Event"));
        events.setSql({QStringLiteral("SELECT * FROM EVENT"),
                       QStringLiteral("WHERE Event.Id_Ref=") + QString::number(kMartin),
                       QStringLiteral("ORDER BY DATE_EVENT, TIME_EVENT")});
        QVERIFY2(events.open(&error), qPrintable(error));
        QVERIFY(events.append());
        QVERIFY(events.setValue(QStringLiteral("Id_Ref"), kMartin));
        QVERIFY(events.setValue(QStringLiteral("Date_Event"), QDate(2025, 1, 2)));
        QVERIFY(events.setValue(QStringLiteral("Description"), QStringLiteral("Sortie de l'hôpital")));
        QVERIFY2(events.post(&error), qPrintable(error));
        const qint64 eventKey = events.asInteger(QStringLiteral("RowKey"));
        QVERIFY(eventKey > 0);

        // Deleting until empty, as the record deletion does.
        Dataset files(QStringLiteral("DocumentFile"));
        files.setSql({QStringLiteral("SELECT * FROM DOCUMENTFILE"),
                      QStringLiteral("WHERE DocumentFile.Id_Ref=") + QString::number(kDupont)});
        QVERIFY2(files.open(&error), qPrintable(error));
        QCOMPARE(files.recordCount(), 1);
        while (!files.isEmpty())
            QVERIFY2(files.remove(&error), qPrintable(error));
        CloseDatabase(kMainConnection);

        // What the file holds, read directly: the types the embedded store writes itself.
        QCOMPARE(Stored(databaseFile(), QStringLiteral("Date_Analysis"), QStringLiteral("ANALYSIS"), id),
                 QStringLiteral("text:2025-05-07"));
        QCOMPARE(Stored(databaseFile(), QStringLiteral("Value_Analysis"), QStringLiteral("ANALYSIS"), id),
                 QStringLiteral("real:5.875"));
        QCOMPARE(Stored(databaseFile(), QStringLiteral("Remark1"), QStringLiteral("ANALYSIS"), id),
                 QStringLiteral("text:Après le repas"));
        QCOMPARE(Stored(databaseFile(), QStringLiteral("Id_Ref"), QStringLiteral("ANALYSIS"), id),
                 QStringLiteral("integer:%1").arg(kMartinGlycemie));
        QCOMPARE(Stored(databaseFile(), QStringLiteral("typeof(ImgMini)||length(ImgMini)"),
                        QStringLiteral("DOCUMENTIMG"), 2),
                 QStringLiteral("text:blob%1").arg(picture.size()));
        QCOMPARE(Stored(databaseFile(), QStringLiteral("hex(ImgMini)"), QStringLiteral("DOCUMENTIMG"), 2),
                 QStringLiteral("text:") + QString::fromLatin1(picture.toHex().toUpper()));
        QCOMPARE(Stored(databaseFile(), QStringLiteral("Date_Event"), QStringLiteral("EVENT"), eventKey,
                        QStringLiteral("RowKey")),
                 QStringLiteral("text:2025-01-02"));
        QCOMPARE(DirectInteger(databaseFile(), QStringLiteral("SELECT count(*) FROM DOCUMENTFILE WHERE Id_Ref=1")),
                 qint64(0));
        QCOMPARE(DirectInteger(databaseFile(), QStringLiteral("SELECT count(*) FROM DOCUMENTFILE")), qint64(1));
    }
};

QTEST_GUILESS_MAIN(TestOdbcConnection)
#include "TestOdbcConnection.moc"
