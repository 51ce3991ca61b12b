// One copy of the program at a time, and no lock outliving a killed program.
#include "core/app/InstanceLock.h"
#include "core/app/RemovableDrive.h"
#include "support/SandboxHome.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

class TestInstanceLock : public QObject {
    Q_OBJECT
private slots:
    void secondHolderIsRefusedUntilTheFirstLets() {
        SandboxHome sandbox;
        InstanceLock first;
        InstanceLock second;
        QString error;
        QVERIFY(first.tryLock(QStringLiteral("ANALYSIS"), &error));
        QVERIFY(QFile::exists(sandbox.runtime() + QStringLiteral("/ANALYSIS")));
        QVERIFY(!second.tryLock(QStringLiteral("ANALYSIS"), &error));
        QVERIFY2(error.isEmpty(), qPrintable(error)); // refused, not broken
        QVERIFY(second.tryLock(QStringLiteral("OTHER")));
        first.unlock();
        QVERIFY(second.tryLock(QStringLiteral("ANALYSIS")));
    }

    void killedHolderLeavesNoLock() {
        SandboxHome sandbox;
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            InstanceLock lock;
            const char answer = lock.tryLock(QStringLiteral("ANALYSIS")) ? 'y' : 'n';
            [[maybe_unused]] auto written = ::write(ready[1], &answer, 1);
            ::pause();
            ::_exit(0);
        }
        char answer = 0;
        QCOMPARE(::read(ready[0], &answer, 1), ssize_t(1));
        QCOMPARE(answer, 'y');

        InstanceLock lock;
        QVERIFY(!lock.tryLock(QStringLiteral("ANALYSIS")));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        QVERIFY(lock.tryLock(QStringLiteral("ANALYSIS")));
    }

    // A copy started without XDG_RUNTIME_DIR (a cron job) meets the desktop's copy on the session's lock file.
    void copyWithoutRuntimeVariableMeetsTheSessionLock() {
        SandboxHome sandbox;
        const QString sessions = sandbox.folder(QStringLiteral("run-user"));
        const QString session = sessions + QString::number(::geteuid());
        QVERIFY(QDir().mkpath(session));
        QVERIFY(QFile::setPermissions(session, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        InstanceLock::setSessionFoldersRootForTesting(sessions.chopped(1));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(session));
        InstanceLock desktop;
        QVERIFY(desktop.tryLock(QStringLiteral("ANALYSIS")));

        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(InstanceLock::lockFolder(), session);
        InstanceLock cron;
        QString error;
        QVERIFY(!cron.tryLock(QStringLiteral("ANALYSIS"), &error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        desktop.unlock();
        QVERIFY(cron.tryLock(QStringLiteral("ANALYSIS")));
        cron.unlock();

        // Without a session there is no desktop copy to meet: Qt's own folder.
        QVERIFY(QDir(session).removeRecursively());
        QCOMPARE(InstanceLock::lockFolder(), QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
        InstanceLock::setSessionFoldersRootForTesting(QString());
    }

    void removableFlagIsReadFromTheDisk_data() {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("partition");
        QTest::addColumn<bool>("removable");
        QTest::newRow("USB stick partition") << "1" << true << true;
        QTest::newRow("USB stick whole disk") << "1" << false << true;
        QTest::newRow("fixed disk partition") << "0" << true << false;
        QTest::newRow("no flag") << "" << true << false;
    }

    void removableFlagIsReadFromTheDisk() {
        QFETCH(QString, flag);
        QFETCH(bool, partition);
        QFETCH(bool, removable);

        // A small /sys tree for the device that holds this folder.
        SandboxHome sandbox;
        const QString folder = sandbox.folder(QStringLiteral("program"));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &status), 0);
        const QString sys = sandbox.folder(QStringLiteral("sys"));
        const QString disk = sys + QStringLiteral("devices/usb1/block/sdb");
        const QString device = partition ? disk + QStringLiteral("/sdb1") : disk;
        QDir().mkpath(device);
        QDir().mkpath(sys + QStringLiteral("dev/block"));
        if (!flag.isEmpty()) WriteTestFile(disk + QStringLiteral("/removable"), flag.toUtf8() + "\n");
        QVERIFY(QFile::link(
            device, sys + QStringLiteral("dev/block/%1:%2").arg(major(status.st_dev)).arg(minor(status.st_dev))));

        QCOMPARE(IsOnRemovableDrive(folder, sys.chopped(1)), removable);
        QVERIFY(
            !IsOnRemovableDrive(sandbox.folder(QStringLiteral("program")) + QStringLiteral("missing"), sys.chopped(1)));
    }
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "TestInstanceLock.moc"
