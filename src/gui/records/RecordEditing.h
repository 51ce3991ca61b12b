#pragma once

class QWidget;

// Shows the record editor modally on the current row of the Person query, which the caller has put into insert
// (isNew) or edit state; true when the editor was closed with Ok. The editor ends the row's pending state itself: it
// posts it, cancels it, or for a new person deletes it again.
bool ShowRecordEditor(QWidget* owner, bool isNew);
