#include "gui/records/TComboList.h"

#include "core/app/MessageService.h"
#include "core/app/TextRoutines.h"
#include "core/db/Dataset.h"
#include "core/records/PickListEntries.h"
#include "gui/controls/FormConventions.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

namespace {

const QColor kListBackground(255, 255, 242);

std::function<bool(TComboList&)>& TestAnswer() {
    static std::function<bool(TComboList&)> answer;
    return answer;
}

void ShowError(const QString& error) {
    if (!error.isEmpty()) Messages().show(MessageIcon::Error, QString(), error);
}

// Stores text into the column of the first row, which is created when the table has none.
bool StoreList(Dataset& lists, const QString& column, const QString& text, QString* error) {
    const bool started = lists.isEmpty() ? lists.append() : lists.edit();
    if (!started || !lists.setValue(column, text)) {
        if (error) *error = QStringLiteral("La liste ne peut pas être enregistrée.");
        lists.cancel();
        return false;
    }
    if (lists.post(error)) return true;
    lists.cancel();
    return false;
}

} // namespace

TComboList::TComboList(const QString& title, QWidget* owner)
    : QDialog(owner), m_title(QStringLiteral(" ") + title), m_editor(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("ComboList"));
    setWindowTitle(FormCaptionFromTitle(m_title));
    setModal(true);
    m_editor->setObjectName(QStringLiteral("Memo_List"));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette colours = m_editor->palette();
    colours.setColor(QPalette::Base, kListBackground);
    m_editor->setPalette(colours);

    auto* ok = new QPushButton(QStringLiteral(" &Ok"), this);
    ok->setObjectName(QStringLiteral("Btn_Ok"));
    auto* cancel = new QPushButton(QStringLiteral(" &Annuler"), this);
    cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    // Enter makes a new line in the text area; it does not close the editor.
    for (QPushButton* button : {ok, cancel})
        button->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_editor, 1);
    layout->addLayout(buttons);
    resize(300, 360);
    PrepareForm(this);
}

QString TComboList::text() const {
    return m_editor->toPlainText();
}

void TComboList::setText(const QString& text) {
    m_editor->setPlainText(text);
}

bool EditPickList(QWidget* owner, const QString& title, const QString& column, Dataset* lists) {
    if (!lists) return false;
    QString error;
    lists->close();
    if (!lists->open(&error)) {
        ShowError(error);
        return false;
    }
    if (!lists->hasField(column)) {
        lists->close();
        ShowError(QStringLiteral("Champ '%1' non trouvé").arg(column));
        return false;
    }
    TComboList editor(title, owner);
    editor.setText(FoldedSortedList(lists->isEmpty() ? QString() : lists->asString(column)));
    const bool confirmed = TestAnswer() ? TestAnswer()(editor) : editor.exec() == QDialog::Accepted;
    bool stored = false;
    if (confirmed) {
        stored = StoreList(*lists, column, StoredListText(editor.text()), &error);
        ShowError(error);
    }
    lists->close();
    return stored;
}

void SetListEditorAnswerForTesting(std::function<bool(TComboList&)> answer) {
    TestAnswer() = std::move(answer);
}
