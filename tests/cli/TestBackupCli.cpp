#include "core/archive/Cabinet.h"
#include "core/db/Compaction.h"
#include "core/db/Restore.h"
#include "support/CliRun.h"
#include "support/SandboxHome.h"
#include "support/SmallDisk.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

// quorvel-cli killed at a named step (kill variable and step), or not killed when the step is empty.
CliRun RunCli(const SandboxHome& sandbox, const QStringList& arguments, const char* variable, const QByteArray& step) {
    QProcessEnvironment extra;
    if (!step.isEmpty()) extra.insert(QString::fromLatin1(variable), QString::fromLatin1(step));
    return RunCli(sandbox, arguments, extra);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The database as its rows say, whatever its pages look like after a compaction, and without its history: a
// restoration adds its own row.
QByteArray DatabaseContent(const QString& database) {
    QByteArray kept;
    for (const QString& line : Sqlite(database, QStringLiteral(".dump")).split(QLatin1Char('\n')))
        if (!line.contains(QLatin1String("BACKUP"))) kept += line.toUtf8() + '\n';
    return kept;
}

// The data set as it stands: every file of the database folder, with a digest of its content.
QMap<QString, QByteArray> DataSet(const QString& dbDir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dbDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(dbDir).relativeFilePath(path);
        if (relative.startsWith(QLatin1Char('.'))) continue; // the folder's lock
        const QByteArray content =
            relative == QLatin1String("Access/KESTOVRAN.MDB") ? DatabaseContent(path) : Read(path);
        files.insert(relative, QCryptographicHash::hash(content, QCryptographicHash::Sha1));
    }
    return files;
}

mode_t Mode(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

QStringList Names(const QString& folder, const QString& mask) {
    return QDir(folder).entryList({mask}, QDir::Files | QDir::Hidden, QDir::Name);
}

// Whether the process has the file open.
bool HasOpen(qint64 pid, const QString& name) {
    const QString folder = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::System))
        if (entry.symLinkTarget().endsWith(name)) return true;
    return false;
}

// Random bytes: pictures that do not compress.
QByteArray Noise(int size) {
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

} // namespace

class TestBackupCli : public QObject {
    Q_OBJECT

private slots:
    // What the files are made with must not decide their mode.
    void initTestCase() { ::umask(022); }
    void init();
    void cleanup() { m_sandbox.reset(); }

    void backupToTheProposedNameAndHistory();
    void refusedRestoreFailsTheCommand();
    void killedRestoreLeavesACompleteDataSet_data();
    void killedRestoreLeavesACompleteDataSet();
    void copiesOfOneDataFolderCollide_data();
    void copiesOfOneDataFolderCollide();
    void databaseFolderIsTakenFromTheDataFolder_data();
    void databaseFolderIsTakenFromTheDataFolder();
    void restorationKeepsTheDataSetItReplaced();
    void failedOrKilledBackupLeavesNoHistoryRow_data();
    void failedOrKilledBackupLeavesNoHistoryRow();
    void killedCompactionLeavesNoCopy_data();
    void killedCompactionLeavesNoCopy();
    void everyFileOfTheDataIsPrivate();
    void fullDiskIsToldAsSuch_data();
    void fullDiskIsToldAsSuch();
    void damagedFilesAreToldInFrench_data();
    void damagedFilesAreToldInFrench();

private:
    QString dataDir() const { return m_sandbox->defaultDataDir(); }
    QString dbDir() const { return m_sandbox->defaultDataDir() + QStringLiteral("Data/"); }
    QString history() { return RunCli(*m_sandbox, {QStringLiteral("history")}).out; }

    std::unique_ptr<SandboxHome> m_sandbox;
};

void TestBackupCli::init() {
    m_sandbox = std::make_unique<SandboxHome>();
    // The first run lays out the data folder with the starting database.
    const CliRun first = RunCli(*m_sandbox, {QStringLiteral("info")});
    QVERIFY2(first.status == 0, qPrintable(first.err));
    QVERIFY(QFileInfo::exists(dbDir() + QStringLiteral("Access/KESTOVRAN.MDB")));
    for (int i = 1; i <= 3; ++i)
        WriteTestFile(dbDir() + QStringLiteral("Images/Doc%1.jpg").arg(i), QByteArray(30000 * i, char('0' + i)));
    WriteTestFile(dbDir() + QStringLiteral("Files/File1.f"), "un");
    WriteTestFile(dbDir() + QStringLiteral("Files/File2.f"), "deux");
}

