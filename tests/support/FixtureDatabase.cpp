#include "support/FixtureDatabase.h"

#include "core/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <initializer_list>

namespace {

// Runs one statement with its values bound in order; error names the statement when it fails.
bool Run(QSqlDatabase& db, const QString& statement, std::initializer_list<QVariant> values, QString* error) {
    QSqlQuery query(db);
    if (!query.prepare(statement)) {
        if (error) *error = statement + QStringLiteral(": ") + query.lastError().text();
        return false;
    }
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec()) return true;
    if (error) *error = statement + QStringLiteral(": ") + query.lastError().text();
    return false;
}

bool Fill(QSqlDatabase& db, QString* error) {
    using namespace Fixture;
    const QVariant null;
    const QByteArray thumb = kThumbnailBytes;

    const QString person = QStringLiteral(
        "INSERT INTO PERSON (Id, Name, ForeName, BirthDay_Date, BirthDay_Time, BirthDay_City, BirthDay_Weight, "
        "BirthDay_Size, [No], Blood, Org_Secu, AnalysisMode, Misc01, Misc11, ImgMini1, Comment1, Custom00144243) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QString catalogue = QStringLiteral(
        "INSERT INTO LST_ANALYSIS (Id, Title, Unit, \"Decimal\", Description, Value_Min, Value_Max, Category, "
        "ImgMini1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QString personAnalysis = QStringLiteral(
        "INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis, Unit, \"Decimal\", Value_Min, Value_Max, Remark1) "
        "VALUES (?, -1, ?, ?, ?, ?, ?, ?, ?)");
    const QString result = QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis, Value_Min, "
                                          "Value_Max, Remark1, Time_Analysis) VALUES (?, ?, ?, ?, ?, ?, ?)");
    const QString event =
        QStringLiteral("INSERT INTO EVENT (Id_Ref, Date_Event, Time_Event, Description) VALUES (?, ?, ?, ?)");
    const QString image = QStringLiteral(
        "INSERT INTO DOCUMENTIMG (Id, Id_Ref, Title, ImgMini, Id_File, DoType) VALUES (?, ?, ?, ?, 0, ?)");
    const QString file = QStringLiteral("INSERT INTO DOCUMENTFILE (Id, Id_File, Id_Ref, Title, FileIcon, FileName, "
                                        "FileType, FileSize, Remark, DoType) VALUES (?, 0, ?, ?, ?, ?, ?, ?, '', 1)");

    return Run(db, person,
               {kDupont, QStringLiteral("Dupont"), QStringLiteral("Émile"), QStringLiteral("12/05/1980"),
                QStringLiteral("08:15"), QStringLiteral("Lyon"), 3.45, 50.5, QStringLiteral("1 80 05 69 123 456 78"),
                QStringLiteral("A+"), QStringLiteral("CPAM du Rhône"), 1, QStringLiteral("Dr Roux"),
                QStringLiteral("Allergie à la pénicilline"), thumb, QStringLiteral("Bleu"), QStringLiteral("M")},
               error) &&
           Run(db, person,
               {kEbert, QStringLiteral("Ébert"), QStringLiteral("Zoé"), QStringLiteral("03/02/2015"), null, null, null,
                null, null, null, null, null, null, null, null, null, null},
               error) &&
           Run(db, person,
               {kMartin, QStringLiteral("martin"), QStringLiteral("Claire"), QStringLiteral("30/11/1957"),
                QStringLiteral("23:40"), QStringLiteral("Brest"), 2.9, 48.0, null, QStringLiteral("O-"), null, 2, null,
                null, null, QStringLiteral("Vert"), QStringLiteral("F")},
               error) &&

           Run(db, catalogue,
               {kGlycemie, QStringLiteral("Glycémie"), QStringLiteral("g/l"), 2, QStringLiteral("Glucose à jeun"), 0.7,
                1.1, QStringLiteral("Biochimie"), thumb},
               error) &&
           Run(db, catalogue,
               {kCholesterol, QStringLiteral("Cholestérol"), QStringLiteral("g/l"), 2, QStringLiteral("Total"), 1.5,
                2.0, QStringLiteral("Biochimie"), null},
               error) &&
           Run(db, catalogue,
               {kFerritine, QStringLiteral("Ferritine"), QStringLiteral("ng/ml"), 0, QStringLiteral("Réserves en fer"),
                20.0, 300.0, QStringLiteral("Hématologie"), null},
               error) &&

           Run(db, personAnalysis,
               {kDupontGlycemie, kDupont, kGlycemie, QStringLiteral("g/l"), 2, 0.7, 1.1, QStringLiteral("À jeun")},
               error) &&
           Run(db, personAnalysis,
               {kDupontCholesterol, kDupont, kCholesterol, QStringLiteral("g/l"), 2, 1.5, 2.0, null}, error) &&
           Run(db, personAnalysis, {kMartinGlycemie, kMartin, kGlycemie, QStringLiteral("mmol/l"), 1, 3.9, 6.1, null},
               error) &&
           Run(db, personAnalysis, {kMartinPending, kMartin, -1, null, null, null, null, null}, error) &&

           Run(db, result,
               {kDupontGlycemie, QStringLiteral("2024-01-15"), 1.05, 0.7, 1.1, QStringLiteral("Normal"), null},
               error) &&
           Run(db, result,
               {kDupontGlycemie, QStringLiteral("2023-06-01"), 0.92, 0.7, 1.1, null, QStringLiteral("08:00")}, error) &&
           Run(db, result,
               {kDupontGlycemie, QStringLiteral("2024-03-10"), 1.21, 0.7, 1.1, QStringLiteral("Un peu élevé"), null},
               error) &&
           Run(db, result, {kDupontCholesterol, QStringLiteral("2024-01-15"), 1.8, 1.5, 2.0, null, null}, error) &&
           Run(db, result, {kMartinGlycemie, QStringLiteral("2022-09-09"), 5.2, 3.9, 6.1, null, null}, error) &&
           Run(db, result, {kMartinGlycemie, QStringLiteral("2021-02-28"), 4.4, 3.9, 6.1, null, null}, error) &&

           Run(db, event,
               {kDupont, QStringLiteral("2024-03-02"), QStringLiteral("09:30"), QStringLiteral("Consultation")},
               error) &&
           Run(db, event,
               {kDupont, QStringLiteral("2023-11-20"), QStringLiteral("14:00"), QStringLiteral("Prise de sang")},
               error) &&
           Run(db, event, {kDupont, QStringLiteral("2024-03-02"), QString(""), QStringLiteral("Vaccin grippe")},
               error) &&
           Run(db, event,
               {kMartin, QStringLiteral("2020-07-14"), QStringLiteral("10:00"), QStringLiteral("Entrée à l'hôpital")},
               error) &&

           Run(db, image, {1, kDupont, QStringLiteral("Radio du genou"), thumb, 1}, error) &&
           Run(db, image, {2, kDupont, QStringLiteral("Ordonnance"), thumb, 1}, error) &&
           Run(db, image, {3, kDupont, QStringLiteral("Ancien format"), thumb, 0}, error) &&
           Run(db, image, {4, kMartin, QStringLiteral("Échographie"), thumb, 1}, error) &&

           Run(db, file,
               {1, kDupont, QStringLiteral("Compte rendu"), thumb, QStringLiteral("compte-rendu.pdf"),
                QStringLiteral("Document PDF"), QStringLiteral("48 Ko")},
               error) &&
           Run(db, file,
               {2, kMartin, QStringLiteral("Lettre"), thumb, QStringLiteral("lettre.odt"),
                QStringLiteral("Texte OpenDocument"), QStringLiteral("12 Ko")},
               error) &&

           Run(db, QStringLiteral("INSERT INTO Weight (Id_Ref) VALUES (?), (?)"), {kDupont, kMartin}, error) &&
           Run(db, QStringLiteral("INSERT INTO [Size] (Id_Ref) VALUES (?), (?)"), {kDupont, kMartin}, error) &&
           Run(db, QStringLiteral("INSERT INTO [Action] (Id_Ref) VALUES (?), (?)"), {kDupont, kMartin}, error) &&
           Run(db, QStringLiteral("INSERT INTO Vaccine (Id_Ref) VALUES (?), (?)"), {kDupont, kMartin}, error) &&

           Run(db,
               QStringLiteral(
                   "INSERT INTO BACKUP (DateSav, TimeSav, Description, Path) VALUES (?, ?, ?, ?), (?, ?, ?, ?)"),
               {QStringLiteral("2024-02-01"), QStringLiteral("18:05"),
                QStringLiteral("Sauvagarde de la base de données"),
                QStringLiteral("/home/u/Backup/KESTOVRAN_ACCESS_BACKUP_01_02_2024.bkp"), QStringLiteral("2024-02-03"),
                QStringLiteral("09:12"), QStringLiteral("Compactage de la base de données"),
                QStringLiteral("/home/u/Data/Access/KESTOVRAN.MDB")},
               error) &&

           Run(db,
               QStringLiteral("INSERT INTO STAT_TREE (Id, Id_File, NodeTitle, NodeLevel, NodePos, NodeType) "
                              "VALUES (1, -1, 'Analyses', 0, 0, 1), (2, -1, 'Par personne', 1, 1, 2)"),
               {}, error) &&
           Run(db, QStringLiteral("INSERT INTO STAT_QUERY (Id_Tree, Query) VALUES (2, ?)"),
               {QStringLiteral("Par personne\r\nSELECT Name, count(*) FROM PERSON{Analyses}")}, error) &&
           Run(db,
               QStringLiteral("INSERT INTO SQL_TREE (Id, Id_File, NodeTitle, NodeLevel, NodePos, NodeType) "
                              "VALUES (1, -1, 'Requêtes', 0, 0, 1), (2, -1, 'Personnes', 1, 1, 2)"),
               {}, error) &&
           Run(db, QStringLiteral("INSERT INTO SQL_QUERY (Id_Tree, Query) VALUES (2, ?)"),
               {QStringLiteral("Personnes\r\nSELECT * FROM PERSON")}, error);
}

} // namespace

