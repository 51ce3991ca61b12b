#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A new user's account for one test: HOME and the runtime folder point into a temporary folder,
// so that nothing touches the real user's data or locks. Restores the environment when destroyed.
class SandboxHome {
public:
    SandboxHome();
    ~SandboxHome();

    QString home() const { return m_root.path() + QStringLiteral("/home"); }
    QString runtime() const { return m_root.path() + QStringLiteral("/runtime"); }
    // A folder of its own inside the sandbox (created), with a trailing "/".
    QString folder(const QString& name) const;
    // The data folder a new user gets: Documents + maker + product.
    QString defaultDataDir() const;

private:
    QTemporaryDir m_root;
    QByteArray m_oldHome;
    QByteArray m_oldRuntime;
    QByteArray m_oldConfig;
};

// Writes a file (creating its folder); fails the test on error.
void WriteTestFile(const QString& path, const QByteArray& content);
