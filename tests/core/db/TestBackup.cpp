#include "core/app/DateRoutines.h"
#include "core/app/FileRoutines.h"
#include "core/app/Folders.h"
#include "core/app/ProgressReporter.h"
#include "core/archive/Cabinet.h"
#include "core/db/Backup.h"
#include "core/db/BackupHistoryPurge.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/Dataset.h"
#include "core/db/DbVersion.h"
#include "core/db/Restore.h"
#include "core/db/TDataModule1.h"
#include "support/FixtureDatabase.h"
#include "support/OlderDatabase.h"
#include "support/SandboxHome.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

class RecordingProgress final : public ProgressReporter {
public:
    void setTask(const QString& task) override { tasks.append(task); }
    void setMessage(const QString& message) override { messages.append(message); }
    void setProgress(int count, int total) override {
        lastCount = count;
        lastTotal = total;
    }
    void setVisible(bool) override {}
    QStringList tasks;
    QStringList messages;
    int lastCount = -1;
    int lastTotal = -1;
};

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under the folder (the staging folder too, were it left), by relative path, with a digest of its content.
QMap<QString, QByteArray> Fingerprint(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path),
                     QCryptographicHash::hash(Read(path), QCryptographicHash::Sha1).toHex());
    }
    return files;
}

QStringList CabextractNames(const QString& cabinet, int* exitCode = nullptr) {
    QProcess process;
    process.start(QStringLiteral("cabextract"), {QStringLiteral("-l"), cabinet});
    process.waitForFinished(60000);
    if (exitCode) *exitCode = process.exitCode();
    QStringList names;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QStringList columns = line.split(QStringLiteral(" | "));
        if (columns.size() == 3 && !columns[0].contains(QStringLiteral("File size")))
            names.append(columns[2].trimmed());
    }
    return names;
}

bool CabextractTests(const QString& cabinet, QString* output) {
    QProcess process;
    process.start(QStringLiteral("cabextract"), {QStringLiteral("-t"), cabinet});
    process.waitForFinished(60000);
    *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitCode() == 0 && !output->contains(QStringLiteral("failed"));
}

qint64 PersonCount(const QString& database) {
    const QString connection = QStringLiteral("count");
    qint64 count = -1;
    if (OpenDatabaseFile(connection, database)) {
        QSqlQuery query(QSqlDatabase::database(connection, false));
        if (query.exec(QStringLiteral("SELECT COUNT(*) FROM PERSON")) && query.next())
            count = query.value(0).toLongLong();
    }
    CloseDatabase(connection);
    return count;
}

bool ExecOn(const QString& database, const QString& statement) {
    const QString connection = QStringLiteral("exec");
    bool done = OpenDatabaseFile(connection, database);
    if (done) {
        QSqlQuery query(QSqlDatabase::database(connection, false));
        done = query.exec(statement);
    }
    CloseDatabase(connection);
    return done;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void proposedName();
    void backupHoldsTheDataSetInOrder();
    void savingOverAnExistingArchiveReplacesIt();
    void failedBackupKeepsTheOlderArchive();
    void dataSetPastOneFolderRestoresWhole();
    void restoreBringsTheArchivedDataSetBack();
    void restoringOnlyTheDatabaseEmptiesTheFolders();
    void refusedArchivesChangeNothing_data();
    void refusedArchivesChangeNothing();
    void foreignEntriesAreIgnored();
    void olderDatabaseIsUpdated();
    void failedSwapPutsEverythingBack_data();
    void failedSwapPutsEverythingBack();
    void compaction();
    void purgingTheHistory();

private:
    QString archive(const QString& name) const { return m_root->path() + QStringLiteral("/archives/") + name; }
    void writeDataSetFiles();
    qint64 historyRows();

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<FixtureDatabase> m_fixture;
    std::unique_ptr<TDataModule1> m_data;
};

