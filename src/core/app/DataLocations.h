#pragma once

#include <QString>

// The program folder: the current folder when it holds the shipped material ("Ressources/DB/"),
// otherwise the installed folder found from the executable's (<prefix>/share/quorvel/).
QString FindProgramDir(const QString& currentFolder, const QString& executableFolder);

// Decides DataDir and creates its folders (each readable by the user only):
//  - the program folder itself when directories.ini says AppDataDir=appexe, when the development
//    marker is there, or when the program runs from a removable drive outside the installation prefix;
//  - otherwise [Path] AppDataDir of directories.ini, or Documents + the maker's folder, + "Quorvel/".
// A folder created here gets its warning file. False (with a French message) when a folder cannot
// be created.
bool ChooseDataDir(QString* error = nullptr);

// The test of ChooseDataDir for a removable program folder, replaceable by tests.
using RemovableTest = bool (*)(const QString& folder);
void SetRemovableTestForTesting(RemovableTest test);

// Copies name into DataDir when it is missing there, from ProgramDir, ProgramDir/Ressources/DB/ or
// ProgramDir/Maj/ (the first found). Never overwrites; silent when there is no source.
void EnsureDataFile(const QString& name);

// Creates the folder when missing, readable by the user only.
bool CreatePrivateFolder(const QString& folder, QString* error = nullptr);
