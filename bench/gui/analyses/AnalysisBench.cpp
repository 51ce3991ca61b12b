// Figures of the "Général" page: selecting a person-analysis with 10 000 results, by step (the results query, the
// grid repainted over them, the series built from them, the chart painted on the page and into a 1600 x 1200
// picture), and the whole selection as the page runs it, in both chart modes. Goal: the whole under 100 ms.
// Runs in process, on the offscreen platform unless a display is given.
//   bench-AnalysisBench [repetitions] [starting database]
#include "support/BenchDataFolder.h"

#include "core/analyses/AnalysisChart.h"
#include "core/analyses/AnalysisChartRenderer.h"
#include "core/analyses/PersonAnalyses.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"
#include "core/records/PersonRecords.h"
#include "gui/analyses/AnalysisChartWidget.h"
#include "gui/analyses/GeneralPageWidget.h"
#include "gui/mainwindow/TMainForm.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kResults = 10000;
constexpr qint64 kPerson = 1;
constexpr qint64 kPersonAnalysis = 1;
int g_repetitions = 7;

void Exec(QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    if (!query.exec(statement)) Die(statement + QStringLiteral(": ") + query.lastError().text());
}

// One person with one person-analysis of 10 000 results, one every three days from 1940 on, with bounds that
// change now and then.
void Fill() {
    QSqlDatabase db = QSqlDatabase::database(kMainConnection, false);
    db.transaction();
    Exec(db, QStringLiteral("INSERT INTO PERSON (Id, Id_File, Name, ForeName, AnalysisMode) VALUES (1, 0, 'Dupont', "
                            "'Jean', 1)"));
    Exec(db, QStringLiteral("INSERT INTO LST_ANALYSIS (Id, Title, Unit, \"Decimal\", Value_Min, Value_Max) VALUES "
                            "(1, 'Glycémie', 'g/l', 2, 0.7, 1.1)"));
    Exec(db, QStringLiteral("INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis, Unit, \"Decimal\", Value_Min, "
                            "Value_Max) VALUES (1, -1, 1, 1, 'g/l', 2, 0.7, 1.1)"));
    QSqlQuery result(db);
    result.prepare(QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis, Value_Min, Value_Max, "
                                  "Remark1) VALUES (1, ?, ?, ?, ?, ?)"));
    QRandomGenerator random(20261209);
    QDate day(1940, 1, 1);
    for (int i = 0; i < kResults; ++i) {
        result.addBindValue(day.toString(Qt::ISODate));
        result.addBindValue(0.6 + random.bounded(60) / 100.0);
        result.addBindValue(i % 500 < 250 ? 0.7 : 0.75);
        result.addBindValue(1.1);
        result.addBindValue(i % 7 == 0 ? QVariant(QStringLiteral("À jeun")) : QVariant(QMetaType(QMetaType::QString)));
        if (!result.exec()) Die(result.lastError().text());
        day = day.addDays(3);
    }
    db.commit();
}

} // namespace

int main(int argc, char** argv) {
    UseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    if (argc > 1) g_repetitions = std::max(1, atoi(argv[1]));
    BenchDataFolder folder(StartingDatabase(argc, argv, 2));
    auto module = std::make_unique<TDataModule1>();
    InstallPersonRules(*module);
    Fill();

    TMainForm form;
    form.resize(1000, 720);
    form.show();
    QApplication::processEvents();
    GeneralPageWidget* page = form.generalPage();
    QTableView* grid = page->resultsGrid();
    AnalysisChartWidget* chartWidget = page->chartWidget();
    Dataset& results = *module->Analysis;

    std::printf("selecting a person-analysis of %d results, best of %d:\n", kResults, g_repetitions);
    std::printf("  results query:                        %8.1f ms\n",
                Best(g_repetitions, [&] { OpenPersonAnalysisResults(results, kPersonAnalysis); }));
    std::printf("  results grid repainted:               %8.1f ms\n",
                Best(g_repetitions, [&] { grid->viewport()->repaint(); }));
    for (const ChartMode mode : {ChartMode::Dates, ChartMode::Years}) {
        const char* name = mode == ChartMode::Dates ? "dates" : "years";
        AnalysisChart chart;
        std::printf("  series built (%s):                 %8.1f ms\n", name, Best(g_repetitions, [&] {
                        chart = BuildAnalysisChart(ReadChartResults(results), mode, QStringLiteral("Glycémie"));
                    }));
        std::printf("  chart painted on the page (%s):    %8.1f ms\n", name, Best(g_repetitions, [&] {
                        chartWidget->setChart(chart);
                        chartWidget->repaint();
                    }));
        std::printf("  chart drawn at 1600 x 1200 (%s):   %8.1f ms\n", name, Best(g_repetitions, [&] {
                        RenderAnalysisChart(chart, QSize(1600, 1200), ChartLook::SavedPicture());
                    }));
    }
    for (const ChartMode mode : {ChartMode::Dates, ChartMode::Years}) {
        page->chooseChartMode(mode);
        const double whole = Best(g_repetitions, [&] {
            page->selectPersonAnalysis(kPersonAnalysis, kPerson);
            grid->viewport()->repaint();
            chartWidget->repaint();
            RenderAnalysisChart(page->chart(), QSize(1600, 1200), ChartLook::SavedPicture());
        });
        std::printf("  whole selection, page and picture (%s): %8.1f ms (goal < 100 ms)\n",
                    mode == ChartMode::Dates ? "dates" : "years", whole);
    }
    form.close();
    return 0;
}
