#include "core/app/InstanceLock.h"

#include "core/app/FailureText.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
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
    return lockFile(lockFolder() + QLatin1Char('/') + name, error);
}

QString InstanceLock::FolderLockName(const QString& name) {
    return QLatin1Char('.') + name + QStringLiteral(".lock");
}

bool InstanceLock::tryLockFolder(const QString& folder, const QString& name, QString* error) {
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return lockFile(path + FolderLockName(name), error);
}

bool InstanceLock::lockFile(const QString& path, QString* error) {
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        if (error) *error = SystemFailureText(QStringLiteral("Impossible d'ouvrir le fichier de verrou"), path, errno);
        return false;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        if (error) error->clear();
        return false;
    }
    m_descriptors.append(descriptor);
    return true;
}

void InstanceLock::unlock() {
    for (const int descriptor : std::as_const(m_descriptors)) {
        ::flock(descriptor, LOCK_UN);
        ::close(descriptor);
    }
    m_descriptors.clear();
}
