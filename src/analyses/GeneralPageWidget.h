#pragma once

#include <QWidget>

class Dataset;
class DatasetModel;
class QTableView;

// The "Général" page: at the top the person's analysis list with the buttons to attach, change and
// remove an analysis; in the middle the chart of the current person-analysis with its mode, save
// and print buttons; at the bottom the grid of its results with the buttons to add, change and
// remove a result. The page owns the current person-analysis (an L_ANALYSIS Id, -1 for none).
class GeneralPageWidget : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Général");
    static inline const QString kNoAnalysisTitle = QStringLiteral("Pas d'analyses");

    GeneralPageWidget(Dataset* results, QWidget* parent = nullptr);

    qint64 currentPersonAnalysis() const { return m_currentPersonAnalysis; }
    // Sets the current person-analysis without reading anything (the main window resets it to -1
    // when the current person changes).
    void setCurrentPersonAnalysis(qint64 id) { m_currentPersonAnalysis = id; }
    // The catalogue title of the current person-analysis, or "Pas d'analyses".
    QString currentAnalysisTitle() const { return m_currentAnalysisTitle; }

    // Makes n current, or when there is no such person-analysis the person's first one (database
    // order), or -1; then reads its results. personId is -1 when the person list is empty.
    void selectPersonAnalysis(qint64 n, qint64 personId);
    // Shows the page for the person: the current person-analysis is selected again.
    void refreshPage(qint64 personId);
    // Leaving the page: the results query is closed.
    void releaseData();

    QTableView* resultsGrid() const { return m_resultsGrid; }

signals:
    void commandStatesChanged();

private:
    Dataset* m_results;
    DatasetModel* m_resultsModel;
    QTableView* m_analysisList;
    QTableView* m_resultsGrid;
    qint64 m_currentPersonAnalysis = -1;
    QString m_currentAnalysisTitle = kNoAnalysisTitle;
};
