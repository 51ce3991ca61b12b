#include "gui/controls/NumberEdit.h"

#include <QValidator>

#include <algorithm>

namespace {

// Refusing an entry (Invalid) makes the line edit drop it: the field keeps the text it had.
class DigitsValidator : public QValidator {
public:
    DigitsValidator(const NumberEdit* edit) : QValidator(const_cast<NumberEdit*>(edit)), m_edit(edit) {}

    State validate(QString& input, int&) const override {
        if (input.isEmpty()) return Acceptable;
        if (input.size() > m_edit->maxDigits()) return Invalid;
        for (const QChar c : std::as_const(input))
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
        bool ok = false;
        const qlonglong value = input.toLongLong(&ok);
        return ok && value <= m_edit->maxValue() ? Acceptable : Invalid;
    }

private:
    const NumberEdit* m_edit;
};

} // namespace

NumberEdit::NumberEdit(QWidget* parent) : NumberEdit(9, 999999999, parent) {}

NumberEdit::NumberEdit(int maxDigits, int maxValue, QWidget* parent) : QLineEdit(parent), m_maxValue(maxValue) {
    setMaxLength(maxDigits);
    setValidator(new DigitsValidator(this));
    setInputMethodHints(Qt::ImhDigitsOnly);
}

void NumberEdit::setMaxValue(int value) {
    m_maxValue = value;
    if (this->value() > m_maxValue) setValue(m_maxValue);
}

int NumberEdit::value() const {
    return text().isEmpty() ? 0 : text().toInt();
}

void NumberEdit::setValue(int value) {
    setText(QString::number(std::clamp(value, 0, m_maxValue)));
}
