// Every statement that the program's windows, reports and update engine send to the database, written as they
// write it, run on a small filled database both directly (SQLite) and through an ODBC data source.
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/DbVersion.h"
#include "core/db/SqlClauses.h"
#include "core/db/TDataModule1.h"
#include "support/FixtureDatabase.h"
#include "support/OdbcSandbox.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Fixture;

namespace {

enum class Kind { Rows, Integer, Command };

const QString kSqlite = QStringLiteral("SQLite");
const QString kOdbc = QStringLiteral("ODBC");
const QString kDataSource = QStringLiteral("QUORVEL_STATEMENTS");

// The standing queries' lines as the data module holds them.
const QStringList kPersonLines{
    QStringLiteral("SELECT Id, Id_File, Name, ForeName, BirthDay_Date, BirthDay_Time, BirthDay_City, BirthDay_Weight, "
                   "BirthDay_Size, [No], Blood, Org_Secu, Org_Comp, Previous, WeightMode, SizeMode, AnalysisMode, "
                   "Misc01, Misc02, Misc03, Misc04, Misc05, Misc06, Misc07, Misc08, Misc09, Misc10, Misc11, Misc12, "
                   "WeightGraph, SizeGraph, Img1, ImgMini1, Img2, Img3, Img4, ImgMini2, ImgMini3, ImgMini4, Comment1 "
                   "as [Color], Custom00144243 as [Size] "),
    QStringLiteral("FROM PERSON"), QStringLiteral(" ORDER BY NAME, FORENAME")};
const QStringList kComboItemsLines{QStringLiteral("SELECT * FROM COMBOITEMS")};
const QStringList kCustomLabelLines{QStringLiteral("SELECT * FROM CUSTOMLAB")};
const QStringList kEventLines{
    QStringLiteral("SELECT * FROM EVENT"), QStringLiteral("WHERE ID_REF=-1"),
    QStringLiteral("ORDER BY DATE_EVENT, CASE WHEN LENGTH(TRIM(COALESCE(TIME_EVENT, ''))) = 4 "
                   "THEN '0' || TRIM(TIME_EVENT) ELSE TRIM(COALESCE(TIME_EVENT, '')) END")};
const QStringList kDocumentImgLines{QStringLiteral("SELECT * FROM DOCUMENTIMG"), QStringLiteral("WHERE ID_REF=-1")};
const QStringList kDocumentFileLines{QStringLiteral("SELECT * FROM DOCUMENTFILE"), QStringLiteral("WHERE Id_Ref=-1")};
const QStringList kLstAnalysisLines{QStringLiteral("SELECT * FROM LST_ANALYSIS"), QStringLiteral("ORDER BY TITLE")};
const QStringList kLAnalysisLines{QStringLiteral("SELECT * "), QStringLiteral("FROM L_ANALYSIS"),
                                  QStringLiteral("WHERE L_ANALYSIS.Id_Analysis>-1"), QStringLiteral("ORDER BY TITLE")};
const QStringList kAnalysisLines{QStringLiteral("SELECT * FROM [ANALYSIS]"), QStringLiteral("WHERE ID_REF=-1"),
                                 QStringLiteral("ORDER BY DATE_ANALYSIS")};
const QStringList kBackupLines{QStringLiteral("SELECT * FROM BACKUP")};
const QStringList kReportAnalysisLines{QStringLiteral("SELECT * "), QStringLiteral("FROM [ANALYSIS]"),
                                       QStringLiteral("WHERE ID_REF=-1"), QStringLiteral("ORDER BY DATE_ANALYSIS")};
const QStringList kReportEventLines{QStringLiteral("SELECT"),
                                    QStringLiteral("  EVENT.Date_Event as [DateEvent],"),
                                    QStringLiteral("  EVENT.Time_Event as [TimeEvent],"),
                                    QStringLiteral("  EVENT.Description as [Description]"),
                                    QStringLiteral("FROM EVENT"),
                                    QStringLiteral("WHERE EVENT.Id_Ref=-1"),
                                    QStringLiteral("ORDER BY EVENT.Date_Event")};

QString Id(qint64 id) {
    return QString::number(id);
}

// The lines with their WHERE line replaced, as the windows do before reopening a query.
QStringList WithWhere(QStringList lines, const QString& where) {
    lines[FindClauseLine(lines, QStringLiteral("WHERE"))] = where;
    return lines;
}

// The events page always replaces the second line.
QStringList WithSecondLine(QStringList lines, const QString& line) {
    lines[1] = line;
    return lines;
}

bool Matches(const Dataset& rows, const QString& field, const QVariant& expected) {
    switch (expected.metaType().id()) {
    case QMetaType::QDate:
        return rows.asDate(field) == expected.toDate();
    case QMetaType::Double:
        return qFuzzyCompare(rows.asDouble(field), expected.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
        return !rows.isNull(field) && rows.asInteger(field) == expected.toLongLong();
    case QMetaType::QByteArray:
        return rows.asBytes(field) == expected.toByteArray();
    default:
        return expected.isNull() ? rows.isNull(field) || rows.asString(field).isEmpty()
                                 : rows.asString(field) == expected.toString();
    }
}

QString Shown(const Dataset& rows, const QString& field) {
    return rows.isNull(field) ? QStringLiteral("<null>") : rows.value(field).toString();
}

} // namespace

class TestSpecifiedStatements : public QObject {
    Q_OBJECT

