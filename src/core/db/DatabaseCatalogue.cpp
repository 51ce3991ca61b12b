#include "core/db/DatabaseCatalogue.h"

#include "core/db/Connection.h"
#include "core/db/FieldTypes.h"

#include <QMetaType>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

QString DatabaseMessage(const QSqlError& error) {
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

bool NotOpen(QString* error) {
    return Fail(error, QStringLiteral("La base de données n'est pas ouverte."));
}

// The name as the catalogue holds it: "[Size]" and "\"Size\"" are Size.
QString BareName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.size() >= 2 && ((trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) ||
                                (trimmed.startsWith(QLatin1Char('"')) && trimmed.endsWith(QLatin1Char('"')))))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

// Tables that the database keeps for itself: SQLite's, and Access's of files imported from older installations.
bool IsSystemTable(const QString& name) {
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive);
}

// An SQLite database, also when it is reached through ODBC (whose driver reports no database kind): its own
// catalogue is then readable. Decided without running a statement, since a failed one would spoil the transaction
// of a server database.
bool IsSqliteStore(const QSqlDatabase& db) {
    if (db.driverName() == QLatin1String("QSQLITE") || db.driver()->dbmsType() == QSqlDriver::SQLite) return true;
    if (db.driver()->dbmsType() != QSqlDriver::UnknownDbms) return false;
    const QStringList tables = db.tables(QSql::AllTables);
    return std::any_of(tables.cbegin(), tables.cend(), [](const QString& name) {
        return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
    });
}

bool OpenSelectAll(const QSqlDatabase& db, const QString& table, QSqlQuery* query, QString* error) {
    query->setForwardOnly(true);
    if (query->exec(StatementFor(db, QStringLiteral("SELECT * FROM ") + table))) return true;
    return Fail(error, DatabaseMessage(query->lastError()));
}

// The type of a column as a driver other than SQLite's own describes it: by its ODBC SQL type when the driver
// gives one, otherwise by the kind of value it reads.
int DriverTypeCode(const QSqlField& field) {
    if (field.isAutoValue()) return FieldType::kAutoInc;
    switch (field.typeID()) {
    case -1:  // SQL_LONGVARCHAR
    case -10: // SQL_WLONGVARCHAR
        return FieldType::kWideMemo;
    case 1:  // SQL_CHAR
    case 12: // SQL_VARCHAR
    case -8: // SQL_WCHAR
    case -9: // SQL_WVARCHAR
        return FieldType::kWideString;
    case -2: // SQL_BINARY
    case -3: // SQL_VARBINARY
    case -4: // SQL_LONGVARBINARY
        return FieldType::kBlob;
    case -6: // SQL_TINYINT
    case 5:  // SQL_SMALLINT
        return FieldType::kSmallint;
    case 4: // SQL_INTEGER
        return FieldType::kInteger;
    case -5: // SQL_BIGINT
        return FieldType::kLargeInt;
    case 6: // SQL_FLOAT
    case 7: // SQL_REAL
    case 8: // SQL_DOUBLE
        return FieldType::kFloat;
    case 9:  // SQL_DATE
    case 10: // SQL_TIME
    case 11: // SQL_TIMESTAMP
    case 91: // SQL_TYPE_DATE
    case 92: // SQL_TYPE_TIME
    case 93: // SQL_TYPE_TIMESTAMP
        return FieldType::kDateTime;
    case -7: // SQL_BIT
        return FieldType::kBoolean;
    case 2: // SQL_NUMERIC
    case 3: // SQL_DECIMAL
        return FieldType::kBCD;
    case -11: // SQL_GUID
        return FieldType::kGuid;
    default:
        break;
    }
    switch (field.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
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

// The declared types of SQLite's catalogue tell more than any driver. False when it cannot be read.
bool SqliteColumnType(const QSqlDatabase& db, const QString& table, const QString& column, bool* found, int* code) {
    if (!IsSqliteStore(db)) return false;
    QSqlQuery info(db);
    info.setForwardOnly(true);
    info.prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
    info.addBindValue(BareName(table));
    if (!info.exec()) return false;
    QString declared;
    bool primaryKey = false;
    int keyColumns = 0;
    *found = false;
    while (info.next()) {
        const bool key = info.value(2).toInt() > 0;
        if (key) ++keyColumns;
        if (!*found && info.value(0).toString().compare(column, Qt::CaseInsensitive) == 0) {
            *found = true;
            declared = info.value(1).toString();
            primaryKey = key;
        }
    }
    // The one INTEGER PRIMARY KEY of a table is the row number SQLite gives each new row: an autoincrement.
    const bool autoIncrement =
        primaryKey && keyColumns == 1 && declared.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
    *code = DeclaredTypeCode(declared, autoIncrement);
    return true;
}

} // namespace

bool CatalogueHasTable(const QString& connectionName, const QString& table, bool* exists, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) return NotOpen(error);
    QStringList tables;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        while (query.next())
            tables << query.value(0).toString();
    } else {
        tables = db.tables(QSql::Tables);
    }
    const QString name = BareName(table);
    *exists = false;
    for (const QString& found : tables)
        if (!IsSystemTable(found) && found.compare(name, Qt::CaseInsensitive) == 0) *exists = true;
    return true;
}

bool CatalogueColumns(const QString& connectionName, const QString& table, QStringList* columns, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) return NotOpen(error);
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
    // A missing table fails here with the database's own message.
    QStringList columns;
    if (!CatalogueColumns(connectionName, table, &columns, error)) return false;
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    bool found = false;
    if (!SqliteColumnType(db, table, column, &found, code)) {
        const QSqlRecord record = db.record(BareName(table));
        for (int i = 0; i < record.count() && !found; ++i) {
            if (record.fieldName(i).compare(column, Qt::CaseInsensitive) == 0) {
                found = true;
                *code = DriverTypeCode(record.field(i));
            }
        }
    }
    return found ||
           Fail(error, QStringLiteral("Le champ \"%1\" n'existe pas dans la table \"%2\".").arg(column, table));
}

bool CatalogueTableHasRow(const QString& connectionName, const QString& table, bool* hasRow, QString* error) {
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) return NotOpen(error);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(StatementFor(db, QStringLiteral("SELECT id FROM ") + table)))
        return Fail(error, DatabaseMessage(query.lastError()));
    *hasRow = query.next();
    return true;
}
