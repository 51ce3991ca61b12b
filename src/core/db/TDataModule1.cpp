#include "core/db/TDataModule1.h"

#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"

#include <QSqlDatabase>

namespace {

TDataModule1* g_dataModule = nullptr;

Dataset* MakeQuery(QObject* owner, const QString& name, const QStringList& lines) {
    auto* query = new Dataset(name, owner);
    query->setSql(lines);
    return query;
}

} // namespace

TDataModule1::TDataModule1(QObject* parent)
    : QObject(parent),
      Person(
          MakeQuery(this, QStringLiteral("Person"),
                    {QStringLiteral("SELECT Id, Id_File, Name, ForeName, BirthDay_Date, BirthDay_Time, BirthDay_City, "
                                    "BirthDay_Weight, BirthDay_Size, [No], Blood, Org_Secu, Org_Comp, Previous, "
                                    "WeightMode, SizeMode, AnalysisMode, Misc01, Misc02, Misc03, Misc04, Misc05, "
                                    "Misc06, Misc07, Misc08, Misc09, Misc10, Misc11, Misc12, WeightGraph, SizeGraph, "
                                    "Img1, ImgMini1, Img2, Img3, Img4, ImgMini2, ImgMini3, ImgMini4, Comment1 as "
                                    "[Color], Custom00144243 as [Size] "),
                     QStringLiteral("FROM PERSON"), QStringLiteral(" ORDER BY NAME, FORENAME")})),
      ComboItems(MakeQuery(this, QStringLiteral("ComboItems"), {QStringLiteral("SELECT * FROM COMBOITEMS")})),
      CustomLabel(MakeQuery(this, QStringLiteral("CustomLabel"), {QStringLiteral("SELECT * FROM CUSTOMLAB")})),
      // Events of a day: the untimed ones first, then by the time's value, whether its hour was typed with one
      // digit or two ("08:00", "9:30", "14:00"): an hour of one digit gets its leading zero for the comparison.
      Event(MakeQuery(this, QStringLiteral("Event"),
                      {QStringLiteral("SELECT * FROM EVENT"), QStringLiteral("WHERE ID_REF=-1"),
                       QStringLiteral("ORDER BY DATE_EVENT, CASE WHEN LENGTH(TRIM(COALESCE(TIME_EVENT, ''))) = 4 "
                                      "THEN '0' || TRIM(TIME_EVENT) ELSE TRIM(COALESCE(TIME_EVENT, '')) END")})),
      DocumentImg(MakeQuery(this, QStringLiteral("DocumentImg"),
                            {QStringLiteral("SELECT * FROM DOCUMENTIMG"), QStringLiteral("WHERE ID_REF=-1")})),
      DocumentFile(MakeQuery(this, QStringLiteral("DocumentFile"),
                             {QStringLiteral("SELECT * FROM DOCUMENTFILE"), QStringLiteral("WHERE Id_Ref=-1")})),
      Lst_Analysis(MakeQuery(this, QStringLiteral("Lst_Analysis"),
                             {QStringLiteral("SELECT * FROM LST_ANALYSIS"), QStringLiteral("ORDER BY TITLE")})),
      L_Analysis(MakeQuery(this, QStringLiteral("L_Analysis"),
                           {QStringLiteral("SELECT * "), QStringLiteral("FROM L_ANALYSIS"),
                            QStringLiteral("WHERE L_ANALYSIS.Id_Analysis>-1"), QStringLiteral("ORDER BY TITLE")})),
      Analysis(MakeQuery(this, QStringLiteral("Analysis"),
                         {QStringLiteral("SELECT * FROM [ANALYSIS]"), QStringLiteral("WHERE ID_REF=-1"),
                          QStringLiteral("ORDER BY DATE_ANALYSIS")})),
      Backup(MakeQuery(this, QStringLiteral("Backup"), {QStringLiteral("SELECT * FROM BACKUP")})),
      Query(MakeQuery(this, QStringLiteral("Query"), {})),
      ReportQuery(MakeQuery(this, QStringLiteral("ReportQuery"), {})),
      ReportAnalysis(MakeQuery(this, QStringLiteral("ReportAnalysis"),
                               {QStringLiteral("SELECT * "), QStringLiteral("FROM [ANALYSIS]"),
                                QStringLiteral("WHERE ID_REF=-1"), QStringLiteral("ORDER BY DATE_ANALYSIS")})),
      ReportEvent(MakeQuery(this, QStringLiteral("ReportEvent"),
                            {QStringLiteral("SELECT"), QStringLiteral("  EVENT.Date_Event as [DateEvent],"),
                             QStringLiteral("  EVENT.Time_Event as [TimeEvent],"),
                             QStringLiteral("  EVENT.Description as [Description]"), QStringLiteral("FROM EVENT"),
                             QStringLiteral("WHERE EVENT.Id_Ref=-1"), QStringLiteral("ORDER BY EVENT.Date_Event")})) {
    setObjectName(QStringLiteral("DataModule1"));
    // A person-analysis never goes without its results, whoever deletes it through this query.
    L_Analysis->beforeDelete = [this](Dataset& personAnalysis, QString* error) {
        return ExecSql(*Query,
                       QStringLiteral("DELETE FROM ANALYSIS WHERE ANALYSIS.Id_Ref=") +
                           QString::number(personAnalysis.asInteger(QStringLiteral("Id"))),
                       error);
    };
    g_dataModule = this;
}

TDataModule1::~TDataModule1() {
    disconnectDatabase();
    if (g_dataModule == this) g_dataModule = nullptr;
}

bool TDataModule1::connectDatabase(QString* error) {
    return OpenDatabase(kMainConnection, error);
}

bool TDataModule1::isConnected() const {
    return QSqlDatabase::database(kMainConnection, false).isOpen();
}

void TDataModule1::disconnectDatabase() {
    for (Dataset* query : standingQueries())
        query->close();
    CloseDatabase(kMainConnection);
}

QList<Dataset*> TDataModule1::standingQueries() const {
    return {Person,     ComboItems, CustomLabel, Event, DocumentImg, DocumentFile,   Lst_Analysis,
            L_Analysis, Analysis,   Backup,      Query, ReportQuery, ReportAnalysis, ReportEvent};
}

TDataModule1* DataModule1() {
    return g_dataModule;
}
