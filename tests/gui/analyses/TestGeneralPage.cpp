// The "Général" page in the main window: a record without analyses, the analysis list (order, texts with points
// while the results grid has commas, clicks, drawing from memory only and as laid out), attaching (the last entry,
// then the message; a cancelled attachment), a person-analysis that cannot be found, removal with its results,
// adding, changing and removing results, two results on one date, the chart modes written to and read back from the
// record, the saved picture, and the catalogue opened from the toolbar. Screenshots of the page.
#include "support/AnalysisFixture.h"

#include "core/analyses/AnalysisListModel.h"
#include "core/app/DateRoutines.h"
#include "core/documents/StoredPictures.h"
#include "core/imaging/JpegFiles.h"
#include "core/records/CommandStates.h"
#include "gui/analyses/AnalysisChartWidget.h"
#include "gui/analyses/AnalysisListDelegate.h"
#include "gui/analyses/GeneralPageWidget.h"
#include "gui/analyses/TAnalysisList.h"
#include "gui/analyses/TEnterAnalysis.h"
#include "gui/analyses/TEnterAnalysisValue.h"
#include "gui/analyses/TEnterPersonAnalysis.h"
#include "gui/controls/FileDialogs.h"
#include "gui/controls/MaskEdit.h"
#include "gui/controls/MessageBoxService.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>

using namespace AnalysisFixture;

namespace {

constexpr qint64 kAlice = 1;
constexpr qint64 kBruno = 2;
constexpr qint64 kCholesterol = 10;
constexpr qint64 kFerritin = 11;
constexpr qint64 kGlucose = 12;
constexpr qint64 kUrea = 13;
// Alice's person-analyses, inserted in this order (database order) but listed by title.
constexpr qint64 kAliceGlucose = 100;
constexpr qint64 kAliceCholesterol = 101;
constexpr qint64 kAliceFerritin = 102;

} // namespace

class TestGeneralPage : public QObject {
    Q_OBJECT
    std::unique_ptr<MainFormFixture> m_fixture;
    TMainForm* m_form = nullptr;

