#include "support/OlderDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <memory>

namespace {

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Handle = std::unique_ptr<sqlite3, CloseDatabase>;

Handle Open(const QString& path, bool create, QString* error = nullptr) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        Fail(error, path + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return nullptr;
    }
    return Handle(db);
}

bool Exec(sqlite3* db, const QString& statements, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, statements.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    const QString text = QString::fromUtf8(message ? message : "error");
    sqlite3_free(message);
    return Fail(error, text + QStringLiteral(" in: ") + statements.left(200));
}

// The rows of a query, each column rendered with its kind so that 1, 1.0, '1' and a blob differ.
QList<QStringList> Query(sqlite3* db, const QString& statement, QStringList* columns = nullptr) {
    QList<QStringList> rows;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, statement.toUtf8().constData(), -1, &query, nullptr) != SQLITE_OK) {
        qWarning("%s: %s", qPrintable(statement), sqlite3_errmsg(db));
        return rows;
    }
    const int count = sqlite3_column_count(query);
    if (columns) {
        columns->clear();
        for (int i = 0; i < count; ++i)
            columns->append(QString::fromUtf8(sqlite3_column_name(query, i)));
    }
    while (sqlite3_step(query) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < count; ++i) {
            switch (sqlite3_column_type(query, i)) {
            case SQLITE_NULL:
                row << QStringLiteral("NULL");
                break;
            case SQLITE_INTEGER:
                row << QStringLiteral("i:") + QString::number(sqlite3_column_int64(query, i));
                break;
            case SQLITE_FLOAT:
                row << QStringLiteral("f:") + QString::number(sqlite3_column_double(query, i), 'g', 17);
                break;
            case SQLITE_TEXT:
                row << QStringLiteral("t:") +
                           QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, i)),
                                             sqlite3_column_bytes(query, i));
                break;
            default:
                row << QStringLiteral("b:") +
                           QString::fromLatin1(QByteArray(static_cast<const char*>(sqlite3_column_blob(query, i)),
                                                          sqlite3_column_bytes(query, i))
                                                   .toHex());
                break;
            }
        }
        rows << row;
    }
    sqlite3_finalize(query);
    return rows;
}

QString Bare(const QString& text) {
    return text.startsWith(QStringLiteral("t:")) ? text.mid(2) : text;
}

QStringList Tables(sqlite3* db, const QString& schema = QStringLiteral("main")) {
    QStringList tables;
    for (const QStringList& row :
         Query(db, QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' "
                                  "ORDER BY name")
                       .arg(schema)))
        tables << Bare(row[0]);
    return tables;
}

QStringList Columns(sqlite3* db, const QString& schema, const QString& table) {
    QStringList columns;
    for (const QStringList& row : Query(db, QStringLiteral("PRAGMA %1.table_info(\"%2\")").arg(schema, table)))
        columns << Bare(row[1]);
    return columns;
}

// The text of one table's CREATE statement in the schema.
bool TableBlock(const QString& schema, const QString& table, qsizetype* start, qsizetype* end) {
    *start = schema.indexOf(QStringLiteral("CREATE TABLE ") + table + QStringLiteral(" ("));
    if (*start < 0) return false;
    *end = schema.indexOf(QStringLiteral(");"), *start);
    return *end >= 0;
}

// Replaces the one occurrence of from inside the table's definition.
bool EditTable(QString& schema, const QString& table, const QString& from, const QString& to, QString* error) {
    qsizetype start = 0;
    qsizetype end = 0;
    if (!TableBlock(schema, table, &start, &end)) return Fail(error, QStringLiteral("no table ") + table);
    const QString block = schema.mid(start, end - start);
    if (block.count(from) != 1) return Fail(error, table + QStringLiteral(": not once: ") + from);
    schema.replace(start, end - start, QString(block).replace(from, to));
    return true;
}