void TestBackup::init() {
    m_root = std::make_unique<QTemporaryDir>();
    SetProgramDir(m_root->path() + QStringLiteral("/program/"));
    SetDataDir(m_root->path() + QStringLiteral("/data/"));
    QVERIFY(QDir().mkpath(ProgramDir() + QStringLiteral("Maj")));
    QVERIFY(QDir().mkpath(DataDir()));
    QVERIFY(QDir().mkpath(m_root->path() + QStringLiteral("/archives")));
    QString error;
    QVERIFY(LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                 QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\"), &error));
    m_fixture = std::make_unique<FixtureDatabase>(DbDir());
    QVERIFY2(m_fixture->build(&error), qPrintable(error));
    writeDataSetFiles();
    m_data = std::make_unique<TDataModule1>();
    QVERIFY2(m_data->connectDatabase(&error), qPrintable(error));
    QVERIFY(m_data->Person->open(&error));
    SetClockForTesting(QDateTime(QDate(2026, 12, 9), QTime(10, 15, 42)));
}

void TestBackup::cleanup() {
    m_data.reset();
    CloseDatabase(kMainConnection);
    SetClockForTesting(QDateTime());
    ResetCabinetLimits();
    qunsetenv("QUORVEL_RESTORE_FAIL_AT");
    m_fixture.reset();
    m_root.reset();
}

void TestBackup::writeDataSetFiles() {
    for (int i = 1; i <= 3; ++i)
        WriteTestFile(DataSetImagesFolder() + QStringLiteral("Doc%1.jpg").arg(i), QByteArray(20000 * i, char('a' + i)));
    WriteTestFile(DataSetFilesFolder() + QStringLiteral("File1.f"), "premier fichier");
    WriteTestFile(DataSetFilesFolder() + QStringLiteral("File2.f"), "second fichier");
    // Neither kind, nor at the top of the folder: not part of an archive, and left alone by a restoration.
    WriteTestFile(DataSetImagesFolder() + QStringLiteral("notes.txt"), "à garder");
    WriteTestFile(DataSetImagesFolder() + QStringLiteral("vieux/Doc9.jpg"), "ancien");
}

qint64 TestBackup::historyRows() {
    Dataset& history = *m_data->Backup;
    history.open();
    const qint64 rows = history.recordCount();
    history.close();
    return rows;
}

void TestBackup::proposedName() {
    QCOMPARE(ProposedBackupName(QDate(2026, 12, 9)),
             DataDir() + QStringLiteral("Backup/KESTOVRAN_ACCESS_BACKUP_09_12_2026.bkp"));
    QVERIFY(ProposedBackupName(Today()).endsWith(QStringLiteral("_BACKUP_09_12_2026.bkp")));
}

void TestBackup::backupHoldsTheDataSetInOrder() {
    QVERIFY(m_data->Person->locate(Fixture::kMartin));
    const QString target = archive(QStringLiteral("a.bkp"));
    RecordingProgress progress;
    QString error;
    QVERIFY2(BackupDatabase(*m_data, target, kBackupDescription, progress, &error), qPrintable(error));

    QStringList expected{QStringLiteral("KESTOVRAN.MDB")};
    expected += ListFiles(DataSetImagesFolder(), QStringLiteral("*.jpg"));
    expected += ListFiles(DataSetFilesFolder(), QStringLiteral("*.f"));
    QCOMPARE(expected.size(), 6);
    QCOMPARE(CabextractNames(target), expected);
    QString output;
    QVERIFY2(CabextractTests(target, &output), qPrintable(output));

    QVERIFY(progress.tasks.contains(QStringLiteral("Sauvegarde de la base")));
    QVERIFY(progress.tasks.contains(QStringLiteral("Compression : Doc2.jpg")));
    QVERIFY(progress.tasks.contains(QStringLiteral("Compression : File2.f")));
    QVERIFY(progress.messages.contains(kPleaseWaitMessage));
    QCOMPARE(progress.lastCount, 5);
    QCOMPARE(progress.lastTotal, 5);

    // The history row comes once the archive is complete and checked, with the time the backup started; the
    // archived database holds the history as it was before.
    QCOMPARE(historyRows(), qint64(Fixture::kBackupRows + 1));
    Dataset& history = *m_data->Backup;
    QVERIFY(history.open());
    history.last();
    QCOMPARE(history.asString(QStringLiteral("Description")), kBackupDescription);
    QCOMPARE(history.asString(QStringLiteral("Path")), target);
    QCOMPARE(history.asDate(QStringLiteral("DateSav")), QDate(2026, 12, 9));
    QCOMPARE(history.asString(QStringLiteral("TimeSav")), QStringLiteral("10:15"));
    history.close();
    const QString out = m_root->path() + QStringLiteral("/out/");
    QVERIFY(QDir().mkpath(out));
    QVERIFY(ExtractCabinet(
        target, out, [](const CabinetEntry& e) { return e.name; }, {}, &error));
    const QString connection = QStringLiteral("archived");
    QVERIFY(OpenDatabaseFile(connection, out + QStringLiteral("KESTOVRAN.MDB")));
    {
        QSqlQuery rows(QSqlDatabase::database(connection, false));
        QVERIFY(rows.exec(QStringLiteral("SELECT COUNT(*) FROM BACKUP")) && rows.next());
        QCOMPARE(rows.value(0).toInt(), Fixture::kBackupRows);
    }
    CloseDatabase(connection);
    QCOMPARE(Read(out + QStringLiteral("Doc3.jpg")), QByteArray(60000, 'd'));

    // Connected again, on the same person, with nothing left of the work.
    QVERIFY(m_data->isConnected());
    QCOMPARE(m_data->Person->asInteger(QStringLiteral("Id")), Fixture::kMartin);
    QVERIFY(!QFileInfo::exists(DbDir() + QStringLiteral("Access/KESTOVRAN~.MDB")));
    QCOMPARE(QDir(m_root->path() + QStringLiteral("/archives")).entryList(QDir::Files), QStringList{"a.bkp"});
}

void TestBackup::savingOverAnExistingArchiveReplacesIt() {
    const QString target = archive(QStringLiteral("a.bkp"));
    WriteTestFile(target, "an older archive");
    RecordingProgress progress;
    QString error;
    QVERIFY2(BackupDatabase(*m_data, target, kBackupDescription, progress, &error), qPrintable(error));
    QCOMPARE(CabextractNames(target).size(), 6);
}

void TestBackup::failedBackupKeepsTheOlderArchive() {
    const QString target = archive(QStringLiteral("a.bkp"));
    WriteTestFile(target, "an older archive");
    CabinetLimits limits;
    limits.entryBytes = 30000; // Doc2.jpg and Doc3.jpg are larger
    SetCabinetLimitsForTesting(limits);
    RecordingProgress progress;
    QString error;
    QVERIFY(!BackupDatabase(*m_data, target, kBackupDescription, progress, &error));
    QVERIFY2(error.contains(QStringLiteral("trop volumineux")), qPrintable(error));
    QCOMPARE(Read(target), QByteArray("an older archive"));
    QCOMPARE(QDir(m_root->path() + QStringLiteral("/archives")).entryList(QDir::Files), QStringList{"a.bkp"});
    QVERIFY(m_data->isConnected());
    QVERIFY(m_data->Person->isOpen());
    QVERIFY(QFileInfo::exists(DataSetDatabaseFile()));
}

void TestBackup::dataSetPastOneFolderRestoresWhole() {
    // Limits lowered so that this small data set needs several folders and parts.
    CabinetLimits limits;
    limits.blocksPerFolder = 5;
    limits.entriesPerCabinet = 3;
    SetCabinetLimitsForTesting(limits);
    const QString target = archive(QStringLiteral("grand.bkp"));
    RecordingProgress progress;
    QString error;
    QVERIFY2(BackupDatabase(*m_data, target, kBackupDescription, progress, &error), qPrintable(error));
    QVERIFY(QFileInfo::exists(CabinetPartName(target, 2)));
    QStringList listed;
    int foldersSeen = 0;
    for (int part = 1; QFileInfo::exists(CabinetPartName(target, part)); ++part) {
        listed += CabextractNames(CabinetPartName(target, part));
        QString output;
        QVERIFY2(CabextractTests(CabinetPartName(target, part), &output), qPrintable(output));
    }
    QCOMPARE(listed.size(), 6);
    QList<CabinetEntry> entries;
    QVERIFY(ListCabinet(target, &entries, &error));
    for (const CabinetEntry& entry : entries)
        foldersSeen = qMax(foldersSeen, entry.folder + 1);
    QVERIFY(foldersSeen > 1);

    const auto images = Fingerprint(DataSetImagesFolder());
    const auto files = Fingerprint(DataSetFilesFolder());
    QVERIFY(QFile::remove(DataSetImagesFolder() + QStringLiteral("Doc2.jpg")));
    WriteTestFile(DataSetFilesFolder() + QStringLiteral("File7.f"), "plus récent");
    QVERIFY2(RestoreDatabase(*m_data, target, progress, &error), qPrintable(error));
    QCOMPARE(Fingerprint(DataSetImagesFolder()), images);
    QCOMPARE(Fingerprint(DataSetFilesFolder()), files);
    QVERIFY(!QFileInfo::exists(DataSetFilesFolder() + QStringLiteral("File7.f")));
    QCOMPARE(Read(DataSetImagesFolder() + QStringLiteral("Doc2.jpg")), QByteArray(40000, 'c'));

    // A missing part refuses the whole set.
    QVERIFY(QFile::remove(CabinetPartName(target, 2)));
    const auto now = Fingerprint(DbDir());
    QVERIFY(!RestoreDatabase(*m_data, target, progress, &error));
    QVERIFY2(error.contains(CabinetPartName(target, 2)), qPrintable(error));
    QCOMPARE(Fingerprint(DbDir()), now);
}

void TestBackup::restoreBringsTheArchivedDataSetBack() {
    const QString target = archive(QStringLiteral("a.bkp"));
    RecordingProgress progress;
    QString error;
    QVERIFY2(BackupDatabase(*m_data, target, kBackupDescription, progress, &error), qPrintable(error));
    const auto archived = Fingerprint(DbDir());

    // The data set moves on.
    QVERIFY(m_data->Person->locate(Fixture::kEbert));
    QVERIFY(m_data->Person->remove());
    QVERIFY(QFile::remove(DataSetImagesFolder() + QStringLiteral("Doc1.jpg")));
    WriteTestFile(DataSetImagesFolder() + QStringLiteral("Doc99.jpg"), "nouvelle image");
    WriteTestFile(DataSetFilesFolder() + QStringLiteral("File2.f"), "modifié");

    RecordingProgress restoreProgress;
    QVERIFY2(RestoreDatabase(*m_data, target, restoreProgress, &error), qPrintable(error));
    QCOMPARE(PersonCount(DataSetDatabaseFile()), qint64(Fixture::kPersonCount));
    QMap<QString, QByteArray> archivedImages;
    for (auto it = archived.begin(); it != archived.end(); ++it)
        if (it.key().startsWith(QLatin1String("Images/"))) archivedImages.insert(it.key().mid(7), it.value());
    QCOMPARE(Fingerprint(DataSetImagesFolder()), archivedImages);
    QCOMPARE(Read(DataSetFilesFolder() + QStringLiteral("File2.f")), QByteArray("second fichier"));
    QVERIFY(!QFileInfo::exists(DbDir() + QStringLiteral("Restauration~")));

    QVERIFY(restoreProgress.tasks.contains(QStringLiteral("Préparation de la restauration")));
    QVERIFY(restoreProgress.tasks.contains(QStringLiteral("Décompression des fichiers ...")));
    QCOMPARE(restoreProgress.tasks.last(), QStringLiteral("Restauration de la base"));
    QCOMPARE(restoreProgress.lastCount, 7); // six entries, and one more at the end
    QCOMPARE(restoreProgress.lastTotal, 6);

    // The restored history (as it was when the backup started), with the restoration written after it.
    QCOMPARE(historyRows(), qint64(Fixture::kBackupRows + 1));
    Dataset& history = *m_data->Backup;
    QVERIFY(history.open());
    history.last();
    QCOMPARE(history.asString(QStringLiteral("Description")), kRestoreDescription);
    QCOMPARE(history.asString(QStringLiteral("Path")), target);
    history.close();
    QVERIFY(m_data->Person->isOpen());
}

void TestBackup::restoringOnlyTheDatabaseEmptiesTheFolders() {
    const QString copy = m_root->path() + QStringLiteral("/KESTOVRAN.MDB");
    QString error;
    QVERIFY(CopyDatabaseFile(DataSetDatabaseFile(), copy, &error));
    QVERIFY(ExecOn(copy, QStringLiteral("DELETE FROM PERSON WHERE Id = %1").arg(Fixture::kEbert)));
    const QString target = archive(QStringLiteral("base.bkp"));
    QVERIFY(WriteCabinet(target, {{QStringLiteral("KESTOVRAN.MDB"), copy}}, {}, &error));

    RecordingProgress progress;
    QVERIFY2(RestoreDatabase(*m_data, target, progress, &error), qPrintable(error));
    QCOMPARE(PersonCount(DataSetDatabaseFile()), qint64(Fixture::kPersonCount - 1));
    QCOMPARE(ListFiles(DataSetImagesFolder(), QStringLiteral("*.jpg")), QStringList());
    QCOMPARE(ListFiles(DataSetFilesFolder(), QStringLiteral("*.f")), QStringList());
    // What was not a picture stays.
    QCOMPARE(Read(DataSetImagesFolder() + QStringLiteral("notes.txt")), QByteArray("à garder"));
    QCOMPARE(Read(DataSetImagesFolder() + QStringLiteral("vieux/Doc9.jpg")), QByteArray("ancien"));
}

void TestBackup::refusedArchivesChangeNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("not a cabinet") << "text"
                                   << "n'est pas une archive";
    QTest::newRow("truncated") << "truncated"
                               << "incomplète";
    QTest::newRow("damaged block") << "damaged"
                                   << "endommagée";
    QTest::newRow("without the database") << "no database"
                                          << "ne contient pas la base de données";
    QTest::newRow("database entry that is no database") << "not a database"
                                                        << "illisible";
    QTest::newRow("Access database") << "jet"
                                     << "base Access";
    QTest::newRow("missing file") << "missing"
                                  << "Impossible d'ouvrir";
}

