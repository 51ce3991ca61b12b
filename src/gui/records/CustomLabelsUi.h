#pragma once

#include <QList>

class QLabel;
class QWidget;

// The free-field labels of the record editor, read from and written to the database each time.

// Puts the stored label texts into the labels of the free fields 1 to 12 (in that order). A database error is
// shown and the labels keep their captions.
void LoadCustomLabels(const QList<QLabel*>& labels);
// Lets the user rename the label in the text-entry dialog and stores the new text in the column named by the last
// six characters of the label's name; the label shows it at once. True when it was renamed.
bool RenameCustomLabel(QLabel* label);
