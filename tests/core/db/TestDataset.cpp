// Datasets as the windows use them: reading, moving, editing, adding and deleting rows, the row
// hooks and notifications, write-back through aliases and keys, and clause-line surgery.
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetModel.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kStartingDatabase = QStringLiteral(QUORVEL_STAGED_PROGRAM_DIR "/Ressources/DB/Data/Access/KESTOVRAN.MDB");

void Exec(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    QVERIFY2(query.exec(sql), qPrintable(sql));
}

qint64 Count(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(sql) || !query.next()) return -1;
    return query.value(0).toLongLong();
}

} // namespace

class TestDataset : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;
    TDataModule1* m_module = nullptr;

private slots:
    void init() {
        const QString path = m_folder.filePath(QStringLiteral("KESTOVRAN.MDB"));
        QFile::remove(path);
        QVERIFY(QFile::copy(kStartingDatabase, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        m_module = new TDataModule1;
        QString error;
        QVERIFY2(OpenDatabaseFile(kMainConnection, path, &error), qPrintable(error));
        Exec(QStringLiteral(
            "INSERT INTO PERSON (Name, ForeName, Comment1, Custom00144243) VALUES "
            "('Eric', 'Paul', 'bleu', '180'), ('émile', 'Zoé', NULL, NULL), ('Eddy', 'Anne', NULL, NULL)"));
    }

    void cleanup() {
        delete m_module;
        m_module = nullptr;
    }

    void personsSortAsAFrenchReaderExpects() {
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        QStringList names;
        for (person.first(); !person.eof(); person.next())
            names << person.asString(QStringLiteral("name"));
        QCOMPARE(names, (QStringList{"Eddy", "émile", "Eric"}));
        QVERIFY(person.eof());
        QCOMPARE(person.recNo(), 2);
    }

    void emptyDatasetIsAtBothEnds() {
        Dataset& event = *m_module->Event;
        QVERIFY(event.open());
        QVERIFY(IsEmptyDataSet(event));
        QVERIFY(event.bof() && event.eof());
        QCOMPARE(event.recNo(), -1);
        QVERIFY(!event.edit());
        QVERIFY(event.value(QStringLiteral("Description")).isNull());
    }

    void aliasedFieldsWriteToTheirColumns() {
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        QVERIFY(person.locate(1));
        QCOMPARE(person.asString(QStringLiteral("COLOR")), QStringLiteral("bleu"));
        QCOMPARE(person.asString(QStringLiteral("size")), QStringLiteral("180"));
        QVERIFY(person.edit());
        QVERIFY(person.setValue(QStringLiteral("Color"), QStringLiteral("vert")));
        QVERIFY(person.setValue(QStringLiteral("[No]").mid(1, 2), QStringLiteral("1 80 05 75 123 456")));
        QString error;
        QVERIFY2(person.post(&error), qPrintable(error));
        QCOMPARE(
            Count(QStringLiteral("SELECT count(*) FROM PERSON WHERE Comment1='vert' AND [No]='1 80 05 75 123 456'")),
            1);
        // Only the changed columns were written: another program's change to Size survives.
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM PERSON WHERE Custom00144243='180'")), 1);
    }

    void insertPostsAndReadsBackTheNewId() {
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        int newRecords = 0;
        person.onNewRecord = [&](Dataset& dataset) {
            ++newRecords;
            dataset.setValue(QStringLiteral("Id_File"), 0);
        };
        QVERIFY(person.append());
        QCOMPARE(person.state(), Dataset::State::Insert);
        QCOMPARE(newRecords, 1);
        QVERIFY(person.setValue(QStringLiteral("Name"), QStringLiteral("Zadig")));
        QVERIFY(person.post());
        QCOMPARE(person.asInteger(QStringLiteral("Id")), 4);
        QCOMPARE(person.recordCount(), 4);
        // Ids are never reused: a deleted last row does not give its number again.
        QVERIFY(person.remove());
        QVERIFY(person.append());
        QVERIFY(person.post());
        QCOMPARE(person.asInteger(QStringLiteral("Id")), 5);
    }

    // A row the database refuses stays where it is, in its state, whichever way the dataset is asked to move: its
    // saved values are never copied onto another row, nor its edits written over another row's key.
    void aRefusedRowDoesNotMove_data() {
        QTest::addColumn<QString>("move");
        for (const char* move : {"first", "last", "next", "prior", "moveTo", "locate"})
            QTest::newRow(move) << QString::fromLatin1(move);
    }

    void aRefusedRowDoesNotMove() {
        QFETCH(QString, move);
        Exec(QStringLiteral("CREATE TRIGGER RefuseName BEFORE UPDATE ON PERSON WHEN NEW.Name = 'Refusé' "
                            "BEGIN SELECT RAISE(ABORT, 'nom refusé par la base'); END"));
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        // Eddy (3), émile (2), Eric (1): émile, in the middle, can move every way.
        QVERIFY(person.moveTo(1));
        QCOMPARE(person.asInteger(QStringLiteral("Id")), 2);
        QVERIFY(person.edit());
        QVERIFY(person.setValue(QStringLiteral("Name"), QStringLiteral("Refusé")));

        QString error;
        bool moved = true;
        if (move == QLatin1String("first"))
            moved = person.first(&error);
        else if (move == QLatin1String("last"))
            moved = person.last(&error);
        else if (move == QLatin1String("next"))
            moved = person.next(&error);
        else if (move == QLatin1String("prior"))
            moved = person.prior(&error);
        else if (move == QLatin1String("moveTo"))
            moved = person.moveTo(0, &error);
        else
            moved = person.locate(3, &error);

        QVERIFY(!moved);
        QVERIFY2(error.contains(QStringLiteral("nom refusé par la base")), qPrintable(error));
        QCOMPARE(person.recNo(), 1);
        QCOMPARE(person.state(), Dataset::State::Edit);
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("Refusé"));
        QVERIFY(!person.bof() && !person.eof());

        // Cancelling gives the row back its own values; its neighbours keep theirs.
        person.cancel();
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("émile"));
        QVERIFY(person.moveTo(0));
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("Eddy"));
        QVERIFY(person.moveTo(2));
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("Eric"));
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM PERSON WHERE Id=2 AND Name='émile'")), 1);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM PERSON WHERE Id=3 AND Name='Eddy'")), 1);
    }

    void newRowHookMayPostAtOnce() {
        Dataset& event = *m_module->Event;
        QVERIFY(event.setSqlLine(1, QStringLiteral("WHERE ID_REF=2")));
        QVERIFY(event.open());
        event.onNewRecord = [](Dataset& dataset) {
            dataset.setValue(QStringLiteral("Id_Ref"), 2);
            dataset.setValue(QStringLiteral("Date_Event"), QDate(2008, 5, 12));
            dataset.post();
        };
        QVERIFY(event.append());
        QCOMPARE(event.state(), Dataset::State::Browse);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM EVENT WHERE Id_Ref=2 AND Date_Event='2008-05-12'")), 1);
        QCOMPARE(event.asDate(QStringLiteral("Date_Event")), QDate(2008, 5, 12));
        // Rows without an Id are addressed by their hidden key.
        QCOMPARE(event.keyField(), QStringLiteral("RowKey"));
        QVERIFY(event.edit());
        QVERIFY(event.setValue(QStringLiteral("Description"), QStringLiteral("Vaccin")));
        QVERIFY(event.post());
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM EVENT WHERE Description='Vaccin'")), 1);
    }

    void cancelRestoresOrDropsTheRow() {
        Dataset& person = *m_module->Person;
        // The dataset's own behaviour: without the data module's handler, which writes a new person at once.
        person.onNewRecord = nullptr;
        QVERIFY(person.open());
        QVERIFY(person.edit());
        QVERIFY(person.setValue(QStringLiteral("Name"), QStringLiteral("Changed")));
        person.cancel();
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("Eddy"));
        QVERIFY(person.insert());
        QCOMPARE(person.recordCount(), 4);
        person.cancel();
        QCOMPARE(person.recordCount(), 3);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM PERSON")), 3);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM PERSON WHERE Name='Changed'")), 0);
    }

    void deletingUntilEmptyWalksForward() {
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        QStringList deleted;
        person.beforeDelete = [&](Dataset& dataset, QString*) {
            deleted << dataset.asString(QStringLiteral("Name"));
            return dataset.asString(QStringLiteral("Name")) != QLatin1String("keep");
        };
        QVERIFY(person.moveTo(1));
        QVERIFY(person.remove());
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("Eric")); // the next row
        QVERIFY(person.remove());
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("Eddy")); // the previous one at the end
        while (!person.isEmpty())
            QVERIFY(person.remove());
        QCOMPARE(deleted, (QStringList{"émile", "Eric", "Eddy"}));
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM PERSON")), 0);
        QVERIFY(IsEmptyDataSet(person));
    }

    void beforeDeleteCanRefuse() {
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        person.beforeDelete = [](Dataset&, QString* error) {
            *error = QStringLiteral("refusé");
            return false;
        };
        QString error;
        QVERIFY(!person.remove(&error));
        QCOMPARE(error, QStringLiteral("refusé"));
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM PERSON")), 3);
    }

    void dataChangeIsNotifiedOnMovesAndEdits() {
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        QSignalSpy changes(&person, &Dataset::dataChanged);
        person.next();
        QCOMPARE(changes.count(), 1);
        QVERIFY(person.edit());
        person.setValue(QStringLiteral("ForeName"), QStringLiteral("Jules"));
        QCOMPARE(changes.count(), 2);
        QVERIFY(person.post());
        QVERIFY(changes.count() >= 3);
    }

    void readOnlyRowsAreRefusedNotLost() {
        Dataset& events = *m_module->ReportEvent;
        Exec(QStringLiteral("INSERT INTO EVENT (Id_Ref, Date_Event, Description) VALUES (1, '2008-01-02', 'a')"));
        QVERIFY(events.setSqlLine(5, QStringLiteral("WHERE EVENT.Id_Ref=1")));
        QVERIFY(events.open());
        QCOMPARE(events.asString(QStringLiteral("DateEvent")), QStringLiteral("2008-01-02"));
        QVERIFY(events.isReadOnly()); // its rows carry no key to write them back by
        Dataset join(QStringLiteral("Join"));
        QVERIFY(join.setSql({QStringLiteral("SELECT PERSON.Name, EVENT.Description FROM PERSON, EVENT"),
                             QStringLiteral("WHERE PERSON.Id = EVENT.Id_Ref")}));
        QVERIFY(join.open());
        QVERIFY(join.isReadOnly());
        QVERIFY(join.edit());
        QVERIFY(join.setValue(QStringLiteral("Name"), QStringLiteral("x")));
        QString error;
        QVERIFY(!join.post(&error));
        QVERIFY(!error.isEmpty());
    }

    void statementLinesChangeOnlyWhileClosed() {
        Dataset& analysis = *m_module->Analysis;
        QVERIFY(analysis.open());
        QVERIFY(!analysis.setSqlLine(1, QStringLiteral("WHERE ID_REF=5")));
        analysis.close();
        QVERIFY(analysis.setSqlLine(1, QStringLiteral("WHERE ID_REF=5")));
        QCOMPARE(analysis.statement(),
                 QStringLiteral("SELECT * FROM [ANALYSIS]\nWHERE ID_REF=5\nORDER BY DATE_ANALYSIS"));
    }

    void refreshKeepsTheCurrentRow() {
        Dataset& person = *m_module->Person;
        QVERIFY(person.open());
        QVERIFY(person.locate(2));
        Exec(QStringLiteral("INSERT INTO PERSON (Name) VALUES ('Aaron')"));
        QVERIFY(RefreshKeepingId(person));
        QCOMPARE(person.recordCount(), 4);
        QCOMPARE(person.asInteger(QStringLiteral("Id")), 2);
        QCOMPARE(person.asString(QStringLiteral("Name")), QStringLiteral("émile"));
    }

    void execSqlAndQueryInteger() {
        Dataset& query = *m_module->Query;
        QString error;
        QVERIFY(ExecSql(query, QStringLiteral("DELETE FROM PERSON WHERE Id=3"), &error));
        QVERIFY(!query.isOpen());
        QCOMPARE(QueryInteger(QStringLiteral("SELECT count(*) FROM PERSON"), kMainConnection), 2);
        QCOMPARE(QueryInteger(QStringLiteral("SELECT id FROM L_ANALYSIS Where Id=77"), kMainConnection), -1);
        QCOMPARE(QueryInteger(QStringLiteral("SELECT Comment1 FROM PERSON WHERE Id=2"), kMainConnection), -1);
        QCOMPARE(QueryInteger(QStringLiteral("SELECT nothing FROM nowhere"), kMainConnection, &error), -1);
        QVERIFY(!error.isEmpty());
        // A statement too long to run whole is refused rather than cut into another statement.
        QVERIFY(!ExecSql(query,
                         QStringLiteral("DELETE FROM PERSON WHERE Id=1 ") + QString(250, QLatin1Char(' ')) +
                             QStringLiteral("AND Name='none'"),
                         &error));
        QCOMPARE(QueryInteger(QStringLiteral("SELECT count(*) FROM PERSON"), kMainConnection), 2);
    }

    void modelFollowsTheDataset() {
        Dataset& person = *m_module->Person;
        person.onNewRecord = nullptr;
        DatasetModel model(&person, {{QStringLiteral("Name"), QStringLiteral("Nom")},
                                     {QStringLiteral("Color"), QStringLiteral("Couleur")}});
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(person.open());
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Couleur"));
        QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("Eric"));
        QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("bleu"));
        QVERIFY(person.append());
        QCOMPARE(model.rowCount(), 4);
        person.cancel();
        QCOMPARE(model.rowCount(), 3);
        person.close();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "TestDataset.moc"
