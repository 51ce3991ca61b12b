#include "core/app/FileRoutines.h"

#include "support/SandboxHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder with files of every kind the listing must sort out.
struct FileFixture {
    QTemporaryDir root;
    QString folder;

    FileFixture() : folder(root.path() + QStringLiteral("/source/")) {
        const char* names[] = {"b.TXT", "a.txt",     ".hidden.txt", "c.doc",     "README",
                               "Doc12", "Doc12.jpg", "Doc123.jpg",  "x+y(1).txt"};
        for (const char* name : names)
            WriteTestFile(folder + QLatin1String(name), QByteArray(name) + "\n");
        QDir().mkpath(folder + QStringLiteral("folder.txt"));
        QFile::link(folder + QStringLiteral("missing.txt"), folder + QStringLiteral("dangling.txt"));
    }
};

QDateTime SetModificationTime(const QString& path, const QDateTime& time) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) ||
        !file.setFileTime(time, QFileDevice::FileModificationTime))
        qFatal("cannot set the time of %s", qPrintable(path));
    return time;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t Mode(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

} // namespace

class TestFileRoutines : public QObject {
    Q_OBJECT

private slots:
    void includeBackslash_data();
    void includeBackslash();
    void programFileName();
    void documentsFolder();
    void listFiles_data();
    void listFiles();
    void listFilesOfMissingFolder();
    void copyFiles();
    void copyFilesIntoMissingFolder();
    void deleteFiles();
    void deleteFilesReportsFailure();
    void fileSizeAndDate();
    void saveTextFile_data();
    void saveTextFile();
    void saveTextFileIntoMissingFolder();
    void tempFolder();
    void tempFolderRefusesForeignFolder_data();
    void tempFolderRefusesForeignFolder();
};

void TestFileRoutines::includeBackslash_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("without") << QStringLiteral("/a/b") << QStringLiteral("/a/b/");
    QTest::newRow("with") << QStringLiteral("/a/b/") << QStringLiteral("/a/b/");
    QTest::newRow("backslashes") << QStringLiteral("C:\\Data\\Images") << QStringLiteral("C:/Data/Images/");
    QTest::newRow("trailing backslash") << QStringLiteral("Data\\") << QStringLiteral("Data/");
    QTest::newRow("empty stays empty") << QString() << QString();
}

void TestFileRoutines::includeBackslash() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(IncludeBackslash(path), expected);
}

void TestFileRoutines::programFileName() {
    // The executable's name keeps its capitals: file names are case-sensitive here.
    const QFileInfo program(ProgramFileName());
    QVERIFY(program.isAbsolute());
    QCOMPARE(program.fileName(), QStringLiteral("TestFileRoutines"));
    QVERIFY(program.isExecutable());
}

void TestFileRoutines::documentsFolder() {
    SandboxHome sandbox;
    WriteTestFile(sandbox.home() + QStringLiteral("/.config/user-dirs.dirs"),
                  "XDG_DOCUMENTS_DIR=\"$HOME/Mes documents\"\n");
    QCOMPARE(SpecialFolder(ShellFolder::Documents), sandbox.home() + QStringLiteral("/Mes documents/"));
    QVERIFY(SpecialFolder(ShellFolder::ProgramFiles).endsWith(QLatin1Char('/')));
}

void TestFileRoutines::listFiles_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("expected");
    const QStringList every = {QStringLiteral("Doc12"),  QStringLiteral("Doc12.jpg"), QStringLiteral("Doc123.jpg"),
                               QStringLiteral("README"), QStringLiteral("a.txt"),     QStringLiteral("b.TXT"),
                               QStringLiteral("c.doc"),  QStringLiteral("x+y(1).txt")};
    QTest::newRow("star dot star") << QStringLiteral("*.*") << every;
    QTest::newRow("star") << QStringLiteral("*") << every;
    QTest::newRow("extension, any case") << QStringLiteral("*.txt")
                                         << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.TXT"),
                                                        QStringLiteral("x+y(1).txt")};
    QTest::newRow("upper-case mask") << QStringLiteral("*.TXT")
                                     << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.TXT"),
                                                    QStringLiteral("x+y(1).txt")};
    QTest::newRow("any extension or none")
        << QStringLiteral("doc12.*") << QStringList{QStringLiteral("Doc12"), QStringLiteral("Doc12.jpg")};
    QTest::newRow("one character") << QStringLiteral("Doc1?.jpg") << QStringList{QStringLiteral("Doc12.jpg")};
    QTest::newRow("exact name") << QStringLiteral("readme") << QStringList{QStringLiteral("README")};
    QTest::newRow("expression characters are plain")
        << QStringLiteral("x+y(1).*") << QStringList{QStringLiteral("x+y(1).txt")};
    QTest::newRow("dot is no wildcard") << QStringLiteral("a?txt") << QStringList{QStringLiteral("a.txt")};
    QTest::newRow("no match") << QStringLiteral("*.bkp") << QStringList();
    QTest::newRow("hidden file by name") << QStringLiteral(".hidden.txt") << QStringList();
    QTest::newRow("folder by name") << QStringLiteral("folder.txt") << QStringList();
    QTest::newRow("empty mask") << QString() << QStringList();
}

