#include "gui/analyses/GeneralPageWidget.h"

#include "core/analyses/AnalysisListModel.h"
#include "core/analyses/ChartPictures.h"
#include "core/app/DateRoutines.h"
#include "core/app/Folders.h"
#include "core/app/MessageService.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetModel.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"
#include "core/documents/StoredPictures.h"
#include "core/records/CommandStates.h"
#include "gui/analyses/AnalysisChartWidget.h"
#include "gui/analyses/AnalysisListDelegate.h"
#include "gui/analyses/TEnterAnalysisValue.h"
#include "gui/analyses/TEnterPersonAnalysis.h"
#include "gui/analyses/ValueCellDelegate.h"
#include "gui/controls/ButtonGlyphs.h"
#include "gui/controls/DateCellDelegate.h"
#include "gui/controls/FileDialogs.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
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

void ShowError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

} // namespace

GeneralPageWidget::GeneralPageWidget(TDataModule1* data, QWidget* parent)
    : QWidget(parent), m_data(data), m_results(data->Analysis),
      m_resultsModel(new DatasetModel(m_results,
                                      {{QStringLiteral("Date_Analysis"), QStringLiteral("Date")},
                                       {QStringLiteral("Value_Analysis"), QStringLiteral("Valeur")},
                                       {QStringLiteral("Value_Min"), QStringLiteral("Valeur mini")},
                                       {QStringLiteral("Value_Max"), QStringLiteral("Valeur max")},
                                       {QStringLiteral("Remark1"), QStringLiteral("Observations")}},
                                      this)),
      m_valueDelegate(new ValueCellDelegate(this)), m_listModel(new AnalysisListModel(&m_list, this)),
      m_listDelegate(new AnalysisListDelegate(&m_list, this)), m_analysisList(new QTableView(this)),
      m_chart(new AnalysisChartWidget(this)), m_resultsGrid(new QTableView(this)),
      m_chartModel(BuildAnalysisChart({}, kDefaultChartMode, kNoAnalysisTitle)) {
    setObjectName(QStringLiteral("Page_General"));
    setWindowTitle(kCaption);

    // The analysis list: one card per person-analysis, drawn from the list in memory.
    m_analysisList->setObjectName(QStringLiteral("Grid_AnalysisList"));
    m_analysisList->setModel(m_listModel);
    m_analysisList->setItemDelegate(m_listDelegate);
    m_analysisList->horizontalHeader()->hide();
    m_analysisList->horizontalHeader()->setStretchLastSection(true);
    m_analysisList->verticalHeader()->hide();
    m_analysisList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_analysisList->verticalHeader()->setMinimumSectionSize(AnalysisListDelegate::kRowHeight);
    m_analysisList->verticalHeader()->setDefaultSectionSize(AnalysisListDelegate::kRowHeight +
                                                            AnalysisListDelegate::kRowGap);
    m_analysisList->setShowGrid(false);
    m_analysisList->setWordWrap(false);
    m_analysisList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_analysisList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_analysisList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_analysisList->setTabKeyNavigation(false);
    m_analysisList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_analysisList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_analysisList->setFixedHeight(4 * (AnalysisListDelegate::kRowHeight + AnalysisListDelegate::kRowGap) + 2 +
                                   2 * m_analysisList->frameWidth());
    m_analysisList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QPalette listColours = m_analysisList->palette();
    listColours.setColor(QPalette::Base, Qt::white);
    m_analysisList->setPalette(listColours);
    connect(m_analysisList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_highlighting || !current.isValid()) return;
                m_rowJustSelected = current.row();
                analysisRowClicked(current.row());
            });
    connect(m_analysisList, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        // The press that made the row current has already selected it.
        const bool handled = index.row() == m_rowJustSelected;
        m_rowJustSelected = -1;
        if (!handled && index.isValid()) analysisRowClicked(index.row());
    });
    connect(m_analysisList, &QAbstractItemView::doubleClicked, this, [this] { changeAnalysis(); });

    // The search field and its button take part in the command states only: the list replaces them.
    auto* searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("Ed_Analysis"));
    searchEdit->hide();
    auto* searchButton = new QToolButton(this);
    searchButton->setObjectName(QStringLiteral("Btn_Analysis"));
    searchButton->hide();

    QToolButton* attach = PageButton(this, Command::kAnalysisAdd, QStringLiteral("Ajouter"),
                                     QStringLiteral("Ajouter une analyse"), ButtonGlyph::Add);
    QToolButton* change = PageButton(this, Command::kAnalysisChange, QStringLiteral("Modifier"),
                                     QStringLiteral("Modifier cette analyse"), ButtonGlyph::Edit);
    QToolButton* remove = PageButton(this, Command::kAnalysisDelete, QStringLiteral("Retirer"),
                                     QStringLiteral("Retirer cette analyse"), ButtonGlyph::Delete);
    connect(attach, &QToolButton::clicked, this, &GeneralPageWidget::attachAnalysis);
    connect(change, &QToolButton::clicked, this, &GeneralPageWidget::changeAnalysis);
    connect(remove, &QToolButton::clicked, this, &GeneralPageWidget::removeAnalysis);
    auto* analysisRow = new QHBoxLayout;
    analysisRow->addWidget(m_analysisList, 1, Qt::AlignTop);
    analysisRow->addLayout(ButtonColumn({attach, change, remove}));

    // The chart with its column of buttons: mode, save, and the chart report, each in a place of its own.
    m_modeButton = PageButton(this, Command::kChartType, QStringLiteral("Mode"), QStringLiteral("Années ou dates"),
                              ButtonGlyph::ChartMode);
    QToolButton* save = PageButton(this, Command::kChartSave, QStringLiteral("Enregistrer"),
                                   QStringLiteral("Enregistrer le graphique"), ButtonGlyph::Save);
    // The chart report comes with the printed reports.
    QToolButton* print = PageButton(this, Command::kChartPrint, QStringLiteral("Imprimer"),
                                    QStringLiteral("Imprimer le graphique"), ButtonGlyph::Print);
    m_modeMenu = new QMenu(this);
    m_modeMenu->setObjectName(QStringLiteral("Popup_ChartMode"));
    auto* modes = new QActionGroup(m_modeMenu);
    for (const auto& [name, text, mode] : {std::tuple{"Menu_ChartYears", "Années", ChartMode::Years},
                                           std::tuple{"Menu_ChartDates", "Dates", ChartMode::Dates}}) {
        QAction* action = m_modeMenu->addAction(QString::fromUtf8(text));
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        action->setData(int(mode));
        modes->addAction(action);
        const ChartMode chosen = mode;
        connect(action, &QAction::triggered, this, [this, chosen] { chooseChartMode(chosen); });
    }
    connect(m_modeButton, &QToolButton::clicked, this, &GeneralPageWidget::showModeMenu);
    connect(save, &QToolButton::clicked, this, &GeneralPageWidget::saveChart);
    auto* chartRow = new QHBoxLayout;
    chartRow->addWidget(m_chart, 1);
    chartRow->addLayout(ButtonColumn({m_modeButton, save, print}));

    m_resultsGrid->setObjectName(QStringLiteral("Grid_AnalysisValue"));
    m_resultsGrid->setModel(m_resultsModel);
    m_resultsGrid->setItemDelegateForColumn(0, new DateCellDelegate(m_resultsGrid));
    for (int column = 1; column <= 3; ++column)
        m_resultsGrid->setItemDelegateForColumn(column, m_valueDelegate);
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
    m_resultsGrid->installEventFilter(this);
    connect(m_resultsGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && m_results->isOpen() && !m_results->isEditing())
                    m_results->moveTo(current.row());
            });
    connect(m_resultsGrid, &QAbstractItemView::doubleClicked, this, [this] { changeResult(); });

    QToolButton* addValue = PageButton(this, Command::kValueAdd, QStringLiteral("Ajouter"),
                                       QStringLiteral("Ajouter une valeur"), ButtonGlyph::Add);
    QToolButton* editValue = PageButton(this, Command::kValueEdit, QStringLiteral("Modifier"),
                                        QStringLiteral("Modifier cette valeur"), ButtonGlyph::Edit);
    QToolButton* deleteValue = PageButton(this, Command::kValueDelete, QStringLiteral("Supprimer"),
                                          QStringLiteral("Supprimer cette valeur"), ButtonGlyph::Delete);
    connect(addValue, &QToolButton::clicked, this, &GeneralPageWidget::addResult);
    connect(editValue, &QToolButton::clicked, this, &GeneralPageWidget::changeResult);
    connect(deleteValue, &QToolButton::clicked, this, &GeneralPageWidget::removeResult);
    auto* resultsRow = new QHBoxLayout;
    resultsRow->addWidget(m_resultsGrid, 1);
    resultsRow->addLayout(ButtonColumn({addValue, editValue, deleteValue}));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(analysisRow);
    layout->addLayout(chartRow, 3);
    layout->addLayout(resultsRow, 2);
    m_chart->setChart(m_chartModel);
}