FixtureDatabase::FixtureDatabase() : m_dbDir(m_temporary.path() + QStringLiteral("/Data/")) {}

FixtureDatabase::FixtureDatabase(const QString& dbDir)
    : m_dbDir(dbDir.endsWith(QLatin1Char('/')) ? dbDir : dbDir + QLatin1Char('/')) {}

bool FixtureDatabase::build(QString* error) {
    for (const char* folder : {"Access", "Images", "Files"})
        QDir().mkpath(m_dbDir + QLatin1String(folder));
    if (!CopyStartingDatabase(databaseFile(), error)) return false;

    const QString connection = QStringLiteral("fixture-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!OpenDatabaseFile(connection, databaseFile(), error)) return false;
    bool filled = false;
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        filled = db.transaction() && Fill(db, error) && db.commit();
        if (!filled) db.rollback();
    }
    CloseDatabase(connection);
    return filled;
}

bool FixtureDatabase::copyTo(const QString& path, QString* error) const {
    return CopyDatabaseFile(databaseFile(), path, error);
}

QString StagedStartingDatabase() {
    return QStringLiteral(QUORVEL_STAGED_PROGRAM_DIR "/Ressources/DB/Data/Access/KESTOVRAN.MDB");
}

bool CopyStartingDatabase(const QString& path, QString* error) {
    return CopyDatabaseFile(StagedStartingDatabase(), path, error);
}

bool CopyDatabaseFile(const QString& source, const QString& path, QString* error) {
    QDir().mkpath(QFileInfo(path).path());
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        if (error) *error = QStringLiteral("cannot replace ") + path;
        return false;
    }
    // A journal left beside an older copy would be replayed into the new one.
    QFile::remove(path + QStringLiteral("-journal"));
    if (!QFile::copy(source, path)) {
        if (error) *error = QStringLiteral("cannot copy ") + source + QStringLiteral(" to ") + path;
        return false;
    }
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}
