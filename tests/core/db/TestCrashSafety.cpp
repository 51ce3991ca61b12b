// A writer killed at any moment leaves a sound database: this executable, started again with --writer, writes
// rows through the program's connection and datasets until the test kills it with SIGKILL; the test then checks
// the file's integrity and that every transaction is there whole or not at all.
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "support/FixtureDatabase.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <cstdio>

namespace {

const char kWriterOption[] = "--writer";
const QString kWriterConnection = QStringLiteral("writer");
const QString kCheckConnection = QStringLiteral("check");
// Results written with each person in one transaction.
constexpr int kResultsPerTransaction = 20;
// The two catalogue rows between which each transaction moves one unit: their sum never changes.
constexpr qint64 kDebit = 1;
constexpr qint64 kCredit = 2;
constexpr double kBalance = 1000.0;

void Say(const QByteArray& line) {
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

bool Fail(const QString& what) {
    Say("error " + what.toUtf8());
    return false;
}

// One transaction: a person through a dataset, its person-analysis and results through prepared statements, and
// a transfer between two catalogue rows through a dataset; committed, or rolled back when keep is false.
bool WriteTransaction(QSqlDatabase& db, const QString& name, bool keep) {
    if (!db.transaction()) return Fail(db.lastError().text());
    QString error;
    Dataset person(QStringLiteral("Person"));
    person.setConnectionName(kWriterConnection);
    person.setSql({QStringLiteral("SELECT * FROM PERSON"), QStringLiteral("WHERE Id=-1")});
    if (!person.open(&error) || !person.append() || !person.setValue(QStringLiteral("Name"), name) ||
        !person.setValue(QStringLiteral("BirthDay_Weight"), 3.2) || !person.post(&error))
        return Fail(error);
    const qint64 personId = person.asInteger(QStringLiteral("Id"));

    QSqlQuery attach(db);
    attach.prepare(QStringLiteral("INSERT INTO L_ANALYSIS (Id_File, Id_Ref, Id_Analysis) VALUES (-1, ?, ?)"));
    attach.addBindValue(personId);
    attach.addBindValue(kDebit);
    if (!attach.exec()) return Fail(attach.lastError().text());
    const qint64 personAnalysis = attach.lastInsertId().toLongLong();

    QSqlQuery result(db);
    result.prepare(QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis) VALUES (?, ?, ?)"));
    for (int i = 0; i < kResultsPerTransaction; ++i) {
        result.addBindValue(personAnalysis);
        result.addBindValue(QDate(2024, 1, 1).addDays(i).toString(Qt::ISODate));
        result.addBindValue(i * 0.5);
        if (!result.exec()) return Fail(result.lastError().text());
    }

    Dataset catalogue(QStringLiteral("Lst_Analysis"));
    catalogue.setConnectionName(kWriterConnection);
    catalogue.setSql({QStringLiteral("SELECT * FROM LST_ANALYSIS"), QStringLiteral("ORDER BY TITLE")});
    if (!catalogue.open(&error)) return Fail(error);
    for (const auto& [id, change] : {std::pair{kDebit, -1.0}, std::pair{kCredit, 1.0}}) {
        if (!catalogue.locate(id) || !catalogue.edit() ||
            !catalogue.setValue(QStringLiteral("Value_Min"),
                                catalogue.asDouble(QStringLiteral("Value_Min")) + change) ||
            !catalogue.post(&error))
            return Fail(error);
    }
    if (!keep) return db.rollback() || Fail(db.lastError().text());
    return db.commit() || Fail(db.lastError().text());
}

// Writes until killed. Reports "committed N" after the N-th kept transaction has committed and "single N" after
// the N-th statement of its own (an event) has run.
int RunRowWriter(const QString& path, const QString& tag) {
    QString error;
    if (!OpenDatabaseFile(kWriterConnection, path, &error)) {
        Fail(error);
        return 1;
    }
    QSqlDatabase db = QSqlDatabase::database(kWriterConnection, false);
    Say("ready");
    int committed = 0;
    int singles = 0;
    Dataset events(QStringLiteral("Event"));
    events.setConnectionName(kWriterConnection);
    events.setSql({QStringLiteral("SELECT * FROM EVENT"), QStringLiteral("WHERE Event.Id_Ref=0")});
    for (int round = 1;; ++round) {
        // Every fourth transaction is abandoned: none of it may ever be seen.
        const bool keep = round % 4 != 0;
        const QString name = (keep ? QStringLiteral("T%1-%2") : QStringLiteral("R%1-%2")).arg(tag).arg(round);
        if (!WriteTransaction(db, name, keep)) return 1;
        if (keep) Say("committed " + QByteArray::number(++committed));

        // A row of its own, outside any transaction, through a dataset.
        if (!events.open(&error) || !events.append() || !events.setValue(QStringLiteral("Id_Ref"), 0) ||
            !events.setValue(QStringLiteral("Date_Event"), QDate(2024, 6, 1)) ||
            !events.setValue(QStringLiteral("Description"), QStringLiteral("E%1-%2").arg(tag).arg(singles + 1)) ||
            !events.post(&error)) {
            Fail(error);
            return 1;
        }
        events.close();
        Say("single " + QByteArray::number(++singles));
    }
}

// Compacts the database into target again and again until killed.
int RunCompactWriter(const QString& path, const QString& target) {
    Say("ready");
    for (int done = 1;; ++done) {
        QString error;
        if (!CompactDatabaseFile(path, target, &error)) {
            Fail(error);
            return 1;
        }
        Say("compacted " + QByteArray::number(done));
    }
}

struct Round {
    QStringList lines;
    int last(const QByteArray& word) const {
        int value = 0;
        for (const QString& line : lines)
            if (line.startsWith(QString::fromLatin1(word) + QLatin1Char(' ')))
                value = line.section(QLatin1Char(' '), 1).toInt();
        return value;
    }
};

qint64 Integer(const QString& statement) {
    QString error;
    const qint64 value = QueryInteger(statement, kCheckConnection, &error);
    return error.isEmpty() ? value : -1000;
}

QString IntegrityCheck() {
    QSqlQuery query(QSqlDatabase::database(kCheckConnection, false));
    if (!query.exec(QStringLiteral("PRAGMA integrity_check"))) return query.lastError().text();
    QStringList lines;
    while (query.next())
        lines << query.value(0).toString();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_database;

    // Starts a writer, lets it work for a random moment, kills it, and returns what it reported.
    Round killWriterAfter(const QStringList& arguments, int milliseconds) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(),
                     QStringList{QString::fromLatin1(kWriterOption)} + arguments);
        Round round;
        if (!writer.waitForStarted(5000) || !writer.waitForReadyRead(10000)) {
            round.lines << QStringLiteral("error writer did not start");
            writer.kill();
            writer.waitForFinished();
            return round;
        }
        QThread::msleep(milliseconds);
        ::kill(writer.processId(), SIGKILL);
        writer.waitForFinished(10000);
        round.lines = QString::fromUtf8(writer.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return round;
    }

    void checkRowRound(const QString& tag, const Round& round) {
        QVERIFY2(OpenDatabaseFile(kCheckConnection, m_database), qPrintable(m_database));
        const auto closeCheck = qScopeGuard([] { CloseDatabase(kCheckConnection); });
        QCOMPARE(IntegrityCheck(), QStringLiteral("ok"));

        // Reported commits are there; at most one more committed before its report.
        const int committed = round.last("committed");
        const qint64 persons = Integer(QStringLiteral("SELECT count(*) FROM PERSON WHERE Name LIKE 'T%1-%'").arg(tag));
        QVERIFY2(persons == committed || persons == committed + 1,
                 qPrintable(QStringLiteral("%1 persons for %2 reported commits").arg(persons).arg(committed)));
        const int singles = round.last("single");
        const qint64 events =
            Integer(QStringLiteral("SELECT count(*) FROM EVENT WHERE Description LIKE 'E%1-%'").arg(tag));
        QVERIFY2(events == singles || events == singles + 1,
                 qPrintable(QStringLiteral("%1 events for %2 reported").arg(events).arg(singles)));

        // Every transaction, of this round and the earlier ones, is whole; an abandoned one left nothing.
        QCOMPARE(Integer(QStringLiteral("SELECT count(*) FROM PERSON WHERE Name LIKE 'R%'")), qint64(0));
        QCOMPARE(Integer(QStringLiteral("SELECT count(*) FROM PERSON p WHERE (SELECT count(*) FROM L_ANALYSIS l "
                                        "WHERE l.Id_Ref = p.Id) <> 1")),
                 qint64(0));
        QCOMPARE(Integer(QStringLiteral("SELECT count(*) FROM L_ANALYSIS l WHERE (SELECT count(*) FROM ANALYSIS a "
                                        "WHERE a.Id_Ref = l.Id) <> %1")
                             .arg(kResultsPerTransaction)),
                 qint64(0));
        const qint64 allPersons = Integer(QStringLiteral("SELECT count(*) FROM PERSON"));
        QCOMPARE(Integer(QStringLiteral("SELECT count(*) FROM ANALYSIS")), allPersons * kResultsPerTransaction);
        QCOMPARE(Integer(QStringLiteral("SELECT CAST(sum(Value_Min) AS INTEGER) FROM LST_ANALYSIS")),
                 qint64(2 * kBalance));
        QCOMPARE(Integer(QStringLiteral("SELECT CAST(Value_Min AS INTEGER) FROM LST_ANALYSIS WHERE Id=%1").arg(kDebit)),
                 qint64(kBalance - allPersons));
    }

    void checkCompactRound(const QString& target, qint64 persons) {
        QVERIFY2(OpenDatabaseFile(kCheckConnection, m_database), qPrintable(m_database));
        QCOMPARE(IntegrityCheck(), QStringLiteral("ok"));
        QCOMPARE(Integer(QStringLiteral("SELECT count(*) FROM PERSON")), persons);
        CloseDatabase(kCheckConnection);
        // The copy is complete or absent.
        if (!QFile::exists(target)) return;
        QVERIFY2(OpenDatabaseFile(kCheckConnection, target), qPrintable(target));
        const auto closeCheck = qScopeGuard([] { CloseDatabase(kCheckConnection); });
        QCOMPARE(IntegrityCheck(), QStringLiteral("ok"));
        QCOMPARE(Integer(QStringLiteral("SELECT count(*) FROM PERSON")), persons);
        QCOMPARE(Integer(QStringLiteral("SELECT count(*) FROM ANALYSIS")), persons * kResultsPerTransaction);
    }

private slots:
    void initTestCase() {
        m_database = m_folder.path() + QStringLiteral("/Access/KESTOVRAN.MDB");
        QString error;
        QVERIFY2(CopyStartingDatabase(m_database, &error), qPrintable(error));
        QVERIFY2(OpenDatabaseFile(kCheckConnection, m_database, &error), qPrintable(error));
        {
            QSqlQuery insert(QSqlDatabase::database(kCheckConnection, false));
            QVERIFY2(insert.exec(QStringLiteral("INSERT INTO LST_ANALYSIS (Id, Title, Value_Min) VALUES (%1, 'Débit', "
                                                "%3), (%2, 'Crédit', %3)")
                                     .arg(kDebit)
                                     .arg(kCredit)
                                     .arg(kBalance)),
                     qPrintable(insert.lastError().text()));
        }
        CloseDatabase(kCheckConnection);
    }

    void writerKilledAtRandomMoments() {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qInfo("seed %u", seed);
        const QString target = m_folder.path() + QStringLiteral("/Access/Compacted.MDB");
        QElapsedTimer elapsed;
        elapsed.start();
        int rowRounds = 0;
        int compactRounds = 0;
        int reportedCommits = 0;
        int reportedCompactions = 0;
        // Bounded in rounds and in time; every third round kills a compaction instead of a row writer.
        for (int round = 1; round <= 24 && (round <= 4 || elapsed.elapsed() < 5000); ++round) {
            const int delay = 5 + int(random.bounded(150));
            if (round % 3 == 0) {
                qint64 persons = 0;
                QVERIFY(OpenDatabaseFile(kCheckConnection, m_database));
                persons = QueryInteger(QStringLiteral("SELECT count(*) FROM PERSON"), kCheckConnection);
                CloseDatabase(kCheckConnection);
                const Round result = killWriterAfter({QStringLiteral("compact"), m_database, target}, delay);
                QVERIFY2(result.lines.filter(QStringLiteral("error")).isEmpty(),
                         qPrintable(result.lines.join(QLatin1Char('\n'))));
                checkCompactRound(target, persons);
                if (QTest::currentTestFailed()) return;
                reportedCompactions += result.last("compacted");
                ++compactRounds;
            } else {
                const QString tag = QString::number(round);
                const Round result = killWriterAfter({QStringLiteral("rows"), m_database, tag}, delay);
                QVERIFY2(result.lines.filter(QStringLiteral("error")).isEmpty(),
                         qPrintable(result.lines.join(QLatin1Char('\n'))));
                checkRowRound(tag, result);
                if (QTest::currentTestFailed()) {
                    qInfo("round %d killed after %d ms: %s", round, delay, qPrintable(result.lines.join(' ')));
                    return;
                }
                reportedCommits += result.last("committed");
                ++rowRounds;
            }
        }
        qInfo("%d writers and %d compactions killed; %d transactions and %d compactions reported done", rowRounds,
              compactRounds, reportedCommits, reportedCompactions);
        // The kills fell while work was going on, not only before it started.
        QVERIFY(reportedCommits > 0);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], kWriterOption) == 0) {
        const QString mode = QString::fromLocal8Bit(argv[2]);
        const QString path = QFile::decodeName(argv[3]);
        return mode == QLatin1String("compact") ? RunCompactWriter(path, QFile::decodeName(argv[4]))
                                                : RunRowWriter(path, QString::fromLocal8Bit(argv[4]));
    }
    TestCrashSafety test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestCrashSafety.moc"
