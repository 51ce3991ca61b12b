#include "core/db/DbVersion.h"

#include "core/db/Dataset.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString VersionRowCondition() {
    return QStringLiteral(" WHERE [ID_CLASS]=-99 AND [ID_ATTRIBUTE]=-99 AND [USERID]=-99");
}

} // namespace

QString GetDbVersion(const QString& connectionName, const QString& table, const QString& column) {
    Dataset query(QStringLiteral("DbVersion"));
    query.setConnectionName(connectionName);
    query.setSql({QStringLiteral("SELECT [") + column + QStringLiteral("] FROM [") + table + QStringLiteral("]") +
                  VersionRowCondition()});
    if (!query.open() || query.isEmpty()) return QStringLiteral("0");
    return query.asString(column);
}

bool SetDbVersion(const QString& connectionName, const QString& table, const QString& column, const QString& version,
                  QString* error) {
    Dataset query(QStringLiteral("DbVersion"));
    query.setConnectionName(connectionName);
    query.setSql({QStringLiteral("SELECT [") + column +
                  QStringLiteral("], [ID_CLASS], [ID_ATTRIBUTE], [USERID] FROM [") + table + QStringLiteral("]") +
                  VersionRowCondition()});
    if (!query.open(error)) return false;
    if (query.isEmpty()) {
        // The table has no key to address a row by: the new row is written directly.
        QSqlQuery insert(QSqlDatabase::database(connectionName, false));
        insert.prepare(
            QStringLiteral("INSERT INTO \"%1\" (\"%2\", ID_CLASS, ID_ATTRIBUTE, USERID) VALUES (?, -99, -99, -99)")
                .arg(table, column));
        insert.addBindValue(version);
        if (insert.exec()) return true;
        if (error) *error = insert.lastError().text();
        return false;
    }
    QSqlQuery update(QSqlDatabase::database(connectionName, false));
    update.prepare(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE ID_CLASS=-99 AND ID_ATTRIBUTE=-99 AND USERID=-99")
                       .arg(table, column));
    update.addBindValue(version);
    if (update.exec()) return true;
    if (error) *error = update.lastError().text();
    return false;
}

int VersionNumber(const QString& text) {
    QString digits = text;
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    if (point >= 0) digits.remove(point, 1);
    bool ok = false;
    const int number = digits.trimmed().toInt(&ok);
    return ok ? number : 0;
}

QString VersionColumn(const QString& connectionName) {
    Dataset query(QStringLiteral("IsVersionInBD"));
    query.setConnectionName(connectionName);
    query.setSql({QStringLiteral("SELECT * FROM OBJECT_VAL_STR")});
    return query.open() && query.hasField(QStringLiteral("VAL")) ? QStringLiteral("VAL") : QStringLiteral("VALUE");
}
