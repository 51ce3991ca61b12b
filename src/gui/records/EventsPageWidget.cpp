#include "gui/records/EventsPageWidget.h"

#include "core/app/DateRoutines.h"
#include "core/app/MessageService.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetModel.h"
#include "gui/controls/ButtonGlyphs.h"
#include "gui/controls/DateCellDelegate.h"
#include "gui/records/TEnterEvents.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

EventsPageWidget::EventsPageWidget(Dataset* events, QWidget* parent)
    : QWidget(parent), m_events(events),
      m_model(new DatasetModel(events,
                               {{QStringLiteral("Date_Event"), QStringLiteral("Date")},
                                {QStringLiteral("Time_Event"), QStringLiteral("Heure")},
                                {QStringLiteral("Description"), QStringLiteral("Description")}},
                               this)),
      m_grid(new QTableView(this)) {
    setObjectName(QStringLiteral("Page_Events"));
    setWindowTitle(kCaption);

    m_grid->setObjectName(QStringLiteral("Grid_Event"));
    m_grid->setModel(m_model);
    m_grid->setItemDelegateForColumn(0, new DateCellDelegate(m_grid));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    // Ten characters for the date, five for the time.
    const int digit = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    m_grid->setColumnWidth(0, digit * 10 + 16);
    m_grid->setColumnWidth(1, digit * 5 + 16);
    QPalette colours = m_grid->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::AlternateBase, QColor(232, 243, 255));
    colours.setColor(QPalette::Highlight, QColor(49, 106, 197));
    colours.setColor(QPalette::HighlightedText, Qt::white);
    m_grid->setPalette(colours);

    // The grid's current row is the query's current row.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && m_events->isOpen() && !m_events->isEditing()) m_events->moveTo(current.row());
                emit commandStatesChanged();
            });

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    QToolButton* add = PageButton(this, QStringLiteral("Btn_Event_Add"), QStringLiteral("Ajouter"),
                                  QStringLiteral("Ajouter un événement"), ButtonGlyph::Add);
    QToolButton* change = PageButton(this, QStringLiteral("Btn_Event_Edit"), QStringLiteral("Modifier"),
                                     QStringLiteral("Modifier cet événement"), ButtonGlyph::Edit);
    QToolButton* remove = PageButton(this, QStringLiteral("Btn_Event_Delete"), QStringLiteral("Supprimer"),
                                     QStringLiteral("Supprimer cet événement"), ButtonGlyph::Delete);
    connect(add, &QToolButton::clicked, this, &EventsPageWidget::Btn_Event_AddClick);
    connect(change, &QToolButton::clicked, this, &EventsPageWidget::Btn_Event_EditClick);
    connect(remove, &QToolButton::clicked, this, &EventsPageWidget::Btn_Event_DeleteClick);
    buttons->addWidget(add);
    buttons->addWidget(change);
    buttons->addWidget(remove);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

void EventsPageWidget::RefreshEvents(qint64 personId) {
    m_personId = personId < 0 ? -1 : personId;
    m_events->close();
    // The events query keeps its WHERE clause on its second line, always.
    m_events->setSqlLine(1, QStringLiteral("WHERE Event.Id_Ref=") + QString::number(personId < 0 ? -1 : personId));
    QString error;
    // Database errors are shown with their own text, as everywhere in the program.
    if (!m_events->open(&error)) Messages().show(MessageIcon::Error, QString(), error);
    if (!m_events->isEmpty()) m_grid->setCurrentIndex(m_model->index(0, 0));
}

void EventsPageWidget::releaseData() {
    m_events->close();
}

void EventsPageWidget::selectCurrentRow() {
    if (m_events->recNo() >= 0) m_grid->setCurrentIndex(m_model->index(m_events->recNo(), 0));
}

void EventsPageWidget::Btn_Event_AddClick() {
    if (m_personId < 0 || !m_events->isOpen()) return;
    if (!m_events->append()) return;
    m_events->setValue(QStringLiteral("Id_Ref"), m_personId);
    m_events->setValue(QStringLiteral("Date_Event"), Today());
    selectCurrentRow();
    EnterEvent(this, *m_events);
    // Whatever the dialog ended with, the row is no longer pending.
    if (m_events->isEditing()) m_events->cancel();
    selectCurrentRow();
    emit commandStatesChanged();
}

void EventsPageWidget::Btn_Event_EditClick() {
    if (!m_events->isOpen() || m_events->isEmpty() || !m_events->edit()) return;
    EnterEvent(this, *m_events);
    if (m_events->isEditing()) m_events->cancel();
    selectCurrentRow();
    emit commandStatesChanged();
}

void EventsPageWidget::Btn_Event_DeleteClick() {
    if (!m_events->isOpen() || m_events->isEmpty()) return;
    if (!Messages().ask(QString(), QStringLiteral("Désirez-vous supprimer cet événement ?"))) return;
    QString error;
    if (!m_events->remove(&error)) Messages().show(MessageIcon::Error, QString(), error);
    selectCurrentRow();
    emit commandStatesChanged();
}
