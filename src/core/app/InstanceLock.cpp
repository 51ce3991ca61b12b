#include "core/app/InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString& SessionFoldersRoot() {
    static QString root = QStringLiteral("/run/user");
    return root;
}

// The runtime folder the login session made for this user, when it is there and ours.
QString SessionRuntimeFolder() {
    const QString folder = SessionFoldersRoot() + QLatin1Char('/') + QString::number(::geteuid());
    struct stat status {};
    if (::stat(QFile::encodeName(folder).constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid())
        return QString();
    return folder;
}

} // namespace

InstanceLock::~InstanceLock() {
    unlock();
}

QString InstanceLock::lockFolder() {
    // Every copy must meet on the same lock file. A copy started where the runtime folder is not announced (a cron
    // job) takes the one the login session made, as the desktop announces it; only without a session does it fall
    // back to Qt's private folder in /tmp.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString session = SessionRuntimeFolder();
        if (!session.isEmpty()) return session;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

void InstanceLock::setSessionFoldersRootForTesting(const QString& root) {
    SessionFoldersRoot() = root.isEmpty() ? QStringLiteral("/run/user") : root;
}

bool InstanceLock::tryLock(const QString& name, QString* error) {
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

void InstanceLock::unlock() {
    if (m_descriptor < 0) return;
    ::flock(m_descriptor, LOCK_UN);
    ::close(m_descriptor);
    m_descriptor = -1;
}
