#include "core/db/Dataset.h"

#include "core/db/Connection.h"
#include "core/db/SqlText.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString Quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString DatabaseError(const QSqlQuery& query) {
    // Some ODBC drivers fail without a word; the user must still be told that the statement failed.
    const QString text = query.lastError().text();
    if (text.trimmed().isEmpty()) return QStringLiteral("La base de données a signalé une erreur sans la décrire.");
    return text;
}

} // namespace

Dataset::Dataset(const QString& name, QObject* parent) : QObject(parent), m_connectionName(kMainConnection) {
    setObjectName(name);
}

bool Dataset::setSql(const QStringList& lines) {
    if (isOpen()) return false;
    m_sql = lines;
    return true;
}

bool Dataset::setSqlLine(int index, const QString& line) {
    if (isOpen() || index < 0 || index >= m_sql.size()) return false;
    m_sql[index] = line;
    return true;
}

bool Dataset::open(QString* error) {
    close();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error) *error = QStringLiteral("La base de données n'est pas ouverte.");
        return false;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(StatementFor(db, statement()))) {
        if (error) *error = DatabaseError(query);
        return false;
    }

    const QSqlRecord record = query.record();
    const SelectShape shape = AnalyseSelect(statement());
    for (int column = 0; column < record.count(); ++column) {
        const QString name = record.fieldName(column);
        m_fieldNames << name;
        if (!m_fieldByName.contains(name.toLower())) m_fieldByName.insert(name.toLower(), column);
        m_baseColumns << (shape.table.isEmpty() ? QString() : shape.sourceOf(name));
    }
    while (query.next()) {
        QVector<QVariant> row(record.count());
        for (int column = 0; column < record.count(); ++column)
            row[column] = query.value(column);
        m_rows.append(std::move(row));
    }

    m_tableName = shape.table;
    m_keyField.clear();
    for (const QString& key : {QStringLiteral("Id"), QStringLiteral("RowKey")}) {
        const int column = fieldIndex(key);
        if (column >= 0 && m_baseColumns.value(column).compare(key, Qt::CaseInsensitive) == 0) {
            m_keyField = m_fieldNames[column];
            break;
        }
    }
    m_state = State::Browse;
    emit reset();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
    return true;
}

void Dataset::close() {
    if (m_state == State::Inactive) return;
    m_state = State::Inactive;
    m_fieldNames.clear();
    m_fieldByName.clear();
    m_baseColumns.clear();
    m_rows.clear();
    m_current = -1;
    m_bof = m_eof = true;
    m_tableName.clear();
    m_keyField.clear();
    emit reset();
}

void Dataset::setCurrent(int row) {
    m_current = row;
    m_bof = m_eof = m_rows.isEmpty();
    if (!m_rows.isEmpty()) {
        m_bof = row == 0;
        m_eof = false;
    }
    emit dataChanged();
}

// A row whose post failed must not be left behind in the edit state: the saved values of one row would later be
// copied onto another by cancel(), or its edits written over another row's key by post().
bool Dataset::postBeforeMoving(QString* error) {
    return !isEditing() || post(error);
}

bool Dataset::first(QString* error) {
    if (!postBeforeMoving(error)) return false;
    setCurrent(m_rows.isEmpty() ? -1 : 0);
    return true;
}

bool Dataset::last(QString* error) {
    if (!postBeforeMoving(error)) return false;
    setCurrent(m_rows.isEmpty() ? -1 : recordCount() - 1);
    m_eof = m_rows.isEmpty();
    return true;
}

bool Dataset::next(QString* error) {
    if (!postBeforeMoving(error)) return false;
    if (m_current + 1 < recordCount()) {
        setCurrent(m_current + 1);
    } else {
        m_eof = true;
    }
    return true;
}

bool Dataset::prior(QString* error) {
    if (!postBeforeMoving(error)) return false;
    if (m_current > 0) {
        setCurrent(m_current - 1);
    } else {
        m_bof = true;
    }
    return true;
}

bool Dataset::moveTo(int row, QString* error) {
    if (row < 0 || row >= recordCount()) return false;
    if (!postBeforeMoving(error)) return false;
    setCurrent(row);
    return true;
}

bool Dataset::locate(qint64 id, QString* error) {
    const int column = fieldIndex(m_keyField.isEmpty() ? QStringLiteral("Id") : m_keyField);
    if (column < 0) return false;
    for (int row = 0; row < recordCount(); ++row) {
        const QVariant key = m_rows[row][column];
        if (!key.isNull() && key.toLongLong() == id) return moveTo(row, error);
    }
    return false;
}

int Dataset::fieldIndex(const QString& field) const {
    return m_fieldByName.value(field.toLower(), -1);
}

QVariant Dataset::currentValue(int column) const {
    if (m_current < 0 || m_current >= recordCount() || column < 0) return {};
    return m_rows[m_current].value(column);
}

QVariant Dataset::value(const QString& field) const {
    return currentValue(fieldIndex(field));
}

bool Dataset::isNull(const QString& field) const {
    return value(field).isNull();
}

QString Dataset::asString(const QString& field) const {
    const QVariant v = value(field);
    return v.isNull() ? QString() : v.toString();
}

qint64 Dataset::asInteger(const QString& field) const {
    return value(field).toLongLong();
}

double Dataset::asDouble(const QString& field) const {
    return value(field).toDouble();
}