void TestFileRoutines::listFiles() {
    QFETCH(QString, mask);
    QFETCH(QStringList, expected);
    FileFixture fixture;
    QCOMPARE(ListFiles(fixture.folder, mask), expected);
}

void TestFileRoutines::listFilesOfMissingFolder() {
    QTemporaryDir root;
    QCOMPARE(ListFiles(root.path() + QStringLiteral("/missing/"), QStringLiteral("*.*")), QStringList());
}

void TestFileRoutines::copyFiles() {
    FileFixture fixture;
    const QString target = fixture.root.path() + QStringLiteral("/target/");
    WriteTestFile(target + QStringLiteral("a.txt"), "older and longer content\n");
    WriteTestFile(target + QStringLiteral("kept.txt"), "kept\n");
    const QDateTime time =
        SetModificationTime(fixture.folder + QStringLiteral("a.txt"), QDateTime(QDate(2008, 5, 12), QTime(10, 30)));

    QString error;
    QVERIFY2(CopyFiles(fixture.folder, target, QStringLiteral("*.txt"), &error), qPrintable(error));
    QCOMPARE(ListFiles(target, QStringLiteral("*.*")),
             (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.TXT"), QStringLiteral("kept.txt"),
                          QStringLiteral("x+y(1).txt")}));
    QCOMPARE(ReadAll(target + QStringLiteral("a.txt")), QByteArray("a.txt\n"));
    QCOMPARE(ReadAll(target + QStringLiteral("b.TXT")), QByteArray("b.TXT\n"));
    QCOMPARE(ReadAll(target + QStringLiteral("kept.txt")), QByteArray("kept\n"));
    QCOMPARE(QFileInfo(target + QStringLiteral("a.txt")).lastModified(), time);
    QVERIFY(!QFileInfo::exists(target + QStringLiteral(".hidden.txt")));
}

void TestFileRoutines::copyFilesIntoMissingFolder() {
    FileFixture fixture;
    QString error;
    QVERIFY(
        !CopyFiles(fixture.folder, fixture.root.path() + QStringLiteral("/missing"), QStringLiteral("a.txt"), &error));
    QVERIFY2(error.startsWith(QStringLiteral("Impossible de copier le fichier \"")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("/missing/a.txt\"")), qPrintable(error));
}

void TestFileRoutines::deleteFiles() {
    FileFixture fixture;
    QString error;
    QVERIFY2(DeleteFiles(fixture.folder, QStringLiteral("*.TXT"), &error), qPrintable(error));
    QCOMPARE(ListFiles(fixture.folder, QStringLiteral("*.txt")), QStringList());
    QVERIFY(QFileInfo::exists(fixture.folder + QStringLiteral(".hidden.txt")));
    QVERIFY(QFileInfo(fixture.folder + QStringLiteral("folder.txt")).isDir());
    QVERIFY(QFileInfo::exists(fixture.folder + QStringLiteral("c.doc")));
    QVERIFY(DeleteFiles(fixture.folder, QStringLiteral("*.bkp"), &error));
}

void TestFileRoutines::deleteFilesReportsFailure() {
    if (::geteuid() == 0) QSKIP("the super-user may delete files from a read-only folder");
    FileFixture fixture;
    QFile::setPermissions(fixture.folder, QFile::ReadOwner | QFile::ExeOwner);
    QString error;
    const bool deleted = DeleteFiles(fixture.folder, QStringLiteral("a.txt"), &error);
    QFile::setPermissions(fixture.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!deleted);
    QVERIFY2(error.startsWith(QStringLiteral("Impossible de supprimer le fichier \"") + fixture.folder +
                              QStringLiteral("a.txt\"")),
             qPrintable(error));
}

