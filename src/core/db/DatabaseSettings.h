#pragma once

#include <QString>

// Where the database is and how it is reached, as db.ini in the data folder says.
struct DatabaseSettings {
    QString provider;      // [DataBase] Provider: "OLEDB" (the embedded store) or "ODBC" (exact)
    QString path;          // [DataBase] Path: "Data\" (the data folder's Data/) or a full folder
    QString odbcName;      // [ODBC] Name: the data source
    QString odbcDriver;    // [ODBC] Driver
    QString odbcPath;      // [ODBC] Path: database file relative to the database folder
    QString oledbProvider; // [OLEDB] Provider
    QString oledbFileName; // [OLEDB] FileName: database file relative to the database folder
};

inline const QString kProviderOleDb = QStringLiteral("OLEDB");
inline const QString kProviderOdbc = QStringLiteral("ODBC");

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
