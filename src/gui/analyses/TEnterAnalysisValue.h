#pragma once

#include "core/analyses/ValueFormat.h"
#include "gui/controls/DataBoundDialog.h"

class Dataset;
class MaskEdit;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// The result dialog ("  Saisie d'une valeur"): the date (typed, or from the calendar), the value, its two bounds,
// shown with the person-analysis' decimals and unit, and a remark. It works on the results query's current row,
// which its caller has put into insert or edit state; " &Ok" posts it, " &Annuler" cancels it. Its title bar has no
// close button.
class TEnterAnalysisValue : public DataBoundDialog {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("  Saisie d'une valeur");
    // What ANALYSIS.Remark1 holds.
    static constexpr int kRemarkLength = 128;

    TEnterAnalysisValue(Dataset& results, const ValuePatterns& patterns, QWidget* owner = nullptr);

    MaskEdit* dateField() const { return m_date; }
    QToolButton* dateButton() const { return m_dateButton; }
    QLineEdit* valueField() const { return m_value; }
    QLineEdit* minimumField() const { return m_minimum; }
    QLineEdit* maximumField() const { return m_maximum; }
    QPlainTextEdit* remarkField() const { return m_remark; }

private:
    void updateOk();

    MaskEdit* m_date;
    QToolButton* m_dateButton;
    QLineEdit* m_value;
    QLineEdit* m_minimum;
    QLineEdit* m_maximum;
    QPlainTextEdit* m_remark;
};