    std::unique_ptr<OdbcSandbox> m_odbc;
    FixtureDatabase m_master;
    QTemporaryDir m_data;
    QString m_workingFile;

    // Adds a row for each way of reaching the database.
    void addRow(const char* name, Kind kind, const QStringList& lines, int expected, const QString& field,
                const QVariantList& leading, bool frenchOrder) {
        for (const QString& backend : {kSqlite, kOdbc})
            QTest::addRow("%s: %s", qPrintable(backend), name)
                << backend << int(kind) << lines << expected << field << leading << frenchOrder;
    }

    // A statement that returns rows: how many, and the leading values of one field in order.
    void rows(const char* name, const QStringList& lines, int count, const QString& field = QString(),
              const QVariantList& leading = {}, bool frenchOrder = false) {
        addRow(name, Kind::Rows, lines, count, field, leading, frenchOrder);
    }
    void integer(const char* name, const QString& statement, qint64 value) {
        addRow(name, Kind::Integer, QStringList{statement}, int(value), QString(), QVariantList(), false);
    }
    void command(const char* name, const QString& statement, int affected) {
        addRow(name, Kind::Command, QStringList{statement}, affected, QString(), QVariantList(), false);
    }

    bool connect(const QString& backend, QString* error) {
        return backend == kSqlite ? OpenDatabaseFile(kMainConnection, m_workingFile, error)
                                  : OpenDatabase(kMainConnection, error);
    }

private slots:
    void initTestCase() {
        // Before any ODBC call: unixODBC reads its configuration folders once.
        m_odbc = std::make_unique<OdbcSandbox>();
        QVERIFY2(m_odbc->isValid(), qPrintable(m_odbc->error()));
        QString error;
        QVERIFY2(m_master.build(&error), qPrintable(error));
        m_workingFile = m_data.path() + QStringLiteral("/Data/Access/KESTOVRAN.MDB");
        QVERIFY2(m_master.copyTo(m_workingFile, &error), qPrintable(error));
        // In ODBC mode loading db.ini registers the data source on the working file.
        QVERIFY2(LoadTestDatabaseSettings(m_data.path(), QStringLiteral("ODBC"), kDataSource, &error),
                 qPrintable(error));
        QCOMPARE(m_odbc->dataSourceValue(kDataSource, QStringLiteral("Database")), m_workingFile);
    }

    void init() {
        QString error;
        QVERIFY2(m_master.copyTo(m_workingFile, &error), qPrintable(error));
    }

    void cleanup() { CloseDatabase(kMainConnection); }

    void standingQueriesHoldTheirLines_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Person") << "Person" << kPersonLines;
        QTest::newRow("ComboItems") << "ComboItems" << kComboItemsLines;
        QTest::newRow("CustomLabel") << "CustomLabel" << kCustomLabelLines;
        QTest::newRow("Event") << "Event" << kEventLines;
        QTest::newRow("DocumentImg") << "DocumentImg" << kDocumentImgLines;
        QTest::newRow("DocumentFile") << "DocumentFile" << kDocumentFileLines;
        QTest::newRow("Lst_Analysis") << "Lst_Analysis" << kLstAnalysisLines;
        QTest::newRow("L_Analysis") << "L_Analysis" << kLAnalysisLines;
        QTest::newRow("Analysis") << "Analysis" << kAnalysisLines;
        QTest::newRow("Backup") << "Backup" << kBackupLines;
        QTest::newRow("report results") << "ReportAnalysis" << kReportAnalysisLines;
        QTest::newRow("report events") << "ReportEvent" << kReportEventLines;
    }

