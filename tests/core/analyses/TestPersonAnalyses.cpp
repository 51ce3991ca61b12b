// Person-analyses and results on the fixture database, through the data module's queries: the selection and its
// fallbacks, the results query, the entries left to attach, attaching and switching an entry (results kept), the
// removal that takes the results with it, a new result's date, value and bounds, the catalogue defaults and the
// catalogue deletion, whole or not at all.
#include "core/analyses/PersonAnalyses.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"

#include "support/FixtureDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

qint64 Count(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection, false));
    if (!query.exec(statement) || !query.next()) return -1;
    return query.value(0).toLongLong();
}

QVariant Stored(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection, false));
    if (!query.exec(statement) || !query.next()) return QStringLiteral("<no row>");
    return query.value(0);
}

void Exec(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection, false));
    QVERIFY2(query.exec(statement), qPrintable(statement));
}

} // namespace

class TestPersonAnalyses : public QObject {
    Q_OBJECT
    FixtureDatabase m_fixture;
    QTemporaryDir m_work;
    std::unique_ptr<TDataModule1> m_module;

private slots:
    void initTestCase() {
        QString error;
        QVERIFY2(m_fixture.build(&error), qPrintable(error));
    }
    void init() {
        const QString file = m_work.filePath(QStringLiteral("person-analyses.db"));
        QString error;
        QVERIFY2(m_fixture.copyTo(file, &error), qPrintable(error));
        QVERIFY2(OpenDatabaseFile(kMainConnection, file, &error), qPrintable(error));
        m_module = std::make_unique<TDataModule1>();
    }
    void cleanup() {
        m_module.reset();
        CloseDatabase(kMainConnection);
    }

    void selection_data() {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<qint64>("person");
        QTest::addColumn<qint64>("current");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("display");
        QTest::newRow("existing person-analysis")
            << Fixture::kDupontCholesterol << Fixture::kDupont << Fixture::kDupontCholesterol << "Cholestérol"
            << "#######0..00 g/l";
        QTest::newRow("none asked: the person's first in database order")
            << qint64(-1) << Fixture::kDupont << Fixture::kDupontGlycemie << "Glycémie"
            << "#######0..00 g/l";
        QTest::newRow("one that no longer exists")
            << qint64(999) << Fixture::kMartin << Fixture::kMartinGlycemie << "Glycémie"
            << "#######0..0 mmol/l";
        QTest::newRow("without catalogue entry: empty title")
            << Fixture::kMartinPending << Fixture::kMartin << Fixture::kMartinPending << ""
            << "#######0. ";
        QTest::newRow("person without analyses") << qint64(-1) << Fixture::kEbert << qint64(-1) << "Pas d'analyses"
                                                 << "";
        QTest::newRow("no person") << Fixture::kDupontGlycemie << qint64(-1) << qint64(-1) << "Pas d'analyses"
                                   << "";
    }
    void selection() {
        QFETCH(qint64, n);
        QFETCH(qint64, person);
        QFETCH(qint64, current);
        QFETCH(QString, title);
        QFETCH(QString, display);
        QString error;
        const PersonAnalysisSelection selection = ResolvePersonAnalysis(kMainConnection, n, person, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(selection.current, current);
        QCOMPARE(selection.title, title);
        QCOMPARE(selection.patterns ? selection.patterns->display : QString(), display);
    }

    // The results of the current person-analysis in date order; -1 gives none.
    void results() {
        Dataset& results = *m_module->Analysis;
        QVERIFY(OpenPersonAnalysisResults(results, Fixture::kDupontGlycemie));
        QCOMPARE(results.sql().value(1), QStringLiteral("WHERE ID_REF=1"));
        QStringList dates;
        for (int row = 0; row < results.recordCount(); ++row)
            dates << results.valueAt(row, results.fieldIndex(QStringLiteral("Date_Analysis"))).toString();
        QCOMPARE(dates, (QStringList{"2023-06-01", "2024-01-15", "2024-03-10"}));
        QVERIFY(OpenPersonAnalysisResults(results, -1));
        QVERIFY(results.isOpen());
        QVERIFY(results.isEmpty());
    }

    void unattached_data() {
        QTest::addColumn<qint64>("person");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("two attached") << Fixture::kDupont << QStringList{"Ferritine"};
        QTest::newRow("none attached: all, by title")
            << Fixture::kEbert << QStringList{"Cholestérol", "Ferritine", "Glycémie"};
        QTest::newRow("an attachment in progress takes nothing")
            << Fixture::kMartin << QStringList{"Cholestérol", "Ferritine"};
    }
    void unattached() {
        QFETCH(qint64, person);
        QFETCH(QStringList, titles);
        const CatalogueChoices choices = UnattachedCatalogueEntries(kMainConnection, person);
        QCOMPARE(choices.titles, titles);
        QCOMPARE(choices.ids.size(), titles.size());
        for (int i = 0; i < titles.size(); ++i)
            QCOMPARE(CatalogueTitle(kMainConnection, choices.ids[i]), titles[i]);
    }

    // Attaching copies the catalogue entry; a cancelled attachment leaves no row.
    void attach() {
        Dataset& personAnalyses = *m_module->L_Analysis;
        QVERIFY(BeginPersonAnalysis(personAnalyses, Fixture::kEbert));
        QCOMPARE(personAnalyses.value(QStringLiteral("Id_Analysis")).toLongLong(), qint64(-1));
        QVERIFY(CopyCatalogueEntry(personAnalyses, Fixture::kFerritine));
        QCOMPARE(personAnalyses.asString(QStringLiteral("Unit")), QStringLiteral("ng/ml"));
        QCOMPARE(personAnalyses.value(QStringLiteral("Decimal")).toInt(), 0);
        QCOMPARE(personAnalyses.asDouble(QStringLiteral("Value_Min")), 20.0);
        QCOMPARE(personAnalyses.asDouble(QStringLiteral("Value_Max")), 300.0);
        QVERIFY(personAnalyses.post());
        const qint64 id = personAnalyses.asInteger(QStringLiteral("Id"));
        QCOMPARE(Stored(QStringLiteral("SELECT Id_Ref || '/' || Id_File || '/' || Id_Analysis || '/' || Unit FROM "
                                       "L_ANALYSIS WHERE Id=%1")
                            .arg(id))
                     .toString(),
                 QStringLiteral("2/-1/3/ng/ml"));

        const qint64 before = Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS"));
        QVERIFY(BeginPersonAnalysis(personAnalyses, Fixture::kEbert));
        personAnalyses.cancel();
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS")), before);
        QString error;
        QVERIFY(!CopyCatalogueEntry(personAnalyses, 999, &error));
        QVERIFY(!error.isEmpty());
    }

    // Switching an attached entry to another catalogue entry gives new copies and keeps the results.
    void switchEntry() {
        Dataset& personAnalyses = *m_module->L_Analysis;
        QVERIFY(LocatePersonAnalysis(personAnalyses, Fixture::kDupontGlycemie));
        QVERIFY(personAnalyses.edit());
        QVERIFY(CopyCatalogueEntry(personAnalyses, Fixture::kFerritine));
        QVERIFY(personAnalyses.post());
        QCOMPARE(Stored(QStringLiteral("SELECT Id_Analysis FROM L_ANALYSIS WHERE Id=1")).toLongLong(),
                 Fixture::kFerritine);
        QCOMPARE(Stored(QStringLiteral("SELECT Unit FROM L_ANALYSIS WHERE Id=1")).toString(), QStringLiteral("ng/ml"));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref=1")),
                 qint64(Fixture::kDupontGlycemieResults));
        // A person-analysis without catalogue entry is not among the rows the query reads.
        QVERIFY(!LocatePersonAnalysis(personAnalyses, Fixture::kMartinPending));
    }

