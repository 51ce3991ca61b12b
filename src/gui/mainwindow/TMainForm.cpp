#include "gui/mainwindow/TMainForm.h"

#include "core/app/DateRoutines.h"
#include "core/app/MessageService.h"
#include "core/app/Product.h"
#include "core/app/Settings.h"
#include "core/app/ShellOpeners.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"
#include "core/mail/SmtpSettingsCheck.h"
#include "core/records/CommandStates.h"
#include "core/records/CurrencySymbol.h"
#include "core/records/MainWindowPlacement.h"
#include "core/records/PersonListModel.h"
#include "core/records/RecordActions.h"
#include "gui/analyses/GeneralPageWidget.h"
#include "gui/analyses/TAnalysisList.h"
#include "gui/app/TProperties.h"
#include "gui/controls/ButtonGlyphs.h"
#include "gui/controls/ClockLabelWidget.h"
#include "gui/controls/FormConventions.h"
#include "gui/db/BackupCommandsUi.h"
#include "gui/documents/DocumentsPageWidget.h"
#include "gui/records/EventsPageWidget.h"
#include "gui/records/PersonListDelegate.h"
#include "gui/records/RecordEditing.h"
#include "gui/records/TAbout.h"
#include "gui/records/TMiniCalendar.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kDeleteQuestion = QStringLiteral("Confirmez-vous la suppression de ce carnet de santé ?");
// The maker line of the bottom bar; the year is today's.
const QString kBottomText =
    QStringLiteral("  © 2008 ") + Product::kMakerName + QStringLiteral(" - ") + Product::kWebSite;

constexpr int kLeftBarWidth = 72;
constexpr int kPersonButtonsHeight = 40;
constexpr int kPersonButtonSide = 34;

QToolButton* ToolBarButton(QToolBar* bar, const QString& name, const QString& text, const QIcon& icon,
                           QMenu* menu = nullptr) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    if (menu) {
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    }
    bar->addWidget(button);
    return button;
}

QAction* MenuAction(QMenu* menu, const QString& name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

QToolButton* SquareButton(QWidget* parent, const QString& name, const QString& hint, const QIcon& icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setFixedSize(kPersonButtonSide, kPersonButtonSide);
    return button;
}

WindowShowState ShowStateOf(const QWidget* window) {
    if (window->isMaximized()) return WindowShowState::Maximized;
    if (window->isMinimized()) return WindowShowState::Minimized;
    return WindowShowState::Normal;
}

void ShowError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), m_data(DataModule1()) {
    Q_ASSERT(m_data);
    setObjectName(QStringLiteral("MainForm"));
    // Sizes strictly above 640 x 480 only.
    setMinimumSize(641, 481);

    buildToolBar();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Panel_Main"));
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildPersonPanel());
    splitter->addWidget(buildPagesPanel());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 550});

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(buildLeftBar());
    body->addWidget(splitter, 1);

    auto* bottom = new QFrame(central);
    bottom->setObjectName(QStringLiteral("Panel_Bottom"));
    bottom->setFrameShape(QFrame::StyledPanel);
    m_bottomLabel = new QLabel(kBottomText, bottom);
    m_bottomLabel->setObjectName(QStringLiteral("Lab_Bottom"));
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 2, 4, 2);
    bottomLayout->addWidget(m_bottomLabel);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(bottom);
    setCentralWidget(central);
    collectCommands();

    // The first page shows; the common window conventions apply.
    m_tabs->setCurrentIndex(GeneralPage);
    m_notebook->setCurrentIndex(GeneralPage);
    PrepareForm(this);
    setWindowTitle(Product::kName + QLatin1Char(' ') + Product::kVersion);
    ApplySystemCurrencySymbol();

    Dataset* person = m_data->Person;
    QString error;
    if (!person->open(&error)) ShowError(error);
    connect(person, &Dataset::dataChanged, this, &TMainForm::personDataChanged);
    person->afterPost = [this](Dataset&) { personPosted(); };

    m_calendarPlace->showWithClock(CurrentSettings().showCalendar, m_clock);
    m_bottomLabel->setText(m_bottomLabel->text().replace(QStringLiteral("2008"), QString::number(CurrentYear())));

    m_recordEditor = [this](bool isNew) { return ::ShowRecordEditor(this, isNew); };
    m_personDeletion = [](QString* error) { return ::DeletePerson(error); };
    CurrentSettings().firstLaunch = false;
}

