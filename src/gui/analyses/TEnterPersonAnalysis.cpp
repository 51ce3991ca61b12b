#include "gui/analyses/TEnterPersonAnalysis.h"

#include "core/app/MessageService.h"
#include "core/db/Dataset.h"
#include "gui/controls/DialogButtons.h"
#include "gui/controls/FormConventions.h"
#include "gui/records/TPickList.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

void ShowError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

} // namespace

TEnterPersonAnalysis::TEnterPersonAnalysis(Dataset& personAnalyses, qint64 personId, QWidget* owner)
    : DataBoundDialog(personAnalyses, owner), m_personId(personId), m_title(new QLineEdit(this)),
      m_titleButton(FieldButton(this, QStringLiteral("Btn_Title"))) {
    setObjectName(QStringLiteral("TEnterPersonAnalysis"));
    setWindowTitle(kTitle.trimmed());
    setModal(true);
    RemoveCloseButton(this);

    m_title->setObjectName(QStringLiteral("Ed_Title"));
    m_title->setReadOnly(true);
    m_fields = MakeAnalysisEntryFields(this, &row(), QStringLiteral("Memo_Remark"), QStringLiteral("Remark1"));
    AttachFieldPicker(m_title, m_titleButton, [this] { Btn_TitleClick(); });

    auto* grid = new QGridLayout;
    grid->addWidget(BuddyLabel(QStringLiteral("Titre"), m_title), 0, 0);
    grid->addLayout(FieldWithButton(m_title, m_titleButton), 0, 1, 1, 3);
    AddAnalysisEntryRows(grid, m_fields);

    const DialogButtons buttons = MakeDialogButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons.bar);
    resize(460, sizeHint().height());

    connect(m_title, &QLineEdit::textChanged, this, &TEnterPersonAnalysis::updateOk);
    setButtons(buttons.ok, buttons.cancel);
    updateOk();
    PrepareForm(this);
}

void TEnterPersonAnalysis::showEvent(QShowEvent* event) {
    if (!m_shownOnce) {
        m_shownOnce = true;
        const qint64 catalogueId = row().value(QStringLiteral("Id_Analysis")).toLongLong();
        QString error;
        m_title->setText(catalogueId < 0 ? QString() : CatalogueTitle(row().connectionName(), catalogueId, &error));
        ShowError(error);
    }
    QDialog::showEvent(event);
}

void TEnterPersonAnalysis::updateOk() {
    okButton()->setEnabled(!m_title->text().isEmpty());
}

void TEnterPersonAnalysis::Btn_TitleClick() {
    QString error;
    m_choices = UnattachedCatalogueEntries(row().connectionName(), m_personId, &error);
    if (!error.isEmpty()) {
        ShowError(error);
        return;
    }
    // One line per entry, so that the picked index is the entry's: a line break inside a title would split it.
    QStringList lines = m_choices.titles;
    for (QString& line : lines)
        line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    TPickList* list =
        ShowPickList(m_title, false, lines.join(QLatin1Char('\r')), nullptr, QString(), nullptr, QString());
    if (list) connect(list, &TPickList::picked, this, [this](int index, const QString&) { chooseTitle(index); });
}

void TEnterPersonAnalysis::chooseTitle(int index) {
    if (index < 0 || index >= m_choices.ids.size()) return;
    QString error;
    if (!CopyCatalogueEntry(row(), m_choices.ids[index], &error)) {
        ShowError(error);
        return;
    }
    m_title->setText(m_choices.titles[index]);
}

void TEnterPersonAnalysis::rowPosted() {
    m_postedId = row().asInteger(QStringLiteral("Id"));
}