    // The statements below are those the data module really holds.
    void standingQueriesHoldTheirLines() {
        QFETCH(QString, query);
        QFETCH(QStringList, lines);
        TDataModule1 module;
        Dataset* dataset = nullptr;
        for (Dataset* standing : module.standingQueries())
            if (standing->name() == query) dataset = standing;
        QVERIFY2(dataset, qPrintable(query));
        QCOMPARE(dataset->sql(), lines);
    }

    void statements_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariantList>("leading");
        QTest::addColumn<bool>("frenchOrder");

        // Persons: the data module's record query and the main window's list.
        rows("record query of the main window", kPersonLines, kPersonCount, QStringLiteral("Name"),
             {QStringLiteral("Dupont"), QStringLiteral("Ébert"), QStringLiteral("martin")}, true);
        rows("record query, aliased columns", kPersonLines, kPersonCount, QStringLiteral("Color"),
             {QStringLiteral("Bleu")});
        rows("record query, blob column", kPersonLines, kPersonCount, QStringLiteral("ImgMini1"), {kThumbnailBytes});
        rows("record query, double column", kPersonLines, kPersonCount, QStringLiteral("BirthDay_Weight"), {3.45});
        rows("person list of the main window", {QStringLiteral("SELECT * FROM PERSON ORDER BY NAME, FORENAME")},
             kPersonCount, QStringLiteral("ForeName"),
             {QStringLiteral("Émile"), QStringLiteral("Zoé"), QStringLiteral("Claire")}, true);
        rows("photo of a record for printing",
             {QStringLiteral("SELECT PERSON.Id as [Id], PERSON.Name as [Title] FROM PERSON WHERE PERSON.Id=") +
              Id(kDupont)},
             1, QStringLiteral("Title"), {QStringLiteral("Dupont")});

        // Pick lists and free-field labels.
        rows("pick lists", kComboItemsLines, 1, QStringLiteral("Blood"),
             {QStringLiteral("A+\r\nA-\r\nB+\r\nB-\r\nAB+"
                             "\r\nAB-\r\nO+\r\nO-")});
        rows("free-field labels", kCustomLabelLines, 1, QStringLiteral("Misc12"), {QStringLiteral("Divers 12")});
        rows("labels of the work group", {QStringLiteral("SELECT * FROM CustomLab WHERE Id_File=0")}, 1,
             QStringLiteral("Misc01"), {QStringLiteral("Divers 1")});
        rows("labels for renaming one", {QStringLiteral("SELECT * FROM CustomLab")}, 1, QStringLiteral("Id_File"), {0});

        // Events journal.
        rows("events query as held", kEventLines, 0);
        rows("events of a person", WithSecondLine(kEventLines, QStringLiteral("WHERE Event.Id_Ref=") + Id(kDupont)),
             kDupontEvents, QStringLiteral("Description"),
             {QStringLiteral("Prise de sang"), QStringLiteral("Vaccin grippe"), QStringLiteral("Consultation")});
        rows("events, dates", WithSecondLine(kEventLines, QStringLiteral("WHERE Event.Id_Ref=") + Id(kDupont)),
             kDupontEvents, QStringLiteral("Date_Event"), {QDate(2023, 11, 20), QDate(2024, 3, 2), QDate(2024, 3, 2)});
        rows("events of a person with a large Id",
             WithSecondLine(kEventLines, QStringLiteral("WHERE Event.Id_Ref=") + Id(kMartin)), 1,
             QStringLiteral("Description"), {QStringLiteral("Entrée à l'hôpital")});
        rows("events when there is no person", WithSecondLine(kEventLines, QStringLiteral("WHERE Event.Id_Ref=-1")), 0);

