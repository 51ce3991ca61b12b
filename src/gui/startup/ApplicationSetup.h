#pragma once

class QApplication;

// What the application object gets before any window exists: Qt's own texts (file and print dialogs, standard
// buttons) in the user's language, and the program's icon for every window and for the desktop entry
// ("quorvel.desktop").
void PrepareApplication(QApplication& application);

// The desktop entry the windows belong to.
inline constexpr const char* kDesktopFileName = "quorvel";
