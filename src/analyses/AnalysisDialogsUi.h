#pragma once

#include <QString>

#include <functional>

class Dataset;
class QDialog;
class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;

// Pieces shared by the analysis dialogs.

// The small button beside a field that opens its pick list or its calendar.
QToolButton* FieldButton(QWidget* parent, const QString& name, const QString& hint = {});
// A field and its small button side by side.
QHBoxLayout* FieldWithButton(QWidget* field, QToolButton* button);

// open runs on a click on button (when given) and on Enter in field; Enter is then taken by the field, so it does
// not also press the dialog's default button.
void AttachFieldPicker(QLineEdit* field, QToolButton* button, std::function<void()> open);
// action runs on a double click in the field.
void OnDoubleClick(QWidget* field, std::function<void()> action);

// The memo keeps at most maxLength characters: typing or pasting beyond it is cut there.
void LimitMemoLength(QPlainTextEdit* memo, int maxLength);

// The unit and decimals pickers of the catalogue editor and of the attach dialog: the unit from the pick list
// "Analysis_Unit" (sorted, an empty first line clears it), the decimals from "0" to "3", a double click on the unit
// opening the list editor "Unités". They write into row.
void AttachUnitAndDecimalsPickers(QDialog* dialog, QLineEdit* unit, QToolButton* unitButton, QLineEdit* decimals,
                                  QToolButton* decimalsButton, Dataset* row);

// The two bound fields take the edit and display patterns of the row's current Decimal and Unit; again whenever
// the row changes.
void FollowBoundPatterns(QWidget* dialog, Dataset* row, QLineEdit* minimum, QLineEdit* maximum);

// " &Ok" (default) and " &Annuler" at the right of a bar.
struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* bar;
};
DialogButtons MakeDialogButtons(QWidget* dialog);

// Dialogs whose title bar has no close button end only through their buttons.
void RemoveCloseButton(QDialog* dialog);
