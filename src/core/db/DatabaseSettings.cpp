#include "core/db/DatabaseSettings.h"

#include "core/app/DataLocations.h"
#include "core/app/Folders.h"
#include "core/app/IniFile.h"
#include "core/db/TAddDSN.h"

#include <QDir>
#include <QFileInfo>

namespace {

DatabaseSettings g_settings;

const QString kSectionDataBase = QStringLiteral("DataBase");
const QString kSectionOdbc = QStringLiteral("ODBC");
const QString kSectionOleDb = QStringLiteral("OLEDB");
const QString kDefaultDriver = QStringLiteral("Microsoft Access Driver (*.mdb)");
const QString kDefaultOleDbProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
const QString kIniName = QStringLiteral("db.ini");

} // namespace

QString DatabaseFolderOf(const QString& dataFolder, const QString& path) {
    const QString folder = ToSlashes(path);
    // A Windows path ("D:\Shared") names no folder here, but is not one of the data folder's either.
    const bool windowsDrive = folder.size() >= 2 && folder[0].isLetter() && folder[1] == QLatin1Char(':');
    if (QDir::isAbsolutePath(folder) || windowsDrive) return AsFolder(folder);
    // Relative to the data folder, never to wherever the program was started from: "Data\", "Data", ".\Data\".
    return AsFolder(QDir::cleanPath(AsFolder(dataFolder) + folder));
}

bool IsDefaultDatabaseFolder() {
    return QDir::cleanPath(DbDir()) == QDir::cleanPath(DataDir() + QStringLiteral("Data"));
}

const DatabaseSettings& CurrentDatabaseSettings() {
    return g_settings;
}

bool LoadDatabaseSettings(const QString& dataFolder, const QString& defaultFolder, const QString& dataSourceName,
                          const QString& fileName, const QString& fileFolder, QString* error) {
    EnsureDataFile(kIniName);
    IniFile ini(AsFolder(dataFolder) + kIniName);
    const QString defaultFile = fileFolder + fileName;
    DatabaseSettings s;
    s.provider = ini.readString(kSectionDataBase, QStringLiteral("Provider"), kProviderOleDb);
    s.path = ini.readString(kSectionDataBase, QStringLiteral("Path"), defaultFolder);
    s.odbcName = ini.readString(kSectionOdbc, QStringLiteral("Name"), dataSourceName);
    s.odbcDriver = ini.readString(kSectionOdbc, QStringLiteral("Driver"), kDefaultDriver);
    s.odbcPath = ini.readString(kSectionOdbc, QStringLiteral("Path"), defaultFile);
    s.oledbProvider = ini.readString(kSectionOleDb, QStringLiteral("Provider"), kDefaultOleDbProvider);
    s.oledbFileName = ini.readString(kSectionOleDb, QStringLiteral("FileName"), defaultFile);
    g_settings = s;

    if (!ini.exists()) {
        ini.writeString(kSectionDataBase, QStringLiteral("Provider"), s.provider);
        ini.writeString(kSectionDataBase, QStringLiteral("Path"), s.path);
        ini.writeString(kSectionOdbc, QStringLiteral("Name"), s.odbcName);
        ini.writeString(kSectionOdbc, QStringLiteral("Driver"), s.odbcDriver);
        ini.writeString(kSectionOdbc, QStringLiteral("Path"), s.odbcPath);
        ini.writeString(kSectionOleDb, QStringLiteral("Provider"), s.oledbProvider);
        ini.writeString(kSectionOleDb, QStringLiteral("FileName"), s.oledbFileName);
        if (!ini.save(error)) return false;
    }

    SetDbDir(DatabaseFolderOf(dataFolder, s.path));
    if (s.provider == kProviderOdbc && !s.odbcPath.isEmpty())
        CreateDataSource(s.odbcName, s.odbcDriver, DbDir() + ToSlashes(s.odbcPath));
    return true;
}

QString DatabaseRelativePath() {
    if (g_settings.provider == kProviderOdbc) return ToSlashes(g_settings.odbcPath);
    if (g_settings.provider == kProviderOleDb) return ToSlashes(g_settings.oledbFileName);
    return {};
}

QString DatabaseFile() {
    return DbDir() + ToSlashes(g_settings.oledbFileName);
}

bool DatabaseFileExists() {
    return QFileInfo(DatabaseFile()).isFile();
}
