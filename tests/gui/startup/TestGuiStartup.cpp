// The whole program started as a user starts it, in a new account, on the offscreen platform.
#include "core/app/InstanceLock.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

void Prepare(QProcess& process, const SandboxHome& sandbox) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), sandbox.home());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), sandbox.runtime());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QUORVEL_TEST_NO_DIALOGS"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(sandbox.folder(QStringLiteral("elsewhere")));
}

QByteArray Content(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestGuiStartup : public QObject {
    Q_OBJECT
private slots:
    void firstStartPreparesTheDataAndClosingSavesTheSettings() {
        SandboxHome sandbox;
        QProcess quorvel;
        Prepare(quorvel, sandbox);
        quorvel.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"));
        QVERIFY(quorvel.waitForStarted());

        // The settings file arrives during start-up; the main window follows. A termination request
        // that comes before the window exists is kept until it does.
        const QString dataDir = sandbox.defaultDataDir();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dataDir + QStringLiteral("quorvel.ini")), 20000);
        QTest::qWait(500);
        ::kill(static_cast<pid_t>(quorvel.processId()), SIGTERM);
        QVERIFY(quorvel.waitForFinished(20000));
        QCOMPARE(quorvel.exitStatus(), QProcess::NormalExit);
        QVERIFY2(quorvel.exitCode() == 0, quorvel.readAllStandardError().constData());

        for (const char* path : {"Avertissement.txt", "db.ini", "SortList.def", "Export", "Html", "Backup",
                                 "Data/Access/KESTOVRAN.MDB", "Data/Images", "Data/Files"})
            QVERIFY2(QFileInfo::exists(dataDir + QLatin1String(path)), path);
        QVERIFY(QFileInfo::exists(sandbox.home() +
                                  QStringLiteral("/Documents/Dunmarrow Software Development/Avertissement.txt")));

        QStringList keys;
        for (const QString& line :
             QString::fromUtf8(Content(dataDir + QStringLiteral("quorvel.ini"))).split(QStringLiteral("\r\n")))
            if (!line.isEmpty()) keys << line.section(QLatin1Char('='), 0, 0);
        QCOMPARE(keys,
                 (QStringList{"[Properties]",   "FirstLaunch", "TestMdac",    "Splash",      "ShowUI",   "ShowCalendar",
                              "HideBigFontMsg", "[Scan]",      "TwainSource", "ShowTwainUI", "MaxWidth", "JpegQuality",
                              "[SMTP]",         "Name",        "Email",       "Host",        "Port",     "[Windows]",
                              "Left",           "Top",         "Width",       "Height",      "State",    "Style"}));
        const QByteArray settings = Content(dataDir + QStringLiteral("quorvel.ini"));
        QVERIFY(settings.contains("FirstLaunch=0\r\n"));
        QVERIFY(settings.contains("State=wsNormal\r\n"));
        QVERIFY(!settings.contains("Width=-1\r\n"));
    }

    void secondInstanceLeavesEverythingAlone() {
        SandboxHome sandbox;
        InstanceLock running;
        QVERIFY(running.tryLock(QStringLiteral("ANALYSIS")));
        QProcess quorvel;
        Prepare(quorvel, sandbox);
        quorvel.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"));
        QVERIFY(quorvel.waitForFinished(20000));
        QCOMPARE(quorvel.exitCode(), 1);
        QVERIFY(QString::fromUtf8(quorvel.readAllStandardError())
                    .contains(QStringLiteral("Quorvel est déjà en exécution.")));
        QCOMPARE(QDir(sandbox.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // Nobody may be there to answer a start-up message (a session that is closing): a request to end the program
    // ends it, without waiting for the answer.
    void terminationEndsAWaitingStartupMessage() {
        SandboxHome sandbox;
        InstanceLock running;
        QVERIFY(running.tryLock(QStringLiteral("ANALYSIS")));
        QProcess quorvel;
        Prepare(quorvel, sandbox);
        QProcessEnvironment environment = quorvel.processEnvironment();
        environment.remove(QStringLiteral("QUORVEL_TEST_NO_DIALOGS"));
        quorvel.setProcessEnvironment(environment);
        quorvel.setReadChannel(QProcess::StandardError);
        quorvel.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"));
        QVERIFY(quorvel.waitForStarted());
        // The message is written to stderr as the box opens.
        QTRY_VERIFY_WITH_TIMEOUT(QString::fromUtf8(quorvel.peek(4096)).contains(QStringLiteral("déjà en exécution")),
                                 20000);
        QTest::qWait(300);
        QCOMPARE(quorvel.state(), QProcess::Running);
        ::kill(static_cast<pid_t>(quorvel.processId()), SIGTERM);
        QVERIFY(quorvel.waitForFinished(10000));
        QCOMPARE(quorvel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(quorvel.exitCode(), 128 + SIGTERM);
    }

    void unreadableDatabaseStopsWithoutTouchingIt() {
        SandboxHome sandbox;
        const QString database = sandbox.defaultDataDir() + QStringLiteral("Data/Access/KESTOVRAN.MDB");
        const QByteArray garbage("Standard Jet DB\0 this is no SQLite file, and must stay as it is", 64);
        WriteTestFile(database, garbage);

        QProcess quorvel;
        Prepare(quorvel, sandbox);
        quorvel.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"));
        QVERIFY(quorvel.waitForFinished(20000));
        QCOMPARE(quorvel.exitCode(), 1);
        const QString err = QString::fromUtf8(quorvel.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("\"") + database +
                              QStringLiteral("\" : ce fichier n'est pas une base de données.")),
                 qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("EXECUTION IMPOSSIBLE !!")), qPrintable(err));
        QCOMPARE(Content(database), garbage);
    }
};

QTEST_GUILESS_MAIN(TestGuiStartup)
#include "TestGuiStartup.moc"