TMainForm::~TMainForm() {
    // The Person query outlives the window: it must not call back into it.
    if (m_data) m_data->Person->afterPost = nullptr;
}

void TMainForm::buildToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    bar->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, bar);

    auto* fileMenu = new QMenu(this);
    fileMenu->setObjectName(QStringLiteral("Popup_File"));
    connect(MenuAction(fileMenu, QStringLiteral("Menu_Printer"), QStringLiteral("&Imprimante")), &QAction::triggered,
            this, &TMainForm::choosePrinter);
    connect(MenuAction(fileMenu, QStringLiteral("Menu_Properties"), QStringLiteral("&Propriétés")), &QAction::triggered,
            this, &TMainForm::editProperties);
    fileMenu->addSeparator();
    connect(MenuAction(fileMenu, QStringLiteral("Menu_Quit"), QStringLiteral("&Quitter")), &QAction::triggered, this,
            &QWidget::close);
    ToolBarButton(bar, QStringLiteral("Btn_File"), QStringLiteral("&Fichier"), ButtonGlyphIcon(ButtonGlyph::File),
                  fileMenu);

    connect(ToolBarButton(bar, QStringLiteral("Menu_List"), QStringLiteral("&Analyses"),
                          ButtonGlyphIcon(ButtonGlyph::Analyses)),
            &QToolButton::clicked, this, &TMainForm::Menu_ListClick);
    bar->addSeparator();
    // Enabled with the person list; printing and the HTML page are started from the left bar.
    ToolBarButton(bar, Command::kToolbarPrint, QStringLiteral("&Impression"), ButtonGlyphIcon(ButtonGlyph::Print));
    ToolBarButton(bar, Command::kToolbarHtml, QStringLiteral("  &Html  "), ButtonGlyphIcon(ButtonGlyph::Html));
    bar->addSeparator();

    auto* toolsMenu = new QMenu(this);
    toolsMenu->setObjectName(QStringLiteral("Popup_Tools"));
    QMenu* database = toolsMenu->addMenu(QStringLiteral("&Base de données"));
    database->setObjectName(QStringLiteral("Menu_Database"));
    connect(MenuAction(database, QStringLiteral("Menu_Backup"), QStringLiteral("&Sauvegarde")), &QAction::triggered,
            this, [this] { ::BackupDatabase(this, *m_data, databaseCommandSteps()); });
    connect(MenuAction(database, QStringLiteral("Menu_Restore"), QStringLiteral("&Restauration")), &QAction::triggered,
            this, [this] { ::RestoreDatabase(this, *m_data, databaseCommandSteps()); });
    connect(MenuAction(database, QStringLiteral("Menu_History"), QStringLiteral("&Historique")), &QAction::triggered,
            this, [this] {
                ShowBackupHistory(this, *m_data);
                UpdateCommandStates();
            });
    connect(MenuAction(database, QStringLiteral("Menu_Compact"), QStringLiteral("&Compacter/Réparer")),
            &QAction::triggered, this, [this] { ::CompactCurrentDatabase(this, *m_data, databaseCommandSteps()); });
    ToolBarButton(bar, QStringLiteral("Btn_Tools"), QStringLiteral("&Outils"), ButtonGlyphIcon(ButtonGlyph::Tools),
                  toolsMenu);

    auto* helpMenu = new QMenu(this);
    helpMenu->setObjectName(QStringLiteral("Popup_Help"));
    connect(MenuAction(helpMenu, QStringLiteral("Menu_Help"), QStringLiteral("&Documentation")), &QAction::triggered,
            this, [] { OpenHelp(); });
    connect(MenuAction(helpMenu, QStringLiteral("Menu_WebSite"), QStringLiteral("&Site web")), &QAction::triggered,
            this, [] { OpenWebSite(); });
    helpMenu->addSeparator();
    connect(MenuAction(helpMenu, QStringLiteral("Menu_About"), QStringLiteral("&A propos")), &QAction::triggered, this,
            &TMainForm::showAbout);
    ToolBarButton(bar, QStringLiteral("M10"), QStringLiteral("&Aide"), ButtonGlyphIcon(ButtonGlyph::Help), helpMenu);
}

