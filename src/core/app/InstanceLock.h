#pragma once

#include <QList>
#include <QString>

// Keeps a second copy of the program (graphical or command-line) off the same user's data: exclusive locks on
// files, one named after the lock in the user's runtime folder, and one inside each folder of data the copy works
// on. The runtime lock meets a copy of the same session early, before any folder is known; the folder lock meets
// every copy that works on that folder, whatever its environment (another runtime folder, none at all). The system
// releases the locks when the holder ends, however it ends, so a crash never blocks the next start.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock, or when the lock file cannot be opened
    // (then error says why). Taking a lock never changes the lock file's content.
    bool tryLock(const QString& name, QString* error = nullptr);
    // Adds the lock of a folder of data: the file FolderLockName(name) inside it. The same answers as tryLock;
    // the locks taken before stay held either way.
    bool tryLockFolder(const QString& folder, const QString& name, QString* error = nullptr);
    bool isLocked() const { return !m_descriptors.isEmpty(); }
    // Releases every lock held.
    void unlock();

    // "." + name + ".lock": hidden, so that it does not clutter the user's folder.
    static QString FolderLockName(const QString& name);
    // The folder that holds the lock files: the user's runtime folder (XDG_RUNTIME_DIR, or when that is not set the
    // login session's /run/user/<uid>).
    static QString lockFolder();
    // Tests put the session folders ("/run/user") elsewhere; an empty root puts them back.
    static void setSessionFoldersRootForTesting(const QString& root);

private:
    bool lockFile(const QString& path, QString* error);

    QList<int> m_descriptors;
};
