#include "gui/analyses/TAnalysisList.h"

#include "core/analyses/PersonAnalyses.h"
#include "core/app/MessageService.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetModel.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"
#include "gui/analyses/TEnterAnalysis.h"
#include "gui/controls/FormConventions.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

void ShowError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TAnalysisList::TAnalysisList(TDataModule1& data, QWidget* owner)
    : QDialog(owner), m_data(data), m_catalogue(*data.Lst_Analysis),
      m_model(new DatasetModel(&m_catalogue,
                               {{QStringLiteral("Title"), QStringLiteral("Titre")},
                                {QStringLiteral("Unit"), QStringLiteral("Unité")},
                                {QStringLiteral("Decimal"), QStringLiteral("Decimales")},
                                {QStringLiteral("Description"), QStringLiteral("Description")}},
                               this)),
      m_grid(new QTableView(this)), m_add(Button(this, QStringLiteral("Btn_Add"), QStringLiteral(" Ajouter"))),
      m_edit(Button(this, QStringLiteral("Btn_Edit"), QStringLiteral(" Modifier"))),
      m_delete(Button(this, QStringLiteral("Btn_Delete"), QStringLiteral(" Supprimer"))) {
    setObjectName(QStringLiteral("TAnalysisList"));
    setWindowTitle(kTitle.trimmed());
    setModal(true);

    QString error;
    if (!m_catalogue.open(&error)) ShowError(error);

    m_grid->setObjectName(QStringLiteral("Grid_Lst_Analysis"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    // Widths in characters: 50 for the title, 5 for the decimals, and room for the usual units ("mmol/l", "UI/ml")
    // beside them; at least their headings.
    const QFontMetrics metrics = m_grid->fontMetrics();
    const int characters[] = {50, 8, 5};
    for (int column = 0; column < 3; ++column) {
        const int heading = m_grid->horizontalHeader()->fontMetrics().horizontalAdvance(
                                m_model->headerData(column, Qt::Horizontal).toString()) +
                            16;
        m_grid->setColumnWidth(
            column, qMax(heading, metrics.horizontalAdvance(QString(characters[column], QLatin1Char('x'))) + 8));
    }
    m_grid->installEventFilter(this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && m_catalogue.isOpen() && !m_catalogue.isEditing())
                    m_catalogue.moveTo(current.row());
            });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_edit->isEnabled()) Btn_EditClick();
    });

    auto* close = new QPushButton(QStringLiteral(" &Fermer"), this);
    close->setObjectName(QStringLiteral("Btn_Close"));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(m_add, &QPushButton::clicked, this, &TAnalysisList::Btn_AddClick);
    connect(m_edit, &QPushButton::clicked, this, &TAnalysisList::Btn_EditClick);
    connect(m_delete, &QPushButton::clicked, this, &TAnalysisList::Btn_DeleteClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    followCurrentRow();
    updateButtons();
    PrepareForm(this);
}

TAnalysisList::~TAnalysisList() {
    m_catalogue.close();
}

void TAnalysisList::Open(QWidget* owner, TDataModule1& data) {
    TAnalysisList list(data, owner);
    list.exec();
}

void TAnalysisList::updateButtons() {
    const bool any = m_catalogue.isOpen() && !m_catalogue.isEmpty();
    m_edit->setEnabled(any);
    m_delete->setEnabled(any);
}

void TAnalysisList::followCurrentRow() {
    if (m_catalogue.recNo() >= 0) m_grid->setCurrentIndex(m_model->index(m_catalogue.recNo(), 0));
}

bool TAnalysisList::runEditor() {
    TEnterAnalysis editor(m_catalogue, this);
    const bool confirmed = editor.exec() == QDialog::Accepted;
    // A changed title takes its place in the title order.
    if (confirmed) {
        QString error;
        if (!RefreshKeepingId(m_catalogue, &error)) ShowError(error);
    }
    followCurrentRow();
    updateButtons();
    return confirmed;
}

void TAnalysisList::Btn_AddClick() {
    if (!m_catalogue.isOpen()) return;
    if (!BeginNewCatalogueEntry(m_catalogue)) return;
    runEditor();
}

void TAnalysisList::Btn_EditClick() {
    if (!m_edit->isEnabled() || !m_catalogue.edit()) return;
    runEditor();
}

void TAnalysisList::Btn_DeleteClick() {
    if (!m_delete->isEnabled()) return;
    if (!Messages().ask(QString(), kDeleteQuestion)) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool deleted = DeleteCatalogueEntry(m_catalogue, *m_data.L_Analysis, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!deleted) ShowError(error);
    followCurrentRow();
    updateButtons();
}

bool TAnalysisList::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Delete in the grid deletes as " Supprimer" does, question and person-analyses included.
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            Btn_DeleteClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAnalysisList::done(int result) {
    m_catalogue.close();
    QDialog::done(result);
}