void TestBackup::refusedArchivesChangeNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, expectedText);
    const QString target = archive(QStringLiteral("x.bkp"));
    QString error;
    const QString fake = m_root->path() + QStringLiteral("/fake.MDB");
    if (kind == QLatin1String("text")) WriteTestFile(target, "Bonjour\n");
    if (kind == QLatin1String("truncated") || kind == QLatin1String("damaged")) {
        RecordingProgress progress;
        QVERIFY(BackupDatabase(*m_data, target, kBackupDescription, progress, &error));
        QByteArray bytes = Read(target);
        if (kind == QLatin1String("truncated"))
            bytes.chop(bytes.size() / 3);
        else
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 1);
        WriteTestFile(target, bytes);
    }
    if (kind == QLatin1String("no database"))
        QVERIFY(WriteCabinet(target, {{QStringLiteral("Doc1.jpg"), DataSetImagesFolder() + QStringLiteral("Doc1.jpg")}},
                             {}, &error));
    if (kind == QLatin1String("not a database") || kind == QLatin1String("jet")) {
        WriteTestFile(fake, kind == QLatin1String("jet")
                                ? QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4000, '\0')
                                : QByteArray("pas une base de données"));
        QVERIFY(WriteCabinet(target, {{QStringLiteral("KESTOVRAN.MDB"), fake}}, {}, &error));
    }
    const qint64 rows = historyRows();
    const auto before = Fingerprint(DbDir());

    RecordingProgress progress;
    error.clear();
    QVERIFY(!RestoreDatabase(*m_data, target, progress, &error));
    QVERIFY2(error.contains(expectedText), qPrintable(error));
    QCOMPARE(Fingerprint(DbDir()), before);
    QCOMPARE(historyRows(), rows);
    QVERIFY(m_data->isConnected());
    QVERIFY(m_data->Person->isOpen());
}