void TestBackupCli::backupToTheProposedNameAndHistory() {
    const CliRun backup = RunCli(*m_sandbox, {QStringLiteral("backup")});
    QVERIFY2(backup.status == 0, qPrintable(backup.err));
    QVERIFY(backup.out.startsWith(QStringLiteral("Sauvegarde effectuée.")));
    const QString written = backup.out.section(QLatin1Char('\n'), 1, 1);
    QVERIFY2(written.startsWith(m_sandbox->defaultDataDir() + QStringLiteral("Backup/KESTOVRAN_ACCESS_BACKUP_")),
             qPrintable(written));
    QVERIFY(QFileInfo::exists(written));
    QVERIFY(backup.err.contains(QStringLiteral("Compression : File2.f")));

    const CliRun history = RunCli(*m_sandbox, {QStringLiteral("history")});
    QCOMPARE(history.status, 0);
    QVERIFY2(history.out.contains(QStringLiteral("Sauvagarde de la base de données  ") + written),
             qPrintable(history.out));
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("history"), QStringLiteral("--purge")}).status, 0);
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("history")}).out, QString());
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("history"), QStringLiteral("--tout")}).status, 2);
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("restore")}).status, 2);
}

void TestBackupCli::refusedRestoreFailsTheCommand() {
    WriteTestFile(m_sandbox->folder(QStringLiteral("elsewhere")) + QStringLiteral("faux.bkp"), "texte");
    const auto before = DataSet(dbDir());
    const CliRun restore = RunCli(*m_sandbox, {QStringLiteral("restore"), QStringLiteral("faux.bkp")});
    QCOMPARE(restore.status, 1);
    QVERIFY2(restore.err.contains(QStringLiteral("n'est pas une archive")), qPrintable(restore.err));
    QCOMPARE(DataSet(dbDir()), before);
}

void TestBackupCli::killedRestoreLeavesACompleteDataSet_data() {
    QTest::addColumn<QByteArray>("step");
    QTest::addColumn<bool>("newDataSet");
    QTest::newRow("archive extracted") << QByteArray("extracted") << false;
    QTest::newRow("journal written") << QByteArray("journal") << true;
    QTest::newRow("database set aside") << QByteArray("database-aside") << true;
    QTest::newRow("database replaced") << QByteArray("database") << true;
    QTest::newRow("pictures replaced") << QByteArray("images") << true;
    QTest::newRow("attached files replaced") << QByteArray("files") << true;
    QTest::newRow("swap complete") << QByteArray("swapped") << true;
}

void TestBackupCli::killedRestoreLeavesACompleteDataSet() {
    QFETCH(QByteArray, step);
    QFETCH(bool, newDataSet);
    const QString archive = m_sandbox->folder(QStringLiteral("archives")) + QStringLiteral("a.bkp");
    const CliRun backup = RunCli(*m_sandbox, {QStringLiteral("backup"), archive});
    QVERIFY2(backup.status == 0, qPrintable(backup.err));
    const auto archived = DataSet(dbDir());

    // The data set moves on: another database, other pictures and files.
    QVERIFY(RunCli(*m_sandbox, {QStringLiteral("compact")}).status == 0);
    QVERIFY(QFile::remove(dbDir() + QStringLiteral("Images/Doc1.jpg")));
    WriteTestFile(dbDir() + QStringLiteral("Images/Doc4.jpg"), "quatre");
    WriteTestFile(dbDir() + QStringLiteral("Files/File2.f"), "deux, modifié");
    const auto current = DataSet(dbDir());
    QVERIFY(current != archived);

    const CliRun killed = RunCli(*m_sandbox, {QStringLiteral("restore"), archive}, kRestoreKillVariable, step);
    QVERIFY2(killed.crashed, qPrintable(killed.out + killed.err));
    // Whatever the moment, a database is there for the next start to open.
    QVERIFY(QFileInfo(dbDir() + QStringLiteral("Access/KESTOVRAN.MDB")).isFile());

    // The next start finishes the swap, or forgets a restoration that had not reached it.
    QVERIFY(RecoverInterruptedRestore(dbDir()));
    QVERIFY(!QFileInfo::exists(dbDir() + QStringLiteral("Restauration~")));
    QCOMPARE(DataSet(dbDir()), newDataSet ? archived : current);

    // And the program works on it; a restoration that was finished has its row in the history.
    const CliRun history = RunCli(*m_sandbox, {QStringLiteral("history")});
    QCOMPARE(history.status, 0);
    QCOMPARE(history.out.contains(QStringLiteral("Restauration de la base de données  ") + archive), newDataSet);
}

