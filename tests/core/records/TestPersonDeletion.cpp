// A person deleted with everything it owns, rows and files, in one transaction: another person's rows and files stay,
// a failure at any step leaves the person whole, and the Person query's own handlers (the new row written at once,
// the photo and documents going with a deleted row).
#include "support/MainFormFixture.h"

#include "core/app/Folders.h"
#include "core/db/Dataset.h"
#include "core/documents/StoredPictures.h"
#include "core/records/PersonRecords.h"
#include "core/records/RecordActions.h"
#include "support/RecordingMessages.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kAlice = 5;
constexpr qint64 kBruno = 9;

void WriteFile(const QString& path, const QByteArray& bytes = QByteArray("stored bytes")) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(path));
}

int Count(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection, false));
    if (!query.exec(statement) || !query.next()) return -1;
    return query.value(0).toInt();
}

// Everything a person owns, for the fixture below (base numbers the person's documents and analyses).
struct Holdings {
    QMap<QString, int> rows;
    QMap<QString, bool> files;
    bool operator==(const Holdings&) const = default;
};

// What differs shows in a failed comparison.
char* toString(const Holdings& holdings) {
    QStringList parts;
    for (auto count = holdings.rows.cbegin(); count != holdings.rows.cend(); ++count)
        parts << count.key() + QLatin1Char('=') + QString::number(count.value());
    for (auto file = holdings.files.cbegin(); file != holdings.files.cend(); ++file)
        parts << file.key() + (file.value() ? QStringLiteral(" on disk") : QStringLiteral(" gone"));
    return qstrdup(qPrintable(parts.join(QStringLiteral(", "))));
}

QStringList OwnedFiles(qint64 person, qint64 base) {
    return {PersonPhotoFile(person), DocumentImageFile(base + 1), DocumentImageFile(base + 2),
            StoredDocumentFile(base + 1)};
}

Holdings HoldingsOf(qint64 person, qint64 base) {
    Holdings holdings;
    const QString id = QString::number(person);
    holdings.rows[QStringLiteral("PERSON")] = Count(QStringLiteral("SELECT COUNT(*) FROM PERSON WHERE Id=") + id);
    for (const char* table :
         {"EVENT", "DOCUMENTIMG", "DOCUMENTFILE", "L_ANALYSIS", "Weight", "[Size]", "[Action]", "Vaccine"})
        holdings.rows[QLatin1String(table)] =
            Count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE Id_Ref=%2").arg(QLatin1String(table), id));
    // The results of the person's person-analysis, by its own Id: they must not outlive it.
    holdings.rows[QStringLiteral("ANALYSIS")] =
        Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref=") + QString::number(base + 1));
    for (const QString& file : OwnedFiles(person, base))
        holdings.files[QFileInfo(file).fileName()] = QFileInfo::exists(file);
    return holdings;
}

// A person with a photo, two image documents, one file document, two events, a person-analysis with two results
// and a row in each older table.
void AddPersonWithEverything(qint64 person, qint64 base, const QString& name) {
    MainFormFixture::AddPerson(person, name, QStringLiteral("Test"), {}, MainFormFixture::Thumbnail(Qt::blue));
    WriteFile(PersonPhotoFile(person));
    for (qint64 document : {base + 1, base + 2}) {
        MainFormFixture::AddImageDocument(document, person, QStringLiteral("Radio"), QByteArray("thumb"));
        WriteFile(DocumentImageFile(document));
    }
    MainFormFixture::AddFileDocument(base + 1, person, QStringLiteral("compte-rendu.pdf"));
    WriteFile(StoredDocumentFile(base + 1));
    MainFormFixture::AddEvent(person, QStringLiteral("2024-03-02"), {}, QStringLiteral("Vaccin"));
    MainFormFixture::AddEvent(person, QStringLiteral("2024-03-02"), QStringLiteral("09:30"), QStringLiteral("Visite"));
    MainFormFixture::AddPersonAnalysis(base + 1, person, QStringLiteral("Glycémie ") + name);
    MainFormFixture::AddResult(base + 1, QStringLiteral("2024-01-15"), 1.05);
    MainFormFixture::AddResult(base + 1, QStringLiteral("2024-02-15"), 0.98);
    for (const char* table : {"Weight", "[Size]", "[Action]", "Vaccine"})
        MainFormFixture::Exec(QStringLiteral("INSERT INTO %1 (Id_Ref) VALUES (?)").arg(QLatin1String(table)), {person});
}

