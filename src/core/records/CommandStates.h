#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// What the enabled state of the main window's commands depends on.
struct CommandStateInputs {
    bool personEmpty = true;            // the Person query has no row
    int selectedRow = -1;               // selected row of the person list
    int lastRow = -1;                   // index of the list's last entry
    qint64 currentPersonAnalysis = -1;  // -1: none
    bool analysisValuesEmpty = true;    // the Analysis query (results) has no row
    bool imageDocumentSelected = false; // the image sheet has entries and one is selected
    bool documentFilesEmpty = true;     // the DocumentFile query has no row
    bool mailSettingsComplete = false;  // sender name, address and server are all given
    bool eventsEmpty = true;            // the Event query has no row
};

// Object names of the commands whose state is computed (Btn_Main_Add is not among them: it is
// always available).
namespace Command {
// Main window.
inline const QString kMainDelete = QStringLiteral("Btn_Main_Delete");
inline const QString kMainEdit = QStringLiteral("Btn_Main_Edit");
inline const QString kMainPrior = QStringLiteral("Btn_Main_Prior");
inline const QString kMainNext = QStringLiteral("Btn_Main_Next");
inline const QString kToolbarPrint = QStringLiteral("Btn_Impression");
inline const QString kToolbarHtml = QStringLiteral("Btn_Toolbar_Html");
inline const QString kPrint = QStringLiteral("Btn_Imprimer");
inline const QString kHtml = QStringLiteral("Btn_Html");
// Page "Général".
inline const QString kAnalysisEdit = QStringLiteral("Ed_Analysis");
inline const QString kAnalysisSearch = QStringLiteral("Btn_Analysis");
inline const QString kAnalysisAdd = QStringLiteral("Btn_Analysis_Add");
inline const QString kAnalysisChange = QStringLiteral("Btn_Analysis_Edit");
inline const QString kAnalysisDelete = QStringLiteral("Btn_Analysis_Delete");
inline const QString kChart = QStringLiteral("Chart_Analysis");
inline const QString kChartPrint = QStringLiteral("Btn_Chart_Print");
inline const QString kChartSave = QStringLiteral("Btn_Chart_Save");
inline const QString kChartType = QStringLiteral("Btn_Chart_Type");
inline const QString kValueAdd = QStringLiteral("Btn_AnalysisValue_Add");
inline const QString kValueEdit = QStringLiteral("Btn_AnalysisValue_Edit");
inline const QString kValueDelete = QStringLiteral("Btn_AnalysisValue_Delete");
// Page "Documents".
inline const QString kImageAdd = QStringLiteral("Btn_Document_Img_Add");
inline const QString kImageEdit = QStringLiteral("Btn_Document_Img_Edit");
inline const QString kImageDelete = QStringLiteral("Btn_Document_Img_Delete");
inline const QString kImageView = QStringLiteral("Btn_Document_Img_Exe");
inline const QString kImageSave = QStringLiteral("Btn_Document_Img_Save");
inline const QString kImageEmail = QStringLiteral("Btn_Document_Img_Email");
inline const QString kFileAdd = QStringLiteral("Btn_Document_File_Add");
inline const QString kFileDelete = QStringLiteral("Btn_Document_File_Delete");
inline const QString kFileRun = QStringLiteral("Btn_Document_File_Exe");
inline const QString kFileSave = QStringLiteral("Btn_Document_File_Save");
inline const QString kFileEmail = QStringLiteral("Btn_Document_File_Email");
// Page "Evénements".
inline const QString kEventAdd = QStringLiteral("Btn_Event_Add");
inline const QString kEventEdit = QStringLiteral("Btn_Event_Edit");
inline const QString kEventDelete = QStringLiteral("Btn_Event_Delete");

// Every name above.
QStringList All();
} // namespace Command

// The enabled state of every command named in Command, by object name.
QHash<QString, bool> ComputeCommandStates(const CommandStateInputs& inputs);
