#include "core/db/Restore.h"
#include "support/CliRun.h"
#include "support/SandboxHome.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QtTest>

namespace {

// The restoration killed at a named step (see core/db/Restore.h), or not killed when the step is empty.
CliRun RunCli(const SandboxHome& sandbox, const QStringList& arguments, const QByteArray& killAt) {
    QProcessEnvironment extra;
    if (!killAt.isEmpty()) extra.insert(QString::fromLatin1(kRestoreKillVariable), QString::fromLatin1(killAt));
    return RunCli(sandbox, arguments, extra);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The data set as it stands: every file of the database folder, with a digest of its content.
QMap<QString, QByteArray> DataSet(const QString& dbDir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dbDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dbDir).relativeFilePath(path),
                     QCryptographicHash::hash(Read(path), QCryptographicHash::Sha1));
    }
    return files;
}

} // namespace

class TestBackupCli : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_sandbox.reset(); }

    void backupToTheProposedNameAndHistory();
    void refusedRestoreFailsTheCommand();
    void killedRestoreLeavesACompleteDataSet_data();
    void killedRestoreLeavesACompleteDataSet();

private:
    QString dbDir() const { return m_sandbox->defaultDataDir() + QStringLiteral("Data/"); }

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

    const CliRun killed = RunCli(*m_sandbox, {QStringLiteral("restore"), archive}, step);
    QVERIFY2(killed.crashed, qPrintable(killed.out + killed.err));
    // Whatever the moment, a database is there for the next start to open.
    QVERIFY(QFileInfo(dbDir() + QStringLiteral("Access/KESTOVRAN.MDB")).isFile());

    // The next start finishes the swap, or forgets a restoration that had not reached it.
    QVERIFY(RecoverInterruptedRestore(dbDir()));
    QVERIFY(!QFileInfo::exists(dbDir() + QStringLiteral("Restauration~")));
    QCOMPARE(DataSet(dbDir()), newDataSet ? archived : current);

    // And the program works on it.
    const CliRun info = RunCli(*m_sandbox, {QStringLiteral("history")});
    QCOMPARE(info.status, 0);
}

QTEST_GUILESS_MAIN(TestBackupCli)
#include "TestBackupCli.moc"
