#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// File and folder routines. Paths use "/" and folder paths end with "/".

// The path with "/" separators and a trailing "/". An empty path stays empty rather than becoming the root.
QString IncludeBackslash(const QString& path);
// Full path of the running program file.
QString ProgramFileName();

enum class ShellFolder {
    Documents,    // the user's documents folder (XDG)
    ProgramFiles, // the installation prefix
};
// The folder's path with a trailing "/".
QString SpecialFolder(ShellFolder folder);

// A folder of the user's own for temporary copies (opened or mailed documents), readable by the user only:
// "<system temporary folder>/quorvel-<uid>/", created with mode 0700. A folder of that name that belongs to
// someone else, or is not a plain folder, is refused: returns "" and sets *error.
QString TempFolder(QString* error = nullptr);

// Names (without folder) of the regular files of folder whose name matches mask, a Windows-style wildcard
// ("*", "?"; "*.*" is every file) matched without regard to case. Hidden files and folders are left out.
QStringList ListFiles(const QString& folder, const QString& mask);
// Copies every file of ListFiles(sourceFolder, mask) into targetFolder under the same name, replacing files
// already there. Stops at the first failure.
bool CopyFiles(const QString& sourceFolder, const QString& targetFolder, const QString& mask, QString* error = nullptr);
// Deletes every file of ListFiles(folder, mask). Stops at the first failure.
bool DeleteFiles(const QString& folder, const QString& mask, QString* error = nullptr);

// Size in bytes of the file (its name may hold wildcards: the first match counts); 0 when there is none.
qint64 FileSize(const QString& path);
// Last-write time, in local time, of the file or folder (its name may hold wildcards: the first match counts);
// hidden entries are not found. An invalid QDateTime when there is none.
QDateTime FileDate(const QString& path);

// Writes the text as UTF-8 with CR LF line breaks (CR, LF and CR LF all become CR LF), replacing the file
// only once the new content is complete.
bool SaveTextFile(const QString& path, const QString& text, QString* error = nullptr);
