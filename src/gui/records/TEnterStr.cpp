#include "gui/records/TEnterStr.h"

#include "gui/controls/DialogButtons.h"
#include "gui/controls/DrawnTitleBar.h"
#include "gui/controls/FormConventions.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("  Saisie d'une chaine de caractère");

} // namespace

TEnterStr::TEnterStr(QWidget* owner) : QDialog(owner), m_prompt(new QLabel(this)), m_text(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TEnterStr"));
    setModal(true);

    QFrame* titleBar = MakeDrawnTitleBar(this, kTitle, [this] { reject(); });

    m_prompt->setObjectName(QStringLiteral("Lab_Prompt"));
    m_prompt->setBuddy(m_text);
    m_text->setObjectName(QStringLiteral("Ed_Str"));
    m_text->setMinimumWidth(300);
    const DialogButtons buttons = MakeDialogButtons(this);
    m_ok = buttons.ok;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleBar);
    layout->addWidget(m_prompt);
    layout->addWidget(m_text);
    layout->addSpacing(6);
    layout->addLayout(buttons.bar);

    connect(m_text, &QLineEdit::textChanged, this, &TEnterStr::updateOk);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (!m_text->text().isEmpty()) accept();
    });
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateOk();
    PrepareForm(this);
}

void TEnterStr::setPrompt(const QString& prompt) {
    m_prompt->setText(prompt);
}

void TEnterStr::setText(const QString& text) {
    m_text->setText(text);
    m_text->selectAll();
    updateOk();
}

QString TEnterStr::text() const {
    return m_text->text();
}

void TEnterStr::setMaxLength(int length) {
    m_text->setMaxLength(length > 0 ? length : 32767);
}

void TEnterStr::updateOk() {
    m_ok->setEnabled(!m_text->text().isEmpty());
}

bool TEnterStr::EnterString(QWidget* owner, const QString& prompt, QString* text, int maxLength) {
    TEnterStr dialog(owner);
    dialog.setPrompt(prompt);
    dialog.setMaxLength(maxLength);
    dialog.setText(text ? *text : QString());
    if (dialog.exec() != QDialog::Accepted) return false;
    if (text) *text = dialog.text();
    return true;
}
