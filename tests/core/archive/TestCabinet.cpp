#include "core/archive/Cabinet.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray RandomBytes(int size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(generator.bounded(256));
    return bytes;
}

QByteArray TextBytes(int size) {
    QByteArray text;
    for (int line = 0; text.size() < size; ++line)
        text += "ligne " + QByteArray::number(line) + " du fichier\n";
    return text.left(size);
}

void Write(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun Cabextract(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("cabextract"), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

// The entry names cabextract lists, in order.
QStringList CabextractNames(const QString& cabinet) {
    const ToolRun run = Cabextract({QStringLiteral("-l"), cabinet});
    QStringList names;
    for (const QString& line : run.output.split(QLatin1Char('\n'))) {
        const QStringList columns = line.split(QStringLiteral(" | "));
        if (columns.size() == 3 && !columns[0].contains(QStringLiteral("File size")))
            names.append(columns[2].trimmed());
    }
    return names;
}

} // namespace

class TestCabinet : public QObject {
    Q_OBJECT

private slots:
    void init() { ResetCabinetLimits(); }
    void cleanup() { ResetCabinetLimits(); }

    void partNames_data();
    void partNames();
    void roundTrip_data();
    void roundTrip();
    void severalFoldersAndParts_data();
    void severalFoldersAndParts();
    void refusedEntryLeavesOlderArchive();
    void rewritingAShorterSetRemovesItsStaleParts();
    void damagedArchives_data();
    void damagedArchives();
    void everyDamagedByteIsCaughtOrHarmless();
    void incompleteSets();
    void extractionStaysInsideItsFolder();
    void readsArchivesOfLibgcab();
};

void TestCabinet::partNames_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("part");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first part keeps its name") << "/b/x.bkp" << 1 << "/b/x.bkp";
    QTest::newRow("second") << "/b/x.bkp" << 2 << "/b/x.2.bkp";
    QTest::newRow("twelfth") << "/b/KESTOVRAN_ACCESS_BACKUP_09_12_2026.bkp" << 12
                             << "/b/KESTOVRAN_ACCESS_BACKUP_09_12_2026.12.bkp";
    QTest::newRow("no extension") << "/b.d/x" << 2 << "/b.d/x.2";
    QTest::newRow("hidden file without extension") << "/b/.x" << 3 << "/b/.x.3";
}

void TestCabinet::partNames() {
    QFETCH(QString, first);
    QFETCH(int, part);
    QFETCH(QString, expected);
    QCOMPARE(CabinetPartName(first, part), expected);
}

void TestCabinet::roundTrip_data() {
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<bool>("random");
    QTest::newRow("one small text") << QList<int>{100} << false;
    QTest::newRow("empty entries") << QList<int>{0, 10, 0} << false;
    QTest::newRow("exactly one block, then one byte more") << QList<int>{32768, 32769} << false;
    QTest::newRow("incompressible, blocks shared across entries") << QList<int>{50000, 70001, 3} << true;
    QTest::newRow("text over many blocks") << QList<int>{1000000} << false;
}

