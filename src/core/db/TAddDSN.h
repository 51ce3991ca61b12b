#pragma once

#include <QString>

// Registers an ODBC data source on the SQLite database file, through unixODBC's installer: a
// system data source when running as root, the user's own otherwise. Debian's ODBC drivers ship
// no setup library, so the entries are written directly.
class TAddDSN {
public:
    QString DSN_Name;
    QString DSN_Path;
    QString DSN_Driver;

    bool execute(QString* error = nullptr) const;
};

// The ODBC driver that serves SQLite files (Debian's libsqliteodbc registers it under this name).
inline const QString kSqliteOdbcDriver = QStringLiteral("SQLite3");

// Creates or updates the data source name on the file path, only when that file exists. The
// driver named in db.ini is kept there for older installations; the data source always uses the
// SQLite driver. A failure is not reported: opening the data source will say what is wrong.
void CreateDataSource(const QString& name, const QString& driver, const QString& path);
