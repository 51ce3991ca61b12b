// The catalogue window and the three analysis dialogs, driven through their widgets: the catalogue's buttons, its
// new-entry defaults, double click, deletion of an entry used by three records (and Ctrl+Delete doing the same,
// question included); the bound fields' patterns, the unit and decimals pickers and the unit list editor; a bound
// that is not a number, an empty bound; the attach dialog's title picker and copies; the result dialog's Ok, date
// picker and remark length. Screenshots of each window.
#include "support/AnalysisFixture.h"

#include "core/analyses/PersonAnalyses.h"
#include "core/app/DateRoutines.h"
#include "gui/analyses/TAnalysisList.h"
#include "gui/analyses/TEnterAnalysis.h"
#include "gui/analyses/TEnterAnalysisValue.h"
#include "gui/analyses/TEnterPersonAnalysis.h"
#include "gui/controls/MaskEdit.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/records/TComboList.h"
#include "gui/records/TSelectDate.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

using namespace AnalysisFixture;

namespace {

constexpr qint64 kAlice = 1;
constexpr qint64 kBruno = 2;
constexpr qint64 kChloe = 3;
constexpr qint64 kGlucose = 10;
constexpr qint64 kFerritin = 11;
constexpr qint64 kUrea = 12;

void ShowAndActivate(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class TestAnalysisDialogs : public QObject {
    Q_OBJECT
    std::unique_ptr<MainFormFixture> m_fixture;

    TDataModule1* data() const { return m_fixture->module(); }

    Dataset& catalogueOn(qint64 id) {
        Dataset& catalogue = *data()->Lst_Analysis;
        catalogue.close();
        if (!catalogue.open() || !catalogue.locate(id)) qFatal("no catalogue entry %lld", id);
        return catalogue;
    }

    // A new result of Alice's glucose (person-analysis 100) begun as the page's Ajouter begins it, today.
    bool beginNewGlucoseResult() {
        Attach(100, kAlice, kGlucose);
        Dataset& results = *data()->Analysis;
        return OpenPersonAnalysisResults(results, 100) && BeginNewResult(results, 100, QDate(2026, 12, 9));
    }

private slots:
    void initTestCase() { RecordMessagesWithClockAt(QDateTime(QDate(2026, 12, 9), QTime(10, 0))); }
    void init() {
        MessageBoxService::clearRecordedMessages();
        m_fixture = std::make_unique<MainFormFixture>();
        QVERIFY(m_fixture->ready());
        MainFormFixture::AddPerson(kAlice, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(kBruno, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
        MainFormFixture::AddPerson(kChloe, QStringLiteral("Carré"), QStringLiteral("Chloé"));
        AddCatalogueEntry(kGlucose, QStringLiteral("Glycémie"), QStringLiteral("g/l"), 2, 0.7, 1.1);
        AddCatalogueEntry(kFerritin, QStringLiteral("Ferritine"), QStringLiteral("ng/ml"), 0, 20, 300);
        AddCatalogueEntry(kUrea, QStringLiteral("Urée"), QStringLiteral("mmol/l"), 1, 2.5, std::nullopt);
        MainFormFixture::Exec(QStringLiteral("UPDATE COMBOITEMS SET Analysis_Unit=?"),
                              {QStringLiteral("mmol/l\r\ng/l\r\nUI/l")});
    }
    void cleanup() {
        SetListEditorAnswerForTesting(nullptr);
        m_fixture.reset();
    }

    // An empty catalogue: only " Ajouter" and " &Fermer"; after the first entry is confirmed, all four.
    void emptyCatalogue() {
        MainFormFixture::Exec(QStringLiteral("DELETE FROM LST_ANALYSIS"));
        TAnalysisList list(*data());
        ShowAndActivate(&list);
        auto* edit = Child<QPushButton>(&list, QStringLiteral("Btn_Edit"));
        auto* remove = Child<QPushButton>(&list, QStringLiteral("Btn_Delete"));
        QVERIFY(!edit->isEnabled());
        QVERIFY(!remove->isEnabled());
        QCOMPARE(list.grid()->model()->rowCount(), 0);
        SaveScreenshot(&list, QStringLiteral("TAnalysisList-empty"));

        bool checked = false;
        OnNextDialog<TEnterAnalysis>([&](TEnterAnalysis& editor) {
            // A new entry: no unit, 2 decimals, bounds 0 with two decimals.
            QCOMPARE(editor.unitField()->text(), QString());
            QCOMPARE(editor.decimalsField()->text(), QStringLiteral("2"));
            QCOMPARE(editor.minimumField()->text(), QStringLiteral("0,00 "));
            QCOMPARE(editor.maximumField()->text(), QStringLiteral("0,00 "));
            QVERIFY(!editor.okButton()->isEnabled());
            QTest::keyClicks(editor.titleField(), QStringLiteral("T"));
            QVERIFY(editor.okButton()->isEnabled());
            QTest::keyClick(editor.titleField(), Qt::Key_Backspace);
            QVERIFY(!editor.okButton()->isEnabled());
            QTest::keyClicks(editor.titleField(), QStringLiteral("TSH"));
            checked = true;
            editor.Btn_OkClick();
        });
        list.Btn_AddClick();
        QVERIFY(checked);
        QVERIFY(edit->isEnabled());
        QVERIFY(remove->isEnabled());
        QCOMPARE(Stored(QStringLiteral("SELECT Title || '|' || Unit || '|' || \"Decimal\" || '|' || Value_Min || '|' "
                                       "|| Value_Max FROM LST_ANALYSIS"))
                     .toString(),
                 QStringLiteral("TSH||2|0.0|0.0"));
    }

    // Annuler drops a new entry; the grid shows the four labelled columns in order of title.
    void cancelledEntryAndColumns() {
        TAnalysisList list(*data());
        ShowAndActivate(&list);
        const QAbstractItemModel* model = list.grid()->model();
        QCOMPARE(model->columnCount(), 4);
        QStringList headers;
        for (int column = 0; column < 4; ++column)
            headers << model->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Titre", "Unité", "Decimales", "Description"}));
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Ferritine"));
        QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("Urée"));
        SaveScreenshot(&list, QStringLiteral("TAnalysisList"));
        OnNextDialog<TEnterAnalysis>([](TEnterAnalysis& editor) {
            Keys(editor.titleField(), QStringLiteral("Abandonnée"));
            editor.Btn_CancelClick();
        });
        list.Btn_AddClick();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM LST_ANALYSIS")), qint64(3));
    }

    // A double click on a row changes that entry.
    void doubleClickChanges() {
        TAnalysisList list(*data());
        ShowAndActivate(&list);
        QTableView* grid = list.grid();
        const QModelIndex urea = grid->model()->index(2, 0);
        QString shownTitle;
        OnNextDialog<TEnterAnalysis>([&](TEnterAnalysis& editor) {
            shownTitle = editor.titleField()->text();
            Type(editor.titleField(), QStringLiteral("Azote uréique"));
            editor.Btn_OkClick();
        });
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(urea).center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(urea).center());
        QCOMPARE(shownTitle, QStringLiteral("Urée"));
        QCOMPARE(Stored(QStringLiteral("SELECT Title FROM LST_ANALYSIS WHERE Id=12")).toString(),
                 QStringLiteral("Azote uréique"));
        // The changed title takes its place in the order, and stays the current row.
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("Azote uréique"));
        QCOMPARE(grid->currentIndex().row(), 0);
    }

    // The bound fields follow the decimals and the unit: shown with the unit, edited without.
    void boundPatterns_data() {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("bound");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("edited");
        QTest::newRow("5.5 with 2 decimals and g/l") << 2 << "g/l" << 5.5 << "5,50 g/l"
                                                     << "5,50";
        QTest::newRow("4.6 without decimals") << 0 << "g/l" << 4.6 << "5 g/l"
                                              << "5";
        QTest::newRow("no unit") << 1 << "" << 12.34 << "12,3 "
                                 << "12,3";
    }
    void boundPatterns() {
        QFETCH(int, decimals);
        QFETCH(QString, unit);
        QFETCH(double, bound);
        QFETCH(QString, shown);
        QFETCH(QString, edited);
        MainFormFixture::Exec(QStringLiteral("UPDATE LST_ANALYSIS SET \"Decimal\"=?, Unit=?, Value_Min=? WHERE Id=10"),
                              {decimals, unit, bound});
        Dataset& catalogue = catalogueOn(kGlucose);
        QVERIFY(catalogue.edit());
        TEnterAnalysis editor(catalogue);
        ShowAndActivate(&editor);
        QCOMPARE(editor.minimumField()->text(), shown);
        editor.minimumField()->setFocus();
        QCOMPARE(editor.minimumField()->text(), edited);
        editor.titleField()->setFocus();
        QCOMPARE(editor.minimumField()->text(), shown);
        editor.Btn_CancelClick();
    }

    // The decimals picker offers 0 to 3 only; choosing one changes the patterns at once.
    void decimalsPicker() {
        Dataset& catalogue = catalogueOn(kGlucose);
        TEnterAnalysis editor(catalogue);
        ShowAndActivate(&editor);
        QTest::mouseClick(Child<QToolButton>(&editor, QStringLiteral("Btn_Decimal")), Qt::LeftButton);
        TPickList* list = OpenPickList();
        QVERIFY(list);
        QCOMPARE(list->entries(), (QStringList{"0", "1", "2", "3"}));
        SaveScreenshot(&editor, QStringLiteral("TEnterAnalysis"));
        list->choose(3);
        QVERIFY(catalogue.isEditing());
        QCOMPARE(editor.decimalsField()->text(), QStringLiteral("3"));
        QCOMPARE(editor.maximumField()->text(), QStringLiteral("1,100 g/l"));
        editor.Btn_OkClick();
        QVERIFY(editor.result() == QDialog::Accepted);
        QCOMPARE(Stored(QStringLiteral("SELECT \"Decimal\" FROM LST_ANALYSIS WHERE Id=10")).toInt(), 3);
        // Enter in the field opens it too.
        QVERIFY(catalogue.edit());
        TEnterAnalysis again(catalogue);
        ShowAndActivate(&again);
        again.decimalsField()->setFocus();
        QTest::keyClick(again.decimalsField(), Qt::Key_Return);
        QVERIFY(OpenPickList());
        QVERIFY(again.isVisible());
        OpenPickList()->close();
        again.Btn_CancelClick();
    }

    // The unit picker: the units sorted after an empty first line, which clears the unit.
    void unitPicker() {
        Dataset& catalogue = catalogueOn(kGlucose);
        TEnterAnalysis editor(catalogue);
        ShowAndActivate(&editor);
        editor.unitField()->setFocus();
        QTest::keyClick(editor.unitField(), Qt::Key_Return);
        TPickList* list = OpenPickList();
        QVERIFY(list);
        QCOMPARE(list->entries(), (QStringList{"", "g/l", "mmol/l", "UI/l"}));
        list->choose(2);
        QCOMPARE(editor.unitField()->text(), QStringLiteral("mmol/l"));
        QCOMPARE(editor.minimumField()->text(), QStringLiteral("0,70 mmol/l"));
        QTest::mouseClick(Child<QToolButton>(&editor, QStringLiteral("Btn_Unit")), Qt::LeftButton);
        QVERIFY(OpenPickList());
        OpenPickList()->choose(0);
        QCOMPARE(editor.unitField()->text(), QString());
        QCOMPARE(editor.minimumField()->text(), QStringLiteral("0,70 "));
        editor.Btn_OkClick();
        QVERIFY(Stored(QStringLiteral("SELECT Unit FROM LST_ANALYSIS WHERE Id=10")).isNull());
    }

    // A double click in the unit opens the list editor of the units; nothing in the decimals.
    void unitListEditor() {
        QStringList opened;
        SetListEditorAnswerForTesting([&](TComboList& editor) {
            opened << editor.title() + QLatin1Char('|') + editor.text();
            editor.setText(editor.text() + QStringLiteral("\nmg/dl"));
            return true;
        });
        Dataset& catalogue = catalogueOn(kGlucose);
        TEnterAnalysis editor(catalogue);
        ShowAndActivate(&editor);
        QTest::mouseDClick(editor.decimalsField(), Qt::LeftButton);
        QVERIFY(opened.isEmpty());
        QTest::mouseDClick(editor.unitField(), Qt::LeftButton);
        QCOMPARE(opened, (QStringList{" Unités|g/l\nmmol/l\nUI/l"}));
        QVERIFY(Stored(QStringLiteral("SELECT Analysis_Unit FROM COMBOITEMS"))
                    .toString()
                    .contains(QStringLiteral("mg/dl")));
        editor.Btn_CancelClick();
    }

    // A bound that is not a number is refused on Ok: the message, the editor still open, the row still in edit.
    void boundNotANumber() {
        Dataset& catalogue = catalogueOn(kGlucose);
        QVERIFY(catalogue.edit());
        TEnterAnalysis editor(catalogue);
        ShowAndActivate(&editor);
        Type(editor.minimumField(), QStringLiteral("abc"));
        editor.Btn_OkClick();
        QCOMPARE(RecordedMessageTexts(), (QStringList{"'abc' n'est pas une valeur en virgule flottante correcte"}));
        QVERIFY(editor.isVisible());
        QVERIFY(catalogue.isEditing());
        QCOMPARE(editor.minimumField()->text(), QStringLiteral("abc"));
        // Corrected, it goes through; an emptied bound is stored as none.
        Type(editor.minimumField(), QStringLiteral("0,65"));
        Type(editor.maximumField(), QString());
        editor.Btn_OkClick();
        QVERIFY(!catalogue.isEditing());
        QCOMPARE(Stored(QStringLiteral("SELECT Value_Min FROM LST_ANALYSIS WHERE Id=10")).toDouble(), 0.65);
        QVERIFY(Stored(QStringLiteral("SELECT Value_Max FROM LST_ANALYSIS WHERE Id=10")).isNull());
    }

    // Deleting an entry used by three records removes their person-analyses and results, nothing else; No keeps
    // everything; Ctrl+Delete in the grid asks the same question and deletes the same way.
    void deletion_data() {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<bool>("answer");
        QTest::newRow("button, Yes") << false << true;
        QTest::newRow("button, No") << false << false;
        QTest::newRow("Ctrl+Delete, Yes") << true << true;
        QTest::newRow("Ctrl+Delete, No") << true << false;
    }
    void deletion() {
        QFETCH(bool, byKey);
        QFETCH(bool, answer);
        Attach(100, kAlice, kGlucose);
        Attach(101, kBruno, kGlucose);
        Attach(102, kChloe, kGlucose);
        Attach(103, kAlice, kFerritin);
        for (const qint64 id : {100, 101, 102, 103})
            AddResult(id, QStringLiteral("2024-01-15"), 1.0, 0.7, 1.1);
        AddResult(100, QStringLiteral("2024-02-15"), 1.2, 0.7, 1.1);

        TAnalysisList list(*data());
        ShowAndActivate(&list);
        QTableView* grid = list.grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 0)).center());
        QCOMPARE(data()->Lst_Analysis->asString(QStringLiteral("Title")), QStringLiteral("Glycémie"));
        MessageBoxService::queueAnswerForTesting(answer);
        if (byKey)
            QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        else
            QTest::mouseClick(Child<QPushButton>(&list, QStringLiteral("Btn_Delete")), Qt::LeftButton);
        QCOMPARE(RecordedMessageTexts(), (QStringList{"Désirez-vous supprimer cette analyse ?"}));

        const qint64 remaining = answer ? 2 : 3;
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM LST_ANALYSIS")), remaining);
        QCOMPARE(grid->model()->rowCount(), int(remaining));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS")), answer ? qint64(1) : qint64(4));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), answer ? qint64(1) : qint64(5));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref=103")), qint64(1));
    }

    // The attach dialog: the title picker offers the entries not yet attached, without an empty line; picking one
    // copies its unit, decimals and bounds (an empty bound stays empty).
    void attachDialog() {
        Attach(100, kAlice, kGlucose);
        Dataset& personAnalyses = *data()->L_Analysis;
        QVERIFY(BeginPersonAnalysis(personAnalyses, kAlice));
        TEnterPersonAnalysis dialog(personAnalyses, kAlice);
        ShowAndActivate(&dialog);
        QCOMPARE(dialog.titleField()->text(), QString());
        QVERIFY(!dialog.okButton()->isEnabled());
        QTest::mouseClick(Child<QToolButton>(&dialog, QStringLiteral("Btn_Title")), Qt::LeftButton);
        TPickList* list = OpenPickList();
        QVERIFY(list);
        QCOMPARE(list->entries(), (QStringList{"Ferritine", "Urée"}));
        list->choose(1);
        QCOMPARE(dialog.titleField()->text(), QStringLiteral("Urée"));
        QVERIFY(dialog.okButton()->isEnabled());
        QCOMPARE(dialog.unitField()->text(), QStringLiteral("mmol/l"));
        QCOMPARE(dialog.decimalsField()->text(), QStringLiteral("1"));
        QCOMPARE(dialog.minimumField()->text(), QStringLiteral("2,5 mmol/l"));
        QCOMPARE(dialog.maximumField()->text(), QString());
        Keys(dialog.remarksField(), QStringLiteral("À jeun"));
        SaveScreenshot(&dialog, QStringLiteral("TEnterPersonAnalysis"));
        dialog.Btn_OkClick();
        QVERIFY(dialog.postedId() > 0);
        QCOMPARE(Stored(QStringLiteral("SELECT Id_Ref || '|' || Id_File || '|' || Id_Analysis || '|' || Unit || '|' || "
                                       "\"Decimal\" || '|' || Value_Min || '|' || IFNULL(Value_Max, 'none') || '|' || "
                                       "Remark1 FROM L_ANALYSIS WHERE Id=%1")
                            .arg(dialog.postedId()))
                     .toString(),
                 QStringLiteral("1|-1|12|mmol/l|1|2.5|none|À jeun"));
    }

    // Changing an attached analysis shows its title; switching it to another entry keeps its results.
    void changeDialog() {
        Attach(100, kAlice, kGlucose);
        AddResult(100, QStringLiteral("2024-01-15"), 1.0, 0.7, 1.1);
        Dataset& personAnalyses = *data()->L_Analysis;
        QVERIFY(LocatePersonAnalysis(personAnalyses, 100));
        QVERIFY(personAnalyses.edit());
        TEnterPersonAnalysis dialog(personAnalyses, kAlice);
        ShowAndActivate(&dialog);
        QCOMPARE(dialog.titleField()->text(), QStringLiteral("Glycémie"));
        QVERIFY(dialog.okButton()->isEnabled());
        dialog.titleField()->setFocus();
        QTest::keyClick(dialog.titleField(), Qt::Key_Return);
        QVERIFY(OpenPickList());
        QCOMPARE(OpenPickList()->entries(), (QStringList{"Ferritine", "Urée"}));
        OpenPickList()->choose(0);
        dialog.Btn_OkClick();
        QCOMPARE(dialog.postedId(), qint64(100));
        QCOMPARE(Stored(QStringLiteral("SELECT Id_Analysis || '|' || Unit FROM L_ANALYSIS WHERE Id=100")).toString(),
                 QStringLiteral("11|ng/ml"));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref=100")), qint64(1));
    }

    // The result dialog: Ok only with a value; the calendar button opens the date picker on the row; the remark
    // holds what its column holds.
    void resultDialog() {
        Dataset& results = *data()->Analysis;
        QVERIFY(beginNewGlucoseResult());
        TEnterAnalysisValue dialog(results, AnalysisValuePatterns(2, QStringLiteral("g/l")));
        ShowAndActivate(&dialog);
        QCOMPARE(dialog.dateField()->text(), QStringLiteral("09/12/2026"));
        QCOMPARE(dialog.valueField()->text(), QStringLiteral("0,00 g/l"));
        QCOMPARE(dialog.minimumField()->text(), QStringLiteral("0,70 g/l"));
        QCOMPARE(dialog.maximumField()->text(), QStringLiteral("1,10 g/l"));
        QVERIFY(dialog.okButton()->isEnabled());
        Type(dialog.valueField(), QString());
        QVERIFY(!dialog.okButton()->isEnabled());
        Type(dialog.valueField(), QStringLiteral("1,234"));
        QVERIFY(dialog.okButton()->isEnabled());
        QTest::keyClicks(dialog.remarkField(), QString(200, QLatin1Char('x')));
        QCOMPARE(dialog.remarkField()->toPlainText().size(), TEnterAnalysisValue::kRemarkLength);
        SaveScreenshot(&dialog, QStringLiteral("TEnterAnalysisValue"));

        QTest::mouseClick(dialog.dateButton(), Qt::LeftButton);
        TSelectDate* picker = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* candidate = qobject_cast<TSelectDate*>(widget); candidate && candidate->isVisible())
                picker = candidate;
        QVERIFY(picker);
        QCOMPARE(picker->workingDateText(), QStringLiteral("09/12/2026"));
        picker->calendar()->setSelectedDate(QDate(2026, 11, 30));
        picker->accept();
        QCOMPARE(dialog.dateField()->text(), QStringLiteral("30/11/2026"));

        dialog.Btn_OkClick();
        QVERIFY(dialog.result() == QDialog::Accepted);
        QCOMPARE(Stored(QStringLiteral("SELECT Date_Analysis || '|' || Value_Analysis || '|' || length(Remark1) FROM "
                                       "ANALYSIS WHERE Id_Ref=100"))
                     .toString(),
                 QStringLiteral("2026-11-30|1.234|128"));
    }

    // Annuler on a new result leaves no row.
    void cancelledResult() {
        Dataset& results = *data()->Analysis;
        QVERIFY(beginNewGlucoseResult());
        TEnterAnalysisValue dialog(results, AnalysisValuePatterns(2, QStringLiteral("g/l")));
        ShowAndActivate(&dialog);
        dialog.Btn_CancelClick();
        QVERIFY(!results.isEditing());
        QCOMPARE(results.recordCount(), 0);
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), qint64(0));
    }
};

QTEST_MAIN(TestAnalysisDialogs)
#include "TestAnalysisDialogs.moc"