        // Image documents.
        rows("image documents query as held", kDocumentImgLines, 0);
        rows("image documents of a person being deleted",
             WithWhere(kDocumentImgLines, QStringLiteral("WHERE DocumentImg.Id_Ref=") + Id(kDupont)),
             kDupontImageDocuments);
        rows("image sheet of a person",
             WithWhere(kDocumentImgLines,
                       QStringLiteral("WHERE DocumentImg.DoType=1 and DocumentImg.Id_Ref=") + Id(kDupont)),
             2, QStringLiteral("Title"), {QStringLiteral("Radio du genou"), QStringLiteral("Ordonnance")});
        rows("image sheet, thumbnails",
             WithWhere(kDocumentImgLines,
                       QStringLiteral("WHERE DocumentImg.DoType=1 and DocumentImg.Id_Ref=") + Id(kMartin)),
             1, QStringLiteral("ImgMini"), {kThumbnailBytes});
        rows("image sheet without a person",
             WithWhere(kDocumentImgLines, QStringLiteral("WHERE DocumentImg.Id_Ref=-1")), 0);
        rows("one image document being edited",
             WithWhere(kDocumentImgLines, QStringLiteral("WHERE DocumentImg.DoType=1 and DocumentImg.Id=2")), 1,
             QStringLiteral("Title"), {QStringLiteral("Ordonnance")});
        rows("image viewer of a person's documents",
             {QStringLiteral("SELECT DOCUMENTIMG.Id as [Id], DOCUMENTIMG.Title as [Title] FROM DOCUMENTIMG WHERE "
                             "DOCUMENTIMG.DoType=1 AND DOCUMENTIMG.Id_Ref=") +
              Id(kDupont)},
             2, QStringLiteral("Id"), {1, 2});

        // File documents.
        rows("file documents query as held", kDocumentFileLines, 0);
        rows("file documents of a person being deleted",
             WithWhere(kDocumentFileLines, QStringLiteral("WHERE DocumentFile.Id_Ref=") + Id(kDupont)), 1,
             QStringLiteral("FileName"), {QStringLiteral("compte-rendu.pdf")});
        rows("file grid of a person",
             WithWhere(kDocumentFileLines,
                       QStringLiteral("WHERE DOCUMENTFILE.DoType=1 AND DOCUMENTFILE.Id_Ref=") + Id(kMartin)),
             1, QStringLiteral("FileIcon"), {kThumbnailBytes});
        rows("file grid without a person",
             WithWhere(kDocumentFileLines, QStringLiteral("WHERE DOCUMENTFILE.DoType=1 AND DOCUMENTFILE.Id_Ref=-1")),
             0);

        // Analysis catalogue.
        rows("catalogue list", kLstAnalysisLines, kCatalogueCount, QStringLiteral("Title"),
             {QStringLiteral("Cholestérol"), QStringLiteral("Ferritine"), QStringLiteral("Glycémie")});
        rows("catalogue list, decimals", kLstAnalysisLines, kCatalogueCount, QStringLiteral("Decimal"), {2, 0, 2});
        rows("catalogue entries for attaching",
             {QStringLiteral(
                 "SELECT LST_ANALYSIS.Id, LST_ANALYSIS.Title FROM LST_ANALYSIS ORDER BY LST_ANALYSIS.Title")},
             kCatalogueCount, QStringLiteral("Id"), {kCholesterol, kFerritine, kGlycemie});
        rows("catalogue entries already attached to a person",
             {QStringLiteral("SELECT LST_ANALYSIS.Id, LST_ANALYSIS.Title, L_ANALYSIS.Id_Analysis FROM LST_ANALYSIS "
                             "LEFT JOIN L_ANALYSIS ON [LST_ANALYSIS].[Id]=[L_ANALYSIS].[Id_Analysis] WHERE "
                             "L_ANALYSIS.Id_Ref=") +
              Id(kDupont) + QStringLiteral(" ORDER BY LST_ANALYSIS.Title")},
             2, QStringLiteral("Id_Analysis"), {kCholesterol, kGlycemie});
        rows("title of an attached catalogue entry",
             {QStringLiteral("SELECT LST_ANALYSIS.Id, LST_ANALYSIS.Title FROM LST_ANALYSIS WHERE LST_ANALYSIS.Id=") +
              Id(kFerritine)},
             1, QStringLiteral("Title"), {QStringLiteral("Ferritine")});
        rows("catalogue entry picked for a person",
             {QStringLiteral("SELECT * FROM LST_ANALYSIS WHERE LST_ANALYSIS.Id=") + Id(kFerritine)}, 1,
             QStringLiteral("Value_Max"), {300.0});

