#include "db/BackupCommandsUi.h"

#include "app/DateRoutines.h"
#include "app/MessageService.h"
#include "app/TWait.h"
#include "db/Backup.h"
#include "db/Restore.h"
#include "db/TBackupList.h"
#include "db/TDataModule1.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QQueue>

namespace {

const QString kBackupFilter = QStringLiteral("Sauvegarde base de donnée (*bkp)");

struct DialogTestState {
    QQueue<QString> answers;
    QList<FileDialogRequest> requests;
};

DialogTestState& TestState() {
    static DialogTestState state;
    return state;
}

QString AskFile(QWidget* owner, const FileDialogRequest& request) {
    DialogTestState& state = TestState();
    if (!state.answers.isEmpty()) {
        state.requests.append(request);
        return state.answers.dequeue();
    }
    QFileDialog dialog(owner, request.title, request.folder, request.filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty()) dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

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

} // namespace

void QueueFileDialogAnswerForTesting(const QString& path) {
    TestState().answers.enqueue(path);
}
QList<FileDialogRequest> FileDialogRequestsForTesting() {
    return TestState().requests;
}
void ClearFileDialogRequestsForTesting() {
    TestState().requests.clear();
    TestState().answers.clear();
}

void BackupDatabase(QWidget* mainWindow, TDataModule1& dataModule, const MainWindowSteps& steps) {
    QDir().mkpath(BackupFolder());
    const QString target = AskFile(mainWindow, {true, QStringLiteral("Localisation de la sauvegarde"), kBackupFilter,
                                                BackupFolder(), ProposedBackupName(Today()), QStringLiteral("bkp")});
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
    const QString archive = AskFile(mainWindow, {false, QStringLiteral("Sélectionnez la base de données à restaurer"),
                                                 kBackupFilter, BackupFolder(), QString(), QStringLiteral("bkp")});
    if (archive.isEmpty()) return;
    bool done = false;
    QString error;
    {
        BusyMainWindow busy(mainWindow, steps, QStringLiteral("Préparation de la restauration"), false);
        const auto updateLabel = [&busy](const QString& text) {
            // The update's texts are longer than the task line's usual ones.
            if (auto* task = busy.wait().findChild<QLabel*>(QStringLiteral("Lab_Task"))) {
                QFont font = task->font();
                font.setPointSize(11);
                task->setFont(font);
            }
            busy.wait().setTask(text);
        };
        done = RestoreDatabase(dataModule, archive, busy.wait(), &error, updateLabel);
        // The list is read again once the window is back, so that selecting its first row refreshes the pages.
        if (steps.refreshCurrentPage) steps.refreshCurrentPage();
        busy.release();
        if (steps.reloadPersonList) steps.reloadPersonList(-1);
    }
    if (done)
        Messages().show(MessageIcon::Information, QString(), QStringLiteral("Sauvegarde restaurée."));
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