void TestBackupCli::copiesOfOneDataFolderCollide_data() {
    QTest::addColumn<bool>("otherRuntime"); // or none at all
    QTest::newRow("another runtime folder") << true;
    QTest::newRow("no runtime folder at all") << false;
}

// However a copy is started (another session's runtime folder, none at all as cron starts it), it meets the copy
// that works on the same data: a backup would otherwise set the database aside under the open window.
void TestBackupCli::copiesOfOneDataFolderCollide() {
    QFETCH(bool, otherRuntime);
    const QString runtime = otherRuntime ? m_sandbox->folder(QStringLiteral("other-runtime")) : QString();
    QProcess quorvel;
    QProcessEnvironment environment = SandboxEnvironment(*m_sandbox);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QUORVEL_TEST_NO_DIALOGS"), QStringLiteral("1"));
    quorvel.setProcessEnvironment(environment);
    quorvel.setWorkingDirectory(m_sandbox->folder(QStringLiteral("elsewhere")));
    quorvel.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"));
    QVERIFY(quorvel.waitForStarted());
    // Its locks are held once its database is open.
    QTRY_VERIFY_WITH_TIMEOUT(HasOpen(quorvel.processId(), QStringLiteral("KESTOVRAN.MDB")), 30000);

    QProcessEnvironment elsewhere;
    elsewhere.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const CliRun refused = RunCli(*m_sandbox, {QStringLiteral("backup")}, elsewhere);
    QCOMPARE(refused.status, 3);
    QVERIFY2(refused.err.contains(QStringLiteral("Quorvel est déjà en exécution.")), qPrintable(refused.err));
    QCOMPARE(Names(dataDir() + QStringLiteral("Backup"), QStringLiteral("*.bkp")), QStringList());

    // A copy that ends, however it ends, leaves the data to the next one.
    quorvel.kill();
    QVERIFY(quorvel.waitForFinished());
    const CliRun backup = RunCli(*m_sandbox, {QStringLiteral("backup")}, elsewhere);
    QVERIFY2(backup.status == 0, qPrintable(backup.err));
}

void TestBackupCli::databaseFolderIsTakenFromTheDataFolder_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("found");
    QTest::newRow("Data") << "Data" << true;
    QTest::newRow(".\\Data\\") << ".\\Data\\" << true;
    QTest::newRow("data\\ (another folder)") << "data\\" << false;
    QTest::newRow("a folder without database") << "Autre\\Base" << false;
}