// The same holdings with no row and no file left.
Holdings Nothing(qint64 person, qint64 base) {
    Holdings holdings = HoldingsOf(person, base);
    for (auto count = holdings.rows.begin(); count != holdings.rows.end(); ++count)
        *count = 0;
    for (auto file = holdings.files.begin(); file != holdings.files.end(); ++file)
        *file = false;
    return holdings;
}

} // namespace

class TestPersonDeletion : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_fixture = std::make_unique<MainFormFixture>();
        QVERIFY(m_fixture->ready());
        QVERIFY(QDir().mkpath(DbDir() + QStringLiteral("Images")));
        QVERIFY(QDir().mkpath(DbDir() + QStringLiteral("Files")));
        AddPersonWithEverything(kAlice, 100, QStringLiteral("Aubert"));
        AddPersonWithEverything(kBruno, 200, QStringLiteral("Blanc"));
        QVERIFY(person()->open());
    }
    void cleanup() { m_fixture.reset(); }

    void deletesEverythingOfThePerson() {
        const Holdings alice = HoldingsOf(kAlice, 100);
        const Holdings bruno = HoldingsOf(kBruno, 200);
        // The fixture is what it claims to be, so that the comparisons below mean something.
        QCOMPARE(alice.rows.value(QStringLiteral("DOCUMENTIMG")), 2);
        QCOMPARE(alice.rows.value(QStringLiteral("ANALYSIS")), 2);
        QVERIFY(!alice.files.values().contains(false));

        QVERIFY(person()->locate(kAlice));
        QString error;
        QVERIFY2(DeletePerson(&error), qPrintable(error));
        QCOMPARE(HoldingsOf(kAlice, 100), Nothing(kAlice, 100));
        QCOMPARE(HoldingsOf(kBruno, 200), bruno);
        QCOMPARE(person()->recordCount(), 1);
        QCOMPARE(person()->asInteger(QStringLiteral("Id")), kBruno);
        // The person-analyses query is left on every person again, closed.
        QVERIFY(!m_fixture->module()->L_Analysis->isOpen());
        QVERIFY(m_fixture->module()->L_Analysis->sql().contains(QStringLiteral("WHERE L_ANALYSIS.Id_Analysis>-1")));
    }

    void personWithoutAnything() {
        MainFormFixture::AddPerson(3, QStringLiteral("Seul"), QStringLiteral("Sans rien"));
        QVERIFY(person()->open());
        QVERIFY(person()->locate(3));
        const Holdings alice = HoldingsOf(kAlice, 100);
        QString error;
        QVERIFY2(DeletePerson(&error), qPrintable(error));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM PERSON WHERE Id=3")), 0);
        QCOMPARE(HoldingsOf(kAlice, 100), alice);
    }

    // Whichever step fails, the database keeps every row and the disk every file, the Person query is back on the
    // person, and the deletion can be run again once the cause is gone.
    void failureMidwayLeavesThePersonWhole_data() {
        QTest::addColumn<QString>("breaking");
        QTest::addColumn<QString>("repairing");
        const auto refusal = [](const char* table, const QString& when = {}) {
            return QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON %1 %2 BEGIN SELECT RAISE(ABORT, 'refusé'); "
                                  "END")
                .arg(QLatin1String(table), when);
        };
        const QString repair = QStringLiteral("DROP TRIGGER refuse");
        QTest::newRow("second image document") << refusal("DOCUMENTIMG", QStringLiteral("WHEN OLD.Id = 102")) << repair;
        QTest::newRow("file document") << refusal("DOCUMENTFILE") << repair;
        QTest::newRow("older table missing") << QStringLiteral("ALTER TABLE Vaccine RENAME TO Vaccine_Aside")
                                             << QStringLiteral("ALTER TABLE Vaccine_Aside RENAME TO Vaccine");
        QTest::newRow("events") << refusal("EVENT") << repair;
        QTest::newRow("results") << refusal("ANALYSIS") << repair;
        QTest::newRow("person-analysis") << refusal("L_ANALYSIS") << repair;
        QTest::newRow("person row") << refusal("PERSON") << repair;
    }

    void failureMidwayLeavesThePersonWhole() {
        QFETCH(QString, breaking);
        QFETCH(QString, repairing);
        const Holdings alice = HoldingsOf(kAlice, 100);
        const Holdings bruno = HoldingsOf(kBruno, 200);
        MainFormFixture::Exec(breaking);
        QVERIFY(person()->locate(kAlice));

        QString error;
        QVERIFY(!DeletePerson(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(person()->recordCount(), 2);
        QCOMPARE(person()->asInteger(QStringLiteral("Id")), kAlice);
        // No transaction is left open on the connection.
        QSqlDatabase db = QSqlDatabase::database(kMainConnection);
        QVERIFY(db.transaction());
        QVERIFY(db.rollback());

        MainFormFixture::Exec(repairing);
        QCOMPARE(HoldingsOf(kAlice, 100), alice);
        QCOMPARE(HoldingsOf(kBruno, 200), bruno);
        QVERIFY2(DeletePerson(&error), qPrintable(error));
        QCOMPARE(HoldingsOf(kAlice, 100), Nothing(kAlice, 100));
        QCOMPARE(HoldingsOf(kBruno, 200), bruno);
    }

    // Inserting into the Person query writes the row at once: it has its Id and exists in the database while the
    // editor fills it, with empty memos and no pictures.
    void newRowIsWrittenAtOnce() {
        QVERIFY(person()->locate(kBruno));
        QVERIFY(person()->insert());
        QCOMPARE(person()->state(), Dataset::State::Edit);
        const qint64 id = person()->asInteger(QStringLiteral("Id"));
        QVERIFY(id > kBruno);
        QSqlQuery stored(QSqlDatabase::database(kMainConnection));
        QVERIFY(stored.exec(QStringLiteral("SELECT Org_Secu, Org_Comp, Previous, Misc11, Misc12, ImgMini1, Img1, Name "
                                           "FROM PERSON WHERE Id=") +
                            QString::number(id)));
        QVERIFY(stored.next());
        for (int memo = 0; memo < 5; ++memo) {
            QVERIFY(!stored.value(memo).isNull());
            QCOMPARE(stored.value(memo).toString(), QString());
        }
        QVERIFY(stored.value(5).isNull());
        QVERIFY(stored.value(6).isNull());
        QVERIFY(stored.value(7).isNull());
        // What is typed next goes into that row.
        QVERIFY(person()->setValue(QStringLiteral("Name"), QStringLiteral("Nouveau")));
        QVERIFY(person()->post());
        QCOMPARE(
            Count(QStringLiteral("SELECT COUNT(*) FROM PERSON WHERE Name='Nouveau' AND Id=") + QString::number(id)), 1);
    }

    // The row alone, as the editor abandons a new person: with its photo file, in one transaction.
    void deletingTheCurrentRow_data() {
        QTest::addColumn<bool>("refused");
        QTest::newRow("deleted") << false;
        QTest::newRow("refused by the database") << true;
    }

    void deletingTheCurrentRow() {
        QFETCH(bool, refused);
        QVERIFY(person()->insert());
        const qint64 id = person()->asInteger(QStringLiteral("Id"));
        WriteFile(PersonPhotoFile(id));
        if (refused)
            MainFormFixture::Exec(QStringLiteral(
                "CREATE TRIGGER refuse BEFORE DELETE ON PERSON BEGIN SELECT RAISE(ABORT, 'refusé'); END"));
        const Holdings bruno = HoldingsOf(kBruno, 200);
        QString error;
        QCOMPARE(DeleteCurrentPersonRow(*m_fixture->module(), &error), !refused);
        QCOMPARE(QFileInfo::exists(PersonPhotoFile(id)), refused);
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM PERSON WHERE Id=") + QString::number(id)), refused ? 1 : 0);
        QCOMPARE(HoldingsOf(kBruno, 200), bruno);
        if (refused) QCOMPARE(person()->asInteger(QStringLiteral("Id")), id);
    }

    // Deleted through the query by anyone else, a person's photo and documents still go with the row.
    void rowDeletedThroughTheQuery() {
        QVERIFY(person()->locate(kAlice));
        QString error;
        QVERIFY2(person()->remove(&error), qPrintable(error));
        const Holdings alice = HoldingsOf(kAlice, 100);
        for (const bool exists : alice.files)
            QVERIFY(!exists);
        QCOMPARE(alice.rows.value(QStringLiteral("PERSON")), 0);
        QCOMPARE(alice.rows.value(QStringLiteral("DOCUMENTIMG")), 0);
        QCOMPARE(alice.rows.value(QStringLiteral("DOCUMENTFILE")), 0);
    }

private:
    Dataset* person() const { return m_fixture->module()->Person; }

    RecordingMessages m_messages;
    std::unique_ptr<MainFormFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestPersonDeletion)
#include "TestPersonDeletion.moc"
