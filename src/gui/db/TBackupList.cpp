#include "gui/db/TBackupList.h"

#include "core/app/DateRoutines.h"
#include "core/app/Localisation.h"
#include "core/app/MessageService.h"
#include "core/db/BackupHistoryPurge.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetModel.h"
#include "core/db/TDataModule1.h"
#include "gui/controls/FormConventions.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("  Historique des sauvegardes");

// The day column holds ISO dates; it shows them as dates are shown everywhere.
class HistoryDateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        const QDate date = QDate::fromString(value.toString().left(10), Qt::ISODate);
        return date.isValid() ? DateToText(date) : QStyledItemDelegate::displayText(value, locale);
    }
};

} // namespace

TBackupList::TBackupList(TDataModule1& dataModule, QWidget* owner)
    : QDialog(owner), m_dataModule(dataModule), m_grid(new QTableView(this)), m_purge(new QPushButton(this)) {
    setObjectName(QStringLiteral("TBackupList"));
    setWindowTitle(kTitle.trimmed());
    setModal(true);

    Dataset& history = *m_dataModule.Backup;
    QString error;
    if (!history.open(&error)) Messages().show(MessageIcon::Error, QString(), error);
    auto* model = new DatasetModel(&history,
                                   {{QStringLiteral("DateSav"), QStringLiteral("Date")},
                                    {QStringLiteral("TimeSav"), QStringLiteral("Heure")},
                                    {QStringLiteral("Description"), QStringLiteral("Description")},
                                    {QStringLiteral("Path"), QStringLiteral("Fichier de sauvegarde")}},
                                   this);
    m_grid->setObjectName(QStringLiteral("Grid_Backup"));
    m_grid->setModel(model);
    m_grid->setItemDelegateForColumn(0, new HistoryDateDelegate(m_grid));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    // The last column is far wider than the window: its title must show at its start.
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    // Widths in characters, measured on digits so that a whole date fits.
    const int widths[] = {10, 10, 30, 128};
    for (int column = 0; column < 4; ++column)
        m_grid->setColumnWidth(column,
                               m_grid->fontMetrics().horizontalAdvance(QString(widths[column], QLatin1Char('0'))) + 12);

    m_purge->setObjectName(QStringLiteral("Btn_Purge"));
    m_purge->setText(QStringLiteral("Purger l'historique"));
    m_purge->setAutoDefault(false);
    m_purge->setEnabled(!history.isEmpty());
    auto* close = new QPushButton(QStringLiteral(" &Fermer"), this);
    close->setObjectName(QStringLiteral("Btn_Close"));
    close->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_purge);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(buttons);
    resize(720, 360);

    connect(m_purge, &QPushButton::clicked, this, &TBackupList::Btn_PurgeClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    PrepareForm(this);
}

TBackupList::~TBackupList() {
    m_dataModule.Backup->close();
}

void TBackupList::Btn_PurgeClick() {
    if (!Messages().ask(QString(), LangString(QStringLiteral("BackupList"), QStringLiteral("Message1"),
                                              QStringLiteral("Désirez-vous purger l'historique des sauvegardes ?"))))
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool purged = PurgeBackupHistory(m_dataModule, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!purged) Messages().show(MessageIcon::Error, QString(), error);
    m_purge->setEnabled(!m_dataModule.Backup->isEmpty());
}

void TBackupList::done(int result) {
    m_dataModule.Backup->close();
    QDialog::done(result);
}
