#pragma once

#include "core/records/DatePickerRules.h"

#include <QPointer>
#include <QWidget>

class Dataset;
class QAbstractButton;
class QCalendarWidget;
class QLabel;
class QLineEdit;

// The date picker: a small borderless window under a date field with the month calendar, year and month stepping
// buttons, Ok, Annuler and a clear button. It is not modal: a click anywhere else, or Escape, closes it without
// change. It works on a working date text ("dd/mm/yyyy", empty for no date) taken from the field; only Ok and the
// clear button write back, to the field and, for a field bound to a database row, to its column.
class TSelectDate : public QWidget {
    Q_OBJECT
public:
    enum class Result { None, Ok, Cancel };
    Q_ENUM(Result)
    // How the bound column keeps a date: as a date (ISO text in the store), or as the "dd/mm/yyyy" text itself
    // (the person's birth date is a text column).
    enum class ColumnKind { Date, Text };
    Q_ENUM(ColumnKind)

    explicit TSelectDate(QWidget* owner = nullptr);

    // The field the picker writes to, and the database row and column behind it (none for a plain field).
    void setTarget(QLineEdit* field, Dataset* row = nullptr, const QString& column = QString(),
                   ColumnKind kind = ColumnKind::Date);
    QLineEdit* field() const { return m_field; }

    QString workingDateText() const { return m_working; }
    // At most its first 10 characters are kept; an invalid text becomes today's date when the picker is shown.
    void setWorkingDateText(const QString& text);
    Result result() const { return m_result; }
    // The date selected in the calendar.
    QDate selectedDate() const;
    QCalendarWidget* calendar() const { return m_calendar; }

    // The buttons' actions.
    void step(DateStep step);
    void accept();
    void reject();
    void clearDate();

signals:
    // The picker closed, with its result; the field has already been written when the result is Ok.
    void finished(TSelectDate::Result result);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void displayWorkingDate();
    void showPageLabels(int year, int month);
    void finish(Result result);
    void writeBack();

    QCalendarWidget* m_calendar = nullptr;
    QLabel* m_year = nullptr;
    QLabel* m_month = nullptr;
    QString m_languageName;
    QString m_working;
    Result m_result = Result::None;
    bool m_finished = false;
    QPointer<QLineEdit> m_field;
    QPointer<Dataset> m_row;
    QString m_column;
    ColumnKind m_kind = ColumnKind::Date;
};

// Opens the picker under field (the button next to a date field, or Enter in it). When row is given, it is put
// into edit state first and stays so after the picker closes: the dialog that owns it posts or cancels it. Returns
// the picker, which deletes itself when it closes.
TSelectDate* ShowDatePicker(QLineEdit* field, Dataset* row = nullptr, const QString& column = QString(),
                            TSelectDate::ColumnKind kind = TSelectDate::ColumnKind::Date);

// Ties a date field to the picker as the date fields of the dialogs have it: a click on button (when given) or
// Enter in the field opens the picker with the same arguments. Enter is taken by the field, so it does not also
// press the dialog's default button.
void AttachDatePicker(QLineEdit* field, QAbstractButton* button, Dataset* row = nullptr,
                      const QString& column = QString(), TSelectDate::ColumnKind kind = TSelectDate::ColumnKind::Date);