// A relative [DataBase] Path names a folder of the data folder, never one of wherever the tool was started; a folder
// without database is refused, never given a new empty one.
void TestBackupCli::databaseFolderIsTakenFromTheDataFolder() {
    QFETCH(QString, path);
    QFETCH(bool, found);
    WriteTestFile(dataDir() + QStringLiteral("db.ini"),
                  (QStringLiteral("[DataBase]\r\nProvider=OLEDB\r\nPath=") + path + QStringLiteral("\r\n")).toUtf8());
    const QStringList dataFolder = QDir(dataDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const CliRun info = RunCli(*m_sandbox, {QStringLiteral("info")});
    if (found) {
        QVERIFY2(info.status == 0, qPrintable(info.err));
        QVERIFY2(
            info.out.contains(QStringLiteral("Base de données : ") + dbDir() + QStringLiteral("Access/KESTOVRAN.MDB")),
            qPrintable(info.out));
    } else {
        QCOMPARE(info.status, 1);
        QVERIFY2(info.err.contains(QStringLiteral("est introuvable")) &&
                     info.err.contains(dataDir() + QStringLiteral("db.ini")),
                 qPrintable(info.err));
    }
    QCOMPARE(QDir(m_sandbox->folder(QStringLiteral("elsewhere"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(QDir(dataDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), dataFolder);
}

// A restoration asks no confirmation: the data set it replaces is kept in an archive of its own, which restores
// like any other, and only the last such archive stays.
void TestBackupCli::restorationKeepsTheDataSetItReplaced() {
    const QString archive = m_sandbox->folder(QStringLiteral("archives")) + QStringLiteral("a.bkp");
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("backup"), archive}).status, 0);
    const auto archived = DataSet(dbDir());
    QVERIFY(QFile::remove(dbDir() + QStringLiteral("Images/Doc1.jpg")));
    WriteTestFile(dbDir() + QStringLiteral("Files/File3.f"), "trois");
    const auto replaced = DataSet(dbDir());

    const CliRun restore = RunCli(*m_sandbox, {QStringLiteral("restore"), archive});
    QVERIFY2(restore.status == 0, qPrintable(restore.err));
    QCOMPARE(DataSet(dbDir()), archived);
    const QStringList kept =
        Names(dataDir() + QStringLiteral("Backup"), QStringLiteral("KESTOVRAN_AVANT_RESTAURATION_*"));
    QCOMPARE(kept.size(), 1);
    QVERIFY(QRegularExpression(
                QStringLiteral("^KESTOVRAN_AVANT_RESTAURATION_\\d\\d_\\d\\d_\\d{4}_\\d\\d_\\d\\d_\\d\\d\\.bkp$"))
                .match(kept.first())
                .hasMatch());
    const QString keptPath = dataDir() + QStringLiteral("Backup/") + kept.first();
    QVERIFY2(restore.out.contains(QStringLiteral("Les données remplacées sont gardées dans l'archive : ") + keptPath),
             qPrintable(restore.out));

    // Undoing the restoration: the replaced data set comes back, and the data set it replaces is kept in turn.
    QTest::qWait(1100); // another second, another name
    const CliRun undo = RunCli(*m_sandbox, {QStringLiteral("restore"), keptPath});
    QVERIFY2(undo.status == 0, qPrintable(undo.err));
    QCOMPARE(DataSet(dbDir()), replaced);
    const QStringList keptAfterUndo =
        Names(dataDir() + QStringLiteral("Backup"), QStringLiteral("KESTOVRAN_AVANT_RESTAURATION_*"));
    QCOMPARE(keptAfterUndo.size(), 1);
    QVERIFY(keptAfterUndo.first() != kept.first());
}

void TestBackupCli::failedOrKilledBackupLeavesNoHistoryRow_data() {
    QTest::addColumn<QString>("folder"); // where the archive goes: "usb" is a folder of the sandbox
    QTest::addColumn<QByteArray>("killAt");
    QTest::newRow("folder that refuses it") << "/sys" << QByteArray();
    QTest::newRow("killed once written") << "usb" << QByteArray("written");
}

// The history lists archives that can be restored, nothing else; a backup killed midway leaves no work file for
// good either.
void TestBackupCli::failedOrKilledBackupLeavesNoHistoryRow() {
    QFETCH(QString, folder);
    QFETCH(QByteArray, killAt);
    const QString place = folder.startsWith(QLatin1Char('/')) ? folder + QLatin1Char('/') : m_sandbox->folder(folder);
    const QString archive = place + QStringLiteral("KESTOVRAN_ACCESS_BACKUP_01_01_2020.bkp");
    const CliRun failed = RunCli(*m_sandbox, {QStringLiteral("backup"), archive}, kCabinetKillVariable, killAt);
    QVERIFY2(killAt.isEmpty() ? failed.status == 1 : failed.crashed, qPrintable(failed.out + failed.err));
    // /sys refuses new files, as "Permission denied" or, mounted read-only in a container, "Read-only file system".
    if (killAt.isEmpty())
        QVERIFY2(failed.err.contains(QStringLiteral("Impossible de créer l'archive \"") + archive +
                                     QStringLiteral("\" : accès refusé.")) ||
                     failed.err.contains(QStringLiteral(" : le disque n'accepte que la lecture.")),
                 qPrintable(failed.err));
    QVERIFY(!QFileInfo::exists(archive));
    QCOMPARE(QFileInfo::exists(archive + QStringLiteral(".tmp")), !killAt.isEmpty());
    QVERIFY2(!history().contains(QStringLiteral("Sauvagarde")), qPrintable(history()));
    if (killAt.isEmpty()) return;

    // The next backup there, under the name of another day, takes away what the killed one left.
    const QString next = place + QStringLiteral("KESTOVRAN_ACCESS_BACKUP_02_01_2020.bkp");
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("backup"), next}).status, 0);
    QCOMPARE(Names(place, QStringLiteral("*")), QStringList{QFileInfo(next).fileName()});
    QVERIFY(history().contains(QStringLiteral("Sauvagarde de la base de données  ") + next));
}

