// Figures of the main window: start-up to the first painted window on the starting database and on
// a large household (10 000 persons, 2 000 of them with a photo thumbnail), the reload of the person
// list on that household, and scrolling through the list. Goals: painted under 1 s, reload under
// 300 ms. Runs in process, on the offscreen platform unless a display is given.
//   bench-MainFormBench [repetitions] [starting database]
#include "support/BenchDataFolder.h"

#include "core/app/Settings.h"
#include "core/db/Connection.h"
#include "core/db/TDataModule1.h"
#include "core/imaging/WindowsBitmap.h"
#include "core/records/PersonRecords.h"
#include "gui/mainwindow/TMainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kPersons = 10000;
constexpr int kPhotoEvery = 5; // 2 000 photos
int g_repetitions = 5;

// Notes the first paint of a widget.
class PaintWatcher : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

// Milliseconds from the creation of the main window until it has painted itself once.
double StartUp() {
    QElapsedTimer timer;
    timer.start();
    TMainForm form;
    PaintWatcher watcher;
    form.installEventFilter(&watcher);
    form.show();
    while (!watcher.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double elapsed = Milliseconds(timer);
    form.removeEventFilter(&watcher);
    form.close();
    return elapsed;
}

QByteArray Thumbnail(QRandomGenerator& random) {
    QImage picture(115, 115, QImage::Format_RGB32);
    picture.fill(QColor::fromRgb(random.generate() | 0xff000000u));
    QPainter painter(&picture);
    painter.setBrush(QColor::fromRgb(random.generate() | 0xff000000u));
    painter.drawEllipse(15, 10, 85, 95);
    painter.end();
    return WriteBitmapData(picture);
}

void Fill() {
    QSqlDatabase db = QSqlDatabase::database(kMainConnection, false);
    QRandomGenerator random(20240601);
    const QStringList names{"Martin",  "Bernard", "Thomas", "Petit",   "Robert",  "Richard",
                            "Durand",  "Dubois",  "Moreau", "Laurent", "Simon",   "Michel",
                            "Lefèvre", "Leroy",   "Roux",   "Éloi",    "Œttinger"};
    const QStringList foreNames{"Émile", "Zoé", "Léa", "Hugo", "Chloé", "Louis", "Jade", "Gabriel", "Inès"};
    db.transaction();
    QSqlQuery person(db);
    person.prepare(QStringLiteral("INSERT INTO PERSON (Id_File, Name, ForeName, [No], BirthDay_Date, Blood, ImgMini1) "
                                  "VALUES (0, ?, ?, ?, '1980-05-12', 'O+', ?)"));
    for (int i = 1; i <= kPersons; ++i) {
        person.addBindValue(names[random.bounded(names.size())] + QString::number(i % 97));
        person.addBindValue(foreNames[random.bounded(foreNames.size())]);
        person.addBindValue(QStringLiteral("1 80 05 69 %1").arg(i));
        person.addBindValue(i % kPhotoEvery == 0 ? QVariant(Thumbnail(random))
                                                 : QVariant(QMetaType(QMetaType::QByteArray)));
        if (!person.exec()) Die(person.lastError().text());
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

    std::printf("main window, best of %d:\n", g_repetitions);
    // The first window of the process also loads the fonts and the style.
    std::printf("  first window of the process, starting database:  %8.1f ms (goal < 1000 ms)\n", StartUp());
    std::printf("  start-up to the first paint, starting database: %8.1f ms (goal < 1000 ms)\n",
                Best(g_repetitions, StartUp));

    Fill();
    std::printf("  start-up to the first paint, %d persons:      %8.1f ms (goal < 1000 ms)\n", kPersons,
                Best(g_repetitions, StartUp));

    TMainForm form;
    form.show();
    QApplication::processEvents();
    std::printf("  ReloadPersonList, %d persons (%d with photos): %8.1f ms (goal < 300 ms)\n", kPersons,
                kPersons / kPhotoEvery, Best(g_repetitions, [&] { form.ReloadPersonList(-1); }));

    // Scrolling: one repaint of the list per step of a third of its height, over the whole list.
    auto* grid = form.findChild<QTableView*>(QStringLiteral("Grid_PersonList"));
    QScrollBar* bar = grid->verticalScrollBar();
    const int step = std::max(1, grid->viewport()->height() / 3);
    int frames = 0;
    double slowest = 0;
    QElapsedTimer total;
    total.start();
    for (int value = 0; value <= bar->maximum(); value += step) {
        QElapsedTimer frame;
        frame.start();
        bar->setValue(value);
        grid->viewport()->repaint();
        slowest = std::max(slowest, Milliseconds(frame));
        ++frames;
    }
    std::printf("  scrolling through the list: %d repaints, %.2f ms each on average, slowest %.2f ms\n", frames,
                Milliseconds(total) / frames, slowest);
    form.close();
    return 0;
}
