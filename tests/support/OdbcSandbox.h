#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A private unixODBC configuration: ODBCSYSINI, ODBCINI and HOME point into a temporary folder whose odbcinst.ini
// registers Debian's SQLite ODBC driver under the name the program uses ("SQLite3") and, as on Debian, an empty
// system odbc.ini is present while the user has none. unixODBC remembers its
// configuration folders at its first call, so one sandbox serves a whole test process: create it before any ODBC
// call and keep it until the end. Restores the environment when destroyed.
class OdbcSandbox {
public:
    OdbcSandbox();
    ~OdbcSandbox();

    // False when the driver library is not installed (error() says where it was looked for).
    bool isValid() const { return !m_driver.isEmpty(); }
    QString error() const { return m_error; }

    // Ends with "/".
    QString folder() const { return m_root.path() + QLatin1Char('/'); }
    QString driverLibrary() const { return m_driver; }
    // The odbc.ini that data sources are registered in: the system one as root, the user's otherwise.
    QString dataSourcesFile() const;
    // A key of a registered data source; empty when absent.
    QString dataSourceValue(const QString& dataSource, const QString& key) const;

private:
    QTemporaryDir m_root;
    QString m_driver;
    QString m_error;
    QByteArray m_oldSysIni;
    QByteArray m_oldIni;
    QByteArray m_oldHome;
};

// Debian's SQLite 3 ODBC driver library; empty when not installed.
QString SqliteOdbcDriverLibrary();

// Writes db.ini into dataFolder with the given provider, data source name and [ODBC] Path, and the default
// folder ("Data\") and file ("Access\KESTOVRAN.MDB"), makes dataFolder the DataDir and loads it as start-up does
// (which registers the data source in ODBC mode when [ODBC] Path is set and the database file exists).
bool LoadTestDatabaseSettings(const QString& dataFolder, const QString& provider, const QString& dataSourceName,
                              QString* error = nullptr,
                              const QString& odbcPath = QStringLiteral("Access\\KESTOVRAN.MDB"));