void TestCabinet::roundTrip() {
    QFETCH(QList<int>, sizes);
    QFETCH(bool, random);
    QTemporaryDir dir;
    QList<CabinetSource> sources;
    QList<QByteArray> contents;
    for (int i = 0; i < sizes.size(); ++i) {
        const QString name = QStringLiteral("Doc%1.jpg").arg(i + 1);
        contents.append(random ? RandomBytes(sizes[i], quint32(i + 7)) : TextBytes(sizes[i]));
        Write(dir.filePath(QStringLiteral("in/") + name), contents.last());
        sources.append({name, dir.filePath(QStringLiteral("in/") + name)});
    }
    const QString archive = dir.filePath(QStringLiteral("out.bkp"));
    QList<int> announced;
    QString error;
    int parts = 0;
    QVERIFY2(WriteCabinet(
                 archive, sources, [&](int index, const QString&) { announced.append(index); }, &error, &parts),
             qPrintable(error));
    QCOMPARE(parts, 1);
    QCOMPARE(announced.size(), sizes.size());
    for (int i = 0; i < announced.size(); ++i)
        QCOMPARE(announced[i], i);
    QVERIFY(!QFileInfo::exists(archive + QStringLiteral(".tmp")));

    QStringList names;
    for (const CabinetSource& source : sources)
        names.append(source.name);
    QCOMPARE(CabextractNames(archive), names);
    const ToolRun test = Cabextract({QStringLiteral("-t"), archive});
    QVERIFY2(test.exitCode == 0 && !test.output.contains(QStringLiteral("failed")), qPrintable(test.output));

    QList<CabinetEntry> entries;
    QVERIFY2(VerifyCabinetFile(archive, &entries, &error), qPrintable(error));
    QCOMPARE(entries.size(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i)
        QCOMPARE(entries[i].size, qint64(sizes[i]));

    const QString outFolder = dir.filePath(QStringLiteral("extracted"));
    QDir().mkpath(outFolder);
    QVERIFY2(ExtractCabinet(
                 archive, outFolder, [](const CabinetEntry& e) { return e.name; }, {}, &error),
             qPrintable(error));
    for (int i = 0; i < sizes.size(); ++i)
        QCOMPARE(Read(outFolder + QLatin1Char('/') + names[i]), contents[i]);
    QCOMPARE(QDir(outFolder).entryList(QDir::Files).size(), sizes.size());
}

void TestCabinet::severalFoldersAndParts_data() {
    QTest::addColumn<int>("entriesPerCabinet");
    QTest::addColumn<int>("blocksPerFolder");
    QTest::addColumn<qint64>("cabinetBytes");
    QTest::addColumn<int>("expectedParts");
    QTest::addColumn<int>("expectedFoldersInFirstPart");
    // Six entries of 40 000 bytes: one needs two blocks, two need three, four need five.
    QTest::newRow("folders of two blocks") << 65535 << 2 << qint64(0xFFFFFFFFLL) << 1 << 6;
    QTest::newRow("folders of three blocks") << 65535 << 3 << qint64(0xFFFFFFFFLL) << 1 << 3;
    QTest::newRow("folders of five blocks") << 65535 << 5 << qint64(0xFFFFFFFFLL) << 1 << 2;
    QTest::newRow("two entries per cabinet") << 2 << 65535 << qint64(0xFFFFFFFFLL) << 3 << 1;
    QTest::newRow("cabinets of 250 kB, folders of five blocks") << 65535 << 5 << qint64(250000) << 2 << 2;
}

void TestCabinet::severalFoldersAndParts() {
    QFETCH(int, entriesPerCabinet);
    QFETCH(int, blocksPerFolder);
    QFETCH(qint64, cabinetBytes);
    QFETCH(int, expectedParts);
    QFETCH(int, expectedFoldersInFirstPart);
    CabinetLimits limits;
    limits.entriesPerCabinet = entriesPerCabinet;
    limits.blocksPerFolder = blocksPerFolder;
    limits.cabinetBytes = cabinetBytes;
    SetCabinetLimitsForTesting(limits);

    QTemporaryDir dir;
    QList<CabinetSource> sources;
    QList<QByteArray> contents;
    QStringList names;
    for (int i = 0; i < 6; ++i) {
        names.append(QStringLiteral("File%1.f").arg(i + 1));
        contents.append(RandomBytes(40000, quint32(100 + i)));
        Write(dir.filePath(names.last()), contents.last());
        sources.append({names.last(), dir.filePath(names.last())});
    }
    const QString archive = dir.filePath(QStringLiteral("set/x.bkp"));
    QDir().mkpath(dir.filePath(QStringLiteral("set")));
    QString error;
    int parts = 0;
    QVERIFY2(WriteCabinet(archive, sources, {}, &error, &parts), qPrintable(error));
    QCOMPARE(parts, expectedParts);

    // Every part is a cabinet of its own that cabextract reads whole; together they hold every entry once.
    QStringList listed;
    for (int p = 1; p <= parts; ++p) {
        const QString part = CabinetPartName(archive, p);
        const ToolRun test = Cabextract({QStringLiteral("-t"), part});
        QVERIFY2(test.exitCode == 0 && !test.output.contains(QStringLiteral("failed")), qPrintable(test.output));
        listed += CabextractNames(part);
    }
    QCOMPARE(listed, names);
    QVERIFY(!QFileInfo::exists(CabinetPartName(archive, parts + 1)));

    QStringList setParts;
    QVERIFY2(CabinetSetParts(archive, &setParts, &error), qPrintable(error));
    QCOMPARE(setParts.size(), parts);
    QList<CabinetEntry> entries;
    QVERIFY2(ListCabinet(archive, &entries, &error), qPrintable(error));
    QCOMPARE(entries.size(), 6);
    int foldersInFirst = 0;
    for (const CabinetEntry& entry : entries)
        if (entry.part == 1) foldersInFirst = qMax(foldersInFirst, entry.folder + 1);
    QCOMPARE(foldersInFirst, expectedFoldersInFirstPart);

    const QString outFolder = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(outFolder);
    QList<int> announced;
    QVERIFY2(ExtractCabinet(
                 archive, outFolder, [](const CabinetEntry& e) { return e.name; },
                 [&](int index, const QString&) { announced.append(index); }, &error),
             qPrintable(error));
    QCOMPARE(announced, (QList<int>{0, 1, 2, 3, 4, 5}));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(Read(outFolder + QLatin1Char('/') + names[i]), contents[i]);
}

void TestCabinet::refusedEntryLeavesOlderArchive() {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("x.bkp"));
    Write(archive, "older archive");
    Write(dir.filePath(QStringLiteral("big.jpg")), TextBytes(5000));
    Write(dir.filePath(QStringLiteral("small.jpg")), TextBytes(10));

    // Past the per-entry limit, whatever the others.
    CabinetLimits limits;
    limits.entryBytes = 4096;
    SetCabinetLimitsForTesting(limits);
    QString error;
    QVERIFY(!WriteCabinet(archive,
                          {{QStringLiteral("small.jpg"), dir.filePath(QStringLiteral("small.jpg"))},
                           {QStringLiteral("big.jpg"), dir.filePath(QStringLiteral("big.jpg"))}},
                          {}, &error));
    QVERIFY2(error.contains(QStringLiteral("trop volumineux")) && error.contains(QStringLiteral("big.jpg")),
             qPrintable(error));
    QCOMPARE(Read(archive), QByteArray("older archive"));
    ResetCabinetLimits();

    // A source that vanished.
    error.clear();
    QVERIFY(
        !WriteCabinet(archive, {{QStringLiteral("gone.jpg"), dir.filePath(QStringLiteral("gone.jpg"))}}, {}, &error));
    QVERIFY2(error.startsWith(QStringLiteral("IMPOSSIBLE D")), qPrintable(error));
    QCOMPARE(Read(archive), QByteArray("older archive"));

    // A target folder that cannot be written.
    error.clear();
    QVERIFY(!WriteCabinet(dir.filePath(QStringLiteral("missing/x.bkp")),
                          {{QStringLiteral("small.jpg"), dir.filePath(QStringLiteral("small.jpg"))}}, {}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files), QStringList());
}

