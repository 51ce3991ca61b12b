#pragma once

#include "gui/analyses/AnalysisDialogsUi.h"
#include "gui/controls/DataBoundDialog.h"

class Dataset;
class QLineEdit;
class QPlainTextEdit;

// The catalogue entry editor ("  Saisie d'une analyse"): title, unit (from its pick list, whose list editor opens on
// a double click), decimals (0 to 3), the two bounds shown with the entry's decimals and unit, and the remarks. It
// works on the catalogue query's current row, which its caller has put into insert or edit state; " &Ok" posts it,
// " &Annuler" cancels it.
class TEnterAnalysis : public DataBoundDialog {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("  Saisie d'une analyse");

    explicit TEnterAnalysis(Dataset& catalogue, QWidget* owner = nullptr);

    QLineEdit* titleField() const { return m_title; }
    QLineEdit* unitField() const { return m_fields.unit; }
    QLineEdit* decimalsField() const { return m_fields.decimals; }
    QLineEdit* minimumField() const { return m_fields.minimum; }
    QLineEdit* maximumField() const { return m_fields.maximum; }
    QPlainTextEdit* remarksField() const { return m_fields.remarks; }

private:
    void updateOk();

    QLineEdit* m_title;
    AnalysisEntryFields m_fields{};
};