        // Person-analyses.
        rows("person-analyses query as held", kLAnalysisLines, 3);
        rows("person-analyses of a person being deleted",
             WithWhere(kLAnalysisLines, QStringLiteral("WHERE L_Analysis.Id_Ref=") + Id(kMartin)), 2);
        rows("person-analyses of a catalogue entry being deleted",
             WithWhere(kLAnalysisLines, QStringLiteral("WHERE L_Analysis.Id_Analysis=") + Id(kGlycemie)), 2);
        integer("current person-analysis",
                QStringLiteral("SELECT id FROM L_ANALYSIS Where Id=") + Id(kDupontCholesterol), kDupontCholesterol);
        integer("current person-analysis that is gone", QStringLiteral("SELECT id FROM L_ANALYSIS Where Id=999"), -1);
        integer("first person-analysis of a person",
                QStringLiteral("SELECT id FROM L_ANALYSIS Where Id_Ref=") + Id(kDupont), kDupontGlycemie);
        integer("first person-analysis of a person who has none",
                QStringLiteral("SELECT id FROM L_ANALYSIS Where Id_Ref=") + Id(kEbert), -1);
        rows("title of the current person-analysis",
             {QStringLiteral("SELECT L_ANALYSIS.Id, LST_ANALYSIS.Title, L_ANALYSIS.Decimal, L_ANALYSIS.Unit FROM "
                             "L_ANALYSIS LEFT JOIN LST_ANALYSIS ON L_ANALYSIS.Id_Analysis = LST_ANALYSIS.Id WHERE "
                             "L_ANALYSIS.Id=") +
              Id(kMartinGlycemie)},
             1, QStringLiteral("Title"), {QStringLiteral("Glycémie")});
        rows("bounds copied into a new result",
             {QStringLiteral("SELECT L_ANALYSIS.Value_Min, L_ANALYSIS.Value_Max FROM L_ANALYSIS WHERE L_ANALYSIS.Id=") +
              Id(kDupontGlycemie)},
             1, QStringLiteral("Value_Min"), {0.7});

        // Analysis list.
        const QString analysisList = QStringLiteral(
            "SELECT L_ANALYSIS.Id, L_ANALYSIS.Unit, L_ANALYSIS.Decimal, L_ANALYSIS.Value_Min, L_ANALYSIS.Value_Max, "
            "LST_ANALYSIS.Title, LST_ANALYSIS.ImgMini1 FROM L_ANALYSIS LEFT JOIN LST_ANALYSIS ON "
            "L_ANALYSIS.Id_Analysis "
            "= LST_ANALYSIS.Id WHERE L_ANALYSIS.Id_Ref=");
        rows("analysis list of a person", {analysisList + Id(kDupont) + QStringLiteral(" ORDER BY LST_ANALYSIS.Title")},
             2, QStringLiteral("Title"), {QStringLiteral("Cholestérol"), QStringLiteral("Glycémie")});
        rows("analysis list, units", {analysisList + Id(kMartin) + QStringLiteral(" ORDER BY LST_ANALYSIS.Title")}, 2,
             QStringLiteral("Unit"), {QVariant(), QStringLiteral("mmol/l")});
        rows("analysis list, thumbnails", {analysisList + Id(kDupont) + QStringLiteral(" ORDER BY LST_ANALYSIS.Title")},
             2, QStringLiteral("ImgMini1"), {QByteArray(), kThumbnailBytes});
        rows("analysis list with no person", {analysisList + QStringLiteral("-1 ORDER BY LST_ANALYSIS.Title")}, 0);

        // Results.
        rows("results query as held", kAnalysisLines, 0);
        rows("results of a person-analysis",
             WithWhere(kAnalysisLines, QStringLiteral("WHERE ID_REF=") + Id(kDupontGlycemie)), kDupontGlycemieResults,
             QStringLiteral("Date_Analysis"), {QDate(2023, 6, 1), QDate(2024, 1, 15), QDate(2024, 3, 10)});
        rows("results, values", WithWhere(kAnalysisLines, QStringLiteral("WHERE ID_REF=") + Id(kDupontGlycemie)),
             kDupontGlycemieResults, QStringLiteral("Value_Analysis"), {0.92, 1.05, 1.21});
        rows("results of a person-analysis with a large Id",
             WithWhere(kAnalysisLines, QStringLiteral("WHERE ID_REF=") + Id(kMartinGlycemie)), kMartinGlycemieResults,
             QStringLiteral("Value_Analysis"), {4.4, 5.2});
        rows("results when there is no person-analysis", WithWhere(kAnalysisLines, QStringLiteral("WHERE ID_REF=-1")),
             0);

