#pragma once

#include <QFileDevice>
#include <QString>

class QFile;
class QSaveFile;

// The user's health data is readable by the user only, wherever it is written: files 0600, folders 0700. The mode
// is set on each file as it is made (never through the process's umask, which other code may rely on).

inline constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
inline constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Opens the file for writing, readable by the user only; a file already there is tightened too.
bool OpenPrivately(QSaveFile& file);
bool OpenPrivately(QFile& file, QIODevice::OpenMode mode);

// Narrows a folder of the user's data that others may read to 0700. Folders that are not the user's own, or not
// there, are left alone.
void MakeFolderPrivate(const QString& folder);
