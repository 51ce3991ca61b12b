#include "gui/analyses/TEnterAnalysis.h"

#include "gui/controls/DialogButtons.h"
#include "gui/controls/FieldBinding.h"
#include "gui/controls/FormConventions.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTitleLength = 128;

} // namespace

TEnterAnalysis::TEnterAnalysis(Dataset& catalogue, QWidget* owner)
    : DataBoundDialog(catalogue, owner), m_title(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TEnterAnalysis"));
    setWindowTitle(kTitle.trimmed());
    setModal(true);

    m_title->setObjectName(QStringLiteral("Ed_Title"));
    m_title->setMaxLength(kTitleLength);
    FieldBinding::Bind(m_title, &row(), QStringLiteral("Title"));
    m_fields = MakeAnalysisEntryFields(this, &row(), QStringLiteral("Memo_Description"), QStringLiteral("Description"));

    auto* grid = new QGridLayout;
    grid->addWidget(BuddyLabel(QStringLiteral("Titre"), m_title), 0, 0);
    grid->addWidget(m_title, 0, 1, 1, 3);
    AddAnalysisEntryRows(grid, m_fields);

    const DialogButtons buttons = MakeDialogButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons.bar);
    resize(460, sizeHint().height());

    connect(m_title, &QLineEdit::textChanged, this, &TEnterAnalysis::updateOk);
    setButtons(buttons.ok, buttons.cancel);
    updateOk();
    PrepareForm(this);
}

void TEnterAnalysis::updateOk() {
    okButton()->setEnabled(!m_title->text().isEmpty());
}
