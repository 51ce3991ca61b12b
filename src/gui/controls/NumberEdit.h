#pragma once

#include <QLineEdit>

// A field for a whole number from 0 to a maximum: only digits can be typed or pasted, at most a given
// number of them, and an entry that would leave a value above the maximum is undone. Empty reads as 0.
class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberEdit(QWidget* parent = nullptr);
    NumberEdit(int maxDigits, int maxValue, QWidget* parent = nullptr);

    int maxDigits() const { return maxLength(); }
    void setMaxDigits(int digits) { setMaxLength(digits); }
    int maxValue() const { return m_maxValue; }
    void setMaxValue(int value);

    // The number shown; 0 when the field is empty.
    int value() const;
    // Shows the value brought into 0..maxValue().
    void setValue(int value);

private:
    int m_maxValue = 0;
};
