#pragma once

#include <QDialog>

class Dataset;
class MaskEdit;
class QPlainTextEdit;
class QPushButton;

// The event dialog: the date (with the date picker), the time and the description of the current row of the Event
// query, which the caller has put into insert or edit state. Ok posts the row, and is usable only while the
// description is not empty; a date that does not exist is refused with a message and the dialog stays open.
// Annuler and the close button cancel the row's pending insert or edit.
class TEnterEvents : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDescriptionMaxLength = 255;

    explicit TEnterEvents(Dataset& events, QWidget* owner = nullptr);

    void accept() override;
    void reject() override;

private:
    void updateOk();
    void limitDescription();

    Dataset& m_events;
    MaskEdit* m_date;
    MaskEdit* m_time;
    QPlainTextEdit* m_description;
    QPushButton* m_ok;
};

// Shows the event dialog on the current row of events; true when it was closed with Ok.
bool EnterEvent(QWidget* owner, Dataset& events);
