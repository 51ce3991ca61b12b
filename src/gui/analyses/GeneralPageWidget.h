#pragma once

#include "core/analyses/AnalysisChart.h"
#include "core/analyses/AnalysisList.h"
#include "core/analyses/PersonAnalyses.h"
#include "core/analyses/ValueFormat.h"

#include <QPointer>
#include <QWidget>

class AnalysisChartWidget;
class AnalysisListDelegate;
class AnalysisListModel;
class Dataset;
class DatasetModel;
class QMenu;
class QTableView;
class QToolButton;
class TDataModule1;
class ValueCellDelegate;

// The "Général" page: at the top the person's analysis list with the buttons to attach, change and remove an
// analysis; in the middle the chart of the current person-analysis with its mode, save and print buttons; at the
// bottom the grid of its results with the buttons to add, change and remove a result. The page owns the current
// person-analysis (an L_ANALYSIS Id, -1 for none) and the chart mode.
class GeneralPageWidget : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Général");
    static inline const QString kNoAnalysisTitle = ::kNoAnalysisTitle;
    static inline const QString kAllAttached =
        QStringLiteral("Vous avez déjà sélectionné toutes les analyses disponibles.");
    static inline const QString kNotFound = QStringLiteral("Analyse introuvable ?");
    static inline const QString kRemoveQuestion = QStringLiteral("Souhaitez-vous retirer cette analyses ?");
    static inline const QString kRemoveResultQuestion =
        QStringLiteral("Confirmez-vous la suppression de cette valeur ?");
    // The mode menu opens this far to the left of its button.
    static constexpr int kModeMenuOffset = 100;

    explicit GeneralPageWidget(TDataModule1* data, QWidget* parent = nullptr);

    qint64 currentPersonAnalysis() const { return m_currentPersonAnalysis; }
    // Sets the current person-analysis without reading anything (the main window resets it to -1
    // when the current person changes).
    void setCurrentPersonAnalysis(qint64 id) { m_currentPersonAnalysis = id; }
    // The catalogue title of the current person-analysis, or "Pas d'analyses".
    QString currentAnalysisTitle() const { return m_currentAnalysisTitle; }
    // The patterns the results are written with.
    const ValuePatterns& valuePatterns() const { return m_patterns; }

    // Makes n current, or when there is no such person-analysis the person's first one (database
    // order), or -1; then reads its results and draws the chart. personId is -1 when the person list is empty.
    void selectPersonAnalysis(qint64 n, qint64 personId);
    // Shows the page for the person: its chart mode is read back, the current person-analysis is selected again and
    // the analysis list reloaded.
    void refreshPage(qint64 personId);
    // Rebuilds the analysis list of the person shown and highlights the row of selectedId (the first row when it is
    // -1 or not in the list).
    void loadAnalysisList(qint64 selectedId);
    // Leaving the page: the results query is closed.
    void releaseData();

    // The chart mode in force; choosing one writes it into the person's record and draws the chart again.
    ChartMode chartMode() const { return m_mode; }
    void chooseChartMode(ChartMode mode);
    const AnalysisChart& chart() const { return m_chartModel; }
    // The chart drawn on white at width x height into a Windows bitmap file (reports and web page).
    bool exportChartPicture(int width, int height, const QString& file, QString* error = nullptr) const;
    // The person as picture names and report titles name them.
    QString personName() const;

    // The page's commands.
    void attachAnalysis();
    void changeAnalysis();
    void removeAnalysis();
    void addResult();
    void changeResult();
    void removeResult();
    void saveChart();
    // A click on a row of the analysis list.
    void analysisRowClicked(int row);

    QTableView* analysisList() const { return m_analysisList; }
    const AnalysisList& analysisEntries() const { return m_list; }
    QTableView* resultsGrid() const { return m_resultsGrid; }
    AnalysisChartWidget* chartWidget() const { return m_chart; }
    QMenu* modeMenu() const { return m_modeMenu; }
    // Where the mode menu opens, in screen coordinates.
    QPoint modeMenuPosition() const;

signals:
    void commandStatesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool commandEnabled(const QString& name) const;
    void drawChart();
    void showModeMenu();
    void highlightRow(int row);
    void reselectKeepingResult(qint64 resultId);

    TDataModule1* m_data;
    Dataset* m_results;
    DatasetModel* m_resultsModel;
    ValueCellDelegate* m_valueDelegate;
    AnalysisList m_list;
    AnalysisListModel* m_listModel;
    AnalysisListDelegate* m_listDelegate;
    QTableView* m_analysisList;
    AnalysisChartWidget* m_chart;
    QToolButton* m_modeButton = nullptr;
    QMenu* m_modeMenu = nullptr;
    QTableView* m_resultsGrid;
    qint64 m_personId = -1;
    qint64 m_currentPersonAnalysis = -1;
    QString m_currentAnalysisTitle = kNoAnalysisTitle;
    ValuePatterns m_patterns = DefaultValuePatterns();
    ChartMode m_mode = kDefaultChartMode;
    AnalysisChart m_chartModel;
    bool m_highlighting = false;
    int m_rowJustSelected = -1;
};
