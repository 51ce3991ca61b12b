#pragma once

#include "analyses/PersonAnalyses.h"

#include <QDialog>

class Dataset;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The attach dialog ("  Sélection d'une analyse"): the catalogue entry chosen among those the person does not have
// yet (its unit, decimals and bounds copied in), then the person's own unit, decimals, bounds and remarks. It works
// on the person-analysis query's current row, which its caller has put into insert or edit state; " &Ok" posts it,
// " &Annuler" cancels it. Its title bar has no close button.
class TEnterPersonAnalysis : public QDialog {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("  Sélection d'une analyse");

    TEnterPersonAnalysis(Dataset& personAnalyses, qint64 personId, QWidget* owner = nullptr);

    // The Id of the row posted by " &Ok"; -1 before.
    qint64 postedId() const { return m_postedId; }

    QLineEdit* titleField() const { return m_title; }
    QLineEdit* unitField() const { return m_unit; }
    QLineEdit* decimalsField() const { return m_decimals; }
    QLineEdit* minimumField() const { return m_minimum; }
    QLineEdit* maximumField() const { return m_maximum; }
    QPlainTextEdit* remarksField() const { return m_remarks; }
    QPushButton* okButton() const { return m_ok; }
    // The entries the title picker offered when it last opened.
    const CatalogueChoices& choices() const { return m_choices; }

    // The title picker (its button, or Enter in the title).
    void Btn_TitleClick();
    // A title chosen at that index of the offered entries: the row takes that catalogue entry.
    void chooseTitle(int index);
    void Btn_OkClick();
    void Btn_CancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void updateOk();

    Dataset& m_row;
    qint64 m_personId;
    QLineEdit* m_title;
    QToolButton* m_titleButton;
    QLineEdit* m_unit;
    QToolButton* m_unitButton;
    QLineEdit* m_decimals;
    QToolButton* m_decimalsButton;
    QLineEdit* m_minimum;
    QLineEdit* m_maximum;
    QPlainTextEdit* m_remarks;
    QPushButton* m_ok;
    CatalogueChoices m_choices;
    qint64 m_postedId = -1;
    bool m_shownOnce = false;
    bool m_closing = false;
};
