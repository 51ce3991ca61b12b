#pragma once

#include <QDialog>

class Dataset;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The catalogue entry editor ("  Saisie d'une analyse"): title, unit (from its pick list, whose list editor opens on
// a double click), decimals (0 to 3), the two bounds shown with the entry's decimals and unit, and the remarks. It
// works on the catalogue query's current row, which its caller has put into insert or edit state; " &Ok" posts it,
// " &Annuler" cancels it.
class TEnterAnalysis : public QDialog {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("  Saisie d'une analyse");

    explicit TEnterAnalysis(Dataset& catalogue, QWidget* owner = nullptr);

    QLineEdit* titleField() const { return m_title; }
    QLineEdit* unitField() const { return m_unit; }
    QLineEdit* decimalsField() const { return m_decimals; }
    QLineEdit* minimumField() const { return m_minimum; }
    QLineEdit* maximumField() const { return m_maximum; }
    QPlainTextEdit* remarksField() const { return m_remarks; }
    QPushButton* okButton() const { return m_ok; }

    void Btn_OkClick();
    void Btn_CancelClick();

protected:
    void reject() override;

private:
    void updateOk();

    Dataset& m_row;
    QLineEdit* m_title;
    QLineEdit* m_unit;
    QToolButton* m_unitButton;
    QLineEdit* m_decimals;
    QToolButton* m_decimalsButton;
    QLineEdit* m_minimum;
    QLineEdit* m_maximum;
    QPlainTextEdit* m_remarks;
    QPushButton* m_ok;
    bool m_closing = false;
};