void TestBackup::foreignEntriesAreIgnored() {
    // An archive made by another tool, with entries in folders and entries of other kinds.
    const QString work = m_root->path() + QStringLiteral("/foreign/");
    QVERIFY(QDir().mkpath(work + QStringLiteral("sub")));
    QString error;
    QVERIFY(CopyDatabaseFile(DataSetDatabaseFile(), work + QStringLiteral("KESTOVRAN.MDB"), &error));
    WriteTestFile(work + QStringLiteral("sub/Doc5.jpg"), "dans un dossier");
    WriteTestFile(work + QStringLiteral("lisez-moi.txt"), "autre");
    WriteTestFile(work + QStringLiteral("Doc6.JPG"), "image");
    const QString target = archive(QStringLiteral("foreign.bkp"));
    QProcess gcab;
    gcab.setWorkingDirectory(work);
    gcab.start(QStringLiteral("gcab"),
               {QStringLiteral("-c"), QStringLiteral("-z"), target, QStringLiteral("KESTOVRAN.MDB"),
                QStringLiteral("sub/Doc5.jpg"), QStringLiteral("lisez-moi.txt"), QStringLiteral("Doc6.JPG")});
    QVERIFY(gcab.waitForFinished(60000) && gcab.exitCode() == 0);
    QList<CabinetEntry> entries;
    QVERIFY(ListCabinet(target, &entries, &error));
    QCOMPARE(entries.size(), 4);

    RecordingProgress progress;
    QVERIFY2(RestoreDatabase(*m_data, target, progress, &error), qPrintable(error));
    QCOMPARE(ListFiles(DataSetImagesFolder(), QStringLiteral("*.jpg")), QStringList{QStringLiteral("Doc6.JPG")});
    QStringList everything;
    QDirIterator all(m_root->path(), QDir::Files, QDirIterator::Subdirectories);
    while (all.hasNext())
        everything.append(all.next());
    for (const QString& path : everything) {
        if (path.startsWith(work) || path.startsWith(m_root->path() + QStringLiteral("/archives"))) continue;
        QVERIFY2(!path.endsWith(QStringLiteral("Doc5.jpg")) && !path.endsWith(QStringLiteral("lisez-moi.txt")),
                 qPrintable(path));
    }
}

