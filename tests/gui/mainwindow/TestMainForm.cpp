// The main window driven through its widgets: the person list and its order, selection by mouse,
// keys and the Prior/Next buttons, identifiers of one and five digits, the reactions to the Person
// query (data change, post, delete), adding and editing through the record editor, page switching
// with what each page releases, and the enabled state of every command.
#include "support/MainFormFixture.h"

#include "core/app/DateRoutines.h"
#include "core/db/Dataset.h"
#include "core/records/CommandStates.h"
#include "core/records/PersonListModel.h"
#include "gui/analyses/GeneralPageWidget.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/documents/DocumentsPageWidget.h"
#include "gui/records/EventsPageWidget.h"

#include <QListWidget>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>

namespace {

QTableView* PersonGrid(TMainForm* form) {
    return Child<QTableView>(form, QStringLiteral("Grid_PersonList"));
}

QStringList ListedNames(TMainForm* form) {
    QStringList names;
    const QAbstractItemModel* model = PersonGrid(form)->model();
    for (int row = 0; row < form->personList().count(); ++row)
        names << model->index(row, 0).data(PersonListModel::NameRole).toString() + QLatin1Char(' ') +
                     model->index(row, 0).data(PersonListModel::ForeNameRole).toString();
    return names;
}

void ClickRow(TMainForm* form, int row) {
    QTableView* grid = PersonGrid(form);
    const QModelIndex index = grid->model()->index(row, 0);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

bool IsEnabled(TMainForm* form, const QString& name) {
    const QWidget* control = Child<QWidget>(form, name);
    return control && control->isEnabled();
}

void ClickButton(TMainForm* form, const QString& name) {
    auto* button = Child<QToolButton>(form, name);
    QVERIFY(button);
    QVERIFY2(button->isEnabled(), qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

void ShowPage(TMainForm* form, int page) {
    Child<QTabBar>(form, QStringLiteral("Tab_Main"))->setCurrentIndex(page);
}

// The commands enabled whenever there is a person, whatever else holds.
const QStringList kWithAnyPerson{
    Command::kMainDelete,     Command::kMainEdit,    Command::kChart,      Command::kAnalysisEdit,
    Command::kAnalysisSearch, Command::kAnalysisAdd, Command::kChartPrint, Command::kChartSave,
    Command::kChartType,      Command::kImageAdd,    Command::kFileAdd,    Command::kEventAdd,
    Command::kToolbarPrint,   Command::kToolbarHtml, Command::kPrint,      Command::kHtml};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RecordMessagesWithClockAt(QDateTime(QDate(2026, 3, 14), QTime(14, 5))); }
    void init() { MessageBoxService::clearRecordedMessages(); }

    void listOrder_data() {
        QTest::addColumn<QStringList>("inserted"); // "Name Forename", inserted in this order
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("AA before BB") << QStringList{"BB Paul", "AA Paul"} << QStringList{"AA Paul", "BB Paul"};
        QTest::newRow("same name: by forename") << QStringList{"Durand Zoé", "Durand Anne", "Durand Marc"}
                                                << QStringList{"Durand Anne", "Durand Marc", "Durand Zoé"};
        QTest::newRow("accents and case in French order")
            << QStringList{"martin Claire", "Ébert Zoé", "Dupont Émile", "Eberhard Luc"}
            << QStringList{"Dupont Émile", "Eberhard Luc", "Ébert Zoé", "martin Claire"};
    }

    void listOrder() {
        QFETCH(QStringList, inserted);
        QFETCH(QStringList, listed);
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        qint64 id = 1;
        for (const QString& person : inserted)
            MainFormFixture::AddPerson(id++, person.section(QLatin1Char(' '), 0, 0),
                                       person.section(QLatin1Char(' '), 1));
        TMainForm* form = fixture.showForm();
        QCOMPARE(ListedNames(form), listed);
        // The first entry is selected and is the current person.
        QCOMPARE(form->selectedPersonRow(), 0);
        QCOMPARE(form->currentPersonId(), form->personList().idAt(0));
    }

    // Identifiers are read back whole, whatever their number of digits, and a click makes that
    // person current.
    void identifiers_data() {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("7") << qint64(7) << "0007%&a%";
        QTest::newRow("12345") << qint64(12345) << "12345%&a%";
    }

    void identifiers() {
        QFETCH(qint64, id);
        QFETCH(QString, prefix);
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(3, QStringLiteral("Aubert"), QStringLiteral("Anne"));
        MainFormFixture::AddPerson(id, QStringLiteral("Zidane"), QStringLiteral("Zoé"));
        TMainForm* form = fixture.showForm();
        QCOMPARE(form->personList().count(), 2);
        QVERIFY(form->personList().entries()[1].startsWith(prefix));
        QCOMPARE(form->currentPersonId(), qint64(3));
        ClickRow(form, 1);
        QCOMPARE(form->selectedPersonRow(), 1);
        QCOMPARE(form->currentPersonId(), id);
        // Reloading on that identifier finds it again.
        form->ReloadPersonList(3);
        form->ReloadPersonList(id);
        QCOMPARE(form->selectedPersonRow(), 1);
        QCOMPARE(form->currentPersonId(), id);
        // An identifier that no longer exists selects the first entry.
        form->ReloadPersonList(999999);
        QCOMPARE(form->selectedPersonRow(), 0);
        QCOMPARE(form->currentPersonId(), qint64(3));
        // A row the Person query does not hold (written by someone else since it was opened): the
        // current person stays, the buttons follow the selected row.
        MainFormFixture::AddPerson(99, QStringLiteral("Zz"), {});
        form->ReloadPersonList(-1);
        ClickRow(form, 2);
        QCOMPARE(form->selectedPersonRow(), 2);
        QCOMPARE(form->currentPersonId(), qint64(3));
        QVERIFY(IsEnabled(form, Command::kMainPrior));
        QVERIFY(!IsEnabled(form, Command::kMainNext));
    }

    void selectionByMouseAndKeys() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(30, QStringLiteral("Carré"), QStringLiteral("Chloé"));
        MainFormFixture::AddPerson(10, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(20, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
        TMainForm* form = fixture.showForm();
        QTableView* grid = PersonGrid(form);
        ClickRow(form, 2);
        QCOMPARE(form->currentPersonId(), qint64(30));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(form->selectedPersonRow(), 1);
        QCOMPARE(form->currentPersonId(), qint64(20));
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(form->currentPersonId(), qint64(10));
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(form->currentPersonId(), qint64(20));
        ClickButton(form, Command::kMainNext);
        QCOMPARE(form->selectedPersonRow(), 2);
        QCOMPARE(form->currentPersonId(), qint64(30));
        ClickButton(form, Command::kMainPrior);
        ClickButton(form, Command::kMainPrior);
        QCOMPARE(form->selectedPersonRow(), 0);
        QCOMPARE(form->currentPersonId(), qint64(10));
        // The selected card is the only one drawn as selected.
        QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(grid->selectionModel()->selectedRows().first().row(), 0);
    }

    void priorAndNext_data() {
        QTest::addColumn<int>("persons");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("prior");
        QTest::addColumn<bool>("next");
        QTest::newRow("one person") << 1 << 0 << false << false;
        QTest::newRow("three, first") << 3 << 0 << false << true;
        QTest::newRow("three, middle") << 3 << 1 << true << true;
        QTest::newRow("three, last") << 3 << 2 << true << false;
    }

    void priorAndNext() {
        QFETCH(int, persons);
        QFETCH(int, row);
        QFETCH(bool, prior);
        QFETCH(bool, next);
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        for (int i = 1; i <= persons; ++i)
            MainFormFixture::AddPerson(i, QStringLiteral("Nom%1").arg(i), {});
        TMainForm* form = fixture.showForm();
        ClickRow(form, row);
        QCOMPARE(IsEnabled(form, Command::kMainPrior), prior);
        QCOMPARE(IsEnabled(form, Command::kMainNext), next);
    }

    // A change of the current row, or of one of its fields, reloads the page shown for the person.
    void personChangeReloadsThePage() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(2, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
        MainFormFixture::AddEvent(1, QStringLiteral("2024-03-02"), {}, QStringLiteral("Vaccin"));
        MainFormFixture::AddEvent(2, QStringLiteral("2024-01-10"), QStringLiteral("09:30"), QStringLiteral("Radio"));
        MainFormFixture::AddEvent(2, QStringLiteral("2024-01-10"), {}, QStringLiteral("Consultation"));
        MainFormFixture::AddPersonAnalysis(11, 1, QStringLiteral("Glycémie"));
        MainFormFixture::AddPersonAnalysis(12, 2, QStringLiteral("Ferritine"));
        TMainForm* form = fixture.showForm();

        // The person's first person-analysis becomes current with the person.
        QCOMPARE(form->currentPersonAnalysis(), qint64(11));
        QCOMPARE(form->generalPage()->currentAnalysisTitle(), QStringLiteral("Glycémie"));
        ClickRow(form, 1);
        QCOMPARE(form->currentPersonAnalysis(), qint64(12));

        ShowPage(form, TMainForm::EventsPage);
        QTableView* events = Child<QTableView>(form, QStringLiteral("Grid_Event"));
        QCOMPARE(events->model()->rowCount(), 2);
        // Same day: the event without time first; dates as the user reads them.
        QCOMPARE(events->model()->index(0, 2).data().toString(), QStringLiteral("Consultation"));
        QCOMPARE(qobject_cast<QStyledItemDelegate*>(events->itemDelegateForColumn(0))
                     ->displayText(events->model()->index(0, 0).data(), QLocale()),
                 QStringLiteral("10/01/2024"));
        ClickRow(form, 0);
        QCOMPARE(events->model()->rowCount(), 1);
        QCOMPARE(events->model()->index(0, 2).data().toString(), QStringLiteral("Vaccin"));
    }

    // A post of the Person query reloads the list and keeps the edited person selected, at its new place.
    void postReloadsTheList() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(2, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
        TMainForm* form = fixture.showForm();
        ClickRow(form, 0);
        Dataset* person = DataModule1()->Person;
        QVERIFY(person->edit());
        QVERIFY(person->setValue(QStringLiteral("Name"), QStringLiteral("Zeller")));
        QVERIFY(person->post());
        QCOMPARE(ListedNames(form), (QStringList{"Blanc Bruno", "Zeller Alice"}));
        QCOMPARE(form->selectedPersonRow(), 1);
        QCOMPARE(form->currentPersonId(), qint64(1));
    }

    // Adding: the list is not reloaded while the editor posts; afterwards the new person is selected
    // and the first page shows. Cancelling leaves the list on the person that was current.
    void addPerson_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Ok") << true;
        QTest::newRow("Annuler") << false;
    }

    void addPerson() {
        QFETCH(bool, confirmed);
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(2, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
        TMainForm* form = fixture.showForm();
        ClickRow(form, 1);
        ShowPage(form, TMainForm::EventsPage);

        Dataset* person = DataModule1()->Person;
        bool flagDuringEditor = false;
        int entriesDuringEditor = -1;
        form->setRecordEditorForTesting([&](bool isNew) {
            flagDuringEditor = form->addInProgress() && isNew;
            // As the record editor does: the empty row is posted at once, then filled.
            person->post();
            entriesDuringEditor = form->personList().count();
            if (!confirmed) {
                person->remove();
                return false;
            }
            person->edit();
            person->setValue(QStringLiteral("Name"), QStringLiteral("Aaron"));
            person->setValue(QStringLiteral("ForeName"), QStringLiteral("Paul"));
            return person->post();
        });
        ClickButton(form, QStringLiteral("Btn_Main_Add"));
        QVERIFY(flagDuringEditor);
        QVERIFY(!form->addInProgress());
        QCOMPARE(entriesDuringEditor, 2);
        QCOMPARE(form->activePage(), int(TMainForm::GeneralPage));
        if (confirmed) {
            QCOMPARE(ListedNames(form), (QStringList{"Aaron Paul", "Arnaud Alice", "Blanc Bruno"}));
            QCOMPARE(form->selectedPersonRow(), 0);
            QCOMPARE(form->currentPersonId(), form->personList().idAt(0));
            QVERIFY(form->currentPersonId() > 2);
        } else {
            QCOMPARE(ListedNames(form), (QStringList{"Arnaud Alice", "Blanc Bruno"}));
            QCOMPARE(form->currentPersonId(), qint64(2));
        }
    }

    // The last person deleted through the Person query: the list is empty and only Add remains.
    void deletingTheLastPerson() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddEvent(1, QStringLiteral("2024-03-02"), {}, QStringLiteral("Vaccin"));
        TMainForm* form = fixture.showForm();
        ShowPage(form, TMainForm::EventsPage);
        QVERIFY(IsEnabled(form, Command::kEventEdit));

        form->setPersonDeletionForTesting([](QString*) { return DataModule1()->Person->remove(); });
        MessageBoxService::queueAnswerForTesting(true);
        ClickButton(form, Command::kMainDelete);
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().question);
        QCOMPARE(messages.first().text, QStringLiteral("Confirmez-vous la suppression de ce carnet de santé ?"));

        QVERIFY(form->personList().isEmpty());
        QCOMPARE(PersonGrid(form)->model()->rowCount(), 1); // the blank row
        QCOMPARE(form->selectedPersonRow(), -1);
        QCOMPARE(form->currentPersonId(), qint64(-1));
        for (const QString& name : Command::All())
            QVERIFY2(!IsEnabled(form, name), qPrintable(name));
        QVERIFY(IsEnabled(form, QStringLiteral("Btn_Main_Add")));
        QCOMPARE(Child<QTableView>(form, QStringLiteral("Grid_Event"))->model()->rowCount(), 0);
    }

    void deletionAsksFirst() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        TMainForm* form = fixture.showForm();
        bool deleted = false;
        form->setPersonDeletionForTesting([&](QString*) { return deleted = true; });
        MessageBoxService::queueAnswerForTesting(false);
        ClickButton(form, Command::kMainDelete);
        QVERIFY(!deleted);
        QCOMPARE(form->personList().count(), 1);
    }

