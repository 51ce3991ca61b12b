#include "analyses/GeneralPageWidget.h"

#include "app/MessageService.h"
#include "controls/ButtonGlyphs.h"
#include "app/SqlClauses.h"
#include "controls/DateCellDelegate.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"
#include "db/DatasetRoutines.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QVBoxLayout* ButtonColumn(const QList<QWidget*>& buttons) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    for (QWidget* button : buttons)
        column->addWidget(button);
    column->addStretch(1);
    return column;
}

void ShowDatabaseError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

} // namespace

GeneralPageWidget::GeneralPageWidget(Dataset* results, QWidget* parent)
    : QWidget(parent), m_results(results),
      m_resultsModel(new DatasetModel(results,
                                      {{QStringLiteral("Date_Analysis"), QStringLiteral("Date")},
                                       {QStringLiteral("Value_Analysis"), QStringLiteral("Valeur")},
                                       {QStringLiteral("Value_Min"), QStringLiteral("Valeur mini")},
                                       {QStringLiteral("Value_Max"), QStringLiteral("Valeur max")},
                                       {QStringLiteral("Remark1"), QStringLiteral("Observations")}},
                                      this)),
      m_analysisList(new QTableView(this)), m_resultsGrid(new QTableView(this)) {
    setObjectName(QStringLiteral("Page_General"));
    setWindowTitle(kCaption);

    // The analysis list: one card per person-analysis, drawn by the analysis list itself.
    m_analysisList->setObjectName(QStringLiteral("Grid_AnalysisList"));
    m_analysisList->horizontalHeader()->hide();
    m_analysisList->verticalHeader()->hide();
    m_analysisList->setShowGrid(false);
    m_analysisList->setMinimumHeight(4 * 32 + 2);
    m_analysisList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The search field and its button take part in the command states only: the list replaces them.
    auto* searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("Ed_Analysis"));
    searchEdit->hide();
    auto* searchButton = new QToolButton(this);
    searchButton->setObjectName(QStringLiteral("Btn_Analysis"));
    searchButton->hide();
    auto* analysisRow = new QHBoxLayout;
    analysisRow->addWidget(m_analysisList, 1);
    analysisRow->addLayout(
        ButtonColumn({PageButton(this, QStringLiteral("Btn_Analysis_Add"), QStringLiteral("Ajouter"),
                                 QStringLiteral("Ajouter une analyse"), ButtonGlyph::Add),
                      PageButton(this, QStringLiteral("Btn_Analysis_Edit"), QStringLiteral("Modifier"),
                                 QStringLiteral("Modifier cette analyse"), ButtonGlyph::Edit),
                      PageButton(this, QStringLiteral("Btn_Analysis_Delete"), QStringLiteral("Retirer"),
                                 QStringLiteral("Retirer cette analyse"), ButtonGlyph::Delete)}));

    // The chart of the current person-analysis, on its blue gradient.
    auto* chart = new QFrame(this);
    chart->setObjectName(QStringLiteral("Chart_Analysis"));
    chart->setMinimumHeight(150);
    chart->setStyleSheet(QStringLiteral("#Chart_Analysis { border: 1px solid rgb(100, 100, 255);"
                                        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgb(128, 128, "
                                        "255), stop:1 rgb(223, 223, 255)); }"));
    auto* chartRow = new QHBoxLayout;
    chartRow->addWidget(chart, 1);
    chartRow->addLayout(ButtonColumn({PageButton(this, QStringLiteral("Btn_Chart_Type"), QStringLiteral("Mode"),
                                                 QStringLiteral("Années ou dates"), ButtonGlyph::ChartMode),
                                      PageButton(this, QStringLiteral("Btn_Chart_Save"), QStringLiteral("Enregistrer"),
                                                 QStringLiteral("Enregistrer le graphique"), ButtonGlyph::Save),
                                      PageButton(this, QStringLiteral("Btn_Chart_Print"), QStringLiteral("Imprimer"),
                                                 QStringLiteral("Imprimer le graphique"), ButtonGlyph::Print)}));

    m_resultsGrid->setObjectName(QStringLiteral("Grid_AnalysisValue"));
    m_resultsGrid->setModel(m_resultsModel);
    m_resultsGrid->setItemDelegateForColumn(0, new DateCellDelegate(m_resultsGrid));
    m_resultsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_resultsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultsGrid->setAlternatingRowColors(true);
    m_resultsGrid->verticalHeader()->hide();
    m_resultsGrid->verticalHeader()->setDefaultSectionSize(20);
    m_resultsGrid->horizontalHeader()->setStretchLastSection(true);
    const int digit = m_resultsGrid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int column = 0; column < 4; ++column)
        m_resultsGrid->setColumnWidth(column, digit * 12 + 8);
    QPalette colours = m_resultsGrid->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::AlternateBase, QColor(232, 243, 255));
    colours.setColor(QPalette::Highlight, QColor(49, 106, 197));
    m_resultsGrid->setPalette(colours);
    connect(m_resultsGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && m_results->isOpen() && !m_results->isEditing())
                    m_results->moveTo(current.row());
            });
    auto* resultsRow = new QHBoxLayout;
    resultsRow->addWidget(m_resultsGrid, 1);
    resultsRow->addLayout(
        ButtonColumn({PageButton(this, QStringLiteral("Btn_AnalysisValue_Add"), QStringLiteral("Ajouter"),
                                 QStringLiteral("Ajouter une valeur"), ButtonGlyph::Add),
                      PageButton(this, QStringLiteral("Btn_AnalysisValue_Edit"), QStringLiteral("Modifier"),
                                 QStringLiteral("Modifier cette valeur"), ButtonGlyph::Edit),
                      PageButton(this, QStringLiteral("Btn_AnalysisValue_Delete"), QStringLiteral("Supprimer"),
                                 QStringLiteral("Supprimer cette valeur"), ButtonGlyph::Delete)}));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(analysisRow);
    layout->addLayout(chartRow, 3);
    layout->addLayout(resultsRow, 2);
}