    void removal() {
        QString error;
        QVERIFY2(RemovePersonAnalysis(*m_module->Query, Fixture::kDupontGlycemie, &error), qPrintable(error));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS WHERE Id=1")), qint64(0));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref=1")), qint64(0));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")),
                 qint64(Fixture::kResultCount - Fixture::kDupontGlycemieResults));
        // The first remaining one becomes current.
        QCOMPARE(ResolvePersonAnalysis(kMainConnection, -1, Fixture::kDupont).current, Fixture::kDupontCholesterol);
    }

    // When the person-analysis cannot go, its results stay too.
    void removalIsWhole() {
        Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON L_ANALYSIS BEGIN SELECT RAISE(ABORT, 'refusé'); "
                            "END"));
        QString error;
        QVERIFY(!RemovePersonAnalysis(*m_module->Query, Fixture::kDupontGlycemie, &error));
        QVERIFY(error.contains(QStringLiteral("refusé")));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref=1")),
                 qint64(Fixture::kDupontGlycemieResults));
    }

    // A new result: today, value 0, the person-analysis' bounds of the moment (an empty bound stays empty).
    void newResult_data() {
        QTest::addColumn<QString>("bounds"); // the SET clause given to the person-analysis first
        QTest::addColumn<QVariant>("minimum");
        QTest::addColumn<QVariant>("maximum");
        QTest::newRow("bounds copied") << "Value_Min=0.7" << QVariant(0.7) << QVariant(1.1);
        QTest::newRow("changed bounds") << "Value_Min=0.5, Value_Max=0.9" << QVariant(0.5) << QVariant(0.9);
        QTest::newRow("an empty bound stays empty") << "Value_Max=NULL" << QVariant(0.7) << QVariant();
    }
    void newResult() {
        QFETCH(QString, bounds);
        QFETCH(QVariant, minimum);
        QFETCH(QVariant, maximum);
        Exec(QStringLiteral("UPDATE L_ANALYSIS SET %1 WHERE Id=1").arg(bounds));
        Dataset& results = *m_module->Analysis;
        QVERIFY(OpenPersonAnalysisResults(results, Fixture::kDupontGlycemie));
        QVERIFY(BeginNewResult(results, Fixture::kDupontGlycemie, QDate(2026, 12, 9)));
        QCOMPARE(results.asDate(QStringLiteral("Date_Analysis")), QDate(2026, 12, 9));
        QCOMPARE(results.asDouble(QStringLiteral("Value_Analysis")), 0.0);
        QCOMPARE(results.value(QStringLiteral("Value_Min")).isNull(), minimum.isNull());
        QCOMPARE(results.value(QStringLiteral("Value_Max")).isNull(), maximum.isNull());
        if (!minimum.isNull()) QCOMPARE(results.asDouble(QStringLiteral("Value_Min")), minimum.toDouble());
        if (!maximum.isNull()) QCOMPARE(results.asDouble(QStringLiteral("Value_Max")), maximum.toDouble());
        QVERIFY(results.post());
        const qint64 id = results.asInteger(QStringLiteral("Id"));
        QCOMPARE(Stored(QStringLiteral("SELECT Date_Analysis || ' ' || Id_Ref FROM ANALYSIS WHERE Id=%1").arg(id))
                     .toString(),
                 QStringLiteral("2026-12-09 1"));
        // Later changes of the person-analysis' bounds leave the result as it was made.
        Exec(QStringLiteral("UPDATE L_ANALYSIS SET Value_Min=42 WHERE Id=1"));
        QCOMPARE(Stored(QStringLiteral("SELECT Value_Min FROM ANALYSIS WHERE Id=%1").arg(id)).isNull(),
                 minimum.isNull());
    }

    void catalogueDefaults() {
        Dataset& catalogue = *m_module->Lst_Analysis;
        QVERIFY(catalogue.open());
        QVERIFY(BeginNewCatalogueEntry(catalogue));
        QCOMPARE(catalogue.asString(QStringLiteral("Unit")), QString());
        QCOMPARE(catalogue.value(QStringLiteral("Decimal")).toInt(), 2);
        QCOMPARE(catalogue.value(QStringLiteral("Value_Min")), QVariant(0.0));
        QCOMPARE(catalogue.value(QStringLiteral("Value_Max")), QVariant(0.0));
        QVERIFY(catalogue.isNull(QStringLiteral("Title")));
        QVERIFY(catalogue.isNull(QStringLiteral("Id_File")));
        catalogue.cancel();
        QCOMPARE(catalogue.recordCount(), Fixture::kCatalogueCount);
    }

    // Deleting an entry used by three records takes their person-analyses and results, and nothing else.
    void catalogueDeletion() {
        Exec(QStringLiteral("INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis) VALUES (90, -1, 2, 1)"));
        Exec(QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis) VALUES (90, '2025-01-01', "
                            "1)"));
        Dataset& catalogue = *m_module->Lst_Analysis;
        QVERIFY(catalogue.open());
        QVERIFY(catalogue.locate(Fixture::kGlycemie));
        QString error;
        QVERIFY2(DeleteCatalogueEntry(catalogue, *m_module->L_Analysis, &error), qPrintable(error));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM LST_ANALYSIS")), qint64(Fixture::kCatalogueCount - 1));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS WHERE Id_Analysis=1")), qint64(0));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref IN (1, 70000, 90)")), qint64(0));
        // The others stay: Dupont's Cholestérol with its result, Martin's attachment in progress.
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS")), qint64(2));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), qint64(1));
        QCOMPARE(catalogue.recordCount(), Fixture::kCatalogueCount - 1);
        QCOMPARE(m_module->L_Analysis->sql().value(2), QStringLiteral("WHERE L_ANALYSIS.Id_Analysis>-1"));
        QVERIFY(!m_module->L_Analysis->isOpen());
    }

    // A step the database refuses undoes the whole deletion.
    void catalogueDeletionIsWhole() {
        Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON LST_ANALYSIS BEGIN SELECT RAISE(ABORT, 'refusé'); "
                            "END"));
        Dataset& catalogue = *m_module->Lst_Analysis;
        QVERIFY(catalogue.open());
        QVERIFY(catalogue.locate(Fixture::kGlycemie));
        QString error;
        QVERIFY(!DeleteCatalogueEntry(catalogue, *m_module->L_Analysis, &error));
        QVERIFY(error.contains(QStringLiteral("refusé")));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS WHERE Id_Analysis=1")), qint64(2));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), qint64(Fixture::kResultCount));
        QCOMPARE(catalogue.recordCount(), Fixture::kCatalogueCount);
        QCOMPARE(catalogue.asInteger(QStringLiteral("Id")), Fixture::kGlycemie);
        QCOMPARE(m_module->L_Analysis->sql().value(2), QStringLiteral("WHERE L_ANALYSIS.Id_Analysis>-1"));
    }
};

QTEST_GUILESS_MAIN(TestPersonAnalyses)
#include "TestPersonAnalyses.moc"
