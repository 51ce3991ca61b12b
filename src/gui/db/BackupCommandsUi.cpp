#include "gui/db/BackupCommandsUi.h"

#include "core/app/DateRoutines.h"
#include "core/app/MessageService.h"
#include "core/db/Backup.h"
#include "core/db/Restore.h"
#include "core/db/TDataModule1.h"
#include "gui/app/TWait.h"
#include "gui/controls/FileDialogs.h"
#include "gui/db/TBackupList.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>

namespace {

const QString kBackupFilter = QStringLiteral("Sauvegarde base de donnée (*bkp)");

// The state of the program while the data set's files are worked on, put back when it ends.
class BusyMainWindow {
public:
    BusyMainWindow(QWidget* mainWindow, const MainWindowSteps& steps, const QString& task, bool gauge)
        : m_mainWindow(mainWindow), m_steps(steps), m_wait(mainWindow) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        if (m_steps.showFirstTab) m_steps.showFirstTab();
        m_wait.setTask(task);
        m_wait.setMessage(kPleaseWaitMessage);
        m_wait.setProgress(0, 1);
        m_wait.setGaugeVisible(gauge);
        if (m_mainWindow) m_wait.centreOver(m_mainWindow);
        m_wait.setVisible(true);
        if (m_mainWindow) m_mainWindow->setEnabled(false);
        if (m_steps.detachPersonControls) m_steps.detachPersonControls();
    }
    ~BusyMainWindow() {
        release();
        QGuiApplication::restoreOverrideCursor();
        m_wait.close();
    }
    // The controls take the Person query again and the main window is enabled; once only.
    void release() {
        if (m_released) return;
        m_released = true;
        if (m_steps.attachPersonControls) m_steps.attachPersonControls();
        if (m_mainWindow) m_mainWindow->setEnabled(true);
    }
    TWait& wait() { return m_wait; }

private:
    QWidget* m_mainWindow;
    const MainWindowSteps& m_steps;
    TWait m_wait;
    bool m_released = false;
};

// Where the data set that a restoration replaced waits, should the restoration have to be undone.
QString KeptNote(const QString& kept) {
    if (kept.isEmpty()) return QString();
    return QStringLiteral("\n\nLes données remplacées sont gardées dans l'archive :\n") +
           QDir::toNativeSeparators(kept) +
           QStringLiteral("\nPour annuler cette restauration, restaurez cette archive.");
}

} // namespace

void BackupDatabase(QWidget* mainWindow, TDataModule1& dataModule, const MainWindowSteps& steps) {
    QDir().mkpath(BackupFolder());
    const QString target =
        FileDialogs::askSaveFile(mainWindow, QStringLiteral("Localisation de la sauvegarde"), kBackupFilter,
                                 QStringLiteral("bkp"), ProposedBackupName(Today()), BackupFolder());
    if (target.isEmpty()) return;
    bool done = false;
    QString error;
    {
        BusyMainWindow busy(mainWindow, steps, QStringLiteral("Sauvegarde de la base"), true);
        done = BackupDatabase(dataModule, target, kBackupDescription, busy.wait(), &error);
    }
    if (done)
        Messages().show(MessageIcon::Information, QString(), QStringLiteral("Sauvegarde effectuée."));
    else
        Messages().show(MessageIcon::Error, QString(), error);
}

void RestoreDatabase(QWidget* mainWindow, TDataModule1& dataModule, const MainWindowSteps& steps) {
    const QString archive =
        FileDialogs::askOpenFile(mainWindow, QStringLiteral("Sélectionnez la base de données à restaurer"),
                                 kBackupFilter, QStringLiteral("bkp"), BackupFolder());
    if (archive.isEmpty()) return;
    bool done = false;
    QString error;
    QString kept;
    {
        BusyMainWindow busy(mainWindow, steps, QStringLiteral("Préparation de la restauration"), false);
        // A restored database older than the program is updated with its own progress window, as at start-up.
        TWait updateWindow(mainWindow);
        if (mainWindow) updateWindow.centreOver(mainWindow);
        const auto updateLabel = [&busy](const QString& text) {
            // The update's texts are longer than the task line's usual ones.
            if (auto* task = busy.wait().findChild<QLabel*>(QStringLiteral("Lab_Task"))) {
                QFont font = task->font();
                font.setPointSize(11);
                task->setFont(font);
            }
            busy.wait().setTask(text);
        };
        done = RestoreDatabase(dataModule, archive, busy.wait(), &error, UpdateFeedback{&updateWindow, updateLabel, {}},
                               &kept);
        // The list is read again once the window is back, so that selecting its first row refreshes the pages.
        if (steps.refreshCurrentPage) steps.refreshCurrentPage();
        busy.release();
        if (steps.reloadPersonList) steps.reloadPersonList(-1);
    }
    if (done)
        Messages().show(MessageIcon::Information, QString(), QStringLiteral("Sauvegarde restaurée.") + KeptNote(kept));
    else
        Messages().show(MessageIcon::Error, QString(), error);
}

void CompactCurrentDatabase(QWidget* mainWindow, TDataModule1& dataModule, const MainWindowSteps& steps) {
    if (!Messages().ask(QString(), QStringLiteral("Confirmez-vous le compactage de la base de données ?"))) return;
    bool done = false;
    QString error;
    {
        BusyMainWindow busy(mainWindow, steps, QStringLiteral("Compactage de la base"), false);
        done = CompactDataSet(dataModule, busy.wait(), &error);
    }
    if (done)
        Messages().show(MessageIcon::Information, QString(), QStringLiteral("Compactage effectué."));
    else
        Messages().show(MessageIcon::Error, QString(), error);
}

void ShowBackupHistory(QWidget* mainWindow, TDataModule1& dataModule) {
    TBackupList window(dataModule, mainWindow);
    window.exec();
}