void GeneralPageWidget::selectPersonAnalysis(qint64 n, qint64 personId) {
    QString error;
    qint64 current = -1;
    if (personId >= 0) {
        current = QueryInteger(QStringLiteral("SELECT id FROM L_ANALYSIS Where Id=") + QString::number(n),
                               m_results->connectionName(), &error);
        ShowDatabaseError(error);
        if (current == -1) {
            current =
                QueryInteger(QStringLiteral("SELECT id FROM L_ANALYSIS Where Id_Ref=") + QString::number(personId),
                             m_results->connectionName(), &error);
            ShowDatabaseError(error);
        }
    }
    m_currentPersonAnalysis = current;
    m_results->close();

    m_currentAnalysisTitle = kNoAnalysisTitle;
    if (current >= 0) {
        QSqlDatabase db = QSqlDatabase::database(m_results->connectionName(), false);
        QSqlQuery query(db);
        const QString statement =
            QStringLiteral("SELECT L_ANALYSIS.Id, LST_ANALYSIS.Title, L_ANALYSIS.Decimal, L_ANALYSIS.Unit FROM "
                           "L_ANALYSIS LEFT JOIN LST_ANALYSIS ON L_ANALYSIS.Id_Analysis = LST_ANALYSIS.Id WHERE "
                           "L_ANALYSIS.Id=") +
            QString::number(current);
        if (query.exec(StatementFor(db, statement)) && query.next()) m_currentAnalysisTitle = query.value(1).toString();
    }

    const int whereLine = FindClauseLine(m_results->sql(), QStringLiteral("WHERE"));
    if (whereLine >= 0) m_results->setSqlLine(whereLine, QStringLiteral("WHERE ID_REF=") + QString::number(current));
    if (!m_results->open(&error)) ShowDatabaseError(error);
    if (!m_results->isEmpty()) m_resultsGrid->setCurrentIndex(m_resultsModel->index(0, 0));
}

void GeneralPageWidget::refreshPage(qint64 personId) {
    selectPersonAnalysis(m_currentPersonAnalysis, personId);
}

void GeneralPageWidget::releaseData() {
    m_results->close();
}
