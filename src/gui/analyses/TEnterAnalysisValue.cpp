#include "gui/analyses/TEnterAnalysisValue.h"

#include "core/db/Dataset.h"
#include "gui/analyses/AnalysisDialogsUi.h"
#include "gui/controls/DialogButtons.h"
#include "gui/controls/FieldBinding.h"
#include "gui/controls/FormConventions.h"
#include "gui/controls/MaskEdit.h"
#include "gui/records/TSelectDate.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TEnterAnalysisValue::TEnterAnalysisValue(Dataset& results, const ValuePatterns& patterns, QWidget* owner)
    : DataBoundDialog(results, owner), m_date(new MaskEdit(MaskEdit::kDateMask, this)),
      m_dateButton(FieldButton(this, QStringLiteral("Btn_Date"), QStringLiteral("Calendrier"))),
      m_value(new QLineEdit(this)), m_minimum(new QLineEdit(this)), m_maximum(new QLineEdit(this)),
      m_remark(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("TEnterAnalysisValue"));
    setWindowTitle(kTitle.trimmed());
    setModal(true);
    RemoveCloseButton(this);

    m_date->setObjectName(QStringLiteral("Ed_Date"));
    m_value->setObjectName(QStringLiteral("Ed_Value"));
    m_minimum->setObjectName(QStringLiteral("Ed_Value_Min"));
    m_maximum->setObjectName(QStringLiteral("Ed_Value_Max"));
    for (QLineEdit* number : {m_value, m_minimum, m_maximum})
        number->setAlignment(Qt::AlignRight);
    m_remark->setObjectName(QStringLiteral("Memo_Remark"));
    m_remark->setTabChangesFocus(true);
    m_remark->setFixedHeight(70);
    LimitMemoLength(m_remark, kRemarkLength);

    FieldBinding::Bind(m_date, &row(), QStringLiteral("Date_Analysis"), FieldBinding::Kind::Date);
    const struct {
        QLineEdit* field;
        const char* column;
    } numbers[] = {{m_value, "Value_Analysis"}, {m_minimum, "Value_Min"}, {m_maximum, "Value_Max"}};
    for (const auto& number : numbers)
        FieldBinding::Bind(number.field, &row(), QLatin1String(number.column), FieldBinding::Kind::Number)
            ->setPatterns(patterns.edit, patterns.display);
    FieldBinding::Bind(m_remark, &row(), QStringLiteral("Remark1"));
    AttachDatePicker(m_date, m_dateButton, &row(), QStringLiteral("Date_Analysis"));

    auto* grid = new QGridLayout;
    const struct {
        const char* label;
        QWidget* field;
    } line[] = {{"Date", m_date}, {"Valeur", m_value}, {"Valeur minimale", m_minimum}, {"Valeur maximale", m_maximum}};
    for (int column = 0; column < 4; ++column) {
        auto* label = new QLabel(QString::fromUtf8(line[column].label), this);
        label->setBuddy(line[column].field);
        grid->addWidget(label, 0, column);
        if (column == 0)
            grid->addLayout(FieldWithButton(m_date, m_dateButton), 1, 0);
        else
            grid->addWidget(line[column].field, 1, column);
    }
    grid->addWidget(new QLabel(QStringLiteral("Remarques"), this), 2, 0, 1, 4);
    grid->addWidget(m_remark, 3, 0, 1, 4);

    const DialogButtons buttons = MakeDialogButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons.bar);
    resize(520, sizeHint().height());

    connect(m_value, &QLineEdit::textChanged, this, &TEnterAnalysisValue::updateOk);
    setButtons(buttons.ok, buttons.cancel);
    updateOk();
    PrepareForm(this);
}

void TEnterAnalysisValue::updateOk() {
    okButton()->setEnabled(!m_value->text().trimmed().isEmpty());
}
