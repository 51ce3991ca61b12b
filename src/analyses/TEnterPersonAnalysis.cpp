#include "analyses/TEnterPersonAnalysis.h"

#include "analyses/AnalysisDialogsUi.h"
#include "app/MessageService.h"
#include "controls/FieldBinding.h"
#include "controls/FormConventions.h"
#include "db/Dataset.h"
#include "records/TPickList.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kRemarksLength = 255;

QLabel* Label(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

void ShowError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

} // namespace

TEnterPersonAnalysis::TEnterPersonAnalysis(Dataset& personAnalyses, qint64 personId, QWidget* owner)
    : QDialog(owner), m_row(personAnalyses), m_personId(personId), m_title(new QLineEdit(this)),
      m_titleButton(FieldButton(this, QStringLiteral("Btn_Title"))), m_unit(new QLineEdit(this)),
      m_unitButton(FieldButton(this, QStringLiteral("Btn_Unit"))), m_decimals(new QLineEdit(this)),
      m_decimalsButton(FieldButton(this, QStringLiteral("Btn_Decimal"))), m_minimum(new QLineEdit(this)),
      m_maximum(new QLineEdit(this)), m_remarks(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("TEnterPersonAnalysis"));
    setWindowTitle(kTitle.trimmed());
    setModal(true);
    RemoveCloseButton(this);

    m_title->setObjectName(QStringLiteral("Ed_Title"));
    m_title->setReadOnly(true);
    m_unit->setObjectName(QStringLiteral("Ed_Unit"));
    m_unit->setReadOnly(true);
    m_unit->setToolTip(QStringLiteral("Double-cliquer pour enrichir"));
    m_decimals->setObjectName(QStringLiteral("Ed_Decimal"));
    m_decimals->setReadOnly(true);
    m_minimum->setObjectName(QStringLiteral("Ed_Value_Min"));
    m_maximum->setObjectName(QStringLiteral("Ed_Value_Max"));
    for (QLineEdit* bound : {m_minimum, m_maximum})
        bound->setAlignment(Qt::AlignRight);
    m_remarks->setObjectName(QStringLiteral("Memo_Remark"));
    m_remarks->setTabChangesFocus(true);
    m_remarks->setFixedHeight(80);
    LimitMemoLength(m_remarks, kRemarksLength);

    FieldBinding::Bind(m_unit, &m_row, QStringLiteral("Unit"));
    FieldBinding::Bind(m_decimals, &m_row, QStringLiteral("Decimal"));
    FieldBinding::Bind(m_minimum, &m_row, QStringLiteral("Value_Min"), FieldBinding::Kind::Number);
    FieldBinding::Bind(m_maximum, &m_row, QStringLiteral("Value_Max"), FieldBinding::Kind::Number);
    FieldBinding::Bind(m_remarks, &m_row, QStringLiteral("Remark1"));
    FollowBoundPatterns(this, &m_row, m_minimum, m_maximum);
    AttachUnitAndDecimalsPickers(this, m_unit, m_unitButton, m_decimals, m_decimalsButton, &m_row);
    AttachFieldPicker(m_title, m_titleButton, [this] { Btn_TitleClick(); });

    auto* grid = new QGridLayout;
    grid->addWidget(Label(QStringLiteral("Titre"), m_title), 0, 0);
    grid->addLayout(FieldWithButton(m_title, m_titleButton), 0, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("Unité"), m_unit), 1, 0);
    grid->addLayout(FieldWithButton(m_unit, m_unitButton), 1, 1);
    grid->addWidget(Label(QStringLiteral("Décimal"), m_decimals), 1, 2);
    grid->addLayout(FieldWithButton(m_decimals, m_decimalsButton), 1, 3);
    grid->addWidget(Label(QStringLiteral("Valeur minimale"), m_minimum), 2, 0);
    grid->addWidget(m_minimum, 2, 1);
    grid->addWidget(Label(QStringLiteral("Valeur maximale"), m_maximum), 2, 2);
    grid->addWidget(m_maximum, 2, 3);
    grid->addWidget(Label(QStringLiteral("Remarques"), m_remarks), 3, 0, Qt::AlignTop);
    grid->addWidget(m_remarks, 3, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    const DialogButtons buttons = MakeDialogButtons(this);
    m_ok = buttons.ok;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons.bar);
    resize(460, sizeHint().height());

    connect(m_title, &QLineEdit::textChanged, this, &TEnterPersonAnalysis::updateOk);
    connect(m_ok, &QPushButton::clicked, this, &TEnterPersonAnalysis::Btn_OkClick);
    connect(buttons.cancel, &QPushButton::clicked, this, &TEnterPersonAnalysis::Btn_CancelClick);
    updateOk();
    PrepareForm(this);
}

void TEnterPersonAnalysis::showEvent(QShowEvent* event) {
    if (!m_shownOnce) {
        m_shownOnce = true;
        const qint64 catalogueId = m_row.value(QStringLiteral("Id_Analysis")).toLongLong();
        QString error;
        m_title->setText(catalogueId < 0 ? QString() : CatalogueTitle(m_row.connectionName(), catalogueId, &error));
        ShowError(error);
    }
    QDialog::showEvent(event);
}

void TEnterPersonAnalysis::updateOk() {
    m_ok->setEnabled(!m_title->text().isEmpty());
}

void TEnterPersonAnalysis::Btn_TitleClick() {
    QString error;
    m_choices = UnattachedCatalogueEntries(m_row.connectionName(), m_personId, &error);
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
    if (!CopyCatalogueEntry(m_row, m_choices.ids[index], &error)) {
        ShowError(error);
        return;
    }
    m_title->setText(m_choices.titles[index]);
}

void TEnterPersonAnalysis::Btn_OkClick() {
    if (!m_ok->isEnabled()) return;
    QString error;
    if (!PostBoundRow(this, m_row, &error)) {
        ShowError(error);
        return;
    }
    m_postedId = m_row.asInteger(QStringLiteral("Id"));
    m_closing = true;
    accept();
}

void TEnterPersonAnalysis::Btn_CancelClick() {
    reject();
}

void TEnterPersonAnalysis::reject() {
    if (!m_closing && m_row.isEditing()) m_row.cancel();
    m_closing = true;
    QDialog::reject();
}