    // Each page reads its data when it shows and releases it when it is left.
    void pageSwitching() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPersonAnalysis(11, 1, QStringLiteral("Glycémie"));
        MainFormFixture::AddResult(11, QStringLiteral("2024-01-15"), 1.05);
        MainFormFixture::AddEvent(1, QStringLiteral("2024-03-02"), {}, QStringLiteral("Vaccin"));
        MainFormFixture::AddImageDocument(5, 1, QStringLiteral("Radio du genou"),
                                          MainFormFixture::Thumbnail(Qt::gray, 90));
        MainFormFixture::AddImageDocument(6, 1, QStringLiteral("Ordonnance"), QByteArray("not a bitmap"));
        MainFormFixture::AddFileDocument(7, 1, QStringLiteral("compte-rendu.pdf"));
        TMainForm* form = fixture.showForm();
        TDataModule1* data = DataModule1();
        QVERIFY(data->Analysis->isOpen());
        QCOMPARE(data->Analysis->recordCount(), 1);

        ShowPage(form, TMainForm::DocumentsPage);
        QVERIFY(!data->Analysis->isOpen());
        QVERIFY(data->DocumentFile->isOpen());
        QCOMPARE(data->DocumentFile->recordCount(), 1);
        QVERIFY(data->DocumentFile->sql().contains(
            QStringLiteral("WHERE DOCUMENTFILE.DoType=1 AND DOCUMENTFILE.Id_Ref=1")));
        auto* sheet = Child<QListWidget>(form, QStringLiteral("ListView_Document_Img"));
        QCOMPARE(sheet->count(), 2);
        // A thumbnail that cannot be read leaves its entry without a picture.
        QCOMPARE(sheet->item(0)->text(), QStringLiteral("Radio du genou"));
        QVERIFY(!sheet->item(0)->icon().isNull());
        QVERIFY(sheet->item(1)->icon().isNull());

