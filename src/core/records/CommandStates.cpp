#include "core/records/CommandStates.h"

QStringList Command::All() {
    return {kMainDelete, kMainEdit,     kMainPrior,      kMainNext,    kToolbarPrint,   kToolbarHtml,    kPrint,
            kHtml,       kAnalysisEdit, kAnalysisSearch, kAnalysisAdd, kAnalysisChange, kAnalysisDelete, kChart,
            kChartPrint, kChartSave,    kChartType,      kValueAdd,    kValueEdit,      kValueDelete,    kImageAdd,
            kImageEdit,  kImageDelete,  kImageView,      kImageSave,   kImageEmail,     kFileAdd,        kFileDelete,
            kFileRun,    kFileSave,     kFileEmail,      kEventAdd,    kEventEdit,      kEventDelete};
}

QHash<QString, bool> ComputeCommandStates(const CommandStateInputs& in) {
    using namespace Command;
    QHash<QString, bool> states;
    const auto set = [&states](const QStringList& names, bool enabled) {
        for (const QString& name : names)
            states.insert(name, enabled);
    };

    if (in.personEmpty) {
        set(All(), false);
        return states;
    }

    // Available as soon as there is a person.
    set({kMainDelete, kMainEdit, kChart, kAnalysisEdit, kAnalysisSearch, kAnalysisAdd, kChartPrint, kChartSave,
         kChartType, kImageAdd, kFileAdd, kEventAdd, kToolbarPrint, kToolbarHtml, kPrint, kHtml},
        true);
    states.insert(kMainPrior, in.selectedRow > 0);
    states.insert(kMainNext, in.selectedRow < in.lastRow);

    const bool analysisChosen = in.currentPersonAnalysis != -1;
    set({kAnalysisChange, kAnalysisDelete, kValueAdd}, analysisChosen);
    set({kValueEdit, kValueDelete}, analysisChosen && !in.analysisValuesEmpty);

    set({kImageEdit, kImageDelete, kImageView, kImageSave, kImageEmail}, in.imageDocumentSelected);
    set({kFileDelete, kFileRun, kFileSave, kFileEmail}, !in.documentFilesEmpty);
    if (!in.mailSettingsComplete) set({kImageEmail, kFileEmail}, false);

    set({kEventEdit, kEventDelete}, !in.eventsEmpty);
    return states;
}
