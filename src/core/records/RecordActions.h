#pragma once

#include <QString>

// Deletes the current person of the Person query with its documents, events, analyses and files, as the main window
// starts it.
bool DeletePerson(QString* error = nullptr);
