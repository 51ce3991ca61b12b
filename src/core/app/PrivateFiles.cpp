#include "core/app/PrivateFiles.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

bool OpenPrivately(QSaveFile& file) {
    // The temporary file takes the final name with its mode.
    return file.open(QIODevice::WriteOnly) && file.setPermissions(kPrivateFile);
}

bool OpenPrivately(QFile& file, QIODevice::OpenMode mode) {
    return file.open(mode, kPrivateFile) && file.setPermissions(kPrivateFile);
}

void MakeFolderPrivate(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid()) return;
    if ((status.st_mode & 077) != 0) ::chmod(path.constData(), status.st_mode & 0700);
}
