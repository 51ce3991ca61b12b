// First run: the starting data copied into place, the messages it gives, and the write check.
#include "core/app/Folders.h"
#include "core/app/ProgressReporter.h"
#include "core/db/DatabaseSettings.h"
#include "core/startup/FirstRun.h"
#include "support/RecordingMessages.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

// Remembers every state the progress went through.
class ProgressLog final : public ProgressReporter {
public:
    void setTask(const QString& task) override { lines << QStringLiteral("task ") + task; }
    void setMessage(const QString& message) override { lines << QStringLiteral("message ") + message; }
    void setProgress(int count, int total) override { lines << QStringLiteral("gauge %1/%2").arg(count).arg(total); }
    void setVisible(bool visible) override { lines << (visible ? QStringLiteral("shown") : QStringLiteral("hidden")); }
    QStringList lines;
};

QByteArray Content(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A program folder holding a starting data set under source (relative to it).
void MakeStartingData(const QString& source) {
    WriteTestFile(source + QStringLiteral("Access/KESTOVRAN.MDB"), "database");
    WriteTestFile(source + QStringLiteral("Images/Doc1.jpg"), "picture");
    WriteTestFile(source + QStringLiteral("Images/notes.txt"), "not a picture");
    WriteTestFile(source + QStringLiteral("Files/File2.f"), "cabinet");
}

void LoadDefaultDatabaseSettings() {
    QVERIFY(LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                 QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\")));
}

} // namespace

class TestFirstRun : public QObject {
    Q_OBJECT
private slots:
    void firstRunCopiesTheShippedDatabaseSilently() {
        SandboxHome sandbox;
        RecordingMessages messages;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        SetDataDir(sandbox.folder(QStringLiteral("data")));
        MakeStartingData(ProgramDir() + QStringLiteral("Ressources/DB/Data/"));
        WriteTestFile(ProgramDir() + QStringLiteral("Ressources/DB/SortList.def"), "sort");
        WriteTestFile(ProgramDir() + QStringLiteral("Ressources/DB/quorvel.ini"), "[Properties]\r\n");
        LoadDefaultDatabaseSettings();

        ProgressLog progress;
        QVERIFY(TransferData(QStringLiteral("quorvel.ini"), progress));

        QVERIFY2(messages.messages.isEmpty(), qPrintable(messages.messages.value(0).text));
        QCOMPARE(Content(DbDir() + QStringLiteral("Access/KESTOVRAN.MDB")), QByteArray("database"));
        QCOMPARE(Content(DbDir() + QStringLiteral("Images/Doc1.jpg")), QByteArray("picture"));
        QVERIFY(!QFileInfo::exists(DbDir() + QStringLiteral("Images/notes.txt")));
        QCOMPARE(Content(DbDir() + QStringLiteral("Files/File2.f")), QByteArray("cabinet"));
        QCOMPARE(Content(DataDir() + QStringLiteral("SortList.def")), QByteArray("sort"));
        QCOMPARE(Content(DataDir() + QStringLiteral("quorvel.ini")), QByteArray("[Properties]\r\n"));
        QVERIFY(!QFileInfo::exists(DbDir() + QStringLiteral("Access/KESTOVRAN.MDB.part")));
        // The user's copy of the database is theirs to write, and only theirs to read.
        QCOMPARE(QFileInfo(DbDir() + QStringLiteral("Access/KESTOVRAN.MDB")).permissions() &
                     (QFile::WriteOwner | QFile::ReadOther),
                 QFile::WriteOwner);

        QCOMPARE(progress.lines,
                 (QStringList{"task TRANSFERT DES DONNEES", "message Quelques instants, SVP ...", "gauge 0/3", "hidden",
                              "message Copie de la base de données", "gauge 1/3", "message Copie des images",
                              "gauge 2/3", "message Copie des fichiers", "gauge 3/3", "hidden"}));
    }

    void olderInstallationBesideTheProgramIsTransferredAndAnnounced_data() {
        QTest::addColumn<QString>("marker");
        QTest::newRow("db.ini") << "db.ini";
        QTest::newRow("dsn.ini") << "dsn.ini";
    }

    void olderInstallationBesideTheProgramIsTransferredAndAnnounced() {
        QFETCH(QString, marker);
        SandboxHome sandbox;
        RecordingMessages messages;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        SetDataDir(sandbox.folder(QStringLiteral("data")));
        MakeStartingData(ProgramDir() + QStringLiteral("Data/"));
        WriteTestFile(ProgramDir() + QStringLiteral("Data/Access/KESTOVRAN.MDB"), "older data");
        MakeStartingData(ProgramDir() + QStringLiteral("Ressources/DB/Data/"));
        WriteTestFile(ProgramDir() + marker, "");
        LoadDefaultDatabaseSettings();

        ProgressLog progress;
        QVERIFY(TransferData(QStringLiteral("quorvel.ini"), progress));
        QCOMPARE(Content(DbDir() + QStringLiteral("Access/KESTOVRAN.MDB")), QByteArray("older data"));
        QVERIFY(progress.lines.contains(QStringLiteral("shown")));
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(messages.messages[0].text,
                 QStringLiteral("IMPORTANT !!\n\nLa base de données a été transférée dans le réperoire :\n") + DbDir() +
                     QStringLiteral("\n\nNE SUPPRIMEZ PAS CE REPERTOIRE"));
    }

    void missingStartingDatabaseStopsButStillCopiesDataFiles() {
        SandboxHome sandbox;
        RecordingMessages messages;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        SetDataDir(sandbox.folder(QStringLiteral("data")));
        WriteTestFile(ProgramDir() + QStringLiteral("Ressources/DB/SortList.def"), "sort");
        LoadDefaultDatabaseSettings();

        ProgressLog progress;
        QVERIFY(!TransferData(QStringLiteral("quorvel.ini"), progress));
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(messages.messages[0].text,
                 QStringLiteral("EXECUTION IMPOSSIBLE !!\n\nCertains composants nécessaires au bon fonctionnement de "
                                "cette application sont introuvables.\nEffectuez une nouvelle installation de "
                                "l'application afin de résoudre ce problème."));
        QCOMPARE(Content(DataDir() + QStringLiteral("SortList.def")), QByteArray("sort"));
        QVERIFY(!QFileInfo::exists(DbDir() + QStringLiteral("Access/KESTOVRAN.MDB")));
    }

    void presentDatabaseIsLeftAlone() {
        SandboxHome sandbox;
        RecordingMessages messages;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        SetDataDir(sandbox.folder(QStringLiteral("data")));
        MakeStartingData(ProgramDir() + QStringLiteral("Ressources/DB/Data/"));
        WriteTestFile(ProgramDir() + QStringLiteral("Ressources/DB/SortList.def"), "sort");
        LoadDefaultDatabaseSettings();
        WriteTestFile(DbDir() + QStringLiteral("Access/KESTOVRAN.MDB"), "user's records");

        ProgressLog progress;
        QVERIFY(TransferData(QStringLiteral("quorvel.ini"), progress));
        QVERIFY(progress.lines.isEmpty());
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(Content(DbDir() + QStringLiteral("Access/KESTOVRAN.MDB")), QByteArray("user's records"));
        QVERIFY(!QFileInfo::exists(DbDir() + QStringLiteral("Images/Doc1.jpg")));
        QCOMPARE(Content(DataDir() + QStringLiteral("SortList.def")), QByteArray("sort"));
    }

    void writeCheck() {
        SandboxHome sandbox;
        RecordingMessages messages;
        const QString writable = sandbox.folder(QStringLiteral("data")) + QStringLiteral("write.tmp");
        QVERIFY(CheckWriteAccess(QStringLiteral("Quorvel 1.13"), writable));
        QVERIFY(!QFileInfo::exists(writable));
        QVERIFY(messages.messages.isEmpty());

        // A folder that cannot hold files (here: it is a file), which fails even for root.
        WriteTestFile(sandbox.folder(QStringLiteral("data")) + QStringLiteral("blocked"), "");
        const QString blocked = sandbox.folder(QStringLiteral("data")) + QStringLiteral("blocked/write.tmp");
        QVERIFY(!CheckWriteAccess(QStringLiteral("Quorvel 1.13 é"), blocked));
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].icon, MessageIcon::Error);
        QCOMPARE(messages.messages[0].text,
                 QStringLiteral("QUORVEL 1.13 é : EXECUTION IMPOSSIBLE\n\nPour utiliser ce logiciel vous devez :\n\n"
                                "  - Soit avoir un compte administrateur\n  - Soit avoir des droits en écriture sur le "
                                "répertoire : ") +
                     sandbox.folder(QStringLiteral("data")) + QStringLiteral("blocked/\n\n"));
    }
};

QTEST_GUILESS_MAIN(TestFirstRun)
#include "TestFirstRun.moc"
