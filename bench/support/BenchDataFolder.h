#pragma once

// The setting of the benches that open windows: a program folder and a data folder of their own, with a copy of the
// starting database, so that nothing they do reaches the user's real data.
#include "support/BenchSupport.h"

#include "core/app/Folders.h"
#include "core/db/Connection.h"
#include "gui/controls/MessageBoxService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Windows are measured on the offscreen platform unless a display is given; called before the QApplication.
inline void UseOffscreenWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Sets the program's folders inside a temporary folder and opens a copy of the starting database there as the main
// connection. Message boxes answer at once instead of waiting for a click.
class BenchDataFolder {
public:
    explicit BenchDataFolder(const QString& startingDatabase) {
        MessageBoxService::install();
        MessageBoxService::setTestMode(true);
        const QString dataDir = this->dataDir();
        QDir().mkpath(dataDir + QStringLiteral("Data/Access"));
        SetProgramDir(m_folder.path() + QLatin1Char('/'));
        SetDataDir(dataDir);
        SetDbDir(dataDir + QStringLiteral("Data/"));
        const QString database = dataDir + QStringLiteral("Data/Access/KESTOVRAN.MDB");
        if (!QFile::copy(startingDatabase, database)) Die(QStringLiteral("cannot copy ") + startingDatabase);
        QFile(database).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        QString error;
        if (!OpenDatabaseFile(kMainConnection, database, &error)) Die(error);
    }

    QString dataDir() const { return m_folder.path() + QStringLiteral("/data/"); }

private:
    QTemporaryDir m_folder;
};