        // Printed report and web page.
        rows("report results query as held", kReportAnalysisLines, 0);
        rows("report results of a person-analysis",
             WithWhere(kReportAnalysisLines, QStringLiteral("WHERE Analysis.Id_Ref=") + Id(kDupontGlycemie)),
             kDupontGlycemieResults, QStringLiteral("Value_Max"), {1.1});
        rows("report events query as held", kReportEventLines, 0);
        rows("report events of a person",
             WithWhere(kReportEventLines, QStringLiteral("WHERE Event.Id_Ref=") + Id(kDupont)), kDupontEvents,
             QStringLiteral("DateEvent"), {QDate(2023, 11, 20)});
        rows("report events, times", WithWhere(kReportEventLines, QStringLiteral("WHERE Event.Id_Ref=") + Id(kDupont)),
             kDupontEvents, QStringLiteral("TimeEvent"), {QStringLiteral("14:00")});
        rows("results of the web page",
             {QStringLiteral("SELECT * FROM [ANALYSIS] WHERE Id_Ref=") + Id(kDupontGlycemie) +
              QStringLiteral(" ORDER BY DATE_ANALYSIS")},
             kDupontGlycemieResults, QStringLiteral("VALUE_ANALYSIS"), {0.92});

        // Backup history.
        rows("backup history", kBackupLines, kBackupRows, QStringLiteral("TimeSav"), {QStringLiteral("18:05")});
        command("purging the backup history", QStringLiteral("DELETE FROM Backup"), kBackupRows);

        // Update engine.
        rows("database version",
             {QStringLiteral("SELECT [VALUE] FROM [OBJECT_VAL_STR] WHERE [ID_CLASS]=-99 AND [ID_ATTRIBUTE]=-99 AND "
                             "[USERID]=-99")},
             1, QStringLiteral("VALUE"), {QStringLiteral("1.13")});
        rows("database version row for writing",
             {QStringLiteral("SELECT [VALUE], [ID_CLASS], [ID_ATTRIBUTE], [USERID] FROM [OBJECT_VAL_STR] WHERE "
                             "[ID_CLASS]=-99 AND [ID_ATTRIBUTE]=-99 AND [USERID]=-99")},
             1, QStringLiteral("USERID"), {-99});
        rows("version column of the database", {QStringLiteral("SELECT * FROM OBJECT_VAL_STR")}, 1,
             QStringLiteral("VALUE"), {QStringLiteral("1.13")});
        rows("columns of a table", {QStringLiteral("SELECT * FROM ") + QStringLiteral("L_ANALYSIS")}, 4);
        rows("whether a table is empty", {QStringLiteral("SELECT id FROM ") + QStringLiteral("STAT_TREE")}, 2);
        rows("saved statistics", {QStringLiteral("SELECT Id, Id_Tree, Query FROM STAT_QUERY")}, 1,
             QStringLiteral("Id_Tree"), {2});
        rows("saved queries", {QStringLiteral("SELECT Id, Id_Tree, Query FROM SQL_QUERY")}, 1, QStringLiteral("Query"),
             {QStringLiteral("Personnes\r\nSELECT * FROM PERSON")});
        rows("pictures to move out of a table",
             {QStringLiteral("SELECT Id, ") + QStringLiteral("ImgMini") + QStringLiteral(" FROM ") +
              QStringLiteral("DOCUMENTIMG")},
             4, QStringLiteral("ImgMini"), {kThumbnailBytes});

