#pragma once

#include "gui/controls/EditMask.h"

#include <QLineEdit>

// A line edit with an edit mask (see EditMask): only what the mask accepts can be typed, each keystroke overwrites
// one position, separators are shown in place and typing one closes the group being typed. Without a mask it is a
// plain line edit.
//
// text() gives the stored text ("15/06/1985", "9:30", "" when nothing is typed) and setText() shows one; the field's
// display, with its blank characters, is editText(). QLineEdit::text() is not virtual: through a QLineEdit pointer
// use FieldText() and SetFieldText(), which know both kinds of field. A text set through QLineEdit's own setters is
// brought back to the mask's layout.
class MaskEdit : public QLineEdit {
    Q_OBJECT
public:
    static inline const QString kDateMask = QStringLiteral("!99/99/0000;1;_");
    static inline const QString kTimeMask = QStringLiteral("!90:00;1;_");
    static inline const QString kSocialSecurityMask = QStringLiteral("!9 99 99 99 999 999 00;1;_");

    explicit MaskEdit(QWidget* parent = nullptr);
    explicit MaskEdit(const QString& editMask, QWidget* parent = nullptr);

    // Changing the mask keeps the stored text when the new mask can show it.
    void setEditMask(const QString& mask);
    QString editMask() const { return m_mask.mask(); }

    QString text() const;
    void setText(const QString& text);
    QString editText() const { return QLineEdit::text(); }
    // Every required position of the mask is filled; always true without a mask.
    bool isComplete() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void showEditText(const QString& editText, int cursor);
    void applyUserEdit(const EditMask::Edit& edit);
    void typeText(const QString& typed);
    void clearSelectionOrAt(bool forward);
    void cutSelection();
    void pasteClipboard();
    void normaliseForeignText(const QString& shown);

    EditMask m_mask;
    bool m_showing = false;
};

// The stored text of a field: a MaskEdit's text(), a plain line edit's text.
QString FieldText(const QLineEdit* field);
// Shows a stored text in a field of either kind.
void SetFieldText(QLineEdit* field, const QString& text);
