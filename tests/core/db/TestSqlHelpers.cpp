// The small readers the data layer relies on: what a SELECT writes back to, the quoting for
// servers, the French order of names, and version numbers.
#include "core/db/DbVersion.h"
#include "core/db/FrenchCollation.h"
#include "core/db/SqlText.h"

#include <QtTest>

class TestSqlHelpers : public QObject {
    Q_OBJECT
private slots:
    void selectShape_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("source");

        QTest::newRow("star") << "SELECT * FROM EVENT\nWHERE ID_REF=-1"
                              << "EVENT"
                              << "Description"
                              << "Description";
        QTest::newRow("bracketed table") << "SELECT * FROM [ANALYSIS]\nWHERE ID_REF=-1"
                                         << "ANALYSIS"
                                         << "Id"
                                         << "Id";
        QTest::newRow("alias") << "SELECT Id, Comment1 as [Color]\nFROM PERSON\n ORDER BY NAME"
                               << "PERSON"
                               << "color"
                               << "Comment1";
        QTest::newRow("bracketed column") << "SELECT Id, [No] FROM PERSON"
                                          << "PERSON"
                                          << "No"
                                          << "No";
        QTest::newRow("qualified column") << "SELECT\n  EVENT.Date_Event as [DateEvent]\nFROM EVENT"
                                          << "EVENT"
                                          << "DateEvent"
                                          << "Date_Event";
        QTest::newRow("expression") << "SELECT count(*) as [N], Id FROM PERSON"
                                    << "PERSON"
                                    << "N"
                                    << "";
        QTest::newRow("column not selected") << "SELECT Id FROM PERSON"
                                             << "PERSON"
                                             << "Name"
                                             << "";
        QTest::newRow("join") << "SELECT * FROM PERSON, EVENT WHERE PERSON.Id=EVENT.Id_Ref"
                              << ""
                              << "Id"
                              << "Id";
        QTest::newRow("keyword inside a name") << "SELECT Id, FromWhere FROM WHEREVER"
                                               << "WHEREVER"
                                               << "FromWhere"
                                               << "FromWhere";
    }

    void selectShape() {
        QFETCH(QString, statement);
        QFETCH(QString, table);
        QFETCH(QString, result);
        QFETCH(QString, source);
        const SelectShape shape = AnalyseSelect(statement);
        QCOMPARE(shape.table, table);
        QCOMPARE(shape.sourceOf(result), source);
    }

    void bracketsBecomeStandardQuotes_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("names") << "SELECT [No], Comment1 as [Color] FROM [ANALYSIS]"
                               << "SELECT \"No\", Comment1 as \"Color\" FROM \"ANALYSIS\"";
        QTest::newRow("text left alone") << "UPDATE X SET T='[a]' WHERE [Id]=1"
                                         << "UPDATE X SET T='[a]' WHERE \"Id\"=1";
    }

    void bracketsBecomeStandardQuotes() {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(BracketsToQuotes(statement), expected);
    }

    void frenchOrder_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("accent ignored") << "Eddy"
                                        << "émile";
        QTest::newRow("accent ignored 2") << "émile"
                                          << "Eric";
        QTest::newRow("case ignored") << "dupont"
                                      << "Durand";
        QTest::newRow("cedilla") << "Façade"
                                 << "Fade";
        QTest::newRow("ligature") << "Cœur"
                                  << "Cofe";
        QTest::newRow("prefix first") << "Mar"
                                      << "Marc";
        QTest::newRow("ties broken by bytes") << "Eric"
                                              << "eric";
        QTest::newRow("digits before letters") << "2 A"
                                               << "A";
    }

    void frenchOrder() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QVERIFY(CompareForSorting(before, after) < 0);
        QVERIFY(CompareForSorting(after, before) > 0);
        QCOMPARE(CompareForSorting(before, before), 0);
    }

    void versionNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("1.13") << "1.13" << 113;
        QTest::newRow("1.9") << "1.9" << 19;
        QTest::newRow("2") << "2" << 2;
        QTest::newRow("two points") << "1.1.3" << 0;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
    }

    void versionNumbers() {
        QFETCH(QString, text);
        QFETCH(int, number);
        QCOMPARE(VersionNumber(text), number);
        // 1.9 is older than 1.13: the comparison is on these numbers.
        QVERIFY(VersionNumber(QStringLiteral("1.9")) < VersionNumber(QStringLiteral("1.13")));
    }
};

QTEST_GUILESS_MAIN(TestSqlHelpers)
#include "TestSqlHelpers.moc"
