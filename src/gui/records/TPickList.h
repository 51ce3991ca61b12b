#pragma once

#include "core/db/Dataset.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;

// The drop-down list of usual values under a text field: a small borderless window that stays on top, with a
// one-pixel border, eight entries high at most. A click or Enter on an entry writes it into the field (and into
// the field's column when the field edits a database row) and closes the list; Escape, or a click anywhere
// else, closes it without change.
class TPickList : public QWidget {
    Q_OBJECT
public:
    explicit TPickList(QWidget* owner = nullptr);

    // The entries, in the order shown.
    QStringList entries() const;
    QListWidget* list() const { return m_list; }
    QLineEdit* field() const { return m_field; }
    // The index of the selected entry; -1 when none.
    int selectedIndex() const;

    // Chooses the entry at index as a click on it does.
    void choose(int index);
    // The height of one entry.
    int entryHeight() const;

signals:
    // An entry was chosen: its index among the entries as shown, and its text; the field already holds it.
    void picked(int index, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setEntries(const QStringList& entries, const QString& fieldText);

    friend TPickList* ShowPickList(QLineEdit*, bool, const QString&, Dataset*, const QString&, Dataset*,
                                   const QString&);
    QListWidget* m_list = nullptr;
    QPointer<QLineEdit> m_field;
    QPointer<Dataset> m_row;
    QString m_rowColumn;
};

// Opens the drop-down list under field. With a listColumn, the entries are the lines of that column of the first
// row of COMBOITEMS (read through lists, the data module's ComboItems query) after one empty entry; without one,
// they are the lines of fixedEntries (lines separated by "\r", "\n" or "\r\n") and no empty entry is added.
// sorted orders the entries without regard to case, the empty entry staying first. When row is given, it is put
// into edit state first if it is in neither edit nor insert state, and the chosen text is written to its column
// rowColumn as typed text would be. Returns the list, which deletes itself when it closes; nullptr when the
// entries could not be read (the database error has been shown).
TPickList* ShowPickList(QLineEdit* field, bool sorted, const QString& fixedEntries, Dataset* row,
                        const QString& rowColumn, Dataset* lists, const QString& listColumn);
