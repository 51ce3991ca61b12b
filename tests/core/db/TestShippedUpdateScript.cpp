// The update script the program ships (Maj/BD_113.maj, as the build stages it): a current database goes through it
// unchanged; an older one, or one that lacks a part of ours, comes out with the starting database's tables, columns,
// types and indexes, every row it held, its counters, its pictures moved to files, and the 1.13 stamp; a second run
// changes nothing; a table whose rows cannot all be copied stops the update with that table as it was.
#include "core/app/Folders.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/DbVersion.h"
#include "core/db/StartupUpdate.h"
#include "core/db/UpdateLog.h"
#include "core/db/UpdateScript.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/WindowsBitmap.h"
#include "core/startup/Startup.h"
#include "support/FixtureDatabase.h"
#include "support/OlderDatabase.h"
#include "support/PictureFixtures.h"
#include "support/RecordingMessages.h"
#include "support/UpdateFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kScript = QStringLiteral("BD_113.maj");
const QString kBanner = QStringLiteral("MISE A JOUR TERMINE");

QString Version() {
    return GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), VersionColumn(kMainConnection));
}

QString Log() {
    return QString::fromUtf8(ReadWholeFile(UpdateLogFile()));
}

QString IntegrityOf(const QString& database) {
    const QString connection = QStringLiteral("integrity");
    QString result;
    if (OpenDatabaseFile(connection, database)) {
        QSqlQuery query(QSqlDatabase::database(connection, false));
        if (query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next()) result = query.value(0).toString();
    }
    CloseDatabase(connection);
    return result;
}

bool SetPicture(const QString& database, const QString& table, const QString& column, qint64 id,
                const QByteArray& bytes) {
    const QString connection = QStringLiteral("pictures");
    bool done = OpenDatabaseFile(connection, database);
    if (done) {
        QSqlQuery query(QSqlDatabase::database(connection, false));
        done = query.prepare(QStringLiteral("UPDATE %1 SET %2=? WHERE Id=%3").arg(table, column).arg(id));
        query.addBindValue(bytes);
        done = done && query.exec() && query.numRowsAffected() == 1;
    }
    CloseDatabase(connection);
    return done;
}

struct Snapshot {
    QMap<QString, QString> schema;
    QMap<QString, QStringList> content;
    QMap<QString, qint64> counters;
    bool operator==(const Snapshot&) const = default;
};

Snapshot SnapshotOf(const QString& database) {
    return {SchemaOf(database), ContentOf(database), CountersOf(database)};
}

} // namespace