        // Deleting a record, a person-analysis, a catalogue entry's results.
        command("deleting a person's weights", QStringLiteral("DELETE FROM Weight WHERE Weight.Id_Ref=") + Id(kDupont),
                1);
        command("deleting a person's sizes", QStringLiteral("DELETE FROM [Size] WHERE [Size].Id_Ref=") + Id(kDupont),
                1);
        command("deleting a person's actions",
                QStringLiteral("DELETE FROM [Action] WHERE Action.Id_Ref=") + Id(kDupont), 1);
        command("deleting a person's vaccines",
                QStringLiteral("DELETE FROM Vaccine WHERE Vaccine.Id_Ref=") + Id(kMartin), 1);
        command("deleting a person's image documents",
                QStringLiteral("DELETE FROM DocumentImg WHERE DocumentImg.Id_Ref=") + Id(kDupont),
                kDupontImageDocuments);
        command("deleting a person's file documents",
                QStringLiteral("DELETE FROM DocumentFile WHERE DocumentFile.Id_Ref=") + Id(kMartin), 1);
        command("deleting a person's events", QStringLiteral("DELETE FROM Event WHERE Event.Id_Ref=") + Id(kDupont),
                kDupontEvents);
        command("deleting the results of a person-analysis",
                QStringLiteral("DELETE FROM ANALYSIS WHERE ANALYSIS.Id_Ref=") + Id(kMartinGlycemie),
                kMartinGlycemieResults);
        command("removing a person-analysis",
                QStringLiteral("DELETE FROM L_ANALYSIS WHERE L_ANALYSIS.Id=") + Id(kDupontCholesterol), 1);
    }

    void statements() {
        QFETCH(QString, backend);
        QFETCH(int, kind);
        QFETCH(QStringList, lines);
        QFETCH(int, expected);
        QFETCH(QString, field);
        QFETCH(QVariantList, leading);
        QFETCH(bool, frenchOrder);

        QString error;
        QVERIFY2(connect(backend, &error), qPrintable(error));
        QCOMPARE(QSqlDatabase::database(kMainConnection, false).driverName(),
                 backend == kOdbc ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE"));

        if (kind == int(Kind::Integer)) {
            QCOMPARE(QueryInteger(lines.join(QLatin1Char('\n')), kMainConnection, &error), qint64(expected));
            QVERIFY2(error.isEmpty(), qPrintable(error));
            return;
        }
        if (kind == int(Kind::Command)) {
            QSqlDatabase db = QSqlDatabase::database(kMainConnection, false);
            QSqlQuery command(db);
            QVERIFY2(command.exec(StatementFor(db, lines.join(QLatin1Char('\n')))),
                     qPrintable(command.lastError().text()));
            QCOMPARE(command.numRowsAffected(), expected);
            return;
        }

        Dataset query(QStringLiteral("Statement"));
        QVERIFY(query.setSql(lines));
        QVERIFY2(query.open(&error), qPrintable(error));
        QCOMPARE(query.recordCount(), expected);
        if (field.isEmpty()) return;
        QVERIFY2(query.hasField(field), qPrintable(query.fieldNames().join(QLatin1Char(','))));
        QVERIFY(query.recordCount() >= leading.size());
        QStringList mismatches;
        for (int row = 0; row < leading.size(); ++row) {
            query.moveTo(row);
            if (!Matches(query, field, leading[row]))
                mismatches << QStringLiteral("row %1: %2, expected %3")
                                  .arg(row)
                                  .arg(Shown(query, field), leading[row].toString());
        }
        if (frenchOrder && backend == kOdbc)
            QEXPECT_FAIL("", "the ODBC driver's connection sorts with SQLite's own NOCASE, not the French order",
                         Abort);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QStringLiteral("; "))));
    }

    void versionRow_data() {
        QTest::addColumn<QString>("backend");
        QTest::newRow("SQLite") << kSqlite;
        QTest::newRow("ODBC") << kOdbc;
    }

    // The version routines of the update engine, read and written on both paths.
    void versionRow() {
        QFETCH(QString, backend);
        QString error;
        QVERIFY2(connect(backend, &error), qPrintable(error));
        const QString column = VersionColumn(kMainConnection);
        QCOMPARE(column, QStringLiteral("VALUE"));
        QCOMPARE(GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column), QStringLiteral("1.13"));
        QVERIFY2(
            SetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column, QStringLiteral("1.14"), &error),
            qPrintable(error));
        QCOMPARE(GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column), QStringLiteral("1.14"));

        // Without a version row, writing adds one.
        QSqlDatabase db = QSqlDatabase::database(kMainConnection, false);
        QSqlQuery clear(db);
        QVERIFY2(clear.exec(QStringLiteral("DELETE FROM OBJECT_VAL_STR")), qPrintable(clear.lastError().text()));
        QCOMPARE(GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column), QStringLiteral("0"));
        QVERIFY2(
            SetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column, QStringLiteral("1.13"), &error),
            qPrintable(error));
        QCOMPARE(GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), column), QStringLiteral("1.13"));
        QCOMPARE(QueryInteger(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_STR"), kMainConnection), qint64(1));
    }
};

QTEST_GUILESS_MAIN(TestSpecifiedStatements)
#include "TestSpecifiedStatements.moc"
