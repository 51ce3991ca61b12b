#pragma once

#include <QWidget>

class Dataset;
class DatasetModel;
class QTableView;
class QToolButton;

// The "Evénements" page: the grid of the current person's events, in date and time order, with the
// buttons to add, change and delete an event. The Event query is open only while the page shows.
class EventsPageWidget : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Evénements");

    explicit EventsPageWidget(Dataset* events, QWidget* parent = nullptr);

    // Reads the person's events again: the query's second line selects them (personId -1: none).
    void RefreshEvents(qint64 personId);
    // Leaving the page: the Event query is closed.
    void releaseData();

    QTableView* grid() const { return m_grid; }

    // The page's commands: a new event of today for the person, the selected event changed or deleted.
    void Btn_Event_AddClick();
    void Btn_Event_EditClick();
    void Btn_Event_DeleteClick();

signals:
    // The selection or the rows changed: the main window recomputes its command states.
    void commandStatesChanged();

private:
    void selectCurrentRow();

    Dataset* m_events;
    DatasetModel* m_model;
    QTableView* m_grid;
    qint64 m_personId = -1;
};