void TestBackupCli::killedCompactionLeavesNoCopy_data() {
    QTest::addColumn<QByteArray>("step");
    QTest::addColumn<QString>("leftOver");
    QTest::newRow("copy written") << QByteArray("copied") << QStringLiteral("KESTOVRAN.MDB.part");
    QTest::newRow("copy in place") << QByteArray("renamed") << QStringLiteral("KESTOVRAN~.MDB");
}

// A compaction works on a full copy of the database; a kill leaves it, and the next start takes it away once the
// database is there and whole, without losing a row.
void TestBackupCli::killedCompactionLeavesNoCopy() {
    QFETCH(QByteArray, step);
    QFETCH(QString, leftOver);
    const QString access = dbDir() + QStringLiteral("Access/");
    const QByteArray before = DatabaseContent(access + QStringLiteral("KESTOVRAN.MDB"));
    const CliRun killed = RunCli(*m_sandbox, {QStringLiteral("compact")}, kCompactionKillVariable, step);
    QVERIFY2(killed.crashed, qPrintable(killed.out + killed.err));
    QVERIFY(QFileInfo::exists(access + leftOver));

    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("info")}).status, 0);
    QCOMPARE(Names(access, QStringLiteral("*")), QStringList{QStringLiteral("KESTOVRAN.MDB")});
    QCOMPARE(DatabaseContent(access + QStringLiteral("KESTOVRAN.MDB")), before);
}

// Files 0600 and folders 0700, whatever made them and wherever they are; and a data folder left open by an older
// version is closed at the next start.
void TestBackupCli::everyFileOfTheDataIsPrivate() {
    const QString outside = m_sandbox->folder(QStringLiteral("archives")) + QStringLiteral("neuf/");
    QVERIFY(!QFileInfo::exists(outside));
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("backup"), outside + QStringLiteral("a.bkp")}).status, 0);
    QCOMPARE(Mode(outside), mode_t(0700));
    QCOMPARE(Mode(outside + QStringLiteral("a.bkp")), mode_t(0600));
    QCOMPARE(Mode(dbDir() + QStringLiteral("Access/KESTOVRAN.MDB")), mode_t(0600));

    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("compact")}).status, 0);
    QCOMPARE(Mode(dbDir() + QStringLiteral("Access/KESTOVRAN.MDB")), mode_t(0600));

    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("restore"), outside + QStringLiteral("a.bkp")}).status, 0);
    for (const QString& file :
         {QStringLiteral("Access/KESTOVRAN.MDB"), QStringLiteral("Images/Doc2.jpg"), QStringLiteral("Files/File1.f")})
        QVERIFY2(Mode(dbDir() + file) == 0600, qPrintable(file));
    const QStringList kept = Names(dataDir() + QStringLiteral("Backup"), QStringLiteral("KESTOVRAN_AVANT_*"));
    QCOMPARE(kept.size(), 1);
    QCOMPARE(Mode(dataDir() + QStringLiteral("Backup/") + kept.first()), mode_t(0600));

    const QString script = m_sandbox->folder(QStringLiteral("scripts")) + QStringLiteral("a.maj");
    WriteTestFile(script, "// essai\r\n");
    QFile::remove(dataDir() + QStringLiteral("Maj.Log"));
    QDir(dataDir() + QStringLiteral("Backup/Maj")).removeRecursively();
    const CliRun update = RunCli(*m_sandbox, {QStringLiteral("update-db"), script, QStringLiteral("--backup")});
    QVERIFY2(update.status == 0, qPrintable(update.err));
    QCOMPARE(Mode(dataDir() + QStringLiteral("Maj.Log")), mode_t(0600));
    QCOMPARE(Mode(dataDir() + QStringLiteral("Backup/Maj")), mode_t(0700));
    const QStringList copies = Names(dataDir() + QStringLiteral("Backup/Maj"), QStringLiteral("*.bkp"));
    QCOMPARE(copies.size(), 1);
    QCOMPARE(Mode(dataDir() + QStringLiteral("Backup/Maj/") + copies.first()), mode_t(0600));

    for (const QString& folder : {dataDir(), dbDir(), dbDir() + QStringLiteral("Images")})
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("info")}).status, 0);
    for (const QString& folder : {dataDir(), dbDir(), dbDir() + QStringLiteral("Images")})
        QVERIFY2(Mode(folder) == 0700, qPrintable(folder));
}

