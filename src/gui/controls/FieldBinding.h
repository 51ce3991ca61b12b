#pragma once

#include "core/db/Dataset.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Ties an edit field of a dialog to a column of a dataset's current row, as the data dialogs have it: the field
// shows the column, and what the user types goes into the row.
//
// - Typing in the field puts the row into edit state when it is in neither edit nor insert state.
// - Text columns take every change at once.
// - Date columns ("dd/mm/yyyy" in the field, a date in the row) and number columns take the field's text when
//   it is committed: when the field loses the focus, and before the row is posted (PostBoundRow). A text that
//   does not convert is refused then with a French message, and the field keeps what was typed.
// - Dates kept in text columns are committed and checked the same way, and stored as typed.
// - A number field shows its value with its display pattern, and with its edit pattern while it has the focus
//   (see FormatFloatPattern); either decimal separator may be typed.
// - An empty field clears the column (null).
// The binding is a child of the field and lives as long as it.
class FieldBinding : public QObject {
    Q_OBJECT
public:
    enum class Kind { Text, Date, DateText, Number };

    static FieldBinding* Bind(QLineEdit* field, Dataset* row, const QString& column, Kind kind = Kind::Text);
    static FieldBinding* Bind(QPlainTextEdit* memo, Dataset* row, const QString& column);
    // The binding of a field; nullptr when it has none.
    static FieldBinding* Of(const QWidget* field);

    Kind kind() const { return m_kind; }
    QString column() const { return m_column; }
    Dataset* row() const { return m_row; }
    QWidget* field() const;

    // Number fields: the patterns of the value as shown, and while it is being edited.
    void setPatterns(const QString& editPattern, const QString& displayPattern);
    QString editPattern() const { return m_editPattern; }
    QString displayPattern() const { return m_displayPattern; }

    // Writes the field's pending text into the column; false, with a message fit for the user, when it does
    // not convert (the row is left as it was).
    bool commit(QString* error = nullptr);
    // Shows the column's value again, dropping what was typed and not committed.
    void refresh();
    bool hasPendingText() const { return m_pending; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FieldBinding(QWidget* field, Dataset* row, const QString& column, Kind kind);
    void userEdited();
    void rowDataChanged();
    QString fieldText() const;
    void showText(const QString& text);
    QString columnText(bool editing) const;

    QPointer<QLineEdit> m_line;
    QPointer<QPlainTextEdit> m_memo;
    QPointer<Dataset> m_row;
    QString m_column;
    Kind m_kind;
    QString m_editPattern;
    QString m_displayPattern;
    bool m_pending = false;
    bool m_writing = false;
    bool m_showing = false;
    int m_shownRow = -1;
};

// Commits every field binding of a window (in the order the fields were bound); false with the first refusal's
// message, the focus then on the field concerned.
bool CommitBoundFields(QWidget* window, QString* error = nullptr);
// The " &Ok" of a data dialog: commits the window's bound fields, then posts row when it is in edit or insert
// state. False, with the row still in its state, when a field is refused or the database refuses the row.
bool PostBoundRow(QWidget* window, Dataset& row, QString* error = nullptr);
