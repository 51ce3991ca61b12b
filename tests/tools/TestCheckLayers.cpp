// The layering check on a copy of the real tree: it passes as the tree is, and fails, naming file and line, once a
// wrong include is planted in the copy.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Check {
    int status = -1;
    QString output;
};

Check RunCheck(const QString& root) {
    QProcess process;
    process.start(QStringLiteral(QUORVEL_CHECK_LAYERS),
                  {QStringLiteral("--widgets-headers"), QStringLiteral(QUORVEL_QTWIDGETS_INCLUDE_DIR), root});
    Check check;
    if (!process.waitForFinished(60000)) return check;
    check.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    check.output = QString::fromUtf8(process.readAllStandardError());
    return check;
}

bool CopyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target)) return false;
    }
    return true;
}

// Puts text on a line of its own after the given line (1-based) of a file; its line number is then line + 1.
bool InsertLine(const QString& path, int after, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    file.close();
    lines.insert(after, text);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(lines.join(QLatin1Char('\n')).toUtf8()) > 0;
}

} // namespace

class TestCheckLayers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_tree.isValid());
        QVERIFY(CopyTree(QStringLiteral(QUORVEL_SOURCE_DIR "/src"), m_tree.path()));
    }

    void theTreeKeepsItsOrder() {
        const Check check = RunCheck(QStringLiteral(QUORVEL_SOURCE_DIR "/src"));
        QVERIFY2(check.status == 0, qPrintable(check.output));
    }

    void aPlantedFaultFails_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a folder above") << "core/db/Dataset.cpp"
                                        << "#include \"core/records/PersonRecords.h\""
                                        << "core/db includes core/records/PersonRecords.h of core/records, a folder "
                                           "above it";
        QTest::newRow("core includes gui") << "core/imaging/JpegFiles.cpp"
                                           << "#include \"gui/controls/MaskEdit.h\""
                                           << "core/imaging includes gui/controls/MaskEdit.h of gui/controls, a "
                                              "folder above it";
        QTest::newRow("a peer") << "core/archive/Cabinet.cpp"
                                << "#include \"core/imaging/JpegFiles.h\""
                                << "core/archive includes core/imaging/JpegFiles.h of core/imaging, a peer folder";
        QTest::newRow("a widgets header in core") << "core/app/Folders.cpp"
                                                  << "#include <QPushButton>"
                                                  << "core includes the Qt Widgets header <QPushButton>";
        QTest::newRow("a widgets module in core") << "core/records/PersonList.cpp"
                                                  << "#include <QtWidgets/QLabel>"
                                                  << "core includes the Qt Widgets header <QtWidgets/QLabel>";
        QTest::newRow("cli includes gui") << "cli/CommandLine.cpp"
                                          << "#include \"gui/app/TWait.h\""
                                          << "cli includes gui/app/TWait.h of gui/app, a folder above it";
    }

    void aPlantedFaultFails() {
        QFETCH(QString, file);
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QTemporaryDir copy;
        QVERIFY(CopyTree(m_tree.path(), copy.path()));
        QVERIFY(InsertLine(copy.filePath(file), 1, line));

        const Check check = RunCheck(copy.path());
        QCOMPARE(check.status, 1);
        // The fault is named by its file and line, and it is the only one.
        QCOMPARE(check.output.trimmed(), file + QStringLiteral(":2: ") + expected);
    }

    void aLowerFolderAndOneOfItsOwnPass() {
        QTemporaryDir copy;
        QVERIFY(CopyTree(m_tree.path(), copy.path()));
        QVERIFY(
            InsertLine(copy.filePath(QStringLiteral("gui/records/TEnterStr.cpp")), 1,
                       QStringLiteral("#include \"core/imaging/JpegFiles.h\"\n#include \"gui/records/TPickList.h\"")));
        const Check check = RunCheck(copy.path());
        QVERIFY2(check.status == 0, qPrintable(check.output));
    }

    void anUndeclaredFolderFails() {
        QTemporaryDir copy;
        QVERIFY(CopyTree(m_tree.path(), copy.path()));
        QVERIFY(QDir().mkpath(copy.filePath(QStringLiteral("core/stray"))));
        QFile stray(copy.filePath(QStringLiteral("core/stray/Stray.h")));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("#pragma once\n");
        stray.close();

        const Check check = RunCheck(copy.path());
        QCOMPARE(check.status, 1);
        QCOMPARE(check.output.trimmed(),
                 QStringLiteral("core/stray/Stray.h: its folder core/stray is not declared in layers.txt"));
    }

private:
    QTemporaryDir m_tree;
};

QTEST_GUILESS_MAIN(TestCheckLayers)
#include "TestCheckLayers.moc"