    GeneralPageWidget* page() const { return m_form->generalPage(); }
    bool enabled(const QString& name) const { return Child<QWidget>(m_form, name)->isEnabled(); }
    void click(const QString& name) {
        auto* button = Child<QToolButton>(m_form, name);
        QVERIFY2(button->isEnabled(), qPrintable(name));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QStringList listedTitles() const {
        QStringList titles;
        const QAbstractItemModel* model = page()->analysisList()->model();
        for (int row = 0; row < page()->analysisEntries().count(); ++row)
            titles << model->index(row, 0).data(AnalysisListModel::TitleRole).toString();
        return titles;
    }
    void clickListRow(int row) {
        QTableView* list = page()->analysisList();
        const QModelIndex index = list->model()->index(row, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }
    void clickPerson(int row) {
        auto* grid = Child<QTableView>(m_form, QStringLiteral("Grid_PersonList"));
        const QModelIndex index = grid->model()->index(row, 0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }
    QString resultText(int row, int column) const {
        QTableView* grid = page()->resultsGrid();
        const QModelIndex index = grid->model()->index(row, column);
        auto* delegate = qobject_cast<QStyledItemDelegate*>(grid->itemDelegateForColumn(column));
        return delegate ? delegate->displayText(index.data(), grid->locale()) : index.data().toString();
    }
    int highlightedRow() const {
        const QModelIndexList selected = page()->analysisList()->selectionModel()->selectedRows();
        return selected.isEmpty() ? -1 : selected.first().row();
    }
    void showForm() {
        m_form = m_fixture->showForm();
        QVERIFY(m_form);
    }

private slots:
    void initTestCase() { RecordMessagesWithClockAt(QDateTime(QDate(2026, 12, 9), QTime(10, 0))); }
    void init() {
        MessageBoxService::clearRecordedMessages();
        m_fixture = std::make_unique<MainFormFixture>();
        QVERIFY(m_fixture->ready());
        MainFormFixture::AddPerson(kAlice, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(kBruno, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
        AddCatalogueEntry(kCholesterol, QStringLiteral("Cholestérol"), QStringLiteral("g/l"), 2, 1.5, 2.0);
        AddCatalogueEntry(kFerritin, QStringLiteral("Ferritine"), QStringLiteral("ng/ml"), 0, 20, 300);
        AddCatalogueEntry(kGlucose, QStringLiteral("Glycémie"), QStringLiteral("g/l"), 2, 3.5, 6);
        AddCatalogueEntry(kUrea, QStringLiteral("Urée"), QStringLiteral("mmol/l"), 1, 2.5, 7.5);
    }
    void cleanup() {
        m_form = nullptr;
        m_fixture.reset();
    }

    // A record without person-analyses: "Pas d'analyses", one blank list row, no results, the empty chart, and
    // among the analysis buttons only attach.
    void recordWithoutAnalyses() {
        showForm();
        QCOMPARE(m_form->currentPersonId(), kAlice);
        QCOMPARE(page()->currentPersonAnalysis(), qint64(-1));
        QCOMPARE(page()->currentAnalysisTitle(), QStringLiteral("Pas d'analyses"));
        QCOMPARE(page()->analysisList()->model()->rowCount(), 1);
        QVERIFY(page()->analysisEntries().isEmpty());
        QCOMPARE(page()->resultsGrid()->model()->rowCount(), 0);
        QCOMPARE(page()->chartWidget()->chart().positionLabels(), (QStringList{"0", "1"}));
        QVERIFY(enabled(Command::kAnalysisAdd));
        for (const QString& name : {Command::kAnalysisChange, Command::kAnalysisDelete, Command::kValueAdd,
                                    Command::kValueEdit, Command::kValueDelete})
            QVERIFY2(!enabled(name), qPrintable(name));
        // The blank row selects the current id (none) again.
        clickListRow(0);
        QCOMPARE(page()->currentPersonAnalysis(), qint64(-1));
        QCOMPARE(page()->currentAnalysisTitle(), QStringLiteral("Pas d'analyses"));
        QCOMPARE(highlightedRow(), -1);
    }

    // The list by title, the record's first person-analysis (database order) current, a click selecting another;
    // the list writes its bounds with points, the results grid with commas and the unit.
    void listAndSelection() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        Attach(kAliceCholesterol, kAlice, kCholesterol);
        Attach(kAliceFerritin, kAlice, kFerritin);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        AddResult(kAliceFerritin, QStringLiteral("2024-02-01"), 85.4, 20, 300);
        showForm();
        QCOMPARE(listedTitles(), (QStringList{"Cholestérol", "Ferritine", "Glycémie"}));
        QCOMPARE(page()->currentPersonAnalysis(), kAliceGlucose);
        QCOMPARE(highlightedRow(), 2);
        const QAbstractItemModel* list = page()->analysisList()->model();
        QCOMPARE(list->index(2, 0).data(AnalysisListModel::UpperTextRole).toString(), QStringLiteral("6.00 g/l"));
        QCOMPARE(list->index(2, 0).data(AnalysisListModel::LowerTextRole).toString(), QStringLiteral("3.50 g/l"));
        QCOMPARE(list->index(1, 0).data(AnalysisListModel::UpperTextRole).toString(), QStringLiteral("300 ng/ml"));
        QCOMPARE(resultText(0, 0), QStringLiteral("15/01/2024"));
        QCOMPARE(resultText(0, 1), QStringLiteral("4,25 g/l"));
        QCOMPARE(resultText(0, 2), QStringLiteral("3,50 g/l"));
        QCOMPARE(resultText(0, 3), QStringLiteral("6,00 g/l"));
        QVERIFY(enabled(Command::kValueEdit));

        clickListRow(1);
        QCOMPARE(page()->currentPersonAnalysis(), kAliceFerritin);
        QCOMPARE(page()->currentAnalysisTitle(), QStringLiteral("Ferritine"));
        QCOMPARE(highlightedRow(), 1);
        QCOMPARE(resultText(0, 1), QStringLiteral("85 ng/ml"));
        QCOMPARE(page()->chart().title, QStringLiteral("Evolution des analyses : Ferritine"));
        clickListRow(0);
        QCOMPARE(page()->currentPersonAnalysis(), kAliceCholesterol);
        QCOMPARE(page()->resultsGrid()->model()->rowCount(), 0);
        QVERIFY(enabled(Command::kValueAdd));
        QVERIFY(!enabled(Command::kValueEdit));
        QVERIFY(!enabled(Command::kValueDelete));
        // Another person starts on its own first person-analysis.
        clickPerson(1);
        QCOMPARE(page()->currentPersonAnalysis(), qint64(-1));
        QVERIFY(listedTitles().isEmpty());
    }

    // Rows are drawn from the list in memory (a change in the database shows only after a load) and laid out as
    // designed: the highlighted row inset in its colours, the title cut at x = 300, the separator and the arrows
    // at the right edge.
    void listDrawing() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        MainFormFixture::Exec(QStringLiteral("UPDATE LST_ANALYSIS SET Title=? WHERE Id=12"),
                              {QStringLiteral("Glycémie à jeun mesurée au laboratoire de la ville")});
        showForm();
        auto* delegate = qobject_cast<AnalysisListDelegate*>(page()->analysisList()->itemDelegate());
        QVERIFY(delegate);
        const int w = 520;
        const auto draw = [&](bool highlighted) {
            QImage row(w, 30, QImage::Format_RGB32);
            row.fill(Qt::black);
            QPainter painter(&row);
            delegate->paintRow(painter, row.rect(), 0, highlighted, w);
            return row;
        };
        const QImage highlighted = draw(true);
        const QImage plain = draw(false);
        QCOMPARE(highlighted.pixelColor(1, 1), QColor(Qt::white));
        QCOMPARE(highlighted.pixelColor(3, 2), QColor(167, 191, 233));
        QCOMPARE(highlighted.pixelColor(30, 27), QColor(167, 191, 233));
        QCOMPARE(highlighted.pixelColor(35, 15), QColor(231, 236, 248));
        QCOMPARE(plain.pixelColor(3, 2), QColor(Qt::white));
        // The thumbnail box: 22 x 22 at x = 6 (highlighted) or 4, y = 4, framed in RGB(230,230,225).
        QCOMPARE(highlighted.pixelColor(6, 4), QColor(230, 230, 225));
        QCOMPARE(plain.pixelColor(4, 4), QColor(230, 230, 225));
        // Left of the separator (the black texts at the right have grey edges of their own).
        int titlePixels = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < w - 120; ++x)
                if (plain.pixelColor(x, y) == QColor(136, 136, 136)) {
                    QVERIFY2(x >= 40 && x < 300, qPrintable(QString::number(x)));
                    ++titlePixels;
                }
        QVERIFY(titlePixels > 100);
        QCOMPARE(plain.pixelColor(w - 120, 5), QColor(230, 230, 230));
        QCOMPARE(plain.pixelColor(w - 120, 24), QColor(230, 230, 230));
        QCOMPARE(plain.pixelColor(w - 120, 25), QColor(Qt::white));
        QCOMPARE(plain.pixelColor(w - 119, 10), QColor(250, 250, 250));
        int red = 0;
        for (int y = 3; y < 27; ++y)
            for (int x = w - 115; x < w - 103; ++x)
                red += plain.pixelColor(x, y).red() > 180 && plain.pixelColor(x, y).green() < 60;
        QVERIFY(red > 20);
        QCOMPARE(plain.pixelColor(w - 115, 3), QColor(Qt::white)); // magenta left out

        // Drawing again after the database changed gives the same picture: nothing is read while drawing.
        MainFormFixture::Exec(QStringLiteral("UPDATE LST_ANALYSIS SET Title='X' WHERE Id=12"));
        QCOMPARE(draw(false), plain);
        page()->loadAnalysisList(page()->currentPersonAnalysis());
        QVERIFY(draw(false) != plain);
    }

    // Attaching the last entry works; the next attempt says there is nothing left, and opens no dialog.
    void attachTheLastEntry() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        Attach(kAliceCholesterol, kAlice, kCholesterol);
        Attach(kAliceFerritin, kAlice, kFerritin);
        showForm();
        QStringList offered;
        OnNextDialog<TEnterPersonAnalysis>([&](TEnterPersonAnalysis& dialog) {
            dialog.Btn_TitleClick();
            if (TPickList* list = OpenPickList()) {
                offered = list->entries();
                list->choose(0);
            }
            dialog.Btn_OkClick();
        });
        click(Command::kAnalysisAdd);
        QCOMPARE(offered, QStringList{"Urée"});
        const qint64 added = page()->currentPersonAnalysis();
        QCOMPARE(Stored(QStringLiteral("SELECT Id_Analysis FROM L_ANALYSIS WHERE Id=%1").arg(added)).toLongLong(),
                 kUrea);
        QCOMPARE(listedTitles(), (QStringList{"Cholestérol", "Ferritine", "Glycémie", "Urée"}));
        QCOMPARE(highlightedRow(), 3);
        QCOMPARE(page()->currentAnalysisTitle(), QStringLiteral("Urée"));

        const qint64 rows = Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS"));
        click(Command::kAnalysisAdd);
        QCOMPARE(RecordedMessageTexts(), QStringList{"Vous avez déjà sélectionné toutes les analyses disponibles."});
        QCOMPARE(MessageBoxService::recordedMessages().first().icon, MessageIcon::Information);
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS")), rows);
    }

    // A cancelled attachment leaves no row and keeps the current person-analysis.
    void cancelledAttachment() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        Attach(kAliceCholesterol, kAlice, kCholesterol);
        showForm();
        clickListRow(0);
        QCOMPARE(page()->currentPersonAnalysis(), kAliceCholesterol);
        OnNextDialog<TEnterPersonAnalysis>([](TEnterPersonAnalysis& dialog) {
            dialog.Btn_TitleClick();
            if (TPickList* list = OpenPickList()) list->choose(0);
            dialog.Btn_CancelClick();
        });
        click(Command::kAnalysisAdd);
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS")), qint64(2));
        QCOMPARE(page()->currentPersonAnalysis(), kAliceCholesterol);
        QCOMPARE(highlightedRow(), 0);
        QVERIFY(!DataModule1()->L_Analysis->isEditing());
    }

