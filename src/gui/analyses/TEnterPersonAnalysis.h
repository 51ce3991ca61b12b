#pragma once

#include "core/analyses/PersonAnalyses.h"
#include "gui/analyses/AnalysisDialogsUi.h"
#include "gui/controls/DataBoundDialog.h"

class Dataset;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// The attach dialog ("  Sélection d'une analyse"): the catalogue entry chosen among those the person does not have
// yet (its unit, decimals and bounds copied in), then the person's own unit, decimals, bounds and remarks. It works
// on the person-analysis query's current row, which its caller has put into insert or edit state; " &Ok" posts it,
// " &Annuler" cancels it. Its title bar has no close button.
class TEnterPersonAnalysis : public DataBoundDialog {
    Q_OBJECT
public:
    static inline const QString kTitle = QStringLiteral("  Sélection d'une analyse");

    TEnterPersonAnalysis(Dataset& personAnalyses, qint64 personId, QWidget* owner = nullptr);

    // The Id of the row posted by " &Ok"; -1 before.
    qint64 postedId() const { return m_postedId; }

    QLineEdit* titleField() const { return m_title; }
    QLineEdit* unitField() const { return m_fields.unit; }
    QLineEdit* decimalsField() const { return m_fields.decimals; }
    QLineEdit* minimumField() const { return m_fields.minimum; }
    QLineEdit* maximumField() const { return m_fields.maximum; }
    QPlainTextEdit* remarksField() const { return m_fields.remarks; }
    // The entries the title picker offered when it last opened.
    const CatalogueChoices& choices() const { return m_choices; }

    // The title picker (its button, or Enter in the title).
    void Btn_TitleClick();
    // A title chosen at that index of the offered entries: the row takes that catalogue entry.
    void chooseTitle(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void rowPosted() override;

private:
    void updateOk();

    qint64 m_personId;
    QLineEdit* m_title;
    QToolButton* m_titleButton;
    AnalysisEntryFields m_fields{};
    CatalogueChoices m_choices;
    qint64 m_postedId = -1;
    bool m_shownOnce = false;
};
