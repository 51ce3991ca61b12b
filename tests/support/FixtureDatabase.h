#pragma once

#include <QString>
#include <QTemporaryDir>

// A small filled database for tests: the starting database that the build stages, copied into a folder laid out
// like DbDir (Access/KESTOVRAN.MDB, Images/, Files/) and filled with a few rows of every kind. Identifiers are
// written explicitly, so the tables below can be relied on:
//
// Persons, in French order: "Dupont Émile" (kDupont), "Ébert Zoé" (kEbert, owns nothing), "martin Claire"
// (kMartin, an Id above 16 bits). Byte or plain NOCASE order puts "martin" before "Ébert".
// Catalogue: "Cholestérol" (kCholesterol), "Ferritine" (kFerritine), "Glycémie" (kGlycemie, with an ImgMini1).
// Person-analyses: Dupont has Glycémie (kDupontGlycemie, 3 results) and Cholestérol (kDupontCholesterol,
// 1 result); Martin has Glycémie (kMartinGlycemie, Id above 16 bits, 2 results) and an attachment in progress
// (kMartinPending, Id_Analysis -1, no result).
// Results of kDupontGlycemie by date: 2023-06-01 0.92, 2024-01-15 1.05, 2024-03-10 1.21 (inserted out of order).
// Events: Dupont 3 (2023-11-20 14:00 "Prise de sang", 2024-03-02 without time "Vaccin grippe", 2024-03-02 09:30
// "Consultation", inserted out of order), Martin 1.
// Image documents: Dupont 3 (Ids 1 and 2 of kind 1, "Radio du genou" and "Ordonnance"; Id 3 of kind 0), Martin 1
// (Id 4). File documents: Dupont 1 (Id 1), Martin 1 (Id 2). Thumbnails are binary bytes (kThumbnailBytes).
// Legacy tables Weight, Size, Action, Vaccine: one row for Dupont and one for Martin in each.
// BACKUP: 2 rows. STAT_TREE, SQL_TREE: a folder and an entry each; STAT_QUERY, SQL_QUERY: one statement each.
// The starting database's own rows stay: the version row "1.13", the labels row, the pick-list row.
namespace Fixture {
constexpr qint64 kDupont = 1;
constexpr qint64 kEbert = 2;
constexpr qint64 kMartin = 40000;
constexpr int kPersonCount = 3;

constexpr qint64 kGlycemie = 1;
constexpr qint64 kCholesterol = 2;
constexpr qint64 kFerritine = 3;
constexpr int kCatalogueCount = 3;

constexpr qint64 kDupontGlycemie = 1;
constexpr qint64 kDupontCholesterol = 2;
constexpr qint64 kMartinGlycemie = 70000;
constexpr qint64 kMartinPending = 70001;

constexpr int kDupontGlycemieResults = 3;
constexpr int kMartinGlycemieResults = 2;
constexpr int kResultCount = 6;
constexpr int kDupontEvents = 3;
constexpr int kDupontImageDocuments = 3; // of which 2 of kind 1
constexpr int kBackupRows = 2;

// Bytes of every thumbnail blob: a bitmap's signature, a NUL and high bytes, to show that blobs are not text.
inline const QByteArray kThumbnailBytes = QByteArray("BM\x00\x01\xff\xfe\x80 thumbnail", 17);
} // namespace Fixture

class FixtureDatabase {
public:
    // In a temporary folder of its own.
    FixtureDatabase();
    // Under dbDir (created when missing), for a test that wants the database at a given DbDir.
    explicit FixtureDatabase(const QString& dbDir);

    // Copies the starting database and fills it; false with error set when a step fails.
    bool build(QString* error = nullptr);

    // Ends with "/".
    QString dbDir() const { return m_dbDir; }
    QString databaseFile() const { return m_dbDir + QStringLiteral("Access/KESTOVRAN.MDB"); }

    // Replaces path by a copy of the filled database (a fresh one for each test case).
    bool copyTo(const QString& path, QString* error = nullptr) const;

private:
    QTemporaryDir m_temporary;
    QString m_dbDir;
};

// The starting database as the build stages it.
QString StagedStartingDatabase();
// Replaces path by a copy of the starting database, writable by its owner (the staged file may be read-only).
bool CopyStartingDatabase(const QString& path, QString* error = nullptr);
// Same for any database file.
bool CopyDatabaseFile(const QString& source, const QString& path, QString* error = nullptr);