QDate Dataset::asDate(const QString& field) const {
    const QVariant v = value(field);
    if (v.metaType().id() == QMetaType::QDate) return v.toDate();
    if (v.metaType().id() == QMetaType::QDateTime) return v.toDateTime().date();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QByteArray Dataset::asBytes(const QString& field) const {
    return value(field).toByteArray();
}

QVariant Dataset::valueAt(int row, int column) const {
    if (row < 0 || row >= recordCount()) return {};
    return m_rows[row].value(column);
}

bool Dataset::setValue(const QString& field, const QVariant& value) {
    const int column = fieldIndex(field);
    if (!isEditing() || column < 0 || m_current < 0) return false;
    QVariant stored = value;
    if (value.metaType().id() == QMetaType::QDate)
        stored = value.toDate().isValid() ? QVariant(value.toDate().toString(Qt::ISODate)) : QVariant();
    m_rows[m_current][column] = stored;
    m_modified[column] = true;
    emit rowChanged(m_current);
    emit dataChanged();
    return true;
}

bool Dataset::beginNewRow(int at) {
    if (!isOpen()) return false;
    if (isEditing() && !post()) return false;
    m_rows.insert(at, QVector<QVariant>(m_fieldNames.size()));
    m_savedRow.clear();
    m_modified = QVector<bool>(m_fieldNames.size(), false);
    m_state = State::Insert;
    emit rowInserted(at);
    setCurrent(at);
    if (onNewRecord) onNewRecord(*this);
    return true;
}

bool Dataset::insert() {
    return beginNewRow(m_current < 0 ? 0 : m_current);
}

bool Dataset::append() {
    return beginNewRow(recordCount());
}

bool Dataset::edit() {
    if (m_state == State::Edit || m_state == State::Insert) return true;
    if (m_state != State::Browse || m_current < 0) return false;
    m_savedRow = m_rows[m_current];
    m_modified = QVector<bool>(m_fieldNames.size(), false);
    m_state = State::Edit;
    return true;
}

bool Dataset::writeRow(QString* error) {
    if (isReadOnly()) {
        if (error) *error = QStringLiteral("Ces données ne peuvent pas être modifiées.");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QStringList columns;
    QVariantList values;
    for (int column = 0; column < m_fieldNames.size(); ++column) {
        if (!m_modified[column] || m_baseColumns[column].isEmpty()) continue;
        if (m_state == State::Insert && m_rows[m_current][column].isNull()) continue;
        columns << m_baseColumns[column];
        values << m_rows[m_current][column];
    }

    QSqlQuery query(db);
    const int keyColumn = fieldIndex(m_keyField);
    if (m_state == State::Insert) {
        QStringList placeholders;
        QStringList quoted;
        for (const QString& column : columns) {
            quoted << Quoted(column);
            placeholders << QStringLiteral("?");
        }
        const QString sql = columns.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Quoted(m_tableName))
                                              : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                    .arg(Quoted(m_tableName), quoted.join(QStringLiteral(", ")),
                                                         placeholders.join(QStringLiteral(", ")));
        query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec()) {
            if (error) *error = DatabaseError(query);
            return false;
        }
        // The ODBC driver cannot tell the new key: read it back instead.
        QVariant key = db.driver()->hasFeature(QSqlDriver::LastInsertId) ? query.lastInsertId() : QVariant();
        if (!key.isValid()) {
            QSqlQuery last(db);
            if (last.exec(QStringLiteral("SELECT MAX(%1) FROM %2").arg(Quoted(m_keyField), Quoted(m_tableName))) &&
                last.next())
                key = last.value(0);
        }
        m_rows[m_current][keyColumn] = key.toLongLong();
        return true;
    }

    if (columns.isEmpty()) return true;
    QStringList assignments;
    for (const QString& column : columns)
        assignments << Quoted(column) + QStringLiteral(" = ?");
    query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                      .arg(Quoted(m_tableName), assignments.join(QStringLiteral(", ")), Quoted(m_keyField)));
    for (const QVariant& value : values)
        query.addBindValue(value);
    query.addBindValue(m_savedRow.value(keyColumn));
    if (!query.exec()) {
        if (error) *error = DatabaseError(query);
        return false;
    }
    return true;
}

bool Dataset::post(QString* error) {
    if (!isEditing()) return true;
    if (!writeRow(error)) return false;
    m_state = State::Browse;
    m_savedRow.clear();
    emit rowChanged(m_current);
    if (afterPost) afterPost(*this);
    emit dataChanged();
    return true;
}

void Dataset::cancel() {
    if (m_state == State::Insert) {
        const int row = m_current;
        m_rows.removeAt(row);
        m_state = State::Browse;
        emit rowRemoved(row);
        setCurrent(m_rows.isEmpty() ? -1 : qMin(row, recordCount() - 1));
    } else if (m_state == State::Edit) {
        m_rows[m_current] = m_savedRow;
        m_state = State::Browse;
        emit rowChanged(m_current);
        emit dataChanged();
    }
    m_savedRow.clear();
}

bool Dataset::remove(QString* error) {
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    if (m_current < 0) return false;
    if (m_state == State::Edit) cancel();
    if (beforeDelete && !beforeDelete(*this, error)) return false;
    if (isReadOnly()) {
        if (error) *error = QStringLiteral("Ces données ne peuvent pas être supprimées.");
        return false;
    }
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(Quoted(m_tableName), Quoted(m_keyField)));
    query.addBindValue(m_rows[m_current][fieldIndex(m_keyField)]);
    if (!query.exec()) {
        if (error) *error = DatabaseError(query);
        return false;
    }
    const int row = m_current;
    m_rows.removeAt(row);
    emit rowRemoved(row);
    setCurrent(m_rows.isEmpty() ? -1 : qMin(row, recordCount() - 1));
    return true;
}
