#pragma once

#include <QString>

// Constants that name the program, its files and its maker.
namespace Product {
inline const QString kName = QStringLiteral("Quorvel");
inline const QString kVersion = QStringLiteral(QUORVEL_VERSION);
// The program's file name: the settings file and the development marker are named after it.
inline const QString kProgramFileName = QStringLiteral("quorvel");
inline const QString kInstanceLockName = QStringLiteral("ANALYSIS");
inline const QString kDatabaseFileName = QStringLiteral("KESTOVRAN.MDB");
inline const QString kDatabaseFolder = QStringLiteral("Access/");
inline const QString kDataSourceName = QStringLiteral("KESTOVRAN");
inline const QString kHelpFileName = QStringLiteral("doc.html");
inline const QString kMakerName = QStringLiteral("Dunmarrow Software Development");
inline const QString kMakerFolder = QStringLiteral("Dunmarrow Software Development/");
inline const QString kContactAddress = QStringLiteral("contact@dunmarrow.example");
inline const QString kSupportAddress = QStringLiteral("support@dunmarrow.example");
inline const QString kWebSite = QStringLiteral("https://www.dunmarrow.example/quorvel/");

// "BD_" + the digits of the version + ".maj": the script that brings a database to this version.
QString UpdateScriptName();
// "quorvel.ini": the settings file in the data folder.
QString SettingsFileName();
// "quorvel.dpr": its presence in the program folder marks a development layout.
QString DevelopmentMarkerName();
} // namespace Product
