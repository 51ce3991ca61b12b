#include "gui/startup/StartupUi.h"

#include "core/app/InstanceLock.h"
#include "core/app/Settings.h"
#include "core/app/TerminationSignals.h"
#include "core/db/TDataModule1.h"
#include "core/db/UpdateScript.h"
#include "core/records/PersonRecords.h"
#include "core/startup/FirstRun.h"
#include "core/startup/Startup.h"
#include "gui/app/TMdacNotice.h"
#include "gui/app/TSplash.h"
#include "gui/app/TWait.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/mainwindow/TMainForm.h"
#include "gui/startup/ApplicationSetup.h"

#include <QApplication>
#include <QDir>

#include <unistd.h>

namespace {

const QString kLoading = QStringLiteral("Chargement du logiciel ...");

} // namespace

int RunQuorvel(int argc, char** argv) {
    QApplication application(argc, argv);
    PrepareApplication(application);
    MessageBoxService::install();
    // Tests that run the whole program answer its message boxes by reading stderr instead.
    if (qEnvironmentVariableIsSet("QUORVEL_TEST_NO_DIALOGS")) MessageBoxService::setTestMode(true);
    // A request to end the program that arrives during start-up is kept until the main window
    // exists; it then closes the window as the user would, so the settings are saved. A start-up
    // message waiting for its answer ends at once: nobody may be there to answer it, and nothing is
    // being written while it waits.
    TerminationSignals termination;
    bool terminationRequested = false;
    QObject::connect(&termination, &TerminationSignals::received, [&](int signalNumber) {
        terminationRequested = true;
        if (!MessageBoxService::mainWindowExists() && QApplication::activeModalWidget()) ::_exit(128 + signalNumber);
    });

    InstanceLock lock;
    {
        TWait transfer;
        transfer.centreInWorkArea();
        if (PrepareDataFolders(QDir::currentPath(), QCoreApplication::applicationDirPath(), lock, transfer) !=
            StartupOutcome::Ready)
            return 1;
    }

    LoadSettings();
    if (CurrentSettings().testMdac && !MdacVersionOk()) {
        TMdacNotice notice;
        notice.exec();
    }

    TSplash splash;
    if (CurrentSettings().splash) splash.showAndPaint();
    splash.setProgress(1);
    splash.setInfo(kLoading);
    splash.setProgress(4);

    TDataModule1 dataModule;
    InstallPersonRules(dataModule);
    if (!ConnectDataModule(dataModule)) return 1;
    {
        // Waiting update scripts report on their own window and on the splash's info line.
        TWait updateWindow;
        updateWindow.centreInWorkArea();
        const UpdateFeedback feedback{&updateWindow, [&](const QString& text) { splash.setInfo(text); }, {}};
        if (!PrepareDatabaseVersion(feedback, UpdateBackup::Ask)) return 1;
    }

    splash.setProgress(5);
    splash.setInfo(kLoading);
    splash.setProgress(6);
    splash.setProgress(7);
    TMainForm mainForm;
    MessageBoxService::setMainWindowExists(true);
    splash.setProgress(8);
    splash.close();

    QObject::connect(&termination, &TerminationSignals::received, &mainForm, &QWidget::close);

    mainForm.show();
    if (terminationRequested) mainForm.close();
    return application.exec();
}