bool RemoveTable(QString& schema, const QString& table, QString* error) {
    qsizetype start = 0;
    qsizetype end = 0;
    if (!TableBlock(schema, table, &start, &end)) return Fail(error, QStringLiteral("no table ") + table);
    schema.remove(start, end + 2 - start);
    return true;
}

bool Replace(QString& schema, const QString& from, const QString& to, QString* error) {
    if (schema.count(from) != 1) return Fail(error, QStringLiteral("schema: not once: ") + from);
    schema.replace(from, to);
    return true;
}

bool OlderSchema(int differences, const QString& version, QString* schema, QString* error) {
    QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/src/core/db/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, file.fileName() + QStringLiteral(": ") + file.errorString());
    QString text = QString::fromUtf8(file.readAll());
    const QString column = differences & Older::VersionInVal ? QStringLiteral("VAL") : QStringLiteral("VALUE");
    if (!Replace(text, QStringLiteral("USERID, VALUE) VALUES (-99, -99, -99, '1.13')"),
                 QStringLiteral("USERID, %1) VALUES (-99, -99, -99, '%2')").arg(column, version), error))
        return false;
    if ((differences & Older::VersionInVal) &&
        !EditTable(text, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE VARCHAR"),
                   QStringLiteral("VAL VARCHAR"), error))
        return false;
    if (differences & Older::NarrowReferences) {
        for (const char* table : {"EVENT", "DOCUMENTIMG", "DOCUMENTFILE", "ANALYSIS"})
            if (!EditTable(text, QLatin1String(table), QStringLiteral("Id_Ref BIGINT"),
                           QStringLiteral("Id_Ref SMALLINT"), error))
                return false;
        if (!EditTable(text, QStringLiteral("L_ANALYSIS"), QStringLiteral("Id_Ref BIGINT"),
                       QStringLiteral("Id_Ref INTEGER"), error) ||
            !EditTable(text, QStringLiteral("L_ANALYSIS"), QStringLiteral("Id_Analysis BIGINT"),
                       QStringLiteral("Id_Analysis INTEGER"), error))
            return false;
    }
    if (differences & Older::NoDocumentKind)
        for (const char* table : {"DOCUMENTIMG", "DOCUMENTFILE"})
            if (!EditTable(text, QLatin1String(table), QStringLiteral(",\n    DoType SMALLINT"), QString(), error))
                return false;
    if ((differences & Older::NoResultTime) &&
        !EditTable(text, QStringLiteral("ANALYSIS"), QStringLiteral(",\n    Time_Analysis VARCHAR(5)"), QString(),
                   error))
        return false;
    if ((differences & Older::EventsWithoutKey) &&
        !EditTable(text, QStringLiteral("EVENT"), QStringLiteral(",\n    RowKey INTEGER PRIMARY KEY AUTOINCREMENT"),
                   QString(), error))
        return false;
    if (differences & Older::NoTrees)
        for (const char* table : {"STAT_TREE", "STAT_QUERY", "SQL_TREE", "SQL_QUERY"})
            if (!RemoveTable(text, QLatin1String(table), error)) return false;
    if ((differences & Older::NoHistory) && !RemoveTable(text, QStringLiteral("BACKUP"), error)) return false;
    if (differences & Older::NoLegacyTables)
        for (const char* table : {"Weight", "[Size]", "[Action]", "Vaccine"})
            if (!RemoveTable(text, QLatin1String(table), error)) return false;
    if (differences & Older::NoIndexes) {
        const qsizetype before = text.size();
        text.remove(QRegularExpression(QStringLiteral("^CREATE INDEX [^\n]*\n"), QRegularExpression::MultilineOption));
        if (text.size() == before) return Fail(error, QStringLiteral("schema: no index"));
    }
    *schema = text;
    return true;
}

} // namespace

