// Where the program and the user's data live, and the folders created for a new user.
#include "core/app/DataLocations.h"
#include "core/app/Folders.h"
#include "core/app/IniFile.h"
#include "core/db/DatabaseSettings.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

constexpr QFileDevice::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

bool g_removable = false;
bool FakeRemovable(const QString&) {
    return g_removable;
}

QStringList FileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
}

} // namespace

class TestDataLocations : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        g_removable = false;
        SetRemovableTestForTesting(nullptr);
    }

    void programDirIsCurrentFolderWhenItHoldsTheShippedMaterial() {
        SandboxHome sandbox;
        const QString current = sandbox.folder(QStringLiteral("current"));
        const QString installed = sandbox.folder(QStringLiteral("prefix/share/quorvel"));
        const QString executable = sandbox.folder(QStringLiteral("prefix/bin"));
        QDir().mkpath(installed + QStringLiteral("Ressources/DB"));

        QCOMPARE(FindProgramDir(current, executable), installed);
        QDir().mkpath(current + QStringLiteral("Ressources/DB"));
        QCOMPARE(FindProgramDir(current, executable), current);
        // Neither place holds it: the current folder, where the first-run check will complain.
        QCOMPARE(FindProgramDir(sandbox.folder(QStringLiteral("elsewhere")), current + QStringLiteral("sub")),
                 sandbox.folder(QStringLiteral("elsewhere")));
    }

    void newUserGetsWarnedPrivateFolders() {
        SandboxHome sandbox;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        QString error;
        QVERIFY2(ChooseDataDir(&error), qPrintable(error));

        QCOMPARE(DataDir(), sandbox.defaultDataDir());
        const QString base = sandbox.home() + QStringLiteral("/Documents/Dunmarrow Software Development/");
        const QStringList baseWarning = FileLines(base + QStringLiteral("Avertissement.txt"));
        QCOMPARE(baseWarning.value(0), QStringLiteral("ATTENTION : NE SUPPRIMEZ PAS CE REPERTOIRE "));
        QCOMPARE(baseWarning.value(1), QString());
        QCOMPARE(baseWarning.value(2), QStringLiteral("Ce répertoire contient les données des logiciels édités par "
                                                      "Dunmarrow Software Developpement"));
        QVERIFY(baseWarning.value(3).startsWith(QStringLiteral("Contact : ")));
        QVERIFY(baseWarning.value(4).startsWith(QStringLiteral("Site web : ")));
        QCOMPARE(FileLines(DataDir() + QStringLiteral("Avertissement.txt")).value(2),
                 QStringLiteral("Ce répertoire contient les données du logiciels Quorvel édités par "
                                "Dunmarrow Software Developpement"));

        for (const char* sub : {"", "Export", "Html", "Backup", "Data", "Data/Access", "Data/Images", "Data/Files"}) {
            const QFileInfo folder(DataDir() + QLatin1String(sub));
            QVERIFY2(folder.isDir(), sub);
            QCOMPARE(folder.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther),
                     QFileDevice::Permissions());
            QCOMPARE(folder.permissions() & kPrivate, kPrivate);
        }
        QCOMPARE(QFileInfo(base).permissions() & QFile::ReadOther, QFileDevice::Permissions());

        // A second start finds everything in place and rewrites no warning file.
        QFile::remove(base + QStringLiteral("Avertissement.txt"));
        QVERIFY(ChooseDataDir(&error));
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("Avertissement.txt")));
    }

    void dataStaysBesideTheProgram_data() {
        QTest::addColumn<QString>("directoriesIni");
        QTest::addColumn<bool>("marker");
        QTest::addColumn<bool>("removable");
        QTest::addColumn<bool>("besideProgram");

        QTest::newRow("appexe") << "[Path]\r\nAppDataDir=appexe\r\n" << false << false << true;
        QTest::newRow("development marker") << "" << true << false << true;
        QTest::newRow("removable drive") << "" << false << true << true;
        QTest::newRow("fixed drive") << "" << false << false << false;
    }

    void dataStaysBesideTheProgram() {
        QFETCH(QString, directoriesIni);
        QFETCH(bool, marker);
        QFETCH(bool, removable);
        QFETCH(bool, besideProgram);

        SandboxHome sandbox;
        const QString program = sandbox.folder(QStringLiteral("usb/Quorvel"));
        SetProgramDir(program);
        if (!directoriesIni.isEmpty())
            WriteTestFile(program + QStringLiteral("directories.ini"), directoriesIni.toUtf8());
        if (marker) WriteTestFile(program + QStringLiteral("quorvel.dpr"), "");
        g_removable = removable;
        SetRemovableTestForTesting(FakeRemovable);

        QVERIFY(ChooseDataDir());
        QCOMPARE(DataDir(), besideProgram ? program : sandbox.defaultDataDir());
        QCOMPARE(QFileInfo::exists(program + QStringLiteral("Avertissement.txt")), false);
        QCOMPARE(QFileInfo(program + QStringLiteral("Data/Access")).isDir(), besideProgram);
    }

    void removableDriveInsideTheInstallationPrefixUsesDocuments() {
        SandboxHome sandbox;
        SetProgramDir(QStringLiteral(QUORVEL_INSTALL_PREFIX) + QStringLiteral("/share/quorvel-test-not-created/"));
        SetDataDir(ProgramDir());
        g_removable = true;
        SetRemovableTestForTesting(FakeRemovable);
        QVERIFY(ChooseDataDir());
        QCOMPARE(DataDir(), sandbox.defaultDataDir());
    }

    void appDataDirIsCaseSensitiveAndRelativeToTheProgram() {
        SandboxHome sandbox;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        WriteTestFile(ProgramDir() + QStringLiteral("directories.ini"), "[Path]\r\nAppDataDir=AppExe\r\n");
        QVERIFY(ChooseDataDir());
        QCOMPARE(DataDir(), ProgramDir() + QStringLiteral("AppExe/Quorvel/"));
    }

    void appDataDirNamesTheBaseFolder() {
        SandboxHome sandbox;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        const QString shared = sandbox.folder(QStringLiteral("shared")) + QStringLiteral("base");
        // Written on Windows with a backslash and no trailing separator: both accepted.
        WriteTestFile(ProgramDir() + QStringLiteral("directories.ini"),
                      ("[PATH]\r\nappdatadir=" + shared + "\\\r\n").toUtf8());
        QVERIFY(ChooseDataDir());
        QCOMPARE(DataDir(), shared + QStringLiteral("/Quorvel/"));
        QVERIFY(QFileInfo::exists(shared + QStringLiteral("/Avertissement.txt")));
        QVERIFY(QFileInfo::exists(DataDir() + QStringLiteral("Avertissement.txt")));
    }

    void unwritableBaseFolderIsReported() {
        SandboxHome sandbox;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        // A file where the base folder should be: no permission trick needed, so it fails as root too.
        WriteTestFile(sandbox.folder(QStringLiteral("x")) + QStringLiteral("file"), "");
        WriteTestFile(ProgramDir() + QStringLiteral("directories.ini"),
                      ("[Path]\nAppDataDir=" + sandbox.folder(QStringLiteral("x")) + "file/sub/\n").toUtf8());
        QString error;
        QVERIFY(!ChooseDataDir(&error));
        QVERIFY2(error.contains(QStringLiteral("Impossible de créer le répertoire")), qPrintable(error));
    }

    void ensureDataFileCopiesTheFirstShippedCopyAndNeverOverwrites() {
        SandboxHome sandbox;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        SetDataDir(sandbox.folder(QStringLiteral("data")));
        WriteTestFile(ProgramDir() + QStringLiteral("Ressources/DB/a.def"), "ressources");
        WriteTestFile(ProgramDir() + QStringLiteral("Maj/a.def"), "maj");
        WriteTestFile(ProgramDir() + QStringLiteral("Maj/b.def"), "maj");
        WriteTestFile(ProgramDir() + QStringLiteral("c.def"), "program");
        WriteTestFile(ProgramDir() + QStringLiteral("Ressources/DB/c.def"), "ressources");
        WriteTestFile(DataDir() + QStringLiteral("d.def"), "user");
        WriteTestFile(ProgramDir() + QStringLiteral("d.def"), "program");

        for (const char* name : {"a.def", "b.def", "c.def", "d.def", "none.def"})
            EnsureDataFile(QLatin1String(name));
        const auto content = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
        };
        QCOMPARE(content(DataDir() + QStringLiteral("a.def")), QByteArray("ressources"));
        QCOMPARE(content(DataDir() + QStringLiteral("b.def")), QByteArray("maj"));
        QCOMPARE(content(DataDir() + QStringLiteral("c.def")), QByteArray("program"));
        QCOMPARE(content(DataDir() + QStringLiteral("d.def")), QByteArray("user"));
        QVERIFY(!QFileInfo::exists(DataDir() + QStringLiteral("none.def")));
    }

    void databaseSettingsWithoutAnyDbIniWritesTheDefaults() {
        SandboxHome sandbox;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        SetDataDir(sandbox.folder(QStringLiteral("data")));
        QVERIFY(LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                     QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\")));
        QCOMPARE(FileLines(DataDir() + QStringLiteral("db.ini")),
                 (QStringList{"[DataBase]", "Provider=OLEDB", "Path=Data\\", "", "[ODBC]", "Name=KESTOVRAN",
                              "Driver=Microsoft Access Driver (*.mdb)", "Path=Access\\KESTOVRAN.MDB", "", "[OLEDB]",
                              "Provider=Microsoft.Jet.OLEDB.4.0", "FileName=Access\\KESTOVRAN.MDB", ""}));
        QCOMPARE(DbDir(), DataDir() + QStringLiteral("Data/"));
        QCOMPARE(DatabaseFile(), DataDir() + QStringLiteral("Data/Access/KESTOVRAN.MDB"));
        QCOMPARE(DatabaseRelativePath(), QStringLiteral("Access/KESTOVRAN.MDB"));
        QVERIFY(!DatabaseFileExists());
    }

    void databaseSettingsFromAnExistingDbIni_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("dbDir");
        QTest::addColumn<QString>("relativePath");

        QTest::newRow("full folder without trailing separator") << "[DataBase]\nProvider=OLEDB\nPath=/srv/shared\n"
                                                                << "/srv/shared/"
                                                                << "Access/KESTOVRAN.MDB";
        QTest::newRow("Windows folder") << "[DataBase]\nProvider=OLEDB\nPath=D:\\Shared\n"
                                        << "D:/Shared/"
                                        << "Access/KESTOVRAN.MDB";
        // Relative folders are the data folder's, whatever the current folder.
        QTest::newRow("Data without separator") << "[DataBase]\nProvider=OLEDB\nPath=Data\n"
                                                << "<data>Data/"
                                                << "Access/KESTOVRAN.MDB";
        QTest::newRow("Data from the current folder") << "[DataBase]\nProvider=OLEDB\nPath=.\\Data\\\n"
                                                      << "<data>Data/"
                                                      << "Access/KESTOVRAN.MDB";
        QTest::newRow("folder below the data folder") << "[DataBase]\nProvider=OLEDB\nPath=Sous\\Base\n"
                                                      << "<data>Sous/Base/"
                                                      << "Access/KESTOVRAN.MDB";
        QTest::newRow("ODBC relative path") << "[DataBase]\nProvider=ODBC\n[ODBC]\nPath=Base\\x.mdb\n"
                                            << "<data>Data/"
                                            << "Base/x.mdb";
        QTest::newRow("provider is case-sensitive") << "[DataBase]\nProvider=odbc\n"
                                                    << "<data>Data/"
                                                    << "";
    }

    void databaseSettingsFromAnExistingDbIni() {
        QFETCH(QString, content);
        QFETCH(QString, dbDir);
        QFETCH(QString, relativePath);

        SandboxHome sandbox;
        SetProgramDir(sandbox.folder(QStringLiteral("program")));
        SetDataDir(sandbox.folder(QStringLiteral("data")));
        WriteTestFile(DataDir() + QStringLiteral("db.ini"), content.toUtf8());
        QVERIFY(LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                     QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\")));
        QCOMPARE(DbDir(), QString(dbDir).replace(QStringLiteral("<data>"), DataDir()));
        QCOMPARE(DatabaseRelativePath(), relativePath);
        QCOMPARE(DatabaseFile(), DbDir() + QStringLiteral("Access/KESTOVRAN.MDB"));
        // An existing db.ini is never rewritten.
        QFile file(DataDir() + QStringLiteral("db.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), content);
    }
};

QTEST_GUILESS_MAIN(TestDataLocations)
#include "TestDataLocations.moc"
