// The updates of the start-up (the scripts waiting in the data folder, the database kept beside the program) and of
// a restoration: which scripts run, the backup question, deletion, the version stamp, and a failure that stops.
#include "core/app/DateRoutines.h"
#include "core/app/Folders.h"
#include "core/app/ProgressReporter.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/DbVersion.h"
#include "core/db/StartupUpdate.h"
#include "core/db/UpdateLog.h"
#include "core/imaging/WindowsBitmap.h"
#include "core/startup/Startup.h"
#include "support/FixtureDatabase.h"
#include "support/PictureFixtures.h"
#include "support/RecordingMessages.h"
#include "support/SandboxHome.h"
#include "support/UpdateFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kShippedScript = QStringLiteral("BD_113.maj");
const QString kCreateNotes =
    QStringLiteral("NotTableExists(NOTES)\r\nSqlExe{CREATE TABLE NOTES (Id INTEGER)}\r\nEND\r\n");

bool Exec(const QString& connection, const QString& statement, const QVariantList& values = {}) {
    QSqlQuery query(QSqlDatabase::database(connection));
    query.prepare(statement);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec()) return true;
    qWarning() << statement << query.lastError().text();
    return false;
}

QVariant Value(const QString& connection, const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(connection));
    if (!query.exec(statement) || !query.next()) return QVariant();
    return query.value(0);
}

bool HasTable(const QString& connection, const QString& table) {
    return Value(connection, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name='%1'").arg(table)).toInt() ==
           1;
}

// Sets the version text, in the column VAL of older databases when asked.
bool SetVersion(const QString& connection, const QString& version, bool olderColumn) {
    if (olderColumn && !Exec(connection, QStringLiteral("ALTER TABLE OBJECT_VAL_STR RENAME COLUMN VALUE TO VAL")))
        return false;
    return SetDbVersion(connection, QStringLiteral("OBJECT_VAL_STR"), olderColumn ? "VAL" : "VALUE", version);
}

QString Version(const QString& connection) {
    return GetDbVersion(connection, QStringLiteral("OBJECT_VAL_STR"), VersionColumn(connection));
}

// The progress window as the update engine drives it.
class RecordingProgress final : public ProgressReporter {
public:
    void setTask(const QString& task) override { tasks << task; }
    void setMessage(const QString&) override {}
    void setProgress(int count, int total) override { positions << QPoint(count, total); }
    void setVisible(bool visible) override { visibility << visible; }
    QStringList tasks;
    QList<QPoint> positions;
    QList<bool> visibility;
};

} // namespace

