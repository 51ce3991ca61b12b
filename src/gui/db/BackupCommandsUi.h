#pragma once

#include <QString>

#include <functional>

class QWidget;
class TDataModule1;

// The "&Base de données" commands of the main window's Tools menu: "&Sauvegarde", "&Restauration",
// "&Historique" and "&Compacter/Réparer". Each shows its dialogs and questions, the progress window over
// the main window and the final message; during the file work the main window is disabled, the busy
// cursor shown and the connection closed, and everything is put back in a final step, also on failure.
// An error is shown in a standard message box and the program goes on.

// What only the main window knows how to do; any of them may be left empty.
struct MainWindowSteps {
    std::function<void()> showFirstTab;
    // The data-aware controls let go of the Person query before the connection closes, and take it again.
    std::function<void()> detachPersonControls;
    std::function<void()> attachPersonControls;
    std::function<void()> refreshCurrentPage;              // RefreshCurrentPage()
    std::function<void(qint64 selectId)> reloadPersonList; // ReloadPersonList(-1)
};

// "&Sauvegarde": the save dialog "Localisation de la sauvegarde" with the proposed name, the backup,
// then "Sauvegarde effectuée.".
void BackupDatabase(QWidget* mainWindow, TDataModule1& dataModule, const MainWindowSteps& steps = {});
// "&Restauration": the open dialog "Sélectionnez la base de données à restaurer", the restoration (with
// the update of an older database), then "Sauvegarde restaurée.".
void RestoreDatabase(QWidget* mainWindow, TDataModule1& dataModule, const MainWindowSteps& steps = {});
// "&Compacter/Réparer": the question, the compaction, then "Compactage effectué.".
void CompactCurrentDatabase(QWidget* mainWindow, TDataModule1& dataModule, const MainWindowSteps& steps = {});
// "&Historique": the history window, modal.
void ShowBackupHistory(QWidget* mainWindow, TDataModule1& dataModule);