void TestFileRoutines::fileSizeAndDate() {
    FileFixture fixture;
    const QString& folder = fixture.folder;
    WriteTestFile(folder + QStringLiteral("Doc123.jpg"), QByteArray(1234, 'x'));
    const QDateTime fileTime =
        SetModificationTime(folder + QStringLiteral("c.doc"), QDateTime(QDate(2007, 12, 31), QTime(23, 59, 58)));
    const QDateTime firstMatchTime =
        SetModificationTime(folder + QStringLiteral("Doc12.jpg"), QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
    SetModificationTime(folder + QStringLiteral("Doc123.jpg"), QDateTime(QDate(2002, 2, 3), QTime(4, 5, 6)));

    QCOMPARE(FileSize(folder + QStringLiteral("c.doc")), qint64(6));
    QCOMPARE(FileSize(folder + QStringLiteral("Doc123.*")), qint64(1234));
    QCOMPARE(FileSize(folder + QStringLiteral("missing.doc")), qint64(0));
    QCOMPARE(FileSize(folder + QStringLiteral("folder.txt")), qint64(0));

    QCOMPARE(FileDate(folder + QStringLiteral("c.doc")), fileTime);
    QCOMPARE(FileDate(folder + QStringLiteral("c.doc")).timeSpec(), Qt::LocalTime);
    QCOMPARE(FileDate(folder + QStringLiteral("Doc12?.jpg")).date(), QDate(2002, 2, 3));
    QCOMPARE(FileDate(folder + QStringLiteral("doc1*.jpg")), firstMatchTime);
    QVERIFY(FileDate(folder + QStringLiteral("folder.txt")).isValid());
    QVERIFY(FileDate(folder + QStringLiteral("fold*")).isValid());
    QVERIFY(!FileDate(folder + QStringLiteral(".hidden.txt")).isValid());
    QVERIFY(!FileDate(folder + QStringLiteral("missing.doc")).isValid());
    QVERIFY(!FileDate(folder + QStringLiteral("*.bkp")).isValid());
}

void TestFileRoutines::saveTextFile_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("line feeds") << QStringLiteral("a\nb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("carriage returns") << QStringLiteral("a\rb") << QByteArray("a\r\nb");
    QTest::newRow("already CR LF") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb");
    QTest::newRow("mixed and empty lines") << QStringLiteral("a\n\r\n\rb") << QByteArray("a\r\n\r\n\r\nb");
    QTest::newRow("LF CR is two breaks") << QStringLiteral("a\n\rb") << QByteArray("a\r\n\r\nb");
    QTest::newRow("accents in UTF-8") << QStringLiteral("Glycémie") << QByteArray("Glyc\xc3\xa9mie");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestFileRoutines::saveTextFile() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QTemporaryDir root;
    const QString path = root.path() + QStringLiteral("/text.txt");
    WriteTestFile(path, "a much longer content that must be replaced entirely\n");
    QString error;
    QVERIFY2(SaveTextFile(path, text, &error), qPrintable(error));
    QCOMPARE(ReadAll(path), bytes);
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("text.txt")});
}

void TestFileRoutines::saveTextFileIntoMissingFolder() {
    QTemporaryDir root;
    const QString path = root.path() + QStringLiteral("/missing/text.txt");
    QString error;
    QVERIFY(!SaveTextFile(path, QStringLiteral("x"), &error));
    QVERIFY2(error.startsWith(QStringLiteral("Impossible d'écrire le fichier \"") + path + QLatin1Char('"')),
             qPrintable(error));
}

void TestFileRoutines::tempFolder() {
    QTemporaryDir systemTemp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(systemTemp.path()));
    const QString expected = systemTemp.path() + QStringLiteral("/quorvel-") + QString::number(::getuid()) + '/';

    QString error;
    const QString folder = TempFolder(&error);
    QCOMPARE(folder, expected);
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(Mode(folder), mode_t(0700));

    // A folder of ours left open to others is closed again; the second call finds the same folder.
    WriteTestFile(folder + QStringLiteral("copy.jpg"), "x");
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    QCOMPARE(TempFolder(&error), expected);
    QCOMPARE(Mode(folder), mode_t(0700));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("copy.jpg")));

    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
}

void TestFileRoutines::tempFolderRefusesForeignFolder_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("link to a folder") << QStringLiteral("link");
    QTest::newRow("plain file") << QStringLiteral("file");
    QTest::newRow("someone else's folder") << QStringLiteral("foreign");
}

void TestFileRoutines::tempFolderRefusesForeignFolder() {
    QFETCH(QString, kind);
    if (kind == QStringLiteral("foreign") && ::geteuid() != 0)
        QSKIP("only the super-user can make a folder that belongs to someone else");

    QTemporaryDir systemTemp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(systemTemp.path()));
    const QString path = systemTemp.path() + QStringLiteral("/quorvel-") + QString::number(::getuid());
    const QString elsewhere = systemTemp.path() + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    if (kind == QStringLiteral("link")) {
        QVERIFY(QFile::link(elsewhere, path));
    } else if (kind == QStringLiteral("file")) {
        WriteTestFile(path, "x");
    } else {
        QVERIFY(QDir().mkpath(path));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }

    QString error;
    const QString folder = TempFolder(&error);
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
    QCOMPARE(folder, QString());
    QVERIFY2(error.startsWith(QStringLiteral("Le dossier temporaire \"") + path + QLatin1Char('"')), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestFileRoutines)
#include "TestFileRoutines.moc"