class TestUpdateScriptStartup : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QString error;
        QVERIFY2(PrepareUpdateFolders(m_root->path(), &error), qPrintable(error));
        QVERIFY(QDir().mkpath(DbDir() + QStringLiteral("Access")));
        QVERIFY2(CopyStartingDatabase(DatabaseFile(), &error), qPrintable(error));
        QVERIFY2(OpenDatabase(kMainConnection, &error), qPrintable(error));
        SetClockForTesting(QDateTime(QDate(2008, 12, 25), QTime(14, 30, 5)));
    }

    void cleanup() {
        CloseDatabase(kMainConnection);
        CloseDatabase(kProgramDirConnection);
        SetClockForTesting(QDateTime());
        m_root.reset();
    }

    void waitingScriptsRunAndAreDeleted_data() {
        QTest::addColumn<bool>("olderColumn");
        QTest::newRow("version in VALUE") << false;
        QTest::newRow("version in VAL") << true;
    }

    void waitingScriptsRunAndAreDeleted() {
        QFETCH(bool, olderColumn);
        // 1.9 is older than 1.13: the shipped script is taken into the data folder, beside one put there by hand.
        QVERIFY(SetVersion(kMainConnection, "1.9", olderColumn));
        WriteTestFile(ProgramDir() + "Maj/" + kShippedScript, kCreateNotes.toUtf8());
        WriteTestFile(DataDir() + "Autre.maj", "SqlExe{INSERT INTO COMBOITEMS (Id_File) VALUES (9)}");
        RecordingMessages messages;
        messages.answers = {false, true};

        QVERIFY(PrepareDatabaseVersion());

        QCOMPARE(messages.messages.size(), 2);
        for (const RecordingMessages::Message& message : messages.messages)
            QCOMPARE(message.icon, MessageIcon::Question);
        QVERIFY(!QFileInfo::exists(DataDir() + "Autre.maj"));
        QVERIFY(!QFileInfo::exists(DataDir() + kShippedScript));
        QVERIFY(QFileInfo::exists(ProgramDir() + "Maj/" + kShippedScript));
        QVERIFY(HasTable(kMainConnection, "NOTES"));
        QCOMPARE(Value(kMainConnection, "SELECT count(*) FROM COMBOITEMS WHERE Id_File=9").toInt(), 1);
        QCOMPARE(VersionColumn(kMainConnection), olderColumn ? QStringLiteral("VAL") : QStringLiteral("VALUE"));
        QCOMPARE(Version(kMainConnection), QStringLiteral("1.13"));
        // One backup, for the one Yes.
        QCOMPARE(QDir(DataDir() + "Backup/Maj").entryList(QDir::Files).size(), 1);
        QCOMPARE(QString::fromUtf8(ReadWholeFile(UpdateLogFile())).count("MISE A JOUR TERMINE"), 2);
    }

    void currentDatabaseTakesNoScript() {
        WriteTestFile(ProgramDir() + "Maj/" + kShippedScript, kCreateNotes.toUtf8());
        RecordingMessages messages;
        QVERIFY(PrepareDatabaseVersion());
        QVERIFY(messages.messages.isEmpty());
        QVERIFY(!HasTable(kMainConnection, "NOTES"));
        QVERIFY(!QFileInfo::exists(UpdateLogFile()));
    }

    void testErrorStopsTheStartWithoutStamp() {
        QVERIFY(SetVersion(kMainConnection, "1.12", false));
        WriteTestFile(DataDir() + "Casse.maj", "NotTableExists(NOTES)\r\nSqlExe{CREATE TABLE NOTES (Id INTEGER)}\r\n"
                                               "NotFieldExists(ABSENTE.Nom)\r\nEND\r\n");
        RecordingMessages messages;
        QVERIFY(!PrepareDatabaseVersion());
        QCOMPARE(messages.messages.last().icon, MessageIcon::Error);
        QVERIFY2(messages.messages.last().text.contains("ABSENTE"), qPrintable(messages.messages.last().text));
        QCOMPARE(Version(kMainConnection), QStringLiteral("1.12"));
        QVERIFY(!HasTable(kMainConnection, "NOTES"));
        QVERIFY(QFileInfo::exists(DataDir() + "Casse.maj"));
    }

    void progressWindowAndLabelFollowTheRun() {
        WriteTestFile(DataDir() + "A.maj", "// a\r\nTableExists(PERSON)\r\nSqlExe{DELETE FROM NOTHING}\r\nEND\r\n");
        RecordingProgress window;
        QStringList labels;
        UpdateFeedback feedback;
        feedback.window = &window;
        feedback.progressLabel = [&](const QString& text) { labels << text; };
        QString error;
        QVERIFY2(RunWaitingUpdateScripts(UpdateBackup::Never, feedback, &error), qPrintable(error));
        QCOMPARE(window.tasks, QStringList{"MISE A JOUR (Base de données)"});
        QCOMPARE(window.positions.first(), QPoint(1, 3));
        QCOMPARE(window.positions.size(), 5);
        QCOMPARE(window.positions.last(), QPoint(5, 3));
        QCOMPARE(window.visibility.first(), true);
        QCOMPARE(window.visibility.last(), false);
        QCOMPARE(labels, (QStringList{"Mise à jour (préparation) ...", "Test de la mise à jour ...",
                                      "Mise à jour de la base de données ..."}));
    }

    void programDirDatabaseIsUpdatedOnItsOwnConnection() {
        const QString programData = ProgramDir() + QStringLiteral("Data/");
        QVERIFY(QDir().mkpath(programData + "Access"));
        QVERIFY(CopyStartingDatabase(programData + "Access/KESTOVRAN.MDB"));
        QVERIFY(OpenDatabaseFile(QStringLiteral("older"), programData + "Access/KESTOVRAN.MDB"));
        QVERIFY(SetVersion(QStringLiteral("older"), "1.12", true));
        QVERIFY(Exec(QStringLiteral("older"), "INSERT INTO PERSON (Id, Name, Img1) VALUES (1, 'Durand', ?)",
                     {WriteBitmapData(QuadrantBitmap(16, 16))}));
        CloseDatabase(QStringLiteral("older"));
        WriteTestFile(
            ProgramDir() + "Maj/" + kShippedScript,
            (kCreateNotes + "ExtractImageToJpeg('PERSON','Img1','People')\r\nCompactDataBase(KESTOVRAN.MDB)").toUtf8());

        // Its run shows the update window, but not the main database's text line.
        RecordingProgress window;
        QStringList labels;
        QVERIFY(PrepareDatabaseVersion(UpdateFeedback{&window, [&](const QString& text) { labels << text; }, {}},
                                       UpdateBackup::Ask));
        QCOMPARE(window.tasks, QStringList{"MISE A JOUR (Base de données)"});
        QCOMPARE(window.visibility.value(0), true);
        QCOMPARE(window.visibility.last(), false);
        QCOMPARE(labels, QStringList());

        QVERIFY(!QSqlDatabase::contains(kProgramDirConnection));
        QVERIFY(!HasTable(kMainConnection, "NOTES"));
        QVERIFY(QFileInfo::exists(programData + "Images/People1.jpg"));
        QVERIFY(!QFileInfo::exists(DbDir() + "Images/People1.jpg"));
        QVERIFY(!QFileInfo::exists(programData + "Access/KESTOVRAN~.MDB"));
        QVERIFY(QFileInfo::exists(ProgramDir() + "Maj/" + kShippedScript));
        QVERIFY(OpenDatabaseFile(QStringLiteral("older"), programData + "Access/KESTOVRAN.MDB"));
        QVERIFY(HasTable(QStringLiteral("older"), "NOTES"));
        QVERIFY(Value(QStringLiteral("older"), "SELECT Img1 FROM PERSON").isNull());
        QCOMPARE(Version(QStringLiteral("older")), QStringLiteral("1.13"));
        CloseDatabase(QStringLiteral("older"));
        QVERIFY(QString::fromUtf8(ReadWholeFile(UpdateLogFile())).contains("Compactage de la base de données (Ok)"));
    }

    void restoredDatabaseIsUpdatedWhenOlder_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("runs");
        QTest::newRow("1.9") << "1.9" << true;
        QTest::newRow("no version row") << "" << true;
        QTest::newRow("1.13") << "1.13" << false;
        QTest::newRow("1.14") << "1.14" << false;
    }

    void restoredDatabaseIsUpdatedWhenOlder() {
        QFETCH(QString, version);
        QFETCH(bool, runs);
        if (version.isEmpty())
            QVERIFY(Exec(kMainConnection, "DELETE FROM OBJECT_VAL_STR"));
        else
            QVERIFY(SetVersion(kMainConnection, version, false));
        WriteTestFile(ProgramDir() + "Maj/" + kShippedScript, kCreateNotes.toUtf8());
        QStringList labels;
        RecordingProgress window;
        RecordingMessages messages;
        QString error;
        QVERIFY2(
            UpdateRestoredDatabase(UpdateFeedback{&window, [&](const QString& text) { labels << text; }, {}}, &error),
            qPrintable(error));
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(window.visibility.contains(true), runs);
        QCOMPARE(HasTable(kMainConnection, "NOTES"), runs);
        QCOMPARE(Version(kMainConnection), runs ? QStringLiteral("1.13") : version);
        QCOMPARE(labels.contains("Mise à jour de la base de données ..."), runs);
        QVERIFY(QFileInfo::exists(ProgramDir() + "Maj/" + kShippedScript));
    }

private:
    std::unique_ptr<QTemporaryDir> m_root;
};

QTEST_GUILESS_MAIN(TestUpdateScriptStartup)
#include "TestUpdateScriptStartup.moc"
