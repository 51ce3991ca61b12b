// Figures of the record editor on a full record (300 image documents on the Documents page, 1 000 events, 20
// person-analyses of 100 results): opening the editor, a keystroke in the name field against what one reading of
// the page costs, and the deletion of that person with its files. Runs in process, on the offscreen platform unless
// a display is given.
//   bench-RecordEditorBench [starting database]
#include "support/BenchDataFolder.h"

#include "core/app/Settings.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"
#include "core/documents/StoredPictures.h"
#include "core/imaging/WindowsBitmap.h"
#include "core/records/PersonRecords.h"
#include "gui/mainwindow/TMainForm.h"
#include "gui/records/TEnterPerson.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace {

constexpr qint64 kPerson = 1;
constexpr int kImageDocuments = 300;
constexpr int kEvents = 1000;
constexpr int kAnalyses = 20;
constexpr int kResults = 100;
constexpr int kKeystrokes = 40;

void Run(QSqlQuery& query) {
    if (!query.exec()) Die(query.lastError().text());
}

void Fill() {
    QSqlDatabase db = QSqlDatabase::database(kMainConnection, false);
    db.transaction();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO PERSON (Id, Id_File, Name, ForeName) VALUES (?, 0, ?, ?)"));
    for (const auto& [id, name] : {std::pair{kPerson, "Arnaud"}, std::pair{qint64(2), "Blanc"}}) {
        query.addBindValue(id);
        query.addBindValue(QLatin1String(name));
        query.addBindValue(QStringLiteral("Test"));
        Run(query);
    }
    QImage thumbnail(90, 90, QImage::Format_RGB32);
    thumbnail.fill(QColor(200, 220, 240));
    const QByteArray thumbnailBytes = WriteBitmapData(thumbnail);
    query.prepare(QStringLiteral("INSERT INTO DOCUMENTIMG (Id, Id_Ref, Title, ImgMini, Id_File, DoType) "
                                 "VALUES (?, ?, ?, ?, 0, 1)"));
    for (int document = 1; document <= kImageDocuments; ++document) {
        query.addBindValue(document);
        query.addBindValue(kPerson);
        query.addBindValue(QStringLiteral("Document %1").arg(document));
        query.addBindValue(thumbnailBytes);
        Run(query);
        QFile file(DocumentImageFile(document));
        if (!file.open(QIODevice::WriteOnly)) Die(file.fileName());
        file.write(QByteArray(20000, 'x'));
    }
    query.prepare(
        QStringLiteral("INSERT INTO EVENT (Id_Ref, Date_Event, Time_Event, Description) VALUES (?, ?, ?, ?)"));
    for (int event = 0; event < kEvents; ++event) {
        query.addBindValue(kPerson);
        query.addBindValue(QDate(2000, 1, 1).addDays(event).toString(Qt::ISODate));
        query.addBindValue(QStringLiteral("10:00"));
        query.addBindValue(QStringLiteral("Événement %1").arg(event));
        Run(query);
    }
    for (int analysis = 1; analysis <= kAnalyses; ++analysis) {
        query.prepare(QStringLiteral("INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis, Title) "
                                     "VALUES (?, -1, ?, 1, ?)"));
        query.addBindValue(analysis);
        query.addBindValue(kPerson);
        query.addBindValue(QStringLiteral("Analyse %1").arg(analysis));
        Run(query);
        query.prepare(QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis) VALUES (?, ?, ?)"));
        for (int result = 0; result < kResults; ++result) {
            query.addBindValue(analysis);
            query.addBindValue(QDate(2010, 1, 1).addDays(result).toString(Qt::ISODate));
            query.addBindValue(1.0 + result / 100.0);
            Run(query);
        }
    }
    db.commit();
}

} // namespace

int main(int argc, char** argv) {
    UseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    BenchDataFolder folder(StartingDatabase(argc, argv, 1));
    QDir().mkpath(folder.dataDir() + QStringLiteral("Data/Images"));
    QString error;
    auto module = std::make_unique<TDataModule1>();
    InstallPersonRules(*module);
    Fill();

    TMainForm form;
    form.show();
    form.showPage(TMainForm::DocumentsPage);
    QApplication::processEvents();
    std::printf("record editor on a person with %d image documents, %d events, %d x %d results:\n", kImageDocuments,
                kEvents, kAnalyses, kResults);

    QElapsedTimer timer;
    timer.start();
    form.RefreshCurrentPage();
    std::printf("  one reading of the Documents page:          %8.1f ms\n", Milliseconds(timer));

    Dataset* person = module->Person;
    person->edit();
    timer.restart();
    auto* editor = new TEnterPerson(*module, false, &form);
    editor->show();
    QApplication::processEvents();
    std::printf("  opening the editor:                         %8.1f ms\n", Milliseconds(timer));

    auto* name = editor->findChild<QLineEdit*>(QStringLiteral("Ed_Name"));
    name->setFocus();
    name->end(false);
    timer.restart();
    for (int key = 0; key < kKeystrokes; ++key) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(name, &press);
        QApplication::processEvents();
    }
    std::printf("  a keystroke in the name field, on average:  %8.3f ms (%d keystrokes)\n",
                Milliseconds(timer) / kKeystrokes, kKeystrokes);
    timer.restart();
    editor->accept();
    QApplication::processEvents();
    std::printf("  Ok (post, list and page read again):        %8.1f ms\n", Milliseconds(timer));
    delete editor;

    person->locate(kPerson);
    timer.restart();
    if (!DeletePersonWithEverything(*module, &error)) Die(error);
    std::printf("  deleting the person, rows and %d files:    %8.1f ms\n", kImageDocuments, Milliseconds(timer));
    form.close();
    return 0;
}
