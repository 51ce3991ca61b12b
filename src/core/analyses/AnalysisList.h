#pragma once

#include "core/app/TaggedEntryList.h"

#include <QVariant>

// The analysis list of the "Général" page: one entry per person-analysis of the current person, sorted by catalogue
// title, kept apart from the database so that drawing the list runs no statement. Each entry is one tagged text
//   "000012%&a%title%&b%upper text%&c%lower text%&d%unit%&e%decimals%&f%"
// and the thumbnail of the same index is the catalogue entry's picture reduced to 18 x 18. The identifier of an
// entry is its person-analysis.
class AnalysisList : public TaggedEntryList {
public:
    static constexpr int kThumbnailSide = 18;

    // The one statement of a load: the person's person-analyses with their catalogue title and thumbnail.
    static QString Statement(qint64 personId);

    // Reads the person-analyses of personId (-1: none) on the connection and returns the row to highlight: that of
    // selectedId, or 0 when selectedId is -1 or not in the list (also when the list is empty). On a database error
    // the list is left empty and error says why.
    int load(const QString& connectionName, qint64 personId, qint64 selectedId, QString* error = nullptr);

    const QList<QImage>& thumbnails() const { return pictures(); }
};

// The tagged text of a row. The id is written with at least 6 digits (ZeroPad); a marker that a text happens to
// contain is broken with an invisible zero-width space so that it cannot cut the entry into the wrong pieces.
QString AnalysisListEntry(qint64 id, const QString& title, const QString& upperText, const QString& lowerText,
                          const QString& unit, int decimals);
// Piece 1 (title), 2 (upper text) or 3 (lower text) of an entry; the id of an entry (-1 when it is not a number).
QString AnalysisListPiece(const QString& entry, int piece);
qint64 AnalysisListEntryId(const QString& entry);

// A bound as the list writes it: the number when its text form is a number (0 otherwise, an empty bound included),
// with exactly `decimals` decimals and a point whatever the locale, without leading blanks; one blank; the unit.
QString AnalysisBoundText(const QVariant& bound, int decimals, const QString& unit);

// The catalogue thumbnail (a bitmap blob) reduced to fit 18 x 18; the default ring picture reduced the same way
// when the blob is empty or cannot be read.
QImage AnalysisListThumbnail(const QByteArray& blob);
