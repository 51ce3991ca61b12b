#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class Dataset;
class QPlainTextEdit;
class QPushButton;

// The list editor of one pick list: the entries in a text area, one per line, which the user edits freely.
class TComboList : public QDialog {
    Q_OBJECT
public:
    explicit TComboList(const QString& title, QWidget* owner = nullptr);

    // " " + the title given; the caption is the same text without its leading blanks.
    QString title() const { return m_title; }
    QPlainTextEdit* editor() const { return m_editor; }
    QString text() const;
    void setText(const QString& text);

private:
    QString m_title;
    QPlainTextEdit* m_editor;
};

// The list editor of one pick list (a column of the first row of COMBOITEMS, read and written through lists,
// the data module's ComboItems query): the entries sorted, each once without regard to case, in a text area
// the user edits freely, one entry per line. " &Ok" stores the text as it stands (creating the table's first
// row when it has none) and returns true; " &Annuler" and the close button store nothing.
bool EditPickList(QWidget* owner, const QString& title, const QString& column, Dataset* lists);

// Tests answer the editor instead of a user: the function gets the open editor and returns true for " &Ok".
void SetListEditorAnswerForTesting(std::function<bool(TComboList&)> answer);