        ShowPage(form, TMainForm::EventsPage);
        QCOMPARE(sheet->count(), 0);
        QVERIFY(data->Event->isOpen());
        QCOMPARE(data->Event->sql().value(1), QStringLiteral("WHERE Event.Id_Ref=1"));
        QCOMPARE(data->Event->recordCount(), 1);

        ShowPage(form, TMainForm::GeneralPage);
        QVERIFY(!data->Event->isOpen());
        QVERIFY(data->Analysis->isOpen());
        QCOMPARE(data->Analysis->recordCount(), 1);
    }

    // Every row of the command-state table, through the widgets.
    void commandStates_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("enabled"); // besides those of any person; all others disabled
        QTest::addColumn<bool>("anyPerson");
        QTest::newRow("empty database") << "empty" << 0 << QStringList{} << false;
        QTest::newRow("one person, nothing else") << "one" << 0 << QStringList{} << true;
        QTest::newRow("three persons, the middle one")
            << "three" << 0 << QStringList{Command::kMainPrior, Command::kMainNext} << true;
        QTest::newRow("person-analysis without results")
            << "analysis" << 0 << QStringList{Command::kAnalysisChange, Command::kAnalysisDelete, Command::kValueAdd}
            << true;
        QTest::newRow("person-analysis with results")
            << "results" << 0
            << QStringList{Command::kAnalysisChange, Command::kAnalysisDelete, Command::kValueAdd, Command::kValueEdit,
                           Command::kValueDelete}
            << true;
        QTest::newRow("files, mail settings incomplete")
            << "files" << 1 << QStringList{Command::kFileDelete, Command::kFileRun, Command::kFileSave} << true;
        QTest::newRow("files, mail settings complete")
            << "files+mail" << 1
            << QStringList{Command::kFileDelete, Command::kFileRun, Command::kFileSave, Command::kFileEmail} << true;
        QTest::newRow("images, none selected") << "images" << 1 << QStringList{} << true;
        QTest::newRow("image selected, mail settings incomplete")
            << "image selected" << 1
            << QStringList{Command::kImageEdit, Command::kImageDelete, Command::kImageView, Command::kImageSave}
            << true;
        QTest::newRow("image selected, mail settings complete")
            << "image selected+mail" << 1
            << QStringList{Command::kImageEdit, Command::kImageDelete, Command::kImageView, Command::kImageSave,
                           Command::kImageEmail}
            << true;
        QTest::newRow("no events") << "one" << 2 << QStringList{} << true;
        QTest::newRow("events") << "events" << 2 << QStringList{Command::kEventEdit, Command::kEventDelete} << true;
    }

    void commandStates() {
        QFETCH(QString, scenario);
        QFETCH(int, page);
        QFETCH(QStringList, enabled);
        QFETCH(bool, anyPerson);
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        if (scenario != QLatin1String("empty")) MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), {});
        if (scenario == QLatin1String("three")) {
            MainFormFixture::AddPerson(2, QStringLiteral("Blanc"), {});
            MainFormFixture::AddPerson(3, QStringLiteral("Carré"), {});
        }
        if (scenario == QLatin1String("analysis") || scenario == QLatin1String("results"))
            MainFormFixture::AddPersonAnalysis(11, 1, QStringLiteral("Glycémie"));
        if (scenario == QLatin1String("results")) MainFormFixture::AddResult(11, QStringLiteral("2024-01-15"), 1.05);
        if (scenario.startsWith(QLatin1String("files")))
            MainFormFixture::AddFileDocument(7, 1, QStringLiteral("a.pdf"));
        if (scenario.startsWith(QLatin1String("image")))
            MainFormFixture::AddImageDocument(5, 1, QStringLiteral("Radio"), MainFormFixture::Thumbnail(Qt::gray, 90));
        if (scenario == QLatin1String("events"))
            MainFormFixture::AddEvent(1, QStringLiteral("2024-03-02"), {}, QStringLiteral("Vaccin"));
        if (scenario.endsWith(QLatin1String("+mail"))) {
            CurrentSettings().smtpName = QStringLiteral("Jean Dupont");
            CurrentSettings().smtpEmail = QStringLiteral("jean@example.org");
            CurrentSettings().smtpHost = QStringLiteral("smtp.example.org");
        }

        TMainForm* form = fixture.showForm();
        if (scenario == QLatin1String("three")) ClickRow(form, 1);
        ShowPage(form, page);
        if (scenario.startsWith(QLatin1String("image selected"))) {
            auto* sheet = Child<QListWidget>(form, QStringLiteral("ListView_Document_Img"));
            QCOMPARE(sheet->count(), 1);
            QTest::mouseClick(sheet->viewport(), Qt::LeftButton, {}, sheet->visualItemRect(sheet->item(0)).center());
            QVERIFY(sheet->item(0)->isSelected());
        }

        QStringList expected = enabled;
        if (anyPerson) expected += kWithAnyPerson;
        for (const QString& name : Command::All())
            QVERIFY2(IsEnabled(form, name) == expected.contains(name),
                     qPrintable(name + (expected.contains(name) ? QStringLiteral(" should be enabled")
                                                                : QStringLiteral(" should be disabled"))));
        QVERIFY(IsEnabled(form, QStringLiteral("Btn_Main_Add")));
    }

    // Pictures for a reviewer: the window on an empty database, and with three persons (two with a
    // photo, one whose thumbnail is damaged) on each page.
    void screenshots() {
        if (qEnvironmentVariableIsEmpty("QUORVEL_SCREENSHOTS")) QSKIP("QUORVEL_SCREENSHOTS is not set");
        {
            MainFormFixture fixture;
            QVERIFY(fixture.ready());
            CurrentSettings().showCalendar = true;
            TMainForm* form = fixture.showForm();
            SaveScreenshot(form, QStringLiteral("MainForm-empty"));
        }
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        CurrentSettings().showCalendar = true;
        MainFormFixture::AddPerson(1, QStringLiteral("Dupont"), QStringLiteral("Émile"),
                                   QStringLiteral("1 80 05 69 123 456 78"),
                                   MainFormFixture::Thumbnail(QColor(200, 90, 60)));
        MainFormFixture::AddPerson(2, QStringLiteral("Ébert"), QStringLiteral("Zoé"),
                                   QStringLiteral("2 91 12 75 987 654 32"));
        MainFormFixture::AddPerson(12345, QStringLiteral("Martin"), QStringLiteral("Claire"), {},
                                   MainFormFixture::Thumbnail(QColor(60, 120, 200)));
        MainFormFixture::AddPerson(4, QStringLiteral("Zeller"), QStringLiteral("Paul"), QStringLiteral("1 55"),
                                   QByteArray("BM damaged"));
        MainFormFixture::AddPersonAnalysis(11, 1, QStringLiteral("Glycémie"));
        MainFormFixture::AddResult(11, QStringLiteral("2024-01-15"), 1.05);
        MainFormFixture::AddResult(11, QStringLiteral("2024-03-10"), 1.21);
        MainFormFixture::AddEvent(1, QStringLiteral("2024-03-02"), {}, QStringLiteral("Vaccin grippe"));
        MainFormFixture::AddEvent(1, QStringLiteral("2024-03-02"), QStringLiteral("09:30"),
                                  QStringLiteral("Consultation"));
        MainFormFixture::AddImageDocument(5, 1, QStringLiteral("Radio du genou"),
                                          MainFormFixture::Thumbnail(Qt::gray, 90));
        MainFormFixture::AddImageDocument(6, 1, QStringLiteral("Ordonnance"),
                                          MainFormFixture::Thumbnail(QColor(240, 200, 80), 90));
        MainFormFixture::AddFileDocument(7, 1, QStringLiteral("compte-rendu.pdf"));
        TMainForm* form = fixture.showForm();
        SaveScreenshot(form, QStringLiteral("MainForm-persons-general"));
        ShowPage(form, TMainForm::DocumentsPage);
        SaveScreenshot(form, QStringLiteral("MainForm-persons-documents"));
        ShowPage(form, TMainForm::EventsPage);
        SaveScreenshot(form, QStringLiteral("MainForm-persons-events"));
        ClickRow(form, 2);
        SaveScreenshot(form, QStringLiteral("MainForm-persons-events-third"));
    }
};

QTEST_MAIN(TestMainForm)
#include "TestMainForm.moc"
