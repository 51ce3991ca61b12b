#include "core/db/DatasetRoutines.h"

#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/SqlClauses.h"

#include <QSignalBlocker>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

bool IsEmptyDataSet(const Dataset& query) {
    return query.bof() && query.eof();
}

bool EnsureEditing(Dataset& query) {
    return query.isEditing() || query.edit();
}

bool PostIfEditing(Dataset& query, QString* error) {
    return !query.isEditing() || query.post(error);
}

bool ReplaceWhereLine(Dataset& query, const QString& line, QString* error) {
    const int index = FindClauseLine(query.sql(), QStringLiteral("WHERE"));
    if (index >= 0 && query.setSqlLine(index, line)) return true;
    if (error)
        *error = query.isOpen() ? QStringLiteral("La requête %1 est ouverte.").arg(query.name())
                                : QStringLiteral("La requête %1 n'a pas de clause WHERE.").arg(query.name());
    return false;
}

bool RefreshKeepingId(Dataset& query, QString* error) {
    const bool hadRow = !query.isEmpty() && query.hasField(QStringLiteral("Id")) && !query.isNull(QStringLiteral("Id"));
    const qint64 id = hadRow ? query.asInteger(QStringLiteral("Id")) : -1;
    bool opened = false;
    {
        // The rows are read again whole; listeners hear once, at the end.
        const QSignalBlocker quiet(query);
        query.close();
        opened = query.open(error);
        if (opened && hadRow) query.locate(id);
    }
    emit query.reset();
    emit query.dataChanged();
    return opened;
}

bool ExecSql(Dataset& query, const QString& statement, QString* error) {
    query.close();
    if (statement.size() > kExecSqlMaxLength) {
        if (error)
            *error = QStringLiteral("Instruction SQL trop longue (plus de %1 caractères).").arg(kExecSqlMaxLength);
        return false;
    }
    query.setSql({statement});
    const QSqlDatabase db = QSqlDatabase::database(query.connectionName(), false);
    QSqlQuery command(db);
    if (command.exec(StatementFor(db, statement))) return true;
    if (error) *error = command.lastError().text();
    return false;
}

qint64 QueryInteger(const QString& statement, const QString& connectionName, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(StatementFor(db, statement))) {
        if (error) *error = query.lastError().text();
        return -1;
    }
    if (!query.next()) return -1;
    const QVariant value = query.value(0);
    if (value.isNull() || value.toString().isEmpty()) return -1;
    return value.toLongLong();
}