void TestBackup::olderDatabaseIsUpdated() {
    // An archive of a 1.12 installation, holding this data set's rows: the script the program ships updates it.
    QString error;
    const QString older = m_root->path() + QStringLiteral("/older/KESTOVRAN.MDB");
    QVERIFY2(BuildOlderDatabase(older, Older::kVersion112, QStringLiteral("1.12"), DataSetDatabaseFile(), &error),
             qPrintable(error));
    const QString target = archive(QStringLiteral("ancienne.bkp"));
    QVERIFY(QDir().mkpath(QFileInfo(target).path()));
    QVERIFY2(WriteCabinet(target, {{QStringLiteral("KESTOVRAN.MDB"), older}}, {}, &error), qPrintable(error));
    QVERIFY(QDir().mkpath(ProgramDir() + QStringLiteral("Maj")));
    QVERIFY(QFile::copy(StagedUpdateScript(), ProgramDir() + QStringLiteral("Maj/BD_113.maj")));

    RecordingProgress progress;
    QStringList labels;
    QVERIFY2(RestoreDatabase(*m_data, target, progress, &error,
                             UpdateFeedback{nullptr, [&](const QString& text) { labels << text; }, {}}),
             qPrintable(error));
    QCOMPARE(VersionColumn(kMainConnection), QStringLiteral("VALUE"));
    QCOMPARE(GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
             QStringLiteral("1.13"));
    QVERIFY(labels.contains(QStringLiteral("Mise à jour de la base de données ...")));
    QCOMPARE(SchemaOf(DataSetDatabaseFile()), SchemaOf(StagedStartingDatabase()));
    QCOMPARE(RowsOf(DataSetDatabaseFile(), QStringLiteral("EVENT")), RowsOf(older, QStringLiteral("EVENT")));
    // The Person query is back, on the restored persons.
    QVERIFY(m_data->Person->isOpen());
    QCOMPARE(m_data->Person->recordCount(), Fixture::kPersonCount);
    QVERIFY(m_data->Person->locate(Fixture::kMartin));
}

