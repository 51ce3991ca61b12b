#pragma once

#include <QDialog>

class Dataset;
class QPushButton;

// A dialog working on a query's current row, which its caller has put into insert or edit state. " &Ok", while
// enabled, writes the fields into the row and posts it (an error is shown and the dialog stays open); " &Annuler",
// Escape and the close button cancel the row's changes, so that an appended row disappears.
class DataBoundDialog : public QDialog {
    Q_OBJECT
public:
    QPushButton* okButton() const { return m_ok; }

    void Btn_OkClick();
    void Btn_CancelClick();

protected:
    DataBoundDialog(Dataset& row, QWidget* owner);

    Dataset& row() const { return m_row; }
    // The dialog's " &Ok" and " &Annuler", connected to Btn_OkClick and Btn_CancelClick.
    void setButtons(QPushButton* ok, QPushButton* cancel);
    // Runs once the row is posted, before the dialog closes.
    virtual void rowPosted() {}

    void reject() override;

private:
    Dataset& m_row;
    QPushButton* m_ok = nullptr;
    bool m_closing = false;
};