QWidget* TMainForm::buildLeftBar() {
    m_leftBar = new QFrame(this);
    m_leftBar->setObjectName(QStringLiteral("Panel_Left"));
    m_leftBar->setFixedWidth(kLeftBarWidth);
    m_leftBar->setStyleSheet(
        QStringLiteral("#Panel_Left { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 rgb(214, 226, 246),"
                       " stop:1 rgb(188, 206, 236)); border-right: 1px solid rgb(150, 170, 210); }"));

    m_calendarPlace = new TMiniCalendar(m_leftBar);
    m_clock = new ClockLabelWidget(m_leftBar);
    m_clock->setObjectName(QStringLiteral("Lab_Clock"));
    m_clock->setFixedSize(56, 22);

    const auto leftButton = [this](const QString& name, const QString& text, const QIcon& icon) {
        auto* button = new QToolButton(m_leftBar);
        button->setObjectName(name);
        button->setText(text);
        button->setToolTip(text);
        button->setIcon(icon);
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedSize(62, 62);
        m_leftButtons << button;
        return button;
    };
    // The printed report and the HTML page of the current person come with the reports.
    leftButton(Command::kPrint, QStringLiteral("Imprimer"), ButtonGlyphIcon(ButtonGlyph::Print));
    leftButton(Command::kHtml, QStringLiteral("Html"), ButtonGlyphIcon(ButtonGlyph::Html));
    m_leftBar->installEventFilter(this);
    return m_leftBar;
}

QWidget* TMainForm::buildPersonPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel_PersonList"));
    panel->setMinimumWidth(180);

    m_personModel = new PersonListModel(&m_personList, this);
    m_personDelegate = new PersonListDelegate(&m_personList, this);
    m_grid = new QTableView(panel);
    m_grid->setObjectName(QStringLiteral("Grid_PersonList"));
    m_grid->setModel(m_personModel);
    m_grid->setItemDelegate(m_personDelegate);
    m_grid->horizontalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setMinimumSectionSize(PersonListDelegate::kRowHeight);
    m_grid->verticalHeader()->setDefaultSectionSize(PersonListDelegate::kRowHeight);
    m_grid->setShowGrid(false);
    m_grid->setWordWrap(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette colours = m_grid->palette();
    colours.setColor(QPalette::Base, Qt::white);
    m_grid->setPalette(colours);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_selectingRow && current.isValid()) personRowSelected(current.row());
            });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] { Btn_Main_EditClick(); });

    m_personButtons = new QWidget(panel);
    m_personButtons->setObjectName(QStringLiteral("Panel_PersonButtons"));
    m_personButtons->setFixedHeight(kPersonButtonsHeight);
    m_personButtonsCentre = new QWidget(m_personButtons);
    m_personButtonsCentre->setObjectName(QStringLiteral("Panel_PersonButtonsCentre"));
    auto* centre = new QHBoxLayout(m_personButtonsCentre);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->setSpacing(2);
    const auto add = [&](const QString& name, const QString& hint, const QIcon& icon, void (TMainForm::*click)()) {
        QToolButton* button = SquareButton(m_personButtonsCentre, name, hint, icon);
        connect(button, &QToolButton::clicked, this, click);
        centre->addWidget(button);
    };
    add(Command::kMainPrior, QStringLiteral("Précédent"), ButtonGlyphIcon(ButtonGlyph::Prior),
        &TMainForm::Btn_Main_PriorClick);
    add(Command::kMainNext, QStringLiteral("Suivant"), ButtonGlyphIcon(ButtonGlyph::Next),
        &TMainForm::Btn_Main_NextClick);
    add(QStringLiteral("Btn_Main_Add"), QStringLiteral("Ajouter un carnet de santé"), ButtonGlyphIcon(ButtonGlyph::Add),
        &TMainForm::Btn_Main_AddClick);
    add(Command::kMainDelete, QStringLiteral("Supprimer ce carnet de santé"), ButtonGlyphIcon(ButtonGlyph::Delete),
        &TMainForm::Btn_Main_DeleteClick);
    add(Command::kMainEdit, QStringLiteral("Modifier ce carnet de santé"), ButtonGlyphIcon(ButtonGlyph::Edit),
        &TMainForm::Btn_Main_EditClick);
    m_personButtonsCentre->adjustSize();
    m_personButtons->installEventFilter(this);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_personButtons);
    return panel;
}

