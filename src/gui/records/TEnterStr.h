#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The text-entry dialog: a prompt, one text field, Ok and Annuler. Ok is usable only while the text is not empty,
// so the dialog never returns an empty text; Annuler and the close button give Cancel.
class TEnterStr : public QDialog {
    Q_OBJECT
public:
    explicit TEnterStr(QWidget* owner = nullptr);

    void setPrompt(const QString& prompt);
    void setText(const QString& text);
    QString text() const;
    // 0: no limit.
    void setMaxLength(int length);

    // Shows the dialog on text; true, with the new text in *text, when it was closed with Ok.
    static bool EnterString(QWidget* owner, const QString& prompt, QString* text, int maxLength = 0);

private:
    void updateOk();

    QLabel* m_prompt;
    QLineEdit* m_text;
    QPushButton* m_ok;
};