class TestShippedUpdateScript : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(PrepareUpdateFolders(m_root->path(), &error), qPrintable(error));
        // The build stages the script where start-up and restoration look for it.
        QVERIFY2(QFile::copy(StagedUpdateScript(), ProgramDir() + QStringLiteral("Maj/") + kScript),
                 qPrintable(StagedUpdateScript()));
        QCOMPARE(DatabaseFile(), DbDir() + QStringLiteral("Access/KESTOVRAN.MDB"));
    }

    void cleanup() {
        CloseDatabase(kMainConnection);
        m_root.reset();
    }

    void currentDatabaseIsLeftAsItIs_data() {
        QTest::addColumn<bool>("filled");
        QTest::newRow("starting database") << false;
        QTest::newRow("filled database") << true;
    }

    void currentDatabaseIsLeftAsItIs() {
        QFETCH(bool, filled);
        QString error;
        FixtureDatabase fixture(DbDir());
        QVERIFY2(filled ? fixture.build(&error) : CopyStartingDatabase(DatabaseFile(), &error), qPrintable(error));
        const Snapshot before = SnapshotOf(DatabaseFile());

        QVERIFY2(runScript(&error), qPrintable(error));
        QCOMPARE(Version(), QStringLiteral("1.13"));
        CloseDatabase(kMainConnection);

        const Snapshot after = SnapshotOf(DatabaseFile());
        QCOMPARE(after.schema, before.schema);
        QCOMPARE(after.content, before.content);
        QCOMPARE(after.counters, before.counters);
        const QString log = Log();
        QVERIFY2(!log.contains(QStringLiteral(" (error : ")), qPrintable(log));
        QCOMPARE(log.count(kBanner), 1);
        QVERIFY(QDir(DbDir() + QStringLiteral("Images")).entryList(QDir::Files).isEmpty());
    }

    void olderDatabaseComesOutWhole_data() {
        QTest::addColumn<int>("differences");
        QTest::addColumn<bool>("pictures");
        using namespace Older;
        QTest::newRow("1.12, pictures inside") << kVersion112 << true;
        QTest::newRow("version in VAL") << int(VersionInVal) << false;
        QTest::newRow("16-bit references") << int(NarrowReferences) << false;
        QTest::newRow("no document kind") << int(NoDocumentKind) << false;
        QTest::newRow("no result time") << int(NoResultTime) << false;
        QTest::newRow("no trees") << int(NoTrees) << false;
        QTest::newRow("no history table") << int(NoHistory) << false;
        QTest::newRow("no legacy tables") << int(NoLegacyTables) << false;
        QTest::newRow("no indexes") << int(NoIndexes) << false;
        QTest::newRow("no labels row") << int(NoLabelsRow) << false;
        QTest::newRow("no pick-list row") << int(NoPickListRow) << false;
        QTest::newRow("everything missing")
            << (kVersion112 | NoHistory | NoLegacyTables | NoIndexes | NoLabelsRow | NoPickListRow) << true;
    }

    void olderDatabaseComesOutWhole() {
        QFETCH(int, differences);
        QFETCH(bool, pictures);
        using namespace Older;
        QString error;
        FixtureDatabase reference(m_root->path() + QStringLiteral("/reference/"));
        QVERIFY2(reference.build(&error), qPrintable(error));
        QVERIFY2(
            BuildOlderDatabase(DatabaseFile(), differences, QStringLiteral("1.12"), reference.databaseFile(), &error),
            qPrintable(error));
        const QImage photo = QuadrantBitmap(24, 16);
        const QImage page = QuadrantBitmap(10, 30);
        if (pictures) {
            QVERIFY(SetPicture(DatabaseFile(), QStringLiteral("PERSON"), QStringLiteral("Img1"), Fixture::kMartin,
                               WriteBitmapData(photo)));
            QVERIFY(SetPicture(DatabaseFile(), QStringLiteral("DOCUMENTIMG"), QStringLiteral("Img"), 2,
                               WriteBitmapData(page)));
        }
        const QMap<QString, qint64> countersBefore = CountersOf(DatabaseFile());
        const Snapshot older = SnapshotOf(DatabaseFile());

        // What the reference becomes in a database that lacked those parts.
        const QString expected = m_root->path() + QStringLiteral("/expected.MDB");
        QVERIFY(reference.copyTo(expected, &error));
        QStringList adjustments;
        if (differences & NoDocumentKind)
            adjustments << QStringLiteral("UPDATE DOCUMENTIMG SET DoType=1; UPDATE DOCUMENTFILE SET DoType=1");
        if (differences & NoResultTime) adjustments << QStringLiteral("UPDATE ANALYSIS SET Time_Analysis=NULL");
        if (differences & NoTrees)
            adjustments << QStringLiteral("DELETE FROM STAT_TREE; DELETE FROM STAT_QUERY; DELETE FROM SQL_TREE; "
                                          "DELETE FROM SQL_QUERY");
        if (differences & NoHistory) adjustments << QStringLiteral("DELETE FROM BACKUP");
        if (differences & NoLegacyTables)
            adjustments << QStringLiteral("DELETE FROM Weight; DELETE FROM [Size]; DELETE FROM [Action]; "
                                          "DELETE FROM Vaccine");
        if (!adjustments.isEmpty())
            QVERIFY2(ExecuteOn(expected, adjustments.join(QLatin1Char(';')), &error), qPrintable(error));

        QVERIFY2(OpenDatabaseFile(kMainConnection, DatabaseFile(), &error), qPrintable(error));
        QStringList labels;
        QVERIFY2(
            UpdateRestoredDatabase(UpdateFeedback{nullptr, [&](const QString& text) { labels << text; }, {}}, &error),
            qPrintable(error));
        QCOMPARE(Version(), QStringLiteral("1.13"));
        QCOMPARE(VersionColumn(kMainConnection), QStringLiteral("VALUE"));
        CloseDatabase(kMainConnection);
        QVERIFY(labels.contains(QStringLiteral("Mise à jour de la base de données ...")));
        const QString log = Log();
        QVERIFY2(!log.contains(QStringLiteral(" (error : ")), qPrintable(log));
        QCOMPARE(log.count(kBanner), 1);

        QCOMPARE(SchemaOf(DatabaseFile()), SchemaOf(StagedStartingDatabase()));
        QCOMPARE(IntegrityOf(DatabaseFile()), QStringLiteral("ok"));
        const QMap<QString, QStringList> wanted = ContentOf(expected);
        QCOMPARE(ContentOf(DatabaseFile()).keys(), wanted.keys());
        for (const QString& table : wanted.keys()) {
            // A starting row added again gets a new key.
            QStringList keys;
            if (table == QStringLiteral("CUSTOMLAB") && (differences & NoLabelsRow)) keys << QStringLiteral("RowKey");
            if (table == QStringLiteral("COMBOITEMS") && (differences & NoPickListRow)) keys << QStringLiteral("Id");
            QCOMPARE(RowsOf(DatabaseFile(), table, keys), RowsOf(expected, table, keys));
        }
        // Counters stay above every Id ever given, so that no file is named after a used Id again.
        const QMap<QString, qint64> counters = CountersOf(DatabaseFile());
        for (auto counter = countersBefore.cbegin(); counter != countersBefore.cend(); ++counter) {
            const bool added = (counter.key() == QStringLiteral("CUSTOMLAB") && (differences & NoLabelsRow)) ||
                               (counter.key() == QStringLiteral("COMBOITEMS") && (differences & NoPickListRow));
            QCOMPARE(counters.value(counter.key()), counter.value() + (added ? 1 : 0));
        }

        if (pictures) {
            for (const auto& [file, picture] : {std::pair{QStringLiteral("People%1.jpg").arg(Fixture::kMartin), photo},
                                                std::pair{QStringLiteral("Doc2.jpg"), page}}) {
                QImage stored;
                QVERIFY2(JpegLoadBitmap(&stored, DbDir() + QStringLiteral("Images/") + file, &error), qPrintable(file));
                QCOMPARE(stored.size(), picture.size());
            }
        }

        // Everything is there now: a second run finds each part done.
        const Snapshot updated = SnapshotOf(DatabaseFile());
        QVERIFY(!(updated == older));
        QVERIFY2(OpenDatabaseFile(kMainConnection, DatabaseFile(), &error), qPrintable(error));
        QVERIFY2(runScript(&error), qPrintable(error));
        CloseDatabase(kMainConnection);
        QVERIFY(SnapshotOf(DatabaseFile()) == updated);
        QVERIFY(!Log().contains(QStringLiteral(" (error : ")));
    }

    void incompleteCopyStopsTheUpdate() {
        QString error;
        FixtureDatabase reference(m_root->path() + QStringLiteral("/reference/"));
        QVERIFY2(reference.build(&error), qPrintable(error));
        // Events without their key cannot be copied into the new table.
        QVERIFY2(BuildOlderDatabase(DatabaseFile(), Older::kVersion112 | Older::EventsWithoutKey,
                                    QStringLiteral("1.12"), reference.databaseFile(), &error),
                 qPrintable(error));
        const QStringList events = RowsOf(DatabaseFile(), QStringLiteral("EVENT"));
        QCOMPARE(events.size(), RowsOf(reference.databaseFile(), QStringLiteral("EVENT")).size());
        const QString eventTable = SchemaOf(DatabaseFile()).value(QStringLiteral("table EVENT"));

        QVERIFY2(OpenDatabaseFile(kMainConnection, DatabaseFile(), &error), qPrintable(error));
        QVERIFY(!UpdateRestoredDatabase({}, &error));
        QVERIFY2(error.contains(QStringLiteral("Recopie_Complete")), qPrintable(error));
        QCOMPARE(Version(), QStringLiteral("1.12"));
        CloseDatabase(kMainConnection);

        QCOMPARE(RowsOf(DatabaseFile(), QStringLiteral("EVENT")), events);
        const QMap<QString, QString> schema = SchemaOf(DatabaseFile());
        QCOMPARE(schema.value(QStringLiteral("table EVENT")), eventTable);
        QVERIFY(!schema.contains(QStringLiteral("table EVENT_112")));
        QVERIFY(!Log().contains(kBanner));
        QCOMPARE(IntegrityOf(DatabaseFile()), QStringLiteral("ok"));
    }

    void startUpTakesTheShippedScript() {
        QString error;
        QVERIFY2(BuildOlderDatabase(DatabaseFile(), Older::kVersion112, QStringLiteral("1.12"), {}, &error),
                 qPrintable(error));
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));
        RecordingMessages messages;
        QVERIFY(PrepareDatabaseVersion());
        QCOMPARE(messages.messages.size(), 1); // the backup question, answered No
        QCOMPARE(Version(), QStringLiteral("1.13"));
        CloseDatabase(kMainConnection);
        QCOMPARE(SchemaOf(DatabaseFile()), SchemaOf(StagedStartingDatabase()));
        QVERIFY(!QFileInfo::exists(DataDir() + kScript));
        QVERIFY(QFileInfo::exists(ProgramDir() + QStringLiteral("Maj/") + kScript));
    }

private:
    bool runScript(QString* error) {
        if (!QSqlDatabase::database(kMainConnection, false).isOpen() &&
            !OpenDatabaseFile(kMainConnection, DatabaseFile(), error))
            return false;
        UpdateScriptOptions options;
        options.connectionName = kMainConnection;
        options.databaseFolder = DbDir();
        return RunUpdateScript(ProgramDir() + QStringLiteral("Maj/"), kScript, options, error);
    }

    std::unique_ptr<QTemporaryDir> m_root;
};

QTEST_GUILESS_MAIN(TestShippedUpdateScript)
#include "TestShippedUpdateScript.moc"
