#include "gui/controls/MaskEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

MaskEdit::MaskEdit(QWidget* parent) : MaskEdit(QString(), parent) {}

MaskEdit::MaskEdit(const QString& editMask, QWidget* parent) : QLineEdit(parent) {
    // A drop would insert text past the mask's positions.
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, &MaskEdit::normaliseForeignText);
    setEditMask(editMask);
}

void MaskEdit::setEditMask(const QString& mask) {
    const QString stored = text();
    m_mask = EditMask(mask);
    if (m_mask.isEmpty())
        showEditText(stored, static_cast<int>(stored.size()));
    else
        showEditText(m_mask.editText(stored), 0);
}

QString MaskEdit::text() const {
    return m_mask.isEmpty() ? QLineEdit::text() : m_mask.text(QLineEdit::text());
}

void MaskEdit::setText(const QString& text) {
    if (m_mask.isEmpty())
        showEditText(text, static_cast<int>(text.size()));
    else
        showEditText(m_mask.editText(text), 0);
}

bool MaskEdit::isComplete() const {
    return m_mask.isEmpty() || m_mask.isComplete(QLineEdit::text());
}

void MaskEdit::showEditText(const QString& editText, int cursor) {
    m_showing = true;
    if (editText != QLineEdit::text()) QLineEdit::setText(editText);
    setCursorPosition(cursor);
    m_showing = false;
}

// QLineEdit's own setters, clear() and its context-menu actions bypass the mask; what they leave is read as a
// stored text and shown again in the mask's layout.
void MaskEdit::normaliseForeignText(const QString& shown) {
    if (m_showing || m_mask.isEmpty()) return;
    if (m_mask.editText(m_mask.text(shown)) == shown) return;
    showEditText(m_mask.editText(shown), 0);
}

void MaskEdit::applyUserEdit(const EditMask::Edit& edit) {
    if (!edit.accepted) return;
    const bool changed = edit.editText != QLineEdit::text();
    showEditText(edit.editText, edit.cursor);
    if (changed) {
        setModified(true);
        emit textEdited(QLineEdit::text());
    }
}

void MaskEdit::typeText(const QString& typed) {
    EditMask::Edit edit{QLineEdit::text(), cursorPosition(), false};
    if (hasSelectedText()) edit = m_mask.clear(edit.editText, selectionStart(), selectionEnd());
    bool anyTaken = false;
    for (const QChar c : typed) {
        const EditMask::Edit next = m_mask.type(edit.editText, edit.cursor, c);
        if (!next.accepted) continue;
        edit = next;
        anyTaken = true;
    }
    // A refused keystroke leaves the field, and its selection, as they were.
    if (anyTaken) applyUserEdit(edit);
}

void MaskEdit::clearSelectionOrAt(bool forward) {
    if (hasSelectedText())
        applyUserEdit(m_mask.clear(QLineEdit::text(), selectionStart(), selectionEnd()));
    else if (forward)
        applyUserEdit(m_mask.deleteForward(QLineEdit::text(), cursorPosition()));
    else
        applyUserEdit(m_mask.backspace(QLineEdit::text(), cursorPosition()));
}

void MaskEdit::cutSelection() {
    if (!hasSelectedText()) return;
    copy();
    clearSelectionOrAt(true);
}

void MaskEdit::pasteClipboard() {
    typeText(QGuiApplication::clipboard()->text());
}

void MaskEdit::keyPressEvent(QKeyEvent* event) {
    if (m_mask.isEmpty() || isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->matches(QKeySequence::Paste)) {
        pasteClipboard();
    } else if (event->matches(QKeySequence::Cut)) {
        cutSelection();
    } else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        applyUserEdit(m_mask.clear(QLineEdit::text(), cursorPosition(), m_mask.length()));
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        applyUserEdit(m_mask.clear(QLineEdit::text(), 0, m_mask.length()));
    } else if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
               event->matches(QKeySequence::DeleteStartOfWord) || event->matches(QKeySequence::DeleteEndOfWord)) {
        // Word deletion and the line edit's undo history do not know the mask's positions.
    } else if (event->key() == Qt::Key_Backspace) {
        clearSelectionOrAt(false);
    } else if (event->key() == Qt::Key_Delete) {
        clearSelectionOrAt(true);
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint() &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        typeText(event->text());
    } else {
        QLineEdit::keyPressEvent(event);
    }
}

void MaskEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (m_mask.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    if (!event->commitString().isEmpty()) typeText(event->commitString());
    event->accept();
}

void MaskEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (m_mask.isEmpty()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("edit-undo") || name == QLatin1String("edit-redo")) {
            action->setVisible(false);
        } else if (name == QLatin1String("edit-cut")) {
            disconnect(action, &QAction::triggered, this, nullptr);
            connect(action, &QAction::triggered, this, &MaskEdit::cutSelection);
        } else if (name == QLatin1String("edit-paste")) {
            disconnect(action, &QAction::triggered, this, nullptr);
            connect(action, &QAction::triggered, this, &MaskEdit::pasteClipboard);
        } else if (name == QLatin1String("edit-delete")) {
            disconnect(action, &QAction::triggered, this, nullptr);
            connect(action, &QAction::triggered, this, [this] { clearSelectionOrAt(true); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QString FieldText(const QLineEdit* field) {
    if (!field) return QString();
    if (const auto* masked = qobject_cast<const MaskEdit*>(field)) return masked->text();
    return field->text();
}

void SetFieldText(QLineEdit* field, const QString& text) {
    if (!field) return;
    if (auto* masked = qobject_cast<MaskEdit*>(field))
        masked->setText(text);
    else
        field->setText(text);
}
