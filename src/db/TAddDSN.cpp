#include "db/TAddDSN.h"

#include <QFileInfo>

#include <odbcinst.h>
#include <unistd.h>

bool TAddDSN::execute(QString* error) const
{
    const QByteArray name = DSN_Name.toUtf8();
    const QByteArray path = DSN_Path.toUtf8();
    const QByteArray driver = kSqliteOdbcDriver.toUtf8();
    SQLSetConfigMode(::geteuid() == 0 ? ODBC_SYSTEM_DSN : ODBC_USER_DSN);
    const bool written = SQLWriteDSNToIni(name.constData(), driver.constData()) &&
                         SQLWritePrivateProfileString(name.constData(), "Database", path.constData(), "odbc.ini");
    SQLSetConfigMode(ODBC_BOTH_DSN);
    if (!written && error)
        *error = QStringLiteral("Impossible de créer la source de données ODBC \"%1\".").arg(DSN_Name);
    return written;
}

void CreateDataSource(const QString& name, const QString& driver, const QString& path)
{
    if (!QFileInfo(path).isFile()) return;
    TAddDSN dsn;
    dsn.DSN_Name = name;
    dsn.DSN_Path = path;
    dsn.DSN_Driver = driver;
    dsn.execute();
}
