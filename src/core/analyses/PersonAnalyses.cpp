#include "core/analyses/PersonAnalyses.h"

#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kPersonAnalysesWhere = QStringLiteral("WHERE L_ANALYSIS.Id_Analysis>-1");

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// A transaction over several statements: committed explicitly, rolled back when left otherwise. A driver without
// transactions runs the statements one by one.
class TransactionGuard {
public:
    explicit TransactionGuard(const QString& connectionName) : m_db(QSqlDatabase::database(connectionName, false)) {
        m_active = m_db.driver() && m_db.driver()->hasFeature(QSqlDriver::Transactions) && m_db.transaction();
    }
    ~TransactionGuard() {
        if (m_active) m_db.rollback();
    }
    bool commit(QString* error) {
        if (!m_active) return true;
        m_active = false;
        if (m_db.commit()) return true;
        const QString reason = m_db.lastError().text();
        m_db.rollback();
        return Fail(error, reason);
    }

private:
    QSqlDatabase m_db;
    bool m_active = false;
};

// Runs a SELECT on the connection; false with the database's reason.
bool Select(const QString& connectionName, const QString& statement, QSqlQuery* query, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    *query = QSqlQuery(db);
    query->setForwardOnly(true);
    if (query->exec(StatementFor(db, statement))) return true;
    return Fail(error, query->lastError().text());
}

} // namespace

PersonAnalysisSelection ResolvePersonAnalysis(const QString& connectionName, qint64 n, qint64 personId,
                                              QString* error) {
    PersonAnalysisSelection selection;
    if (personId < 0) return selection;
    qint64 current =
        QueryInteger(QStringLiteral("SELECT id FROM L_ANALYSIS Where Id=") + QString::number(n), connectionName, error);
    if (current == -1)
        current = QueryInteger(QStringLiteral("SELECT id FROM L_ANALYSIS Where Id_Ref=") + QString::number(personId),
                               connectionName, error);
    selection.current = current;
    if (current < 0) return selection;

    QSqlQuery query;
    if (!Select(connectionName,
                QStringLiteral("SELECT L_ANALYSIS.Id, LST_ANALYSIS.Title, L_ANALYSIS.Decimal, L_ANALYSIS.Unit FROM "
                               "L_ANALYSIS LEFT JOIN LST_ANALYSIS ON L_ANALYSIS.Id_Analysis = LST_ANALYSIS.Id WHERE "
                               "L_ANALYSIS.Id=") +
                    QString::number(current),
                &query, error))
        return selection;
    if (query.next()) {
        selection.title = query.value(1).isNull() ? QString() : query.value(1).toString();
        selection.patterns = AnalysisValuePatterns(query.value(2).toInt(),
                                                   query.value(3).isNull() ? QString() : query.value(3).toString());
    }
    return selection;
}

bool OpenPersonAnalysisResults(Dataset& results, qint64 current, QString* error) {
    results.close();
    return ReplaceWhereLine(results, QStringLiteral("WHERE ID_REF=") + QString::number(current), error) &&
           results.open(error);
}

CatalogueChoices UnattachedCatalogueEntries(const QString& connectionName, qint64 personId, QString* error) {
    CatalogueChoices choices;
    QSet<qint64> attached;
    QSqlQuery query;
    if (!Select(connectionName,
                QStringLiteral("SELECT LST_ANALYSIS.Id, LST_ANALYSIS.Title, L_ANALYSIS.Id_Analysis FROM LST_ANALYSIS "
                               "LEFT JOIN L_ANALYSIS ON [LST_ANALYSIS].[Id]=[L_ANALYSIS].[Id_Analysis] WHERE "
                               "L_ANALYSIS.Id_Ref=") +
                    QString::number(personId) + QStringLiteral(" ORDER BY LST_ANALYSIS.Title"),
                &query, error))
        return choices;
    while (query.next())
        if (!query.value(2).isNull()) attached.insert(query.value(2).toLongLong());

    if (!Select(
            connectionName,
            QStringLiteral("SELECT LST_ANALYSIS.Id, LST_ANALYSIS.Title FROM LST_ANALYSIS ORDER BY LST_ANALYSIS.Title"),
            &query, error))
        return choices;
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        if (attached.contains(id)) continue;
        choices.ids.append(id);
        choices.titles.append(query.value(1).isNull() ? QString() : query.value(1).toString());
    }
    return choices;
}

QString CatalogueTitle(const QString& connectionName, qint64 catalogueId, QString* error) {
    QSqlQuery query;
    if (!Select(connectionName,
                QStringLiteral("SELECT LST_ANALYSIS.Id, LST_ANALYSIS.Title FROM LST_ANALYSIS WHERE LST_ANALYSIS.Id=") +
                    QString::number(catalogueId),
                &query, error))
        return {};
    return query.next() && !query.value(1).isNull() ? query.value(1).toString() : QString();
}