void TestCabinet::rewritingAShorterSetRemovesItsStaleParts() {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("x.bkp"));
    QList<CabinetSource> sources;
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("File%1.f").arg(i);
        Write(dir.filePath(name), TextBytes(1000 + i));
        sources.append({name, dir.filePath(name)});
    }
    CabinetLimits limits;
    limits.entriesPerCabinet = 1;
    SetCabinetLimitsForTesting(limits);
    QString error;
    int parts = 0;
    QVERIFY2(WriteCabinet(archive, sources, {}, &error, &parts), qPrintable(error));
    QCOMPARE(parts, 3);
    // A backup of the user's own that merely looks like a part, next to another set.
    Write(dir.filePath(QStringLiteral("y.2.bkp")), "not a part");
    ResetCabinetLimits();

    QVERIFY2(WriteCabinet(archive, sources.mid(0, 1), {}, &error, &parts), qPrintable(error));
    QCOMPARE(parts, 1);
    QVERIFY(!QFileInfo::exists(CabinetPartName(archive, 2)));
    QVERIFY(!QFileInfo::exists(CabinetPartName(archive, 3)));
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("y.2.bkp"))));
    QList<CabinetEntry> entries;
    QVERIFY2(ListCabinet(archive, &entries, &error), qPrintable(error));
    QCOMPARE(entries.size(), 1);
}

