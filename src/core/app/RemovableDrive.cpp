#include "core/app/RemovableDrive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

QString ReadFirstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readLine()).trimmed();
}

} // namespace

bool IsOnRemovableDrive(const QString& folder, const QString& sysRoot) {
    struct stat status {};
    if (::stat(QFile::encodeName(folder).constData(), &status) != 0) return false;
    const QString device =
        QStringLiteral("%1/dev/block/%2:%3").arg(sysRoot).arg(major(status.st_dev)).arg(minor(status.st_dev));
    // The link leads to the partition's folder (…/sdb/sdb1) or the whole disk's (…/sdb);
    // the flag is on the disk.
    QString disk = QFileInfo(device).canonicalFilePath();
    if (disk.isEmpty()) return false;
    for (int level = 0; level < 2 && !disk.isEmpty(); ++level) {
        const QString flag = ReadFirstLine(disk + QStringLiteral("/removable"));
        if (!flag.isEmpty()) return flag == QLatin1String("1");
        disk = QFileInfo(disk).path();
    }
    return false;
}

bool IsOnRemovableDrive(const QString& folder) {
    return IsOnRemovableDrive(folder, QStringLiteral("/sys"));
}
