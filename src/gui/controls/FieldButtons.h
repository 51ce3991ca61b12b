#pragma once

class QString;
class QToolButton;
class QWidget;

// The small buttons beside the fields of the data dialogs, as high as a line edit.

// Opens the date picker of a date field: a drawn calendar page.
QToolButton* DateButton(QWidget* parent, const QString& name);
// Opens the pick list of a field: a down arrow.
QToolButton* PickListButton(QWidget* parent, const QString& name);