void TestCabinet::damagedArchives_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("not a cabinet") << "text"
                                   << "n'est pas une archive";
    QTest::newRow("empty file") << "empty"
                                << "n'est pas une archive";
    QTest::newRow("truncated") << "truncate"
                               << "incomplète";
    QTest::newRow("flipped byte in a block") << "flip"
                                             << "endommagée";
}

void TestCabinet::damagedArchives() {
    QFETCH(QString, damage);
    QFETCH(QString, expectedText);
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("x.bkp"));
    Write(dir.filePath(QStringLiteral("a.jpg")), RandomBytes(70000, 3));
    Write(dir.filePath(QStringLiteral("b.f")), TextBytes(9000));
    QString error;
    QVERIFY2(WriteCabinet(archive,
                          {{QStringLiteral("a.jpg"), dir.filePath(QStringLiteral("a.jpg"))},
                           {QStringLiteral("b.f"), dir.filePath(QStringLiteral("b.f"))}},
                          {}, &error),
             qPrintable(error));
    QByteArray bytes = Read(archive);
    if (damage == QLatin1String("text")) bytes = "Ceci n'est pas une archive.\n";
    if (damage == QLatin1String("empty")) bytes.clear();
    if (damage == QLatin1String("truncate")) bytes.truncate(bytes.size() / 2);
    if (damage == QLatin1String("flip")) bytes[bytes.size() - 100] = char(bytes[bytes.size() - 100] ^ 0x40);
    Write(archive, bytes);

    error.clear();
    QVERIFY(!VerifyCabinetFile(archive, nullptr, &error));
    QVERIFY2(error.contains(expectedText), qPrintable(error));
    const QString outFolder = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(outFolder);
    error.clear();
    QVERIFY(!ExtractCabinet(
        archive, outFolder, [](const CabinetEntry& e) { return e.name; }, {}, &error));
    QVERIFY2(error.contains(expectedText), qPrintable(error));
    // Nothing half-written is left behind.
    QCOMPARE(QDir(outFolder).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestCabinet::everyDamagedByteIsCaughtOrHarmless() {
    // The tables carry no checksum: a damaged size, offset or folder must still never give wrong content.
    QTemporaryDir dir;
    const QList<QByteArray> contents{RandomBytes(40000, 5), TextBytes(3000)};
    Write(dir.filePath(QStringLiteral("a.jpg")), contents[0]);
    Write(dir.filePath(QStringLiteral("b.f")), contents[1]);
    const QString archive = dir.filePath(QStringLiteral("x.bkp"));
    QString error;
    QVERIFY(WriteCabinet(archive,
                         {{QStringLiteral("a.jpg"), dir.filePath(QStringLiteral("a.jpg"))},
                          {QStringLiteral("b.f"), dir.filePath(QStringLiteral("b.f"))}},
                         {}, &error));
    const QByteArray original = Read(archive);
    const QString damaged = dir.filePath(QStringLiteral("damaged.bkp"));
    const QString out = dir.filePath(QStringLiteral("out/"));
    int caught = 0;
    for (int at = 0; at < original.size(); at += at < 160 ? 1 : 97) {
        QByteArray bytes = original;
        bytes[at] = char(bytes[at] ^ 0x5A);
        Write(damaged, bytes);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        int index = 0;
        const bool extracted = ExtractCabinet(
            damaged, out, [&](const CabinetEntry&) { return QStringLiteral("e%1").arg(index++); }, {}, &error);
        if (!extracted) {
            ++caught;
            QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
            continue;
        }
        QCOMPARE(index, 2);
        for (int i = 0; i < 2; ++i)
            QVERIFY2(Read(out + QStringLiteral("e%1").arg(i)) == contents[i],
                     qPrintable(QStringLiteral("byte %1 changed, entry %2 extracted wrong").arg(at).arg(i)));
        QVERIFY2(VerifyCabinetFile(damaged, nullptr, &error), qPrintable(error));
    }
    QVERIFY(caught > 0);
}

void TestCabinet::incompleteSets() {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("x.bkp"));
    QList<CabinetSource> sources;
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("Doc%1.jpg").arg(i);
        Write(dir.filePath(name), TextBytes(500));
        sources.append({name, dir.filePath(name)});
    }
    CabinetLimits limits;
    limits.entriesPerCabinet = 1;
    SetCabinetLimitsForTesting(limits);
    QString error;
    QVERIFY2(WriteCabinet(archive, sources, {}, &error), qPrintable(error));
    // Another set's part under the name of part 2.
    const QString other = dir.filePath(QStringLiteral("other.bkp"));
    QVERIFY2(WriteCabinet(other, sources, {}, &error), qPrintable(error));
    ResetCabinetLimits();

    error.clear();
    QVERIFY(!CabinetSetParts(CabinetPartName(archive, 2), nullptr, &error));
    QVERIFY2(error.contains(QStringLiteral("partie 2")), qPrintable(error));

    const QByteArray third = Read(CabinetPartName(archive, 3));
    QVERIFY(QFile::remove(CabinetPartName(archive, 3)));
    error.clear();
    QVERIFY(!ExtractCabinet(
        archive, dir.path(), [](const CabinetEntry& e) { return e.name + QStringLiteral(".out"); }, {}, &error));
    QVERIFY2(error.contains(CabinetPartName(archive, 3)), qPrintable(error));
    Write(CabinetPartName(archive, 3), third);

    QVERIFY(QFile::remove(CabinetPartName(archive, 2)));
    QVERIFY(QFile::copy(CabinetPartName(other, 2), CabinetPartName(archive, 2)));
    error.clear();
    QVERIFY(!CabinetSetParts(archive, nullptr, &error));
    QVERIFY2(error.contains(QStringLiteral("autre sauvegarde")), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.out")}, QDir::Files), QStringList());
}

