#include "core/db/TAddDSN.h"

#include <QFile>
#include <QFileInfo>

#include <odbcinst.h>
#include <unistd.h>

// unixODBC's own routines that name its INI files (its header for them is not usable from outside).
extern "C" {
char* odbcinst_system_file_path(char* buffer);
char* odbcinst_user_file_path(char* buffer);
}

namespace {

constexpr int kPathBuffer = 4096;

// unixODBC writes no data source into an odbc.ini that does not exist yet (a user's own file
// before the first data source): create it empty first.
void EnsureDataSourcesFile(bool system) {
    // The folder comes from unixODBC (it follows ODBCSYSINI and HOME); the data-source file names
    // are its fixed ones, and a user's ODBCINI names the user's file outright.
    char folderBuffer[kPathBuffer] = {};
    QString path;
    if (system) {
        path = QFile::decodeName(odbcinst_system_file_path(folderBuffer)) + QStringLiteral("/odbc.ini");
    } else {
        path = qEnvironmentVariable("ODBCINI");
        if (path.isEmpty())
            path = QFile::decodeName(odbcinst_user_file_path(folderBuffer)) + QStringLiteral("/.odbc.ini");
    }
    if (QFileInfo::exists(path)) return;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

} // namespace

bool TAddDSN::execute(QString* error) const {
    const QByteArray name = DSN_Name.toUtf8();
    const QByteArray path = DSN_Path.toUtf8();
    const QByteArray driver = kSqliteOdbcDriver.toUtf8();
    const bool system = ::geteuid() == 0;
    EnsureDataSourcesFile(system);
    SQLSetConfigMode(system ? ODBC_SYSTEM_DSN : ODBC_USER_DSN);
    // NoCreat: a database file that has gone must be reported, not silently replaced by an empty one.
    const bool written = SQLWriteDSNToIni(name.constData(), driver.constData()) &&
                         SQLWritePrivateProfileString(name.constData(), "Database", path.constData(), "odbc.ini") &&
                         SQLWritePrivateProfileString(name.constData(), "NoCreat", "1", "odbc.ini");
    SQLSetConfigMode(ODBC_BOTH_DSN);
    if (!written && error)
        *error = QStringLiteral("Impossible de créer la source de données ODBC \"%1\".").arg(DSN_Name);
    return written;
}

void CreateDataSource(const QString& name, const QString& driver, const QString& path) {
    if (!QFileInfo(path).isFile()) return;
    TAddDSN dsn;
    dsn.DSN_Name = name;
    dsn.DSN_Path = path;
    dsn.DSN_Driver = driver;
    dsn.execute();
}