bool BeginPersonAnalysis(Dataset& personAnalyses, qint64 personId, QString* error) {
    if (!personAnalyses.isOpen() && !personAnalyses.open(error)) return false;
    if (!personAnalyses.append()) return Fail(error, QStringLiteral("Impossible d'ajouter une analyse."));
    personAnalyses.setValue(QStringLiteral("Id_File"), -1);
    personAnalyses.setValue(QStringLiteral("Id_Ref"), personId);
    personAnalyses.setValue(QStringLiteral("Id_Analysis"), -1);
    return true;
}

bool LocatePersonAnalysis(Dataset& personAnalyses, qint64 id, QString* error) {
    if (personAnalyses.isEditing()) personAnalyses.cancel();
    // The rows are read again: another window may have changed them since the last use.
    if (!personAnalyses.open(error)) return false;
    return personAnalyses.locate(id);
}

bool CopyCatalogueEntry(Dataset& row, qint64 catalogueId, QString* error) {
    QSqlQuery query;
    if (!Select(row.connectionName(),
                QStringLiteral("SELECT * FROM LST_ANALYSIS WHERE LST_ANALYSIS.Id=") + QString::number(catalogueId),
                &query, error))
        return false;
    if (!query.next()) return Fail(error, QStringLiteral("Cette analyse n'existe plus dans la liste des analyses."));
    if (!EnsureEditing(row)) return Fail(error, QStringLiteral("Cette analyse ne peut pas être modifiée."));
    row.setValue(QStringLiteral("Id_Analysis"), catalogueId);
    for (const char* column : {"Unit", "Decimal", "Value_Min", "Value_Max"})
        row.setValue(QLatin1String(column), query.value(QLatin1String(column)));
    return true;
}

bool RemovePersonAnalysis(Dataset& query, qint64 id, QString* error) {
    TransactionGuard transaction(query.connectionName());
    const QString key = QString::number(id);
    return ExecSql(query, QStringLiteral("DELETE FROM ANALYSIS WHERE ANALYSIS.Id_Ref=") + key, error) &&
           ExecSql(query, QStringLiteral("DELETE FROM L_ANALYSIS WHERE L_ANALYSIS.Id=") + key, error) &&
           transaction.commit(error);
}

bool BeginNewResult(Dataset& results, qint64 personAnalysis, const QDate& today, QString* error) {
    QSqlQuery bounds;
    if (!Select(
            results.connectionName(),
            QStringLiteral("SELECT L_ANALYSIS.Value_Min, L_ANALYSIS.Value_Max FROM L_ANALYSIS WHERE L_ANALYSIS.Id=") +
                QString::number(personAnalysis),
            &bounds, error))
        return false;
    if (!results.isOpen() && !results.open(error)) return false;
    if (!results.append()) return Fail(error, QStringLiteral("Impossible d'ajouter une valeur."));
    results.setValue(QStringLiteral("Id_Ref"), personAnalysis);
    results.setValue(QStringLiteral("Date_Analysis"), today);
    results.setValue(QStringLiteral("Value_Analysis"), 0.0);
    if (bounds.next()) {
        results.setValue(QStringLiteral("Value_Min"), bounds.value(0));
        results.setValue(QStringLiteral("Value_Max"), bounds.value(1));
    }
    return true;
}

bool BeginNewCatalogueEntry(Dataset& catalogue) {
    if (!catalogue.append()) return false;
    catalogue.setValue(QStringLiteral("Unit"), QString(QLatin1String("")));
    catalogue.setValue(QStringLiteral("Decimal"), 2);
    catalogue.setValue(QStringLiteral("Value_Min"), 0.0);
    catalogue.setValue(QStringLiteral("Value_Max"), 0.0);
    return true;
}

bool DeleteCatalogueEntry(Dataset& catalogue, Dataset& personAnalyses, QString* error) {
    if (catalogue.isEmpty() || catalogue.recNo() < 0) return true;
    if (catalogue.isEditing()) catalogue.cancel();
    const qint64 id = catalogue.asInteger(QStringLiteral("Id"));
    personAnalyses.close();
    bool deleted = true;
    {
        TransactionGuard transaction(catalogue.connectionName());
        // Each deletion takes the person-analysis' results with it (the query's before-delete rule).
        deleted = ReplaceWhereLine(personAnalyses,
                                   QStringLiteral("WHERE L_Analysis.Id_Analysis=") + QString::number(id), error) &&
                  personAnalyses.open(error);
        while (deleted && !personAnalyses.isEmpty())
            deleted = personAnalyses.remove(error);
        personAnalyses.close();
        ReplaceWhereLine(personAnalyses, kPersonAnalysesWhere);
        deleted = deleted && catalogue.remove(error) && transaction.commit(error);
    }
    // What was undone must show again.
    if (!deleted && catalogue.open()) catalogue.locate(id);
    return deleted;
}