void TestCabinet::extractionStaysInsideItsFolder() {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("x.bkp"));
    Write(dir.filePath(QStringLiteral("a.jpg")), "A");
    QString error;
    QVERIFY(WriteCabinet(archive, {{QStringLiteral("a.jpg"), dir.filePath(QStringLiteral("a.jpg"))}}, {}, &error));
    const QString outFolder = dir.filePath(QStringLiteral("deep/out"));
    QDir().mkpath(outFolder);
    for (const QString& escape :
         {QStringLiteral("../a.jpg"), QStringLiteral("/tmp/a.jpg"), QStringLiteral("x/../../a.jpg")}) {
        QVERIFY2(ExtractCabinet(
                     archive, outFolder, [&](const CabinetEntry&) { return escape; }, {}, &error),
                 qPrintable(error));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("deep"))).entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(outFolder).entryList(QDir::Files), QStringList());
    }
    QVERIFY(ExtractCabinet(
        archive, outFolder, [](const CabinetEntry&) { return QStringLiteral("sub/b.jpg"); }, {}, &error));
    QCOMPARE(Read(outFolder + QStringLiteral("/sub/b.jpg")), QByteArray("A"));
}

void TestCabinet::readsArchivesOfLibgcab() {
    // An archive made by another writer (gcab's own tool) reads and checks the same way.
    QTemporaryDir dir;
    Write(dir.filePath(QStringLiteral("a.jpg")), RandomBytes(100000, 9));
    Write(dir.filePath(QStringLiteral("b.f")), TextBytes(70000));
    QProcess gcab;
    gcab.setWorkingDirectory(dir.path());
    gcab.start(QStringLiteral("gcab"), {QStringLiteral("-c"), QStringLiteral("-z"), QStringLiteral("g.cab"),
                                        QStringLiteral("a.jpg"), QStringLiteral("b.f")});
    QVERIFY(gcab.waitForFinished(60000));
    QCOMPARE(gcab.exitCode(), 0);
    QList<CabinetEntry> entries;
    QString error;
    QVERIFY2(VerifyCabinetFile(dir.filePath(QStringLiteral("g.cab")), &entries, &error), qPrintable(error));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[1].name, QStringLiteral("b.f"));
    QCOMPARE(entries[1].size, qint64(70000));
}

QTEST_GUILESS_MAIN(TestCabinet)
#include "TestCabinet.moc"
