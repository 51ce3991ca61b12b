#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/statvfs.h>

namespace {

bool Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

SmallDisk::SmallDisk(const QString& folder, qint64 bytes) : m_folder(QDir::cleanPath(folder)) {
    QTemporaryDir saved;
    if (!saved.isValid() ||
        !Run(QStringLiteral("cp"), {QStringLiteral("-a"), m_folder + QStringLiteral("/."), saved.path()}))
        return;
    m_mounted = Run(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1,mode=0700").arg(bytes), QStringLiteral("tmpfs"), m_folder});
    if (m_mounted) Run(QStringLiteral("cp"), {QStringLiteral("-a"), saved.path() + QStringLiteral("/."), m_folder});
}

SmallDisk::~SmallDisk() {
    if (m_mounted) Run(QStringLiteral("umount"), {QStringLiteral("-l"), m_folder});
}

void SmallDisk::fillLeaving(qint64 left) {
    struct statvfs status {};
    if (::statvfs(QFile::encodeName(m_folder).constData(), &status) != 0) return;
    const qint64 free = qint64(status.f_bavail) * qint64(status.f_frsize);
    QFile filler(m_folder + QStringLiteral("/filler"));
    if (free <= left || !filler.open(QIODevice::WriteOnly)) return;
    filler.write(QByteArray(free - left, 'x'));
}
