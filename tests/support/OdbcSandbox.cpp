#include "support/OdbcSandbox.h"

#include "core/app/Folders.h"
#include "core/app/IniFile.h"
#include "core/db/DatabaseSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

void Restore(const char* name, const QByteArray& value) {
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

QByteArray Saved(const char* name) {
    return qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray();
}

} // namespace

QString SqliteOdbcDriverLibrary() {
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
                             "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/odbc/libsqlite3odbc.so"}) {
        if (QFileInfo(QString::fromLatin1(path)).isFile()) return QString::fromLatin1(path);
    }
    return {};
}

OdbcSandbox::OdbcSandbox()
    : m_driver(SqliteOdbcDriverLibrary()), m_oldSysIni(Saved("ODBCSYSINI")), m_oldIni(Saved("ODBCINI")),
      m_oldHome(Saved("HOME")) {
    QDir().mkpath(folder() + QStringLiteral("home"));
    qputenv("ODBCSYSINI", QFile::encodeName(m_root.path()));
    qputenv("ODBCINI", QFile::encodeName(folder() + QStringLiteral("home/.odbc.ini")));
    qputenv("HOME", QFile::encodeName(folder() + QStringLiteral("home")));
    if (m_driver.isEmpty()) {
        m_error = QStringLiteral("libsqlite3odbc.so not found (Debian package libsqliteodbc)");
        return;
    }
    QFile drivers(folder() + QStringLiteral("odbcinst.ini"));
    if (!drivers.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write ") + drivers.fileName();
        m_driver.clear();
        return;
    }
    drivers.write("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=" + QFile::encodeName(m_driver) +
                  "\nUsageCount=1\n");
    // Debian ships an empty system odbc.ini (unixodbc-common); a new account has no user one.
    QFile systemSources(folder() + QStringLiteral("odbc.ini"));
    if (!systemSources.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write ") + systemSources.fileName();
        m_driver.clear();
    }
}

OdbcSandbox::~OdbcSandbox() {
    Restore("ODBCSYSINI", m_oldSysIni);
    Restore("ODBCINI", m_oldIni);
    Restore("HOME", m_oldHome);
}

QString OdbcSandbox::dataSourcesFile() const {
    return ::geteuid() == 0 ? folder() + QStringLiteral("odbc.ini") : folder() + QStringLiteral("home/.odbc.ini");
}

QString OdbcSandbox::dataSourceValue(const QString& dataSource, const QString& key) const {
    return IniFile(dataSourcesFile()).readString(dataSource, key, QString());
}

bool LoadTestDatabaseSettings(const QString& dataFolder, const QString& provider, const QString& dataSourceName,
                              QString* error, const QString& odbcPath) {
    const QString folder = dataFolder.endsWith(QLatin1Char('/')) ? dataFolder : dataFolder + QLatin1Char('/');
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("db.ini"));
    IniFile ini(folder + QStringLiteral("db.ini"));
    ini.writeString(QStringLiteral("DataBase"), QStringLiteral("Provider"), provider);
    ini.writeString(QStringLiteral("DataBase"), QStringLiteral("Path"), QStringLiteral("Data\\"));
    ini.writeString(QStringLiteral("ODBC"), QStringLiteral("Name"), dataSourceName);
    ini.writeString(QStringLiteral("ODBC"), QStringLiteral("Driver"),
                    QStringLiteral("Microsoft Access Driver (*.mdb)"));
    ini.writeString(QStringLiteral("ODBC"), QStringLiteral("Path"), odbcPath);
    ini.writeString(QStringLiteral("OLEDB"), QStringLiteral("Provider"), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    ini.writeString(QStringLiteral("OLEDB"), QStringLiteral("FileName"), QStringLiteral("Access\\KESTOVRAN.MDB"));
    if (!ini.save(error)) return false;
    SetDataDir(folder);
    return LoadDatabaseSettings(folder, QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\"), error);
}