bool GeneralPageWidget::commandEnabled(const QString& name) const {
    const auto* control = findChild<QWidget*>(name);
    return control && control->isEnabled();
}

void GeneralPageWidget::selectPersonAnalysis(qint64 n, qint64 personId) {
    m_personId = personId;
    QString error;
    const PersonAnalysisSelection selection = ResolvePersonAnalysis(m_results->connectionName(), n, personId, &error);
    ShowError(error);
    m_currentPersonAnalysis = selection.current;
    m_results->close();
    m_currentAnalysisTitle = selection.title;
    if (selection.patterns) {
        m_patterns = *selection.patterns;
        m_valueDelegate->setPatterns(m_patterns);
    }
    error.clear();
    if (!OpenPersonAnalysisResults(*m_results, m_currentPersonAnalysis, &error)) ShowError(error);
    if (!m_results->isEmpty()) m_resultsGrid->setCurrentIndex(m_resultsModel->index(0, 0));
    m_resultsGrid->viewport()->update();
    drawChart();
    emit commandStatesChanged();
}

void GeneralPageWidget::drawChart() {
    m_chartModel = BuildAnalysisChart(ReadChartResults(*m_results), m_mode, m_currentAnalysisTitle);
    m_chart->setChart(m_chartModel);
}

void GeneralPageWidget::refreshPage(qint64 personId) {
    // Each record keeps the mode it was last shown in.
    const Dataset* person = m_data->Person;
    if (personId >= 0 && person->isOpen() && person->recNo() >= 0 &&
        person->asInteger(QStringLiteral("Id")) == personId)
        m_mode = ChartModeFromStored(person->value(QStringLiteral("AnalysisMode")));
    selectPersonAnalysis(m_currentPersonAnalysis, personId);
    loadAnalysisList(m_currentPersonAnalysis);
}

