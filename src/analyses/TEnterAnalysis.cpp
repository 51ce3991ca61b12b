#include "analyses/TEnterAnalysis.h"

#include "analyses/AnalysisDialogsUi.h"
#include "app/MessageService.h"
#include "controls/FieldBinding.h"
#include "controls/FormConventions.h"
#include "db/Dataset.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kRemarksLength = 255;
constexpr int kTitleLength = 128;

QLabel* Label(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TEnterAnalysis::TEnterAnalysis(Dataset& catalogue, QWidget* owner)
    : QDialog(owner), m_row(catalogue), m_title(new QLineEdit(this)), m_unit(new QLineEdit(this)),
      m_unitButton(FieldButton(this, QStringLiteral("Btn_Unit"))), m_decimals(new QLineEdit(this)),
      m_decimalsButton(FieldButton(this, QStringLiteral("Btn_Decimal"))), m_minimum(new QLineEdit(this)),
      m_maximum(new QLineEdit(this)), m_remarks(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("TEnterAnalysis"));
    setWindowTitle(kTitle.trimmed());
    setModal(true);

    m_title->setObjectName(QStringLiteral("Ed_Title"));
    m_title->setMaxLength(kTitleLength);
    m_unit->setObjectName(QStringLiteral("Ed_Unit"));
    m_unit->setReadOnly(true);
    m_unit->setToolTip(QStringLiteral("Double-cliquer pour enrichir"));
    m_decimals->setObjectName(QStringLiteral("Ed_Decimal"));
    m_decimals->setReadOnly(true);
    m_minimum->setObjectName(QStringLiteral("Ed_Value_Min"));
    m_maximum->setObjectName(QStringLiteral("Ed_Value_Max"));
    for (QLineEdit* bound : {m_minimum, m_maximum})
        bound->setAlignment(Qt::AlignRight);
    m_remarks->setObjectName(QStringLiteral("Memo_Description"));
    m_remarks->setTabChangesFocus(true);
    m_remarks->setFixedHeight(80);
    LimitMemoLength(m_remarks, kRemarksLength);

    FieldBinding::Bind(m_title, &m_row, QStringLiteral("Title"));
    FieldBinding::Bind(m_unit, &m_row, QStringLiteral("Unit"));
    FieldBinding::Bind(m_decimals, &m_row, QStringLiteral("Decimal"));
    FieldBinding::Bind(m_minimum, &m_row, QStringLiteral("Value_Min"), FieldBinding::Kind::Number);
    FieldBinding::Bind(m_maximum, &m_row, QStringLiteral("Value_Max"), FieldBinding::Kind::Number);
    FieldBinding::Bind(m_remarks, &m_row, QStringLiteral("Description"));
    FollowBoundPatterns(this, &m_row, m_minimum, m_maximum);
    AttachUnitAndDecimalsPickers(this, m_unit, m_unitButton, m_decimals, m_decimalsButton, &m_row);

    auto* grid = new QGridLayout;
    grid->addWidget(Label(QStringLiteral("Titre"), m_title), 0, 0);
    grid->addWidget(m_title, 0, 1, 1, 3);
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

    connect(m_title, &QLineEdit::textChanged, this, &TEnterAnalysis::updateOk);
    connect(m_ok, &QPushButton::clicked, this, &TEnterAnalysis::Btn_OkClick);
    connect(buttons.cancel, &QPushButton::clicked, this, &TEnterAnalysis::Btn_CancelClick);
    updateOk();
    PrepareForm(this);
}

void TEnterAnalysis::updateOk() {
    m_ok->setEnabled(!m_title->text().isEmpty());
}

void TEnterAnalysis::Btn_OkClick() {
    if (!m_ok->isEnabled()) return;
    QString error;
    if (!PostBoundRow(this, m_row, &error)) {
        Messages().show(MessageIcon::Error, QString(), error);
        return;
    }
    m_closing = true;
    accept();
}

void TEnterAnalysis::Btn_CancelClick() {
    reject();
}

void TEnterAnalysis::reject() {
    // Annuler, Escape and the close button drop the row's changes; an appended row disappears.
    if (!m_closing && m_row.isEditing()) m_row.cancel();
    m_closing = true;
    QDialog::reject();
}