void TestBackup::failedSwapPutsEverythingBack_data() {
    QTest::addColumn<QString>("step");
    QTest::newRow("at the database") << "database";
    QTest::newRow("at the pictures") << "images";
    QTest::newRow("at the attached files") << "files";
}

void TestBackup::failedSwapPutsEverythingBack() {
    QFETCH(QString, step);
    const QString target = archive(QStringLiteral("a.bkp"));
    RecordingProgress progress;
    QString error;
    QVERIFY(BackupDatabase(*m_data, target, kBackupDescription, progress, &error));
    QVERIFY(QFile::remove(DataSetImagesFolder() + QStringLiteral("Doc1.jpg")));
    WriteTestFile(DataSetFilesFolder() + QStringLiteral("File9.f"), "récent");
    const qint64 rows = historyRows();
    const auto before = Fingerprint(DbDir());

    qputenv("QUORVEL_RESTORE_FAIL_AT", step.toUtf8());
    QVERIFY(!RestoreDatabase(*m_data, target, progress, &error));
    QVERIFY2(error.contains(QStringLiteral("remises en place")), qPrintable(error));
    QCOMPARE(Fingerprint(DbDir()), before);
    QCOMPARE(historyRows(), rows);
}

void TestBackup::compaction() {
    RecordingProgress progress;
    QString error;
    const qint64 rows = historyRows();
    QVERIFY(m_data->Person->locate(Fixture::kMartin));
    QVERIFY2(CompactDataSet(*m_data, progress, &error), qPrintable(error));
    QCOMPARE(historyRows(), rows + 1);
    QCOMPARE(progress.tasks.first(), QStringLiteral("Compactage de la base"));
    QCOMPARE(m_data->Person->asInteger(QStringLiteral("Id")), Fixture::kMartin);

    // A failure (the work copy's name taken by a folder) leaves the database under its own name.
    QVERIFY(QDir().mkpath(DbDir() + QStringLiteral("Access/KESTOVRAN~.MDB/occupé")));
    QVERIFY(!CompactDataSet(*m_data, progress, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(DataSetDatabaseFile()).isFile());
    QVERIFY(m_data->isConnected());
    QCOMPARE(PersonCount(DataSetDatabaseFile()), qint64(Fixture::kPersonCount));
}

void TestBackup::purgingTheHistory() {
    QVERIFY(historyRows() > 0);
    QString error;
    QVERIFY2(PurgeBackupHistory(*m_data, &error), qPrintable(error));
    QCOMPARE(historyRows(), qint64(0));
    RecordingProgress progress;
    QVERIFY(BackupDatabase(*m_data, archive(QStringLiteral("a.bkp")), kBackupDescription, progress, &error));
    QStringList lines;
    QVERIFY(BackupHistoryLines(*m_data, &lines, &error));
    QCOMPARE(lines, QStringList{QStringLiteral("09/12/2026 10:15  Sauvagarde de la base de données  ") +
                                archive(QStringLiteral("a.bkp"))});
}

QTEST_GUILESS_MAIN(TestBackup)
#include "TestBackup.moc"
