// Figures of the database layer on a large household: 10 000 persons, 2 000 catalogue entries and 200 000 results
// (4 person-analyses of 5 results per person), built from the starting database in a temporary folder. Times, best
// of a few runs: opening the database until its first answer, and the statements behind the person list, the
// analysis list and the results grid.
//   bench-DatabaseBench [repetitions] [starting database]
#include "support/BenchSupport.h"

#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kPersons = 10000;
constexpr int kCatalogue = 2000;
constexpr int kAnalysesPerPerson = 4;
constexpr int kResultsPerAnalysis = 5;
// One person in twenty has a photo thumbnail (115 x 115, 24 bits, as the record editor stores it).
constexpr int kPhotoEvery = 20;
constexpr int kThumbnailBytes = 54 + 115 * 116 * 3;

const QString kBench = QStringLiteral("bench");
int g_repetitions = 5;

bool Exec(QSqlQuery& query) {
    if (query.exec()) return true;
    Die(query.lastQuery() + QStringLiteral(": ") + query.lastError().text());
}

QString Pick(QRandomGenerator& random, const QStringList& words) {
    return words[random.bounded(words.size())];
}

// Fills the database in one transaction through prepared statements.
void Fill(QRandomGenerator& random) {
    const QStringList names{
        "Martin",    "Bernard", "Thomas",   "Petit",   "Robert",   "Richard",  "Durand",   "Dubois",    "Moreau",
        "Laurent",   "Simon",   "Michel",   "Lefèvre", "Leroy",    "Roux",     "David",    "Bertrand",  "Morel",
        "Fournier",  "Girard",  "Bonnet",   "Dupont",  "Lambert",  "Fontaine", "Rousseau", "Vincent",   "Muller",
        "Lefebvre",  "Faure",   "André",    "Mercier", "Blanc",    "Guérin",   "Boyer",    "Garnier",   "Chevalier",
        "François",  "Legrand", "Gauthier", "Garcia",  "Perrin",   "Robin",    "Clément",  "Morin",     "Nicolas",
        "Henry",     "Roussel", "Mathieu",  "Gautier", "Masson",   "Marchand", "Duval",    "Denis",     "Dumont",
        "Marie",     "Lemaire", "Noël",     "Meyer",   "Dufour",   "Meunier",  "Brun",     "Blanchard", "Giraud",
        "Joly",      "Rivière", "Lucas",    "Brunet",  "Gaillard", "Barbier",  "Arnaud",   "Martinez",  "Gérard",
        "Roche",     "Renard",  "Schmitt",  "Roy",     "Leroux",   "Colin",    "Vidal",    "Caron",     "Picard",
        "Roger",     "Fabre",   "Aubert",   "Lemoine", "Renaud",   "Dumas",    "Lacroix",  "Olivier",   "Philippe",
        "Bourgeois", "Pierre",  "Benoît",   "Rey",     "Leclerc",  "Payet",    "Rolland",  "Leclercq",  "Guillaume",
        "Lecomte",   "élie",    "émery",    "Éloi",    "Œttinger"};
    const QStringList foreNames{"Émile", "Zoé",     "Léa",    "Hugo",    "Chloé", "Louis", "Jade",   "Gabriel",
                                "Inès",  "Raphaël", "Agathe", "Noé",     "Anaïs", "Jules", "Éloïse", "Adèle",
                                "Lucas", "Manon",   "Théo",   "Camille", "Maël",  "Lina",  "Nathan", "Océane"};
    QSqlDatabase db = QSqlDatabase::database(kBench, false);
    if (!db.transaction()) Die(db.lastError().text());

    QSqlQuery catalogue(db);
    catalogue.prepare(QStringLiteral("INSERT INTO LST_ANALYSIS (Id, Title, Unit, \"Decimal\", Description, Value_Min, "
                                     "Value_Max, Category) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int id = 1; id <= kCatalogue; ++id) {
        catalogue.addBindValue(id);
        catalogue.addBindValue(QStringLiteral("Analyse %1 — %2").arg(id).arg(Pick(random, names)));
        catalogue.addBindValue(QStringLiteral("g/l"));
        catalogue.addBindValue(id % 4);
        catalogue.addBindValue(QStringLiteral("Description de l'analyse %1").arg(id));
        catalogue.addBindValue(0.5);
        catalogue.addBindValue(1.5);
        catalogue.addBindValue(QStringLiteral("Biochimie"));
        Exec(catalogue);
    }

    const QByteArray thumbnail(kThumbnailBytes, '\xee');
    QSqlQuery person(db);
    person.prepare(
        QStringLiteral("INSERT INTO PERSON (Id, Name, ForeName, BirthDay_Date, BirthDay_Time, BirthDay_City, "
                       "BirthDay_Weight, BirthDay_Size, [No], Blood, ImgMini1) VALUES (?, ?, ?, ?, ?, ?, ?, "
                       "?, ?, ?, ?)"));
    QSqlQuery attach(db);
    attach.prepare(QStringLiteral("INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis, Unit, \"Decimal\", "
                                  "Value_Min, Value_Max) VALUES (?, -1, ?, ?, 'g/l', 2, 0.5, 1.5)"));
    QSqlQuery result(db);
    result.prepare(QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis, Value_Min, Value_Max) "
                                  "VALUES (?, ?, ?, 0.5, 1.5)"));
    qint64 personAnalysis = 0;
    for (int id = 1; id <= kPersons; ++id) {
        person.addBindValue(id);
        person.addBindValue(Pick(random, names));
        person.addBindValue(Pick(random, foreNames));
        person.addBindValue(QStringLiteral("%1/%2/%3")
                                .arg(1 + random.bounded(28), 2, 10, QLatin1Char('0'))
                                .arg(1 + random.bounded(12), 2, 10, QLatin1Char('0'))
                                .arg(1930 + random.bounded(90)));
        person.addBindValue(QStringLiteral("08:30"));
        person.addBindValue(QStringLiteral("Lyon"));
        person.addBindValue(3.2);
        person.addBindValue(50.0);
        person.addBindValue(QStringLiteral("1 80 05 69 123 456 78"));
        person.addBindValue(QStringLiteral("A+"));
        person.addBindValue(id % kPhotoEvery == 0 ? QVariant(thumbnail) : QVariant(QMetaType(QMetaType::QByteArray)));
        Exec(person);
        for (int a = 0; a < kAnalysesPerPerson; ++a) {
            attach.addBindValue(++personAnalysis);
            attach.addBindValue(id);
            attach.addBindValue(1 + random.bounded(kCatalogue));
            Exec(attach);
            for (int r = 0; r < kResultsPerAnalysis; ++r) {
                result.addBindValue(personAnalysis);
                result.addBindValue(QDate(2020, 1, 1).addDays(random.bounded(1500)).toString(Qt::ISODate));
                result.addBindValue(0.4 + random.bounded(1.2));
                Exec(result);
            }
        }
    }
    if (!db.commit()) Die(db.lastError().text());
}

