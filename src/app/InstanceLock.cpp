#include "app/InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::~InstanceLock() { unlock(); }

QString InstanceLock::lockFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

bool InstanceLock::tryLock(const QString& name, QString* error)
{
    unlock();
    const QString path = lockFolder() + QLatin1Char('/') + name;
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        if (error)
            *error = QStringLiteral("Impossible d'ouvrir le fichier de verrou \"%1\" : %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        if (error) error->clear();
        return false;
    }
    m_descriptor = descriptor;
    return true;
}

void InstanceLock::unlock()
{
    if (m_descriptor < 0) return;
    ::flock(m_descriptor, LOCK_UN);
    ::close(m_descriptor);
    m_descriptor = -1;
}