QWidget* TMainForm::buildPagesPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel_Pages"));
    m_tabs = new QTabBar(panel);
    m_tabs->setObjectName(QStringLiteral("Tab_Main"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    m_notebook = new QStackedWidget(panel);
    m_notebook->setObjectName(QStringLiteral("Notebook_Main"));
    m_general = new GeneralPageWidget(m_data, m_notebook);
    m_documents = new DocumentsPageWidget(m_data->DocumentImg, m_data->DocumentFile, m_notebook);
    m_events = new EventsPageWidget(m_data->Event, m_notebook);
    for (QWidget* page :
         {static_cast<QWidget*>(m_general), static_cast<QWidget*>(m_documents), static_cast<QWidget*>(m_events)}) {
        m_tabs->addTab(page->windowTitle());
        m_notebook->addWidget(page);
    }
    connect(m_general, &GeneralPageWidget::commandStatesChanged, this, &TMainForm::UpdateCommandStates);
    connect(m_documents, &DocumentsPageWidget::commandStatesChanged, this, &TMainForm::UpdateCommandStates);
    connect(m_events, &EventsPageWidget::commandStatesChanged, this, &TMainForm::UpdateCommandStates);
    connect(m_tabs, &QTabBar::currentChanged, this, &TMainForm::Tab_MainChange);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 4, 4, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_notebook, 1);
    return panel;
}

void TMainForm::collectCommands() {
    for (const QString& name : Command::All()) {
        auto* control = findChild<QWidget*>(name);
        Q_ASSERT_X(control, "TMainForm", qPrintable(name));
        if (control) m_commands.insert(name, control);
    }
}

// ---- Showing and closing ----

void TMainForm::showEvent(QShowEvent* event) {
    if (!m_shownOnce) {
        m_shownOnce = true;
        restorePlacement();
        ReloadPersonList(-1);
        layoutLeftBar();
        layoutPersonButtons();
        UpdateCommandStates();
    }
    QMainWindow::showEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    m_personList.clear();
    m_personModel->listReset();
    m_general->releaseData();
    m_data->Person->close();
    savePlacement();
    QString error;
    if (!SaveSettings(&error)) ShowError(error);
    event->accept();
}

