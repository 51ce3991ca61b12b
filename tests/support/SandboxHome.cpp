#include "support/SandboxHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

SandboxHome::SandboxHome()
    : m_oldHome(qgetenv("HOME")), m_oldRuntime(qgetenv("XDG_RUNTIME_DIR")), m_oldConfig(qgetenv("XDG_CONFIG_HOME")) {
    QDir().mkpath(home());
    QDir().mkpath(runtime());
    QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(home()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime()));
    qunsetenv("XDG_CONFIG_HOME");
}

SandboxHome::~SandboxHome() {
    qputenv("HOME", m_oldHome);
    if (m_oldRuntime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    if (!m_oldConfig.isEmpty()) qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

QString SandboxHome::folder(const QString& name) const {
    const QString path = m_root.path() + QLatin1Char('/') + name + QLatin1Char('/');
    QDir().mkpath(path);
    return path;
}

QString SandboxHome::defaultDataDir() const {
    return home() + QStringLiteral("/Documents/Dunmarrow Software Development/Quorvel/");
}

void WriteTestFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(content);
}
