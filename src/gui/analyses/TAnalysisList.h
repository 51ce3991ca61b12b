#pragma once

#include <QDialog>

class Dataset;
class DatasetModel;
class QPushButton;
class QTableView;
class TDataModule1;

// The catalogue of analysis types ("  Liste des analyses"): a read-only grid of the titles, units, decimals and
// descriptions, with " Ajouter", " Modifier", " Supprimer" and " &Fermer". A double click acts as " Modifier", and
// Ctrl+Delete in the grid as " Supprimer" (with its question). Deleting an entry deletes every person-analysis that
// uses it, in every record, with their results.
class TAnalysisList : public QDialog {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("  Liste des analyses");
    static inline const QString kDeleteQuestion = QStringLiteral("Désirez-vous supprimer cette analyse ?");

    explicit TAnalysisList(TDataModule1& data, QWidget* owner = nullptr);
    ~TAnalysisList() override;

    // Opens the catalogue modally (the toolbar's "&Analyses").
    static void Open(QWidget* owner, TDataModule1& data);

    QTableView* grid() const { return m_grid; }

    void Btn_AddClick();
    void Btn_EditClick();
    void Btn_DeleteClick();

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateButtons();
    // The grid shows the catalogue query's current row.
    void followCurrentRow();
    bool runEditor();

    TDataModule1& m_data;
    Dataset& m_catalogue;
    DatasetModel* m_model;
    QTableView* m_grid;
    QPushButton* m_add;
    QPushButton* m_edit;
    QPushButton* m_delete;
};