    // Change: the dialog on the current person-analysis; one that the query cannot find is reported.
    void changeAnalysis() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        MainFormFixture::Exec(
            QStringLiteral("INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis) VALUES (200, -1, 1, -1)"));
        showForm();
        QCOMPARE(listedTitles(), (QStringList{"", "Glycémie"}));
        clickListRow(1);
        OnNextDialog<TEnterPersonAnalysis>([](TEnterPersonAnalysis& dialog) {
            Type(dialog.maximumField(), QStringLiteral("6,5"));
            dialog.Btn_OkClick();
        });
        QTest::mouseDClick(page()->analysisList()->viewport(), Qt::LeftButton, {},
                           page()->analysisList()->visualRect(page()->analysisList()->model()->index(1, 0)).center());
        QCOMPARE(Stored(QStringLiteral("SELECT Value_Max FROM L_ANALYSIS WHERE Id=100")).toDouble(), 6.5);
        QCOMPARE(page()->analysisList()->model()->index(1, 0).data(AnalysisListModel::UpperTextRole).toString(),
                 QStringLiteral("6.50 g/l"));
        QCOMPARE(page()->currentPersonAnalysis(), kAliceGlucose);
        // The results keep the bounds they were made with.
        QCOMPARE(resultText(0, 3), QStringLiteral("6,00 g/l"));

