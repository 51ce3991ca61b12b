// Backup and restoration of a data set of about 300 MB (150 pictures, 50 attached files, a 30 MB database),
// beside gcab -c -z (libgcab's own writer) and cabextract on the same files in the same run. Each side runs as a
// process of its own under GNU time, which reports its peak memory.
//   bench-BackupBench [pictures] [picture size in kB]
#include "core/app/ProgressReporter.h"
#include "core/archive/Cabinet.h"
#include "core/db/Restore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Measure {
    bool ok = false;
    double seconds = 0;
    double peakMegabytes = 0;
};

// Runs the command under GNU time, whose own small process forks it: the peak it reports is the command's alone,
// not inherited from this process's memory.
Measure RunMeasured(const QStringList& command, const QString& workingDirectory) {
    Measure measure;
    const QString report = QDir(workingDirectory).filePath(QStringLiteral("time-report.txt"));
    QList<QByteArray> arguments{"/usr/bin/time", "-f", "%M", "-o", QFile::encodeName(report)};
    for (const QString& part : command)
        arguments.append(QFile::encodeName(part));
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    // Each run starts with nothing of the runs before it still waiting to be written to disk.
    ::sync();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workingDirectory);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    QDir::setCurrent(previous);
    if (spawned != 0) return measure;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return measure;
    measure.seconds = timer.nsecsElapsed() / 1e9;
    QFile file(report);
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
        measure.peakMegabytes = lines.last().trimmed().toDouble() / 1024.0;
    }
    file.close();
    QFile::remove(report);
    measure.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measure;
}

QByteArray Pseudorandom(qint64 size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

QByteArray TextLike(qint64 size, int seed) {
    QByteArray text;
    text.reserve(size);
    for (int line = 0; text.size() < size; ++line)
        text += "Résultat " + QByteArray::number(line * 7 + seed) + " ; glycémie " +
                QByteArray::number((line * 13) % 97) + " mmol/l ; observation du " + QByteArray::number(line % 28 + 1) +
                "/06/2024\n";
    text.truncate(size);
    return text;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A database of about 30 MB that opens as the program's: a PERSON table and rows of text.
bool MakeDatabase(const QString& path) {
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(path);
        done = db.open();
        QSqlQuery query(db);
        done = done && query.exec(QStringLiteral("CREATE TABLE PERSON (Id INTEGER PRIMARY KEY, Name TEXT)")) &&
               query.exec(QStringLiteral("CREATE TABLE ANALYSIS (Id INTEGER PRIMARY KEY, Note TEXT)")) &&
               db.transaction() && query.prepare(QStringLiteral("INSERT INTO ANALYSIS (Note) VALUES (?)"));
        for (int i = 0; done && i < 30000; ++i) {
            query.addBindValue(QString::fromUtf8(TextLike(1000, i)));
            done = query.exec();
        }
        done = done && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return done;
}

QList<CabinetSource> Sources(const QString& dbDir) {
    QList<CabinetSource> sources{{QStringLiteral("KESTOVRAN.MDB"), dbDir + QStringLiteral("Access/KESTOVRAN.MDB")}};
    for (const QString& name : QDir(dbDir + QStringLiteral("Images")).entryList(QDir::Files, QDir::Name))
        sources.append({name, dbDir + QStringLiteral("Images/") + name});
    for (const QString& name : QDir(dbDir + QStringLiteral("Files")).entryList(QDir::Files, QDir::Name))
        sources.append({name, dbDir + QStringLiteral("Files/") + name});
    return sources;
}

int Child(const QStringList& arguments) {
    QString error;
    SilentProgress progress;
    bool done = false;
    if (arguments.value(1) == QLatin1String("--write"))
        done = WriteCabinet(arguments.value(2), Sources(arguments.value(3)), {}, &error);
    if (arguments.value(1) == QLatin1String("--restore"))
        done = RestoreArchiveFiles(arguments.value(2), arguments.value(3), progress, &error);
    if (!done) std::fprintf(stderr, "%s\n", qPrintable(error));
    return done ? 0 : 1;
}

void Print(const char* what, const Measure& measure, double megabytes) {
    if (!measure.ok) {
        std::printf("%-44s failed\n", what);
        return;
    }
    std::printf("%-44s %7.2f s %8.1f MB/s   peak %6.1f MB\n", what, measure.seconds, megabytes / measure.seconds,
                measure.peakMegabytes);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.value(1).startsWith(QLatin1String("--"))) return Child(arguments);

    const int pictures = arguments.size() > 1 ? arguments[1].toInt() : 150;
    const int pictureKiloBytes = arguments.size() > 2 ? arguments[2].toInt() : 1600;
    QTemporaryDir root;
    const QString dbDir = root.filePath(QStringLiteral("Data/"));
    QDir().mkpath(dbDir + QStringLiteral("Access"));
    QDir().mkpath(dbDir + QStringLiteral("Images"));
    QDir().mkpath(dbDir + QStringLiteral("Files"));
    if (!MakeDatabase(dbDir + QStringLiteral("Access/KESTOVRAN.MDB"))) return 1;
    // Pictures are JPEG data: next to incompressible. Attached files are a mix of text and binary.
    for (int i = 1; i <= pictures; ++i)
        WriteFile(dbDir + QStringLiteral("Images/Doc%1.jpg").arg(i), Pseudorandom(qint64(pictureKiloBytes) * 1000, i));
    for (int i = 1; i <= 50; ++i)
        WriteFile(dbDir + QStringLiteral("Files/File%1.f").arg(i),
                  i % 2 ? TextLike(400000, i) : Pseudorandom(400000, 1000 + i));
    qint64 total = 0;
    QStringList relative;
    for (const CabinetSource& source : Sources(dbDir)) {
        total += QFileInfo(source.path).size();
        relative.append(QDir(dbDir).relativeFilePath(source.path));
    }
    const double megabytes = total / 1e6;
    std::printf("Data set: %lld files, %.1f MB\n", static_cast<long long>(relative.size()), megabytes);

    const QString self = QCoreApplication::applicationFilePath();
    const QString ours = root.filePath(QStringLiteral("ours.bkp"));
    const QString theirs = root.filePath(QStringLiteral("gcab.cab"));
    Print("backup (write and verify)", RunMeasured({self, QStringLiteral("--write"), ours, dbDir}, root.path()),
          megabytes);
    Print(
        "gcab -c -z",
        RunMeasured(QStringList{QStringLiteral("gcab"), QStringLiteral("-c"), QStringLiteral("-z"), theirs} + relative,
                    dbDir),
        megabytes);
    std::printf("archive sizes: ours %.1f MB, gcab %.1f MB\n", QFileInfo(ours).size() / 1e6,
                QFileInfo(theirs).size() / 1e6);

    const QString target = root.filePath(QStringLiteral("Restored/"));
    QDir().mkpath(target + QStringLiteral("Access"));
    QFile::copy(dbDir + QStringLiteral("Access/KESTOVRAN.MDB"), target + QStringLiteral("Access/KESTOVRAN.MDB"));
    Print("restore (extract, check, swap)", RunMeasured({self, QStringLiteral("--restore"), ours, target}, root.path()),
          megabytes);
    const QString extracted = root.filePath(QStringLiteral("cabextract/"));
    QDir().mkpath(extracted);
    Print("cabextract",
          RunMeasured({QStringLiteral("cabextract"), QStringLiteral("-q"), QStringLiteral("-d"), extracted, ours},
                      root.path()),
          megabytes);
    return 0;
}
