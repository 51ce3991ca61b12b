#pragma once

#include <QString>

class QWidget;

// The record editor and the deletion of a person with everything that belongs to it, as the main
// window starts them.

// Shows the record editor modally on the current row of the Person query, which the caller has put
// into insert (isNew) or edit state; true when the editor was closed with Ok. The editor ends the
// row's pending state itself: it posts it, cancels it, or for a new person deletes it again.
bool ShowRecordEditor(QWidget* owner, bool isNew);

// Deletes the current person of the Person query with its documents, events, analyses and files.
bool DeletePerson(QString* error = nullptr);