void GeneralPageWidget::loadAnalysisList(qint64 selectedId) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const int row = m_list.load(m_results->connectionName(), m_personId, selectedId, &error);
    m_listModel->listReset();
    highlightRow(row);
    m_analysisList->viewport()->update();
    QGuiApplication::restoreOverrideCursor();
    ShowError(error);
}

void GeneralPageWidget::highlightRow(int row) {
    m_highlighting = true;
    const QModelIndex index = m_listModel->index(row, 0);
    if (row < m_list.count()) {
        m_analysisList->setCurrentIndex(index);
    } else {
        m_analysisList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::Clear);
    }
    m_analysisList->scrollTo(index);
    m_highlighting = false;
}

void GeneralPageWidget::analysisRowClicked(int row) {
    // With no entry the blank row selects the current person-analysis again.
    const qint64 id = m_list.isEmpty() ? m_currentPersonAnalysis : m_list.idAt(row);
    if (!m_list.isEmpty() && id < 0) return;
    selectPersonAnalysis(id, m_personId);
}

void GeneralPageWidget::releaseData() {
    m_results->close();
}

// ---- Person-analyses ----

void GeneralPageWidget::attachAnalysis() {
    if (m_personId < 0) return;
    QString error;
    const CatalogueChoices choices = UnattachedCatalogueEntries(m_results->connectionName(), m_personId, &error);
    if (!error.isEmpty()) {
        ShowError(error);
        return;
    }
    if (choices.ids.isEmpty()) {
        Messages().show(MessageIcon::Information, QString(), kAllAttached);
        return;
    }
    Dataset& personAnalyses = *m_data->L_Analysis;
    if (!BeginPersonAnalysis(personAnalyses, m_personId, &error)) {
        ShowError(error);
        return;
    }
    {
        TEnterPersonAnalysis dialog(personAnalyses, m_personId, this);
        if (dialog.exec() == QDialog::Accepted) m_currentPersonAnalysis = dialog.postedId();
    }
    if (personAnalyses.isEditing()) personAnalyses.cancel();
    selectPersonAnalysis(m_currentPersonAnalysis, m_personId);
    loadAnalysisList(m_currentPersonAnalysis);
}

void GeneralPageWidget::changeAnalysis() {
    if (!commandEnabled(Command::kAnalysisChange)) return;
    Dataset& personAnalyses = *m_data->L_Analysis;
    QString error;
    if (!LocatePersonAnalysis(personAnalyses, m_currentPersonAnalysis, &error)) {
        personAnalyses.close();
        if (!error.isEmpty())
            ShowError(error);
        else
            Messages().show(MessageIcon::Question, QString(), kNotFound);
        return;
    }
    if (!personAnalyses.edit()) return;
    {
        TEnterPersonAnalysis dialog(personAnalyses, m_personId, this);
        if (dialog.exec() == QDialog::Accepted) m_currentPersonAnalysis = dialog.postedId();
    }
    if (personAnalyses.isEditing()) personAnalyses.cancel();
    selectPersonAnalysis(m_currentPersonAnalysis, m_personId);
    loadAnalysisList(m_currentPersonAnalysis);
}

