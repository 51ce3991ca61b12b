#pragma once

#include <QString>

// Keeps a second copy of the program (graphical or command-line) off the same user's data: an
// exclusive lock on a file named after the lock in the user's runtime folder. The system releases
// the lock when the holder ends, however it ends, so a crash never blocks the next start.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock, or when the lock file cannot be opened
    // (then error says why). Taking a lock never changes the lock file's content.
    bool tryLock(const QString& name, QString* error = nullptr);
    bool isLocked() const { return m_descriptor >= 0; }
    void unlock();

    // The folder that holds the lock files: the user's runtime folder (XDG_RUNTIME_DIR, or when that is not set the
    // login session's /run/user/<uid>).
    static QString lockFolder();
    // Tests put the session folders ("/run/user") elsewhere; an empty root puts them back.
    static void setSessionFoldersRootForTesting(const QString& root);

private:
    int m_descriptor = -1;
};
