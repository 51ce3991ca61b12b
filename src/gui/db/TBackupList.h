#pragma once

#include <QDialog>

class QPushButton;
class QTableView;
class TDataModule1;

// The history of backups, restorations and compactions ("  Historique des sauvegardes"): the rows of the
// Backup query, whole rows selected, and the button that empties the history after a question.
class TBackupList : public QDialog {
    Q_OBJECT
public:
    explicit TBackupList(TDataModule1& dataModule, QWidget* owner = nullptr);
    ~TBackupList() override;

    QTableView* grid() const { return m_grid; }
    QPushButton* purgeButton() const { return m_purge; }

    void Btn_PurgeClick();

protected:
    void done(int result) override;

private:
    TDataModule1& m_dataModule;
    QTableView* m_grid;
    QPushButton* m_purge;
};