        clickListRow(0);
        QCOMPARE(page()->currentPersonAnalysis(), qint64(200));
        QCOMPARE(page()->currentAnalysisTitle(), QString());
        click(Command::kAnalysisChange);
        QCOMPARE(RecordedMessageTexts(), QStringList{"Analyse introuvable ?"});
        QCOMPARE(MessageBoxService::recordedMessages().first().icon, MessageIcon::Question);
        QVERIFY(!DataModule1()->L_Analysis->isOpen());
    }

    // Removing the current person-analysis takes its results; the first remaining one becomes current.
    void removeCurrent_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void removeCurrent() {
        QFETCH(bool, answer);
        Attach(kAliceGlucose, kAlice, kGlucose);
        Attach(kAliceCholesterol, kAlice, kCholesterol);
        Attach(kAliceFerritin, kAlice, kFerritin);
        AddResult(kAliceCholesterol, QStringLiteral("2024-01-15"), 1.8, 1.5, 2);
        AddResult(kAliceCholesterol, QStringLiteral("2024-03-15"), 1.7, 1.5, 2);
        AddResult(kAliceGlucose, QStringLiteral("2024-03-15"), 4.7, 3.5, 6);
        showForm();
        clickListRow(0);
        QCOMPARE(page()->currentPersonAnalysis(), kAliceCholesterol);
        MessageBoxService::queueAnswerForTesting(answer);
        click(Command::kAnalysisDelete);
        QCOMPARE(RecordedMessageTexts(), QStringList{"Souhaitez-vous retirer cette analyses ?"});
        if (!answer) {
            QCOMPARE(page()->currentPersonAnalysis(), kAliceCholesterol);
            QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), qint64(3));
            return;
        }
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM L_ANALYSIS WHERE Id=101")), qint64(0));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS WHERE Id_Ref=101")), qint64(0));
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), qint64(1));
        QCOMPARE(page()->currentPersonAnalysis(), kAliceGlucose);
        QCOMPARE(listedTitles(), (QStringList{"Ferritine", "Glycémie"}));
        QCOMPARE(highlightedRow(), 1);
        QCOMPARE(page()->resultsGrid()->model()->rowCount(), 1);
    }

    // A new result: today, value 0, the person-analysis' bounds; after Ok the grid and chart show it, selected.
    void addResult() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        showForm();
        QStringList shown;
        OnNextDialog<TEnterAnalysisValue>([&](TEnterAnalysisValue& dialog) {
            shown << dialog.dateField()->text() << dialog.valueField()->text() << dialog.minimumField()->text()
                  << dialog.maximumField()->text();
            Type(dialog.valueField(), QStringLiteral("5,125"));
            dialog.Btn_OkClick();
        });
        click(Command::kValueAdd);
        QCOMPARE(shown, (QStringList{"09/12/2026", "0,00 g/l", "3,50 g/l", "6,00 g/l"}));
        QCOMPARE(page()->resultsGrid()->model()->rowCount(), 2);
        QCOMPARE(page()->resultsGrid()->currentIndex().row(), 1);
        QCOMPARE(resultText(1, 0), QStringLiteral("09/12/2026"));
        QCOMPARE(resultText(1, 1), QStringLiteral("5,13 g/l"));
        QCOMPARE(page()->chart().keys, (QStringList{"2024", "2026"}));
        QVERIFY(enabled(Command::kValueDelete));
        // Cancelled, nothing is added.
        OnNextDialog<TEnterAnalysisValue>([](TEnterAnalysisValue& dialog) { dialog.Btn_CancelClick(); });
        click(Command::kValueAdd);
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), qint64(2));
        QCOMPARE(page()->resultsGrid()->model()->rowCount(), 2);
    }

    // Two results on one date are both kept and listed; the chart by date merges them to the larger.
    void twoResultsOnOneDate() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        MainFormFixture::Exec(QStringLiteral("UPDATE PERSON SET AnalysisMode=1 WHERE Id=1"));
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.75, 3.5, 6);
        showForm();
        QCOMPARE(page()->resultsGrid()->model()->rowCount(), 2);
        QCOMPARE(page()->chartMode(), ChartMode::Dates);
        QCOMPARE(page()->chart().keys, QStringList{"15/01/2024"});
        QCOMPARE(page()->chart().series[AnalysisChart::Value].points.first().value, 4.75);
    }

    // Changing a result by double click; removing one with its button or Ctrl+Delete, after the question.
    void changeAndRemoveResults() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        AddResult(kAliceGlucose, QStringLiteral("2024-03-15"), 4.7, 3.5, 6);
        showForm();
        QTableView* grid = page()->resultsGrid();
        const QRect second = grid->visualRect(grid->model()->index(1, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, second.center());
        OnNextDialog<TEnterAnalysisValue>([](TEnterAnalysisValue& dialog) {
            Type(dialog.valueField(), QStringLiteral("5.5"));
            dialog.Btn_OkClick();
        });
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(resultText(1, 1), QStringLiteral("5,50 g/l"));
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(page()->chart().series[AnalysisChart::Value].points.last().value, 5.5);

        MessageBoxService::queueAnswerForTesting(false);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(grid->model()->rowCount(), 2);
        MessageBoxService::queueAnswerForTesting(true);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(RecordedMessageTexts(), (QStringList{"Confirmez-vous la suppression de cette valeur ?",
                                                      "Confirmez-vous la suppression de cette valeur ?"}));
        QCOMPARE(grid->model()->rowCount(), 1);
        QCOMPARE(Count(QStringLiteral("SELECT COUNT(*) FROM ANALYSIS")), qint64(1));
        MessageBoxService::queueAnswerForTesting(true);
        click(Command::kValueDelete);
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(!enabled(Command::kValueEdit));
        QVERIFY(!enabled(Command::kValueDelete));
        QCOMPARE(page()->chart().positionLabels(), (QStringList{"0", "1"}));
    }

    // The mode menu: "Années" then "Dates", the current one checked, 100 pixels left of its button. Choosing a mode
    // writes it into the record, shows the record's first person-analysis, and draws it in the new mode; each
    // record shows in the mode it last had.
    void chartModes() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        Attach(kAliceCholesterol, kAlice, kCholesterol);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        AddResult(kAliceGlucose, QStringLiteral("2024-03-15"), 4.7, 3.5, 6);
        AddResult(kAliceGlucose, QStringLiteral("2025-02-01"), 5.1, 3.5, 6);
        showForm();
        QCOMPARE(page()->chartMode(), ChartMode::Years);
        QCOMPARE(page()->chart().keys, (QStringList{"2024", "2025"}));
        clickListRow(0);
        QCOMPARE(page()->currentPersonAnalysis(), kAliceCholesterol);

        auto* button = Child<QToolButton>(m_form, Command::kChartType);
        QTest::mouseClick(button, Qt::LeftButton);
        QMenu* menu = page()->modeMenu();
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, 0)) - QPoint(100, 0));
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("Années"));
        QCOMPARE(menu->actions()[1]->text(), QStringLiteral("Dates"));
        QVERIFY(menu->actions()[0]->isChecked());
        QVERIFY(!menu->actions()[1]->isChecked());
        menu->actions()[1]->trigger();
        menu->close();

        QCOMPARE(page()->chartMode(), ChartMode::Dates);
        QCOMPARE(Stored(QStringLiteral("SELECT AnalysisMode FROM PERSON WHERE Id=1")).toInt(), 1);
        QCOMPARE(page()->currentPersonAnalysis(), kAliceGlucose);
        QCOMPARE(page()->chart().keys, (QStringList{"15/01/2024", "15/03/2024", "01/02/2025"}));
        QCOMPARE(DataModule1()->Person->state(), Dataset::State::Browse);

        // Bruno has no mode of his own: the default; back on Alice, hers.
        clickPerson(1);
        QCOMPARE(page()->chartMode(), ChartMode::Years);
        clickPerson(0);
        QCOMPARE(page()->chartMode(), ChartMode::Dates);
        QCOMPARE(page()->chart().keys.size(), 3);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(menu->actions()[1]->isChecked());
        menu->actions()[0]->trigger();
        menu->close();
        QCOMPARE(Stored(QStringLiteral("SELECT AnalysisMode FROM PERSON WHERE Id=1")).toInt(), 2);
        QCOMPARE(page()->chart().keys, (QStringList{"2024", "2025"}));
    }

    // Save: the proposed name in the data folder, a 1600 x 1200 JPEG where the user chose; nothing on cancel.
    void saveChart() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        AddResult(kAliceGlucose, QStringLiteral("2024-03-15"), 4.7, 3.5, 6);
        showForm();
        FileDialogs::clearForTesting();
        FileDialogs::queueAnswerForTesting(QString());
        click(Command::kChartSave);
        const FileDialogs::Question asked = FileDialogs::questionsForTesting().value(0);
        QVERIFY(asked.kind == FileDialogs::Kind::Save);
        QCOMPARE(
            (QStringList{asked.title, asked.filter, asked.defaultSuffix, asked.proposedName}),
            (QStringList{"Enregistrer l'image sous ...", "Image Jpeg (*.jpg)", "jpg",
                         m_fixture->dataDir() + "Evolution_des_analyses___Glycémie_(Arnaud Alice)_09_12_2026.jpg"}));
        QVERIFY(QDir(m_fixture->dataDir()).entryList({QStringLiteral("*.jpg"), QStringLiteral("*.bmp")}).isEmpty());

        const QString chosen = m_fixture->dataDir() + QStringLiteral("courbe.jpg");
        FileDialogs::queueAnswerForTesting(chosen);
        click(Command::kChartSave);
        QImage saved;
        QVERIFY(JpegLoadBitmap(&saved, chosen));
        QCOMPARE(saved.size(), QSize(1600, 1200));
        QCOMPARE(QDir(m_fixture->dataDir()).entryList({QStringLiteral("*.bmp")}), QStringList{});
        QVERIFY(RecordedMessageTexts().isEmpty());

        FileDialogs::queueAnswerForTesting(m_fixture->dataDir() + QStringLiteral("missing/courbe.jpg"));
        click(Command::kChartSave);
        QCOMPARE(RecordedMessageTexts(), QStringList{QString::fromLatin1(kJpegWriteError)});
        FileDialogs::clearForTesting();
    }

    // The export for the reports and the web page: a bitmap of the size asked, replacing the file.
    void exportPicture() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        AddResult(kAliceGlucose, QStringLiteral("2024-01-15"), 4.25, 3.5, 6);
        showForm();
        const QString file = m_fixture->dataDir() + QStringLiteral("analysis.bmp");
        QString error;
        QVERIFY2(page()->exportChartPicture(1600, 420, file, &error), qPrintable(error));
        QImage picture;
        QVERIFY(picture.load(file, "BMP"));
        QCOMPARE(picture.size(), QSize(1600, 420));
    }

    // The toolbar's "Analyses" opens the catalogue; a title changed there shows on the page at once.
    void catalogueFromTheToolbar() {
        Attach(kAliceGlucose, kAlice, kGlucose);
        showForm();
        bool opened = false;
        OnNextDialog<TAnalysisList>([&](TAnalysisList& list) {
            opened = true;
            OnNextDialog<TEnterAnalysis>([](TEnterAnalysis& editor) {
                Type(editor.titleField(), QStringLiteral("Glucose"));
                editor.Btn_OkClick();
            });
            QTableView* grid = list.grid();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(2, 0)).center());
            list.Btn_EditClick();
            list.accept();
        });
        QTest::mouseClick(Child<QToolButton>(m_form, QStringLiteral("Menu_List")), Qt::LeftButton);
        QVERIFY(opened);
        QCOMPARE(listedTitles(), QStringList{"Glucose"});
        QCOMPARE(page()->currentAnalysisTitle(), QStringLiteral("Glucose"));
        QVERIFY(!DataModule1()->Lst_Analysis->isOpen());
    }

    // Pictures for a reviewer: the page with three analyses and a chart, by year and by date.
    void screenshots() {
        if (qEnvironmentVariableIsEmpty("QUORVEL_SCREENSHOTS")) QSKIP("QUORVEL_SCREENSHOTS is not set");
        Attach(kAliceGlucose, kAlice, kGlucose);
        Attach(kAliceCholesterol, kAlice, kCholesterol);
        Attach(kAliceFerritin, kAlice, kFerritin);
        const struct {
            const char* date;
            double value;
            double minimum;
            double maximum;
        } results[] = {{"2023-02-10", 4.1, 3.5, 6},   {"2023-09-01", 5.2, 3.5, 6},   {"2024-01-15", 6.4, 3.5, 6},
                       {"2024-03-10", 5.9, 3.5, 6.2}, {"2024-11-20", 5.0, 3.6, 6.2}, {"2025-06-02", 4.4, 3.6, 6.2},
                       {"2026-01-08", 3.3, 3.6, 6.2}};
        for (const auto& result : results)
            AddResult(kAliceGlucose, QLatin1String(result.date), result.value, result.minimum, result.maximum,
                      result.value > result.maximum ? QStringLiteral("Un peu élevé") : QString());
        m_fixture->showForm();
        m_form = m_fixture->form();
        m_form->resize(1000, 720);
        QCOMPARE(page()->chartMode(), ChartMode::Years);
        SaveScreenshot(m_form, QStringLiteral("GeneralPage-years"));
        page()->chooseChartMode(ChartMode::Dates);
        SaveScreenshot(m_form, QStringLiteral("GeneralPage-dates"));
        clickListRow(0);
        SaveScreenshot(m_form, QStringLiteral("GeneralPage-no-results"));
    }
};

QTEST_MAIN(TestGeneralPage)
#include "TestGeneralPage.moc"
