#pragma once

#include <QString>

#include <functional>

class Dataset;
class QDialog;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
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

// What the catalogue editor and the attach dialog ask alike about an analysis: the unit ("Ed_Unit", read-only, from
// its pick list), the decimals ("Ed_Decimal", read-only, 0 to 3), the two bounds ("Ed_Value_Min", "Ed_Value_Max")
// shown with them, and the remarks memo.
struct AnalysisEntryFields {
    QLineEdit* unit;
    QToolButton* unitButton;
    QLineEdit* decimals;
    QToolButton* decimalsButton;
    QLineEdit* minimum;
    QLineEdit* maximum;
    QPlainTextEdit* remarks;
};
// Builds them in dialog, bound to row's Unit, Decimal, Value_Min, Value_Max and remarksColumn.
AnalysisEntryFields MakeAnalysisEntryFields(QDialog* dialog, Dataset* row, const QString& remarksName,
                                            const QString& remarksColumn);
// Lays them out with their labels in rows 1 to 3 of grid's four columns, below the title's row 0.
void AddAnalysisEntryRows(QGridLayout* grid, const AnalysisEntryFields& fields);
// A label whose mnemonic gives the focus to buddy.
QLabel* BuddyLabel(const QString& text, QWidget* buddy);

// Dialogs whose title bar has no close button end only through their buttons.
void RemoveCloseButton(QDialog* dialog);