bool BuildOlderDatabase(const QString& path, int differences, const QString& version, const QString& rowsFrom,
                        QString* error) {
    QString schema;
    if (!OlderSchema(differences, version, &schema, error)) return false;
    QDir().mkpath(QFileInfo(path).path());
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    Handle db = Open(path, true, error);
    if (!db || !Exec(db.get(), QStringLiteral("BEGIN;\n") + schema + QStringLiteral("\nCOMMIT;"), error)) return false;
    if (!rowsFrom.isEmpty()) {
        if (!Exec(db.get(), QStringLiteral("ATTACH DATABASE '%1' AS source").arg(QString(rowsFrom).replace("'", "''")),
                  error))
            return false;
        QString copy = QStringLiteral("BEGIN;");
        const QStringList ours = Tables(db.get());
        for (const QString& table : Tables(db.get(), QStringLiteral("source"))) {
            if (!ours.contains(table) || table == QStringLiteral("OBJECT_VAL_STR")) continue;
            QStringList shared;
            const QStringList columns = Columns(db.get(), QStringLiteral("main"), table);
            for (const QString& column : Columns(db.get(), QStringLiteral("source"), table))
                if (columns.contains(column)) shared << QLatin1Char('"') + column + QLatin1Char('"');
            copy +=
                QStringLiteral("DELETE FROM main.\"%1\"; INSERT INTO main.\"%1\" (%2) SELECT %2 FROM source.\"%1\";")
                    .arg(table, shared.join(QLatin1Char(',')));
        }
        copy += QStringLiteral("UPDATE main.sqlite_sequence SET seq = seq + 100; COMMIT; DETACH DATABASE source;");
        if (!Exec(db.get(), copy, error)) return false;
    }
    if ((differences & Older::NoLabelsRow) && !Exec(db.get(), QStringLiteral("DELETE FROM CUSTOMLAB"), error))
        return false;
    if ((differences & Older::NoPickListRow) && !Exec(db.get(), QStringLiteral("DELETE FROM COMBOITEMS"), error))
        return false;
    return true;
}

QMap<QString, QString> SchemaOf(const QString& database) {
    QMap<QString, QString> schema;
    Handle db = Open(database, false);
    if (!db) return schema;
    for (const QStringList& row :
         Query(db.get(), QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite_%'"))) {
        QString sql = Bare(row[2]).toUpper();
        sql.remove(QRegularExpression(QStringLiteral("[\\s\"\\[\\]]")));
        schema.insert(Bare(row[0]) + QLatin1Char(' ') + Bare(row[1]), sql);
    }
    return schema;
}

QStringList RowsOf(const QString& database, const QString& table, const QStringList& except) {
    QStringList rows;
    Handle db = Open(database, false);
    if (!db) return rows;
    QStringList columns;
    const QList<QStringList> values =
        Query(db.get(), QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table), &columns);
    for (const QStringList& row : values) {
        QStringList cells;
        for (int i = 0; i < columns.size(); ++i)
            if (!except.contains(columns[i], Qt::CaseInsensitive)) cells << columns[i] + QLatin1Char('=') + row[i];
        rows << cells.join(QLatin1Char(';'));
    }
    return rows;
}

QMap<QString, QStringList> ContentOf(const QString& database) {
    QMap<QString, QStringList> content;
    QStringList tables;
    {
        Handle db = Open(database, false);
        if (!db) return content;
        tables = Tables(db.get());
    }
    for (const QString& table : tables)
        content.insert(table, RowsOf(database, table));
    return content;
}

QMap<QString, qint64> CountersOf(const QString& database) {
    QMap<QString, qint64> counters;
    Handle db = Open(database, false);
    if (!db) return counters;
    for (const QStringList& row : Query(db.get(), QStringLiteral("SELECT name, seq FROM sqlite_sequence")))
        counters.insert(Bare(row[0]), row[1].mid(2).toLongLong());
    return counters;
}

bool ExecuteOn(const QString& database, const QString& statements, QString* error) {
    Handle db = Open(database, false, error);
    return db && Exec(db.get(), statements, error);
}

QString StagedUpdateScript() {
    return QStringLiteral(QUORVEL_STAGED_PROGRAM_DIR "/Maj/BD_113.maj");
}
