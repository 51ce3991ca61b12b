#pragma once

#include <QDate>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

// A statement over the database with its rows, a current row and the editing states the windows
// work with. The statement is held as lines so that one clause line can be replaced while the
// dataset is closed. Rows are read when the dataset opens; a row of a single table is written back
// through its key ("Id", or "RowKey" for the tables that have no Id), with values bound as
// parameters. Fields are found by column name or alias, without regard to case.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Dataset(const QString& name, QObject* parent = nullptr);

    QString name() const { return objectName(); }
    // The connection the dataset runs on (a QSqlDatabase connection name).
    void setConnectionName(const QString& connectionName) { m_connectionName = connectionName; }
    QString connectionName() const { return m_connectionName; }

    // The statement, one clause per line. Changing it is refused while the dataset is open.
    const QStringList& sql() const { return m_sql; }
    bool setSql(const QStringList& lines);
    bool setSqlLine(int index, const QString& line);
    // The lines joined by line breaks, as they run.
    QString statement() const { return m_sql.join(QLatin1Char('\n')); }

    bool open(QString* error = nullptr);
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    // Navigation. An empty dataset is at once at its beginning and at its end. A row being edited or inserted is
    // posted before the current row moves; when the database refuses it, nothing moves: the row stays current and in
    // its state, and the call returns false with the database's reason in error.
    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int recNo() const { return m_current; }
    bool first(QString* error = nullptr);
    bool last(QString* error = nullptr);
    bool next(QString* error = nullptr);
    bool prior(QString* error = nullptr);
    // False also for a row outside the dataset.
    bool moveTo(int row, QString* error = nullptr);
    // Makes the row whose key equals id current; false (current row unchanged) when there is none.
    bool locate(qint64 id, QString* error = nullptr);

    // Fields of the current row.
    QStringList fieldNames() const { return m_fieldNames; }
    int fieldIndex(const QString& field) const;
    bool hasField(const QString& field) const { return fieldIndex(field) >= 0; }
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const;
    QString asString(const QString& field) const;
    qint64 asInteger(const QString& field) const;
    double asDouble(const QString& field) const;
    // Dates are kept as ISO "yyyy-mm-dd" text.
    QDate asDate(const QString& field) const;
    QByteArray asBytes(const QString& field) const;
    // A value of any row, without moving (for grids).
    QVariant valueAt(int row, int column) const;

    // Changes a field of the current row; only while editing or inserting. A QDate is stored as
    // ISO text; a null QVariant clears the field.
    bool setValue(const QString& field, const QVariant& value);
    bool clearField(const QString& field) { return setValue(field, QVariant()); }

    // Editing. Insert adds a row before the current one, Append at the end; both run the new-row hook.
    bool insert();
    bool append();
    bool edit();
    bool post(QString* error = nullptr);
    void cancel();
    // Runs the before-delete hook, deletes the current row and makes the next one current (the
    // previous one at the end). False when the hook refused or the database failed.
    bool remove(QString* error = nullptr);

    // The table a row is written to, and its key column; empty when the rows are read-only.
    QString tableName() const { return m_tableName; }
    QString keyField() const { return m_keyField; }
    bool isReadOnly() const { return m_tableName.isEmpty() || m_keyField.isEmpty(); }

    // Row hooks.
    std::function<void(Dataset&)> onNewRecord;
    std::function<void(Dataset&)> afterPost;
    // Runs before the current row is deleted; returning false (with a message in error) keeps the row.
    std::function<bool(Dataset&, QString* error)> beforeDelete;

signals:
    // The current row moved, or a field of it changed.
    void dataChanged();
    // The rows were read again, or the dataset closed.
    void reset();
    // A row was added or removed at that index (insert/append/cancel/delete).
    void rowInserted(int row);
    void rowRemoved(int row);
    // A row's values changed (set or posted).
    void rowChanged(int row);

private:
    bool beginNewRow(int at);
    bool postBeforeMoving(QString* error);
    void setCurrent(int row);
    QVariant currentValue(int column) const;
    bool writeRow(QString* error);

    QString m_connectionName;
    QStringList m_sql;
    State m_state = State::Inactive;
    QStringList m_fieldNames;
    QHash<QString, int> m_fieldByName; // lower-case name -> column
    QStringList m_baseColumns;         // per column: the table column it writes to, empty when none
    QVector<QVector<QVariant>> m_rows;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    QString m_tableName;
    QString m_keyField;
    // While editing: the row as it was, and the columns changed since.
    QVector<QVariant> m_savedRow;
    QVector<bool> m_modified;
};
