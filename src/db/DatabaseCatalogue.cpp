#include "db/DatabaseCatalogue.h"

#include "db/Connection.h"
#include "db/FieldTypes.h"

#include <QMetaType>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString kSqliteDriver = QStringLiteral("QSQLITE");

QString DatabaseMessage(const QSqlError& error) {
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// The name as the catalogue holds it: "[Size]" and "\"Size\"" are Size.
QString BareName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.size() >= 2 && ((trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) ||
                                (trimmed.startsWith(QLatin1Char('"')) && trimmed.endsWith(QLatin1Char('"')))))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

bool IsSqlite(const QSqlDatabase& db) {
    return db.driverName() == kSqliteDriver;
}

bool OpenSelectAll(const QSqlDatabase& db, const QString& table, QSqlQuery* query, QString* error) {
    query->setForwardOnly(true);
    if (query->exec(StatementFor(db, QStringLiteral("SELECT * FROM ") + table))) return true;
    return Fail(error, DatabaseMessage(query->lastError()));
}

int MetaTypeCode(const QSqlField& field) {
    if (field.isAutoValue()) return FieldType::kAutoInc;
    switch (field.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        return FieldType::kSmallint;
    case QMetaType::Int:
    case QMetaType::UInt:
        return FieldType::kInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return FieldType::kLargeInt;
    case QMetaType::QString:
        return FieldType::kWideString;
    case QMetaType::QByteArray:
        return FieldType::kBlob;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::kFloat;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return FieldType::kDateTime;
    case QMetaType::Bool:
        return FieldType::kBoolean;
    default:
        return FieldType::kUnknown;
    }
}

} // namespace

bool CatalogueHasTable(const QString& connectionName, const QString& table, bool* exists, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) return Fail(error, QStringLiteral("La base de données n'est pas ouverte."));
    const QString name = BareName(table);
    QStringList tables;
    if (IsSqlite(db)) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
            return Fail(error, DatabaseMessage(query.lastError()));
        while (query.next()) {
            const QString found = query.value(0).toString();
            if (!found.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) tables << found;
        }
    } else {
        tables = db.tables(QSql::Tables);
    }
    *exists = false;
    for (const QString& found : tables)
        if (found.compare(name, Qt::CaseInsensitive) == 0) *exists = true;
    return true;
}

bool CatalogueColumns(const QString& connectionName, const QString& table, QStringList* columns, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) return Fail(error, QStringLiteral("La base de données n'est pas ouverte."));
    QSqlQuery query(db);
    if (!OpenSelectAll(db, table, &query, error)) return false;
    const QSqlRecord record = query.record();
    columns->clear();
    for (int i = 0; i < record.count(); ++i)
        columns->append(record.fieldName(i));
    return true;
}

bool CatalogueColumnType(const QString& connectionName, const QString& table, const QString& column, int* code,
                         QString* error) {
    QStringList columns;
    if (!CatalogueColumns(connectionName, table, &columns, error)) return false;
    const auto missing = [&] {
        return Fail(error, QStringLiteral("Le champ \"%1\" n'existe pas dans la table \"%2\".").arg(column, table));
    };
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!IsSqlite(db)) {
        const QSqlRecord record = db.record(BareName(table));
        for (int i = 0; i < record.count(); ++i) {
            if (record.fieldName(i).compare(column, Qt::CaseInsensitive) == 0) {
                *code = MetaTypeCode(record.field(i));
                return true;
            }
        }
        return missing();
    }

    QSqlQuery info(db);
    info.setForwardOnly(true);
    info.prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
    info.addBindValue(BareName(table));
    if (!info.exec()) return Fail(error, DatabaseMessage(info.lastError()));
    QString declared;
    bool found = false;
    bool primaryKey = false;
    int keyColumns = 0;
    while (info.next()) {
        const bool key = info.value(2).toInt() > 0;
        if (key) ++keyColumns;
        if (!found && info.value(0).toString().compare(column, Qt::CaseInsensitive) == 0) {
            found = true;
            declared = info.value(1).toString();
            primaryKey = key;
        }
    }
    if (!found) return missing();
    // The one INTEGER PRIMARY KEY of a table is the row number SQLite gives each new row: an autoincrement.
    const bool autoIncrement =
        primaryKey && keyColumns == 1 && declared.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
    *code = DeclaredTypeCode(declared, autoIncrement);
    return true;
}

bool CatalogueTableHasRow(const QString& connectionName, const QString& table, bool* hasRow, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) return Fail(error, QStringLiteral("La base de données n'est pas ouverte."));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(StatementFor(db, QStringLiteral("SELECT id FROM ") + table)))
        return Fail(error, DatabaseMessage(query.lastError()));
    *hasRow = query.next();
    return true;
}