void TMainForm::restorePlacement() {
    const Settings& settings = CurrentSettings();
    const MainWindowPlacement saved{settings.windowLeft, settings.windowTop, settings.windowWidth,
                                    settings.windowHeight, settings.windowState};
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const RestoredPlacement placement = RestoreMainWindowPlacement(saved, workArea);
    resize(placement.clientSize);
    move(placement.position);
    if (placement.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TMainForm::savePlacement() {
    Settings& settings = CurrentSettings();
    const MainWindowPlacement previous{settings.windowLeft, settings.windowTop, settings.windowWidth,
                                       settings.windowHeight, settings.windowState};
    const MainWindowPlacement saved = SaveMainWindowPlacement(previous, pos(), size(), ShowStateOf(this));
    settings.windowLeft = saved.left;
    settings.windowTop = saved.top;
    settings.windowWidth = saved.width;
    settings.windowHeight = saved.height;
    settings.windowState = saved.state;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == m_leftBar) layoutLeftBar();
        if (watched == m_personButtons) layoutPersonButtons();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::layoutLeftBar() {
    const int width = m_leftBar->width();
    const int upper = LeftBarUpperHeight(m_leftBar->height());
    // Calendar and clock sit at the foot of the upper part, the buttons below it.
    const int clockTop = upper - m_clock->height() - 6;
    m_clock->move((width - m_clock->width()) / 2, qMax(0, clockTop));
    m_calendarPlace->move((width - m_calendarPlace->width()) / 2, qMax(0, clockTop - m_calendarPlace->height() - 6));
    int top = upper + 10;
    for (QWidget* button : m_leftButtons) {
        button->move((width - button->width()) / 2, top);
        top += button->height() + 12;
    }
}

void TMainForm::layoutPersonButtons() {
    const QSize centre = m_personButtonsCentre->sizeHint();
    m_personButtonsCentre->setGeometry(CentredGroupLeft(m_personButtons->width(), centre.width()),
                                       (m_personButtons->height() - centre.height()) / 2, centre.width(),
                                       centre.height());
}

// ---- The person list ----

void TMainForm::ReloadPersonList(qint64 selectId) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const int row = m_personList.load(*m_data->Query, selectId, &error);
    m_personModel->listReset();
    ShowError(error);
    if (row >= 0) {
        selectPersonRow(row);
    } else {
        // No person: the pages show nothing and only adding remains.
        RefreshCurrentPage();
        UpdateCommandStates();
    }
    m_grid->viewport()->update();
    QGuiApplication::restoreOverrideCursor();
}

int TMainForm::selectedPersonRow() const {
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() && current.row() < m_personList.count() ? current.row() : -1;
}

qint64 TMainForm::currentPersonId() const {
    const Dataset* person = m_data->Person;
    if (m_personList.isEmpty() || IsEmptyDataSet(*person)) return -1;
    return person->asInteger(QStringLiteral("Id"));
}

qint64 TMainForm::currentPersonAnalysis() const {
    return m_general->currentPersonAnalysis();
}

void TMainForm::setCurrentPersonAnalysis(qint64 id) {
    m_general->setCurrentPersonAnalysis(id);
}

void TMainForm::selectPersonRow(int row) {
    if (row < 0 || row >= m_personList.count()) return;
    m_selectingRow = true;
    m_grid->setCurrentIndex(m_personModel->index(row, 0));
    m_selectingRow = false;
    m_grid->scrollTo(m_personModel->index(row, 0));
    personRowSelected(row);
}

void TMainForm::personRowSelected(int row) {
    if (m_personList.isEmpty() || row < 0 || row >= m_personList.count()) return;
    // The data-change notification refreshes the page and the commands; when the person cannot be
    // found the current person stays, but Prior and Next follow the new row.
    if (!m_data->Person->locate(m_personList.idAt(row))) UpdateCommandStates();
}

void TMainForm::personDataChanged() {
    // While the connection is closed for the data set's files the pages have nothing to read.
    if (m_personDetached) return;
    const Dataset::State state = m_data->Person->state();
    // A field typed in the record editor changes neither the person nor what the pages show of it: the page is
    // read again once the row is posted or cancelled, not at every keystroke against a half-typed row.
    if (state == Dataset::State::Edit && currentPersonId() == m_pagePersonId) return;
    m_general->setCurrentPersonAnalysis(-1);
    if (state == Dataset::State::Insert) return;
    RefreshCurrentPage();
    UpdateCommandStates();
}

void TMainForm::personPosted() {
    // While a person is being added, the list is reloaded once the editor has closed.
    if (m_addInProgress || m_personDetached) return;
    ReloadPersonList(m_personList.idAt(selectedPersonRow()));
}

// ---- Pages ----

void TMainForm::showPage(Page page) {
    m_tabs->setCurrentIndex(page);
}

void TMainForm::Tab_MainChange(int index) {
    if (index == m_activePage || index < 0) return;
    releasePage(m_activePage);
    m_notebook->setCurrentIndex(index);
    m_activePage = index;
    RefreshCurrentPage();
    UpdateCommandStates();
}

void TMainForm::releasePage(int page) {
    switch (page) {
    case GeneralPage:
        m_general->releaseData();
        break;
    case DocumentsPage:
        m_documents->releaseData();
        break;
    case EventsPage:
        m_events->releaseData();
        break;
    }
}

void TMainForm::RefreshCurrentPage() {
    const qint64 personId = currentPersonId();
    m_pagePersonId = personId;
    switch (m_activePage) {
    case GeneralPage:
        m_general->refreshPage(personId);
        break;
    case DocumentsPage:
        m_documents->refreshPage(personId);
        break;
    case EventsPage:
        m_events->RefreshEvents(personId);
        break;
    }
}

// ---- Commands ----

void TMainForm::UpdateCommandStates() {
    CommandStateInputs inputs;
    inputs.personEmpty = IsEmptyDataSet(*m_data->Person);
    inputs.selectedRow = selectedPersonRow();
    inputs.lastRow = m_personList.count() - 1;
    inputs.currentPersonAnalysis = m_general->currentPersonAnalysis();
    inputs.analysisValuesEmpty = IsEmptyDataSet(*m_data->Analysis);
    inputs.imageDocumentSelected = m_documents->hasSelectedImage();
    inputs.documentFilesEmpty = IsEmptyDataSet(*m_data->DocumentFile);
    inputs.mailSettingsComplete = CheckSmtpSettings();
    inputs.eventsEmpty = IsEmptyDataSet(*m_data->Event);
    const QHash<QString, bool> states = ComputeCommandStates(inputs);
    for (auto state = states.cbegin(); state != states.cend(); ++state)
        if (QWidget* control = m_commands.value(state.key())) control->setEnabled(state.value());
}

bool TMainForm::ShowRecordEditor(bool isNew) {
    return m_recordEditor(isNew);
}

void TMainForm::setRecordEditorForTesting(std::function<bool(bool)> editor) {
    m_recordEditor = std::move(editor);
}

void TMainForm::setPersonDeletionForTesting(std::function<bool(QString*)> deletion) {
    m_personDeletion = std::move(deletion);
}

void TMainForm::Btn_Main_PriorClick() {
    selectPersonRow(selectedPersonRow() - 1);
}

void TMainForm::Btn_Main_NextClick() {
    selectPersonRow(selectedPersonRow() + 1);
}

void TMainForm::Btn_Main_AddClick() {
    Dataset* person = m_data->Person;
    qint64 selectId = IsEmptyDataSet(*person) ? -1 : person->asInteger(QStringLiteral("Id"));
    m_addInProgress = true;
    if (person->insert()) {
        if (ShowRecordEditor(true)) selectId = person->asInteger(QStringLiteral("Id"));
        // An editor that ends without settling the new row must not leave it to be posted by the
        // next move of the list.
        if (person->isEditing()) person->cancel();
    }
    ReloadPersonList(selectId);
    showPage(GeneralPage);
    m_addInProgress = false;
}

void TMainForm::Btn_Main_EditClick() {
    QWidget* editButton = m_commands.value(Command::kMainEdit);
    if (!editButton || !editButton->isEnabled()) return;
    Dataset* person = m_data->Person;
    if (!person->edit()) return;
    ShowRecordEditor(false);
    if (person->isEditing()) person->cancel();
    ReloadPersonList(IsEmptyDataSet(*person) ? -1 : person->asInteger(QStringLiteral("Id")));
}

void TMainForm::Btn_Main_DeleteClick() {
    if (!Messages().ask(QString(), kDeleteQuestion)) return;
    QString error;
    if (!m_personDeletion(&error)) ShowError(error);
    ReloadPersonList(-1);
}

// ---- Menus ----

void TMainForm::Menu_ListClick() {
    TAnalysisList::Open(this, *m_data);
    // Changed titles, units and bounds show at once.
    if (m_activePage == GeneralPage) m_general->refreshPage(currentPersonId());
    UpdateCommandStates();
}

void TMainForm::editProperties() {
    if (TProperties::EditSettings(this, CurrentSettings())) {
        QString error;
        if (!SaveSettings(&error)) ShowError(error);
    }
    UpdateCommandStates();
}

MainWindowSteps TMainForm::databaseCommandSteps() {
    MainWindowSteps steps;
    steps.showFirstTab = [this] { showPage(GeneralPage); };
    steps.detachPersonControls = [this] { m_personDetached = true; };
    // Taking the Person query again is a change of its data: the page and the commands follow its current row.
    steps.attachPersonControls = [this] {
        m_personDetached = false;
        personDataChanged();
    };
    steps.refreshCurrentPage = [this] { RefreshCurrentPage(); };
    steps.reloadPersonList = [this](qint64 selectId) { ReloadPersonList(selectId); };
    return steps;
}

void TMainForm::choosePrinter() {
    QPrintDialog dialog(&m_printer, this);
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog"));
    dialog.exec();
}

void TMainForm::showAbout() {
    if (m_aboutShowing) return;
    m_aboutShowing = true;
    TAbout about(this);
    about.exec();
    m_aboutShowing = false;
}
