#pragma once

#include <QString>

// Where the database is and how it is reached, as db.ini in the data folder says.
struct DatabaseSettings {
    QString provider;      // [DataBase] Provider: "OLEDB" (the embedded store) or "ODBC" (exact)
    QString path;          // [DataBase] Path: a folder, relative to the data folder ("Data\", the default) or full
    QString odbcName;      // [ODBC] Name: the data source
    QString odbcDriver;    // [ODBC] Driver
    QString odbcPath;      // [ODBC] Path: database file relative to the database folder
    QString oledbProvider; // [OLEDB] Provider
    QString oledbFileName; // [OLEDB] FileName: database file relative to the database folder
};

inline const QString kProviderOleDb = QStringLiteral("OLEDB");
inline const QString kProviderOdbc = QStringLiteral("ODBC");

// The database folder that [DataBase] Path names: a full path as it is, any other relative to dataFolder (so
// "Data\", "Data" and ".\Data\" all name dataFolder + "Data/"). With a trailing "/".
QString DatabaseFolderOf(const QString& dataFolder, const QString& path);
// DbDir is DataDir + "Data/", where a first start may put the starting database. Anywhere else the database
// must already be there.
bool IsDefaultDatabaseFolder();

// The settings read by the last LoadDatabaseSettings.
const DatabaseSettings& CurrentDatabaseSettings();

// Reads db.ini from dataFolder (taking a shipped copy first when it is missing, and writing one
// with the defaults when there is none), then sets DbDir. At start-up it is called with DataDir,
// "Data\", "KESTOVRAN", "KESTOVRAN.MDB" and "Access\". False when a new db.ini cannot be written.
bool LoadDatabaseSettings(const QString& dataFolder, const QString& defaultFolder, const QString& dataSourceName,
                          const QString& fileName, const QString& fileFolder, QString* error = nullptr);

// The database file relative to DbDir: [ODBC] Path in ODBC mode, [OLEDB] FileName in OLEDB mode,
// empty for any other provider.
QString DatabaseRelativePath();
// DbDir + [OLEDB] FileName, whatever the provider.
QString DatabaseFile();
bool DatabaseFileExists();
