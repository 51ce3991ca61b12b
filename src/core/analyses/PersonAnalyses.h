#pragma once

#include "core/analyses/ValueFormat.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Dataset;

// The analyses attached to a person (rows of L_ANALYSIS, each with its own copies of the catalogue entry's unit,
// decimals and bounds) and their results (rows of ANALYSIS), as the "Général" page and its dialogs work on them.
//
// An empty bound (a bound field cleared, or a catalogue entry without one) means "no bound on that side". It is kept
// as no value at every step: the catalogue entry, the copy made when the entry is attached, the copy a new result
// takes; grids and dialogs show it empty, the chart draws no bound line for it and leaves it out of its range. Only
// the analysis list, whose row always writes a number, shows it as 0.

inline const QString kNoAnalysisTitle = QStringLiteral("Pas d'analyses");

// What selecting a person-analysis gives: the current one (-1 for none), its catalogue title ("Pas d'analyses" for
// none, empty when the catalogue entry no longer exists) and, when there is one, the value patterns of its results.
struct PersonAnalysisSelection {
    qint64 current = -1;
    QString title = kNoAnalysisTitle;
    std::optional<ValuePatterns> patterns;
};

// n when that person-analysis exists, otherwise the person's first one in database order, otherwise -1; always -1
// when personId is -1 (no person). A database error leaves the selection at -1 with the reason in error.
PersonAnalysisSelection ResolvePersonAnalysis(const QString& connectionName, qint64 n, qint64 personId,
                                              QString* error = nullptr);

// The results query: its "WHERE" line made "WHERE ID_REF=" + current (so -1 gives no row), then opened; results in
// ascending date order.
bool OpenPersonAnalysisResults(Dataset& results, qint64 current, QString* error = nullptr);

// The catalogue entries not yet attached to the person, ordered by title, as two parallel lists.
struct CatalogueChoices {
    QStringList titles;
    QList<qint64> ids;
};
CatalogueChoices UnattachedCatalogueEntries(const QString& connectionName, qint64 personId, QString* error = nullptr);

// The catalogue title of an entry; empty when there is none.
QString CatalogueTitle(const QString& connectionName, qint64 catalogueId, QString* error = nullptr);

// Opens the person-analysis query when it is closed and inserts the row of a new attachment: Id_File -1, Id_Ref the
// person, Id_Analysis -1 (none chosen yet).
bool BeginPersonAnalysis(Dataset& personAnalyses, qint64 personId, QString* error = nullptr);
// Opens the person-analysis query when it is closed and makes the row of that Id current; false when there is none.
bool LocatePersonAnalysis(Dataset& personAnalyses, qint64 id, QString* error = nullptr);

// The row (in edit or insert state) takes the catalogue entry: Id_Analysis, and copies of its Unit, Decimal,
// Value_Min and Value_Max (an empty bound stays empty). False, the row unchanged, when the entry cannot be read.
bool CopyCatalogueEntry(Dataset& row, qint64 catalogueId, QString* error = nullptr);

// Removes a person-analysis and its results, both or neither. query is a dataset of the connection to run the
// statements on (it is left closed).
bool RemovePersonAnalysis(Dataset& query, qint64 id, QString* error = nullptr);

// Appends a result of the person-analysis to the results query: dated `today`, value 0, and the bounds the
// person-analysis has at this moment.
bool BeginNewResult(Dataset& results, qint64 personAnalysis, const QDate& today, QString* error = nullptr);

// Appends a catalogue entry with its defaults: no unit, 2 decimals, both bounds 0.
bool BeginNewCatalogueEntry(Dataset& catalogue);

// Deletes the current catalogue entry with every person-analysis that uses it, in every record, and their results:
// all of it or, when the database refuses a step, nothing. The person-analysis query is left closed on its usual
// "WHERE L_ANALYSIS.Id_Analysis>-1" line.
bool DeleteCatalogueEntry(Dataset& catalogue, Dataset& personAnalyses, QString* error = nullptr);
