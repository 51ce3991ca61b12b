#include "gui/records/TEnterEvents.h"

#include "core/app/MessageService.h"
#include "core/db/Dataset.h"
#include "gui/controls/DialogButtons.h"
#include "gui/controls/DrawnTitleBar.h"
#include "gui/controls/FieldBinding.h"
#include "gui/controls/FieldButtons.h"
#include "gui/controls/FormConventions.h"
#include "gui/controls/MaskEdit.h"
#include "gui/records/TSelectDate.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("  Saisie d'un événement");

QLabel* FieldLabel(const QString& caption, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    return label;
}

} // namespace

TEnterEvents::TEnterEvents(Dataset& events, QWidget* owner)
    : QDialog(owner), m_events(events), m_date(new MaskEdit(MaskEdit::kDateMask, this)),
      m_time(new MaskEdit(MaskEdit::kTimeMask, this)), m_description(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("TEnterEvents"));
    setModal(true);

    QFrame* titleBar = MakeDrawnTitleBar(this, kTitle, [this] { reject(); });

    m_date->setObjectName(QStringLiteral("Ed_Event_Date"));
    m_time->setObjectName(QStringLiteral("Ed_Event_Time"));
    m_description->setObjectName(QStringLiteral("Ed_Description"));
    m_description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_description->setTabChangesFocus(true);
    m_description->setMinimumSize(320, 90);
    const int dateWidth = m_date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12;
    m_date->setFixedWidth(dateWidth);
    m_time->setFixedWidth(m_time->fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 12);
    QToolButton* dateButton = DateButton(this, QStringLiteral("Btn_Event_Date"));

    FieldBinding::Bind(m_date, &m_events, QStringLiteral("Date_Event"), FieldBinding::Kind::Date);
    FieldBinding::Bind(m_time, &m_events, QStringLiteral("Time_Event"));
    FieldBinding::Bind(m_description, &m_events, QStringLiteral("Description"));
    AttachDatePicker(m_date, dateButton, &m_events, QStringLiteral("Date_Event"), TSelectDate::ColumnKind::Date);

    auto* when = new QHBoxLayout;
    when->setSpacing(2);
    when->addWidget(m_date);
    when->addWidget(dateButton);
    when->addSpacing(16);
    when->addWidget(FieldLabel(QStringLiteral("Heure"), m_time, this));
    when->addSpacing(4);
    when->addWidget(m_time);
    when->addStretch(1);

    auto* fields = new QGridLayout;
    fields->addWidget(FieldLabel(QStringLiteral("Date"), m_date, this), 0, 0);
    fields->addLayout(when, 0, 1);
    fields->addWidget(FieldLabel(QStringLiteral("Description"), m_description, this), 1, 0, Qt::AlignTop);
    fields->addWidget(m_description, 1, 1);
    fields->setColumnStretch(1, 1);

    const DialogButtons buttons = MakeDialogButtons(this);
    m_ok = buttons.ok;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleBar);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons.bar);

    connect(m_description, &QPlainTextEdit::textChanged, this, [this] {
        limitDescription();
        updateOk();
    });
    connect(m_ok, &QPushButton::clicked, this, &TEnterEvents::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &TEnterEvents::reject);
    limitDescription();
    updateOk();
    PrepareForm(this);
}

void TEnterEvents::updateOk() {
    m_ok->setEnabled(!m_description->toPlainText().isEmpty());
}

// The column holds 255 characters: what is typed or pasted beyond them is cut off.
void TEnterEvents::limitDescription() {
    const QString text = m_description->toPlainText();
    if (text.size() <= kDescriptionMaxLength) return;
    QTextCursor cursor = m_description->textCursor();
    cursor.setPosition(kDescriptionMaxLength);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TEnterEvents::accept() {
    if (!m_ok->isEnabled()) return;
    QString error;
    if (!PostBoundRow(this, m_events, &error)) {
        Messages().show(MessageIcon::Error, QString(), error);
        return;
    }
    QDialog::accept();
}

void TEnterEvents::reject() {
    m_events.cancel();
    QDialog::reject();
}

bool EnterEvent(QWidget* owner, Dataset& events) {
    TEnterEvents dialog(events, owner);
    return dialog.exec() == QDialog::Accepted;
}