void GeneralPageWidget::removeAnalysis() {
    if (!commandEnabled(Command::kAnalysisDelete) || m_currentPersonAnalysis < 0) return;
    if (!Messages().ask(QString(), kRemoveQuestion)) return;
    QString error;
    m_results->close();
    if (!RemovePersonAnalysis(*m_data->Query, m_currentPersonAnalysis, &error)) ShowError(error);
    selectPersonAnalysis(-1, m_personId);
    loadAnalysisList(m_currentPersonAnalysis);
}

// ---- Results ----

void GeneralPageWidget::reselectKeepingResult(qint64 resultId) {
    selectPersonAnalysis(m_currentPersonAnalysis, m_personId);
    if (resultId >= 0 && m_results->locate(resultId))
        m_resultsGrid->setCurrentIndex(m_resultsModel->index(m_results->recNo(), 0));
}

void GeneralPageWidget::addResult() {
    if (!commandEnabled(Command::kValueAdd) || m_currentPersonAnalysis < 0) return;
    QString error;
    if (!BeginNewResult(*m_results, m_currentPersonAnalysis, Today(), &error)) {
        ShowError(error);
        return;
    }
    bool confirmed = false;
    {
        TEnterAnalysisValue dialog(*m_results, m_patterns, this);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    if (m_results->isEditing()) m_results->cancel();
    const qint64 added = confirmed ? m_results->asInteger(QStringLiteral("Id")) : -1;
    if (confirmed) reselectKeepingResult(added);
    emit commandStatesChanged();
}

void GeneralPageWidget::changeResult() {
    if (!commandEnabled(Command::kValueEdit) || m_results->isEmpty() || !m_results->edit()) return;
    const qint64 id = m_results->asInteger(QStringLiteral("Id"));
    bool confirmed = false;
    {
        TEnterAnalysisValue dialog(*m_results, m_patterns, this);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    if (m_results->isEditing()) m_results->cancel();
    if (confirmed) reselectKeepingResult(id);
}

void GeneralPageWidget::removeResult() {
    if (!commandEnabled(Command::kValueDelete) || m_results->isEmpty()) return;
    if (!Messages().ask(QString(), kRemoveResultQuestion)) return;
    QString error;
    if (!m_results->remove(&error)) ShowError(error);
    selectPersonAnalysis(m_currentPersonAnalysis, m_personId);
}

bool GeneralPageWidget::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Delete in the results grid removes the result as its button does, question included.
    if (watched == m_resultsGrid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            removeResult();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Chart ----

QPoint GeneralPageWidget::modeMenuPosition() const {
    return m_modeButton->mapToGlobal(QPoint(-kModeMenuOffset, 0));
}

void GeneralPageWidget::showModeMenu() {
    for (QAction* action : m_modeMenu->actions())
        action->setChecked(action->data().toInt() == int(m_mode));
    m_modeMenu->popup(modeMenuPosition());
}

void GeneralPageWidget::chooseChartMode(ChartMode mode) {
    // The record keeps the mode; writing it reaches the main window as a change of the record, which shows the
    // record's first person-analysis again.
    Dataset* person = m_data->Person;
    if (m_personId >= 0 && person->isOpen() && person->recNo() >= 0 &&
        person->asInteger(QStringLiteral("Id")) == m_personId && EnsureEditing(*person)) {
        person->setValue(QStringLiteral("AnalysisMode"), int(mode));
        QString error;
        if (!person->post(&error)) {
            person->cancel();
            ShowError(error);
        }
    }
    // The refresh that the record's change caused has read the mode back; without a record it is set here.
    m_mode = mode;
    drawChart();
}

QString GeneralPageWidget::personName() const {
    const Dataset* person = m_data->Person;
    if (m_personId < 0 || !person->isOpen() || person->recNo() < 0) return {};
    return ChartPersonName(person->asString(QStringLiteral("Name")), person->asString(QStringLiteral("ForeName")));
}

void GeneralPageWidget::saveChart() {
    const QString proposed = DataDir() + ProposedChartPictureName(m_chartModel.title, personName(), Today());
    const QString file =
        FileDialogs::askSaveFile(this, QStringLiteral("Enregistrer l'image sous ..."),
                                 QStringLiteral("Image Jpeg (*.jpg)"), QStringLiteral("jpg"), proposed);
    if (file.isEmpty()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool saved = SaveChartJpeg(m_chartModel, file, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!saved) ShowError(error);
}

bool GeneralPageWidget::exportChartPicture(int width, int height, const QString& file, QString* error) const {
    return ExportChartPicture(m_chartModel, width, height, file, error);
}
