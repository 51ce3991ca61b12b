#pragma once

#include <QString>

// A small disk (tmpfs of a given size) mounted over a folder, so that a test meets a full disk for real. It needs
// the right to mount (root, as the project's test machines run); without it mounted() is false and the test
// skips. The folder keeps what it held: its content is copied onto the small disk. Unmounted when destroyed.
class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    // Fills the disk but for `left` bytes, with a file of its own.
    void fillLeaving(qint64 left);

private:
    QString m_folder;
    bool m_mounted = false;
};