// Opens a dataset on the statement lines and reads all its rows; returns the row count.
int OpenRows(const QStringList& lines) {
    Dataset query(QStringLiteral("Bench"));
    query.setConnectionName(kBench);
    query.setSql(lines);
    QString error;
    if (!query.open(&error)) Die(lines.join(QLatin1Char(' ')) + QStringLiteral(": ") + error);
    return query.recordCount();
}

void Line(const char* work, int rows, double milliseconds) {
    std::printf("| %-58s | %7d | %9.1f |\n", work, rows, milliseconds);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1) g_repetitions = std::max(1, atoi(argv[1]));
    const QString source = StartingDatabase(argc, argv, 2);
    if (!QFileInfo(source).isFile()) Die(QStringLiteral("starting database not found: ") + source);

    QTemporaryDir folder;
    const QString database = folder.path() + QStringLiteral("/KESTOVRAN.MDB");
    if (!QFile::copy(source, database) || !QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner))
        Die(QStringLiteral("cannot copy ") + source);

    QString error;
    QRandomGenerator random(20260101);
    QElapsedTimer building;
    building.start();
    if (!OpenDatabaseFile(kBench, database, &error)) Die(error);
    Fill(random);
    CloseDatabase(kBench);
    const double buildTime = Milliseconds(building);

    // The statements as the program holds them.
    TDataModule1 module;
    const QStringList personLines = module.Person->sql();
    QStringList resultLines = module.Analysis->sql();
    const qint64 someone = kPersons / 2;
    const qint64 personAnalysis = (someone - 1) * kAnalysesPerPerson + 1;
    resultLines[1] = QStringLiteral("WHERE ID_REF=") + QString::number(personAnalysis);
    const QStringList analysisList{
        QStringLiteral("SELECT L_ANALYSIS.Id, L_ANALYSIS.Unit, L_ANALYSIS.Decimal, L_ANALYSIS.Value_Min, "
                       "L_ANALYSIS.Value_Max, LST_ANALYSIS.Title, LST_ANALYSIS.ImgMini1 FROM L_ANALYSIS LEFT JOIN "
                       "LST_ANALYSIS ON L_ANALYSIS.Id_Analysis = LST_ANALYSIS.Id WHERE L_ANALYSIS.Id_Ref=") +
        QString::number(someone) + QStringLiteral(" ORDER BY LST_ANALYSIS.Title")};

    std::printf("%d persons (1 in %d with a photo thumbnail), %d catalogue entries, %d person-analyses, %d results; "
                "file %.1f MB, built in %.0f ms.\nBest of %d runs, times in ms.\n\n",
                kPersons, kPhotoEvery, kCatalogue, kPersons * kAnalysesPerPerson,
                kPersons * kAnalysesPerPerson * kResultsPerAnalysis, QFileInfo(database).size() / 1e6, buildTime,
                g_repetitions);
    std::printf("| %-58s | %7s | %9s |\n", "work", "rows", "time");
    std::printf("|%s|%s|%s|\n", QByteArray(60, '-').constData(), QByteArray(9, '-').constData(),
                QByteArray(11, '-').constData());

    qint64 counted = 0;
    const double opening = Best(g_repetitions, [&] {
        CloseDatabase(kBench);
        if (!OpenDatabaseFile(kBench, database, &error)) Die(error);
        counted = QueryInteger(QStringLiteral("SELECT count(*) FROM PERSON"), kBench);
    });
    Line("open the database and count the persons", int(counted), opening);

    int rows = 0;
    double time = Best(g_repetitions, [&] { rows = OpenRows(personLines); });
    Line("person query (Person, all columns, French order)", rows, time);
    time =
        Best(g_repetitions, [&] { rows = OpenRows({QStringLiteral("SELECT * FROM PERSON ORDER BY NAME, FORENAME")}); });
    Line("person list of the main window (SELECT * ... ORDER BY)", rows, time);
    time = Best(g_repetitions, [&] { rows = OpenRows({QStringLiteral("SELECT * FROM PERSON")}); });
    Line("the same rows unsorted (cost of reading them)", rows, time);
    time = Best(g_repetitions, [&] { rows = OpenRows(analysisList); });
    Line("analysis list of one person (join with the catalogue)", rows, time);
    time = Best(g_repetitions, [&] { rows = OpenRows(resultLines); });
    Line("results of one person-analysis (Analysis)", rows, time);
    time = Best(g_repetitions, [&] {
        rows = OpenRows({QStringLiteral("SELECT * FROM LST_ANALYSIS"), QStringLiteral("ORDER BY TITLE")});
    });
    Line("catalogue list (Lst_Analysis)", rows, time);
    CloseDatabase(kBench);
    return 0;
}