void TestBackupCli::fullDiskIsToldAsSuch_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("lead");
    QTest::newRow("backup") << "backup"
                            << "Impossible d'écrire l'archive \"<archive>\" : le disque est plein.";
    QTest::newRow("restoration") << "restore"
                                 << "Impossible de restaurer l'archive \"<archive>\" : le disque est plein.";
    QTest::newRow("compaction") << "compact"
                                << "Le compactage de la base de données \"<database>\" : le disque est plein.";
}

// A full disk is a full disk, named with the user's own file, never "Unknown error", a damaged archive or the
// compaction's work copy.
void TestBackupCli::fullDiskIsToldAsSuch() {
    QFETCH(QString, command);
    QFETCH(QString, lead);
    // An archive of a large data set, then the data set on a disk too small for it.
    const QString archive = m_sandbox->folder(QStringLiteral("archives")) + QStringLiteral("grand.bkp");
    WriteTestFile(dbDir() + QStringLiteral("Images/Doc9.jpg"), Noise(600000));
    QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("backup"), archive}).status, 0);
    const bool backup = command == QLatin1String("backup");
    if (!backup) QVERIFY(QFile::remove(dbDir() + QStringLiteral("Images/Doc9.jpg")));
    const QString database = dbDir() + QStringLiteral("Access/KESTOVRAN.MDB");
    const qint64 databaseBytes = QFileInfo(database).size();

    const QString full = backup ? m_sandbox->folder(QStringLiteral("usb")) : dbDir();
    SmallDisk disk(full, 8 << 20);
    if (!disk.mounted()) QSKIP("mounting a small disk needs the right to mount (root)");
    // Room for the compacted copy that a restoration makes of the database it replaces, not for a compaction.
    disk.fillLeaving(command == QLatin1String("compact") ? databaseBytes / 2 : databaseBytes + 100000);
    const auto before = DataSet(dbDir());
    const QStringList arguments = backup ? QStringList{command, full + QStringLiteral("grand.bkp")}
                                  : command == QLatin1String("restore") ? QStringList{command, archive}
                                                                        : QStringList{command};
    const CliRun run = RunCli(*m_sandbox, arguments);
    QCOMPARE(run.status, 1);
    const QString expected = QString(lead)
                                 .replace(QStringLiteral("<archive>"), arguments.value(1))
                                 .replace(QStringLiteral("<database>"), database);
    QVERIFY2(run.err.contains(expected), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("Détail technique : ")), qPrintable(run.err));
    QCOMPARE(DataSet(dbDir()), before);
}

void TestBackupCli::damagedFilesAreToldInFrench_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("said");
    QTest::newRow("archive with a bad block") << "archive"
                                              << "est endommagée ou incomplète.\nDétail technique : ";
    QTest::newRow("database that is text") << "database"
                                           << "ce fichier n'est pas une base de données.\nDétail technique : ";
}

void TestBackupCli::damagedFilesAreToldInFrench() {
    QFETCH(QString, damage);
    QFETCH(QString, said);
    CliRun run;
    if (damage == QLatin1String("archive")) {
        const QString archive = m_sandbox->folder(QStringLiteral("archives")) + QStringLiteral("a.bkp");
        QCOMPARE(RunCli(*m_sandbox, {QStringLiteral("backup"), archive}).status, 0);
        QFile file(archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(file.size() - 100);
        file.write(QByteArray(50, 'x'));
        file.close();
        run = RunCli(*m_sandbox, {QStringLiteral("restore"), archive});
    } else {
        WriteTestFile(dbDir() + QStringLiteral("Access/KESTOVRAN.MDB"), QByteArray(4096, 'x'));
        run = RunCli(*m_sandbox, {QStringLiteral("info")});
    }
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestBackupCli)
#include "TestBackupCli.moc"
