#pragma once

#include "core/app/TaggedEntryList.h"

class Dataset;
class QSqlQuery;

// The main window's list of persons, kept apart from the Person query so that drawing the list
// never runs a statement. Each entry is one tagged text
//   "0007%&a%NAME%&b%FORENAME%&c%No%&d%birth date%&e%birth time%&f%blood%&g%"
// and the icon of the same index is the person's 45 x 45 picture.
class PersonList : public TaggedEntryList {
public:
    static constexpr int kIconSide = 45;
    // Every person, whatever the work group, in the database's order of names and forenames.
    static inline const QString kStatement = QStringLiteral(
        "SELECT Id, Name, ForeName, [No], BirthDay_Date, BirthDay_Time, Blood FROM PERSON ORDER BY NAME, FORENAME");
    // The thumbnails, by identifier. They are read apart from the sorted texts: carried through the
    // sort, 2 000 photos of 40 KB make the statement several times slower than both together.
    static inline const QString kThumbnailStatement =
        QStringLiteral("SELECT Id, ImgMini1 FROM PERSON WHERE ImgMini1 IS NOT NULL");

    // Reads every person on the connection of query (which is left closed) and returns the index of
    // the entry whose identifier is selectId: 0 when selectId is -1 or matches no entry, -1 when the
    // list is empty. On a database error the list is left empty and error says why.
    int load(Dataset& query, qint64 selectId, QString* error = nullptr);

    const QList<QImage>& icons() const { return pictures(); }

private:
    // Empties the list and reports the statement's error; -1.
    int Failed(const QSqlQuery& query, QString* error);
};

// The tagged text of a person. The identifier is written with at least four digits (7 gives "0007",
// 12345 gives "12345"); a marker that a value happens to contain is broken with an invisible
// zero-width space so that it cannot cut the entry into the wrong fields.
QString PersonListEntry(qint64 id, const QString& name, const QString& foreName, const QString& number,
                        const QString& birthDate, const QString& birthTime, const QString& blood);
// The identifier of an entry, read up to the first marker so that identifiers of five digits and
// more come back whole (reading a fixed four characters would turn 12345 into 1234).
qint64 PersonListEntryId(const QString& entry);
// Field 1 (name) to 6 (blood group) of an entry.
QString PersonListEntryField(const QString& entry, int field);

// The list icon of a person: the thumbnail blob reduced to fit 45 x 45, or the silhouette reduced the
// same way when the row has no thumbnail or one that cannot be read.
QImage PersonListIcon(const QByteArray& thumbnail);
