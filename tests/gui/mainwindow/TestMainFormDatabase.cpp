// The main window's Tools > "Base de données" entries run through their menu actions, with the file dialogs and the
// questions answered by the test: the backup writes the archive and leaves the window on its person; restoring that
// archive after a change brings the old persons back and the window shows them; a refused archive and a failed
// compaction leave the window working on its data; the history window lists what was done. During each operation
// the window is disabled on its first page, and it is enabled again afterwards, its page read again.
#include "support/MainFormFixture.h"

#include "core/app/DateRoutines.h"
#include "core/app/Product.h"
#include "core/archive/Cabinet.h"
#include "core/db/Backup.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/Dataset.h"
#include "core/records/PersonListModel.h"
#include "gui/analyses/GeneralPageWidget.h"
#include "gui/app/TWait.h"
#include "gui/controls/FileDialogs.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/db/BackupCommandsUi.h"
#include "gui/db/TBackupList.h"
#include "support/ModalDialogs.h"
#include "support/SandboxHome.h"

#include <QApplication>
#include <QMenu>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>

namespace {

QAction* Action(const QObject* form, const QString& name) {
    return Child<QAction>(form, name);
}

QStringList ListedNames(TMainForm* form) {
    QStringList names;
    const QAbstractItemModel* model = Child<QTableView>(form, QStringLiteral("Grid_PersonList"))->model();
    for (int row = 0; row < form->personList().count(); ++row)
        names << model->index(row, 0).data(PersonListModel::NameRole).toString();
    return names;
}

// What the window looks like when the Person query closes for the file work.
struct WhileClosed {
    bool seen = false;
    bool windowEnabled = true;
    int page = -1;
    bool progressShown = false;
};

} // namespace

class TestMainFormDatabase : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RecordMessagesWithClockAt(QDateTime(QDate(2026, 12, 9), QTime(10, 30))); }
    void cleanupTestCase() { SetClockForTesting(QDateTime()); }
    void init() {
        MessageBoxService::clearRecordedMessages();
        FileDialogs::clearForTesting();
    }
    void cleanup() { FileDialogs::clearForTesting(); }

    void toolsMenu() {
        MainFormFixture fixture;
        QVERIFY(prepare(fixture));
        TMainForm* form = fixture.showForm();
        auto* tools = Child<QToolButton>(form, QStringLiteral("Btn_Tools"));
        QMenu* menu = tools->menu();
        auto* database = Child<QMenu>(form, QStringLiteral("Menu_Database"));
        QCOMPARE(database->title(), QStringLiteral("&Base de données"));
        const QList<std::pair<QString, QString>> entries{
            {QStringLiteral("Menu_Backup"), QStringLiteral("&Sauvegarde")},
            {QStringLiteral("Menu_Restore"), QStringLiteral("&Restauration")},
            {QStringLiteral("Menu_History"), QStringLiteral("&Historique")},
            {QStringLiteral("Menu_Compact"), QStringLiteral("&Compacter/Réparer")}};
        QCOMPARE(database->actions().size(), entries.size());
        for (int i = 0; i < entries.size(); ++i) {
            QAction* action = database->actions()[i];
            QCOMPARE(action->objectName(), entries[i].first);
            QCOMPARE(action->text(), entries[i].second);
            QVERIFY2(action->isEnabled(), qPrintable(entries[i].first));
        }

        // The menu and its submenu open, drawn over the window for a reviewer.
        menu->popup(tools->mapToGlobal(QPoint(0, tools->height())));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QRect item = menu->actionGeometry(database->menuAction());
        menu->setActiveAction(database->menuAction());
        database->popup(menu->mapToGlobal(item.topRight()));
        QVERIFY(QTest::qWaitForWindowExposed(database));
        QPixmap picture = form->grab();
        {
            QPainter painter(&picture);
            painter.drawPixmap(form->mapFromGlobal(menu->pos()), menu->grab());
            painter.drawPixmap(form->mapFromGlobal(database->pos()), database->grab());
        }
        const QString folder = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            QVERIFY(picture.save(folder + QStringLiteral("/TMainForm-ToolsMenu.png")));
        }
        database->close();
        menu->close();
    }

    void backupThenRestoreBringsTheOldPersonsBack() {
        MainFormFixture fixture;
        QVERIFY(prepare(fixture));
        AddArnaudAndBernard();
        MainFormFixture::AddPersonAnalysis(10, 1, QStringLiteral("Glycémie"));
        MainFormFixture::AddResult(10, QStringLiteral("2026-01-10"), 0.9);
        MainFormFixture::AddPersonAnalysis(20, 2, QStringLiteral("Ferritine"));
        MainFormFixture::AddResult(20, QStringLiteral("2026-02-10"), 40);
        MainFormFixture::AddResult(20, QStringLiteral("2026-03-10"), 45);
        WriteTestFile(DbDir() + QStringLiteral("Images/People1.jpg"), "photo");
        TMainForm* form = fixture.showForm();
        watch(fixture, form);
        // Bernard is current, on the events page.
        QTest::mouseClick(Child<QToolButton>(form, QStringLiteral("Btn_Main_Next")), Qt::LeftButton);
        QCOMPARE(form->currentPersonId(), qint64(2));
        form->showPage(TMainForm::EventsPage);

        const QString archive = BackupFolder() + QStringLiteral("essai.bkp");
        FileDialogs::queueAnswerForTesting(archive);
        Action(form, QStringLiteral("Menu_Backup"))->trigger();
        QCOMPARE(RecordedMessageTexts(), QStringList{QStringLiteral("Sauvegarde effectuée.")});
        QList<CabinetEntry> entries;
        QString error;
        QVERIFY2(ListCabinet(archive, &entries, &error), qPrintable(error));
        QStringList names;
        for (const CabinetEntry& entry : entries)
            names << entry.name;
        QCOMPARE(names, (QStringList{QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("People1.jpg")}));
        verifyClosedState();
        // Back on Bernard, his page read again from the reopened connection.
        verifyWindowShows(form, fixture, 2, 20, 2);

        // A change after the backup: Arnaud leaves, Carole arrives.
        MainFormFixture::Exec(QStringLiteral("DELETE FROM PERSON WHERE Id=1"));
        MainFormFixture::AddPerson(3, QStringLiteral("Carole"), QStringLiteral("Inès"));
        form->ReloadPersonList(3);
        QCOMPARE(ListedNames(form), (QStringList{QStringLiteral("Bernard"), QStringLiteral("Carole")}));

        m_closed = {};
        MessageBoxService::clearRecordedMessages();
        FileDialogs::queueAnswerForTesting(archive);
        Action(form, QStringLiteral("Menu_Restore"))->trigger();
        QCOMPARE(RecordedMessageTexts().size(), 1);
        QVERIFY(RecordedMessageTexts().first().startsWith(
            QStringLiteral("Sauvegarde restaurée.\n\nLes données remplacées sont gardées dans l'archive :\n") +
            BackupFolder() + QStringLiteral("KESTOVRAN_AVANT_RESTAURATION_09_12_2026_10_30_00.bkp\n")));
        const QList<FileDialogs::Question> requests = FileDialogs::questionsForTesting();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[1].title, QStringLiteral("Sélectionnez la base de données à restaurer"));
        verifyClosedState();
        // The archived persons, the first one current, his page and the commands after him.
        QCOMPARE(ListedNames(form), (QStringList{QStringLiteral("Arnaud"), QStringLiteral("Bernard")}));
        QCOMPARE(form->selectedPersonRow(), 0);
        verifyWindowShows(form, fixture, 1, 10, 1);
        QVERIFY(!Child<QWidget>(form, QStringLiteral("Btn_Main_Prior"))->isEnabled());
        QVERIFY(Child<QWidget>(form, QStringLiteral("Btn_Main_Next"))->isEnabled());
        SaveScreenshot(form, QStringLiteral("TMainForm-AfterRestore"));

        // The history is the archived one, and the restoration. The backup's own row came once its archive was
        // complete and checked: the archive does not hold it.
        QStringList history;
        WhenModalOpens<TBackupList>([&](TBackupList* window) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            const QAbstractItemModel* model = window->grid()->model();
            for (int row = 0; row < model->rowCount(); ++row)
                history << model->index(row, 2).data().toString();
            SaveScreenshot(window, QStringLiteral("TBackupList-FromMainForm"));
            window->accept();
        });
        Action(form, QStringLiteral("Menu_History"))->trigger();
        QCOMPARE(history, QStringList{kRestoreDescription});
        QVERIFY(form->isEnabled());
    }

    void refusedArchiveLeavesTheWindowOnItsData() {
        MainFormFixture fixture;
        QVERIFY(prepare(fixture));
        AddArnaudAndBernard();
        MainFormFixture::AddPersonAnalysis(10, 1, QStringLiteral("Glycémie"));
        MainFormFixture::AddResult(10, QStringLiteral("2026-01-10"), 0.9);
        TMainForm* form = fixture.showForm();
        const QString fake = BackupFolder() + QStringLiteral("faux.bkp");
        QVERIFY(QDir().mkpath(BackupFolder()));
        WriteTestFile(fake, "ceci n'est pas une sauvegarde");

        FileDialogs::queueAnswerForTesting(fake);
        Action(form, QStringLiteral("Menu_Restore"))->trigger();
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].icon, MessageIcon::Error);
        QVERIFY2(messages[0].text.contains(QStringLiteral("n'est pas une archive")), qPrintable(messages[0].text));
        QCOMPARE(ListedNames(form), (QStringList{QStringLiteral("Arnaud"), QStringLiteral("Bernard")}));
        verifyWindowShows(form, fixture, 1, 10, 1);
        // The window works on: another person can be chosen.
        QTest::mouseClick(Child<QToolButton>(form, QStringLiteral("Btn_Main_Next")), Qt::LeftButton);
        QCOMPARE(form->currentPersonId(), qint64(2));
    }

    void compaction_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("blocked"); // the work copy's name is taken
        QTest::addColumn<QString>("lastMessage");
        QTest::newRow("refused") << false << false
                                 << QStringLiteral("Confirmez-vous le compactage de la base de données ?");
        QTest::newRow("done") << true << false << QStringLiteral("Compactage effectué.");
        QTest::newRow("failed") << true << true << QString();
    }

    void compaction() {
        QFETCH(bool, confirmed);
        QFETCH(bool, blocked);
        QFETCH(QString, lastMessage);
        MainFormFixture fixture;
        QVERIFY(prepare(fixture));
        AddArnaudAndBernard();
        MainFormFixture::AddPersonAnalysis(20, 2, QStringLiteral("Ferritine"));
        MainFormFixture::AddResult(20, QStringLiteral("2026-02-10"), 40);
        if (blocked) QVERIFY(QDir().mkpath(DbDir() + QStringLiteral("Access/KESTOVRAN~.MDB/occupé")));
        TMainForm* form = fixture.showForm();
        watch(fixture, form);
        QTest::mouseClick(Child<QToolButton>(form, QStringLiteral("Btn_Main_Next")), Qt::LeftButton);

        MessageBoxService::queueAnswerForTesting(confirmed);
        Action(form, QStringLiteral("Menu_Compact"))->trigger();
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), confirmed ? 2 : 1);
        if (lastMessage.isEmpty()) {
            QCOMPARE(messages.last().icon, MessageIcon::Error);
            QVERIFY(!RecordedMessageTexts().contains(QStringLiteral("Compactage effectué.")));
        } else {
            QCOMPARE(messages.last().text, lastMessage);
        }
        QCOMPARE(m_closed.seen, confirmed);
        if (confirmed) verifyClosedState();
        QVERIFY(QFileInfo(fixture.databaseFile()).isFile());
        verifyWindowShows(form, fixture, 2, 20, 1);
    }

private:
    // Arnaud (1) before Bernard (2) in the list.
    static void AddArnaudAndBernard() {
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), QStringLiteral("Claire"));
        MainFormFixture::AddPerson(2, QStringLiteral("Bernard"), QStringLiteral("Luc"));
    }

    static bool prepare(MainFormFixture& fixture) {
        return fixture.ready() &&
               LoadDatabaseSettings(fixture.dataDir(), QStringLiteral("Data/"), Product::kDataSourceName,
                                    Product::kDatabaseFileName, Product::kDatabaseFolder);
    }

    // Records the window's state at the moment the Person query closes.
    void watch(MainFormFixture& fixture, TMainForm* form) {
        m_closed = {};
        Dataset* person = fixture.module()->Person;
        QObject::connect(person, &Dataset::reset, form, [this, person, form] {
            if (person->isOpen()) return;
            m_closed.seen = true;
            m_closed.windowEnabled = form->isEnabled();
            m_closed.page = form->activePage();
            for (QWidget* window : QApplication::topLevelWidgets())
                if (qobject_cast<TWait*>(window) && window->isVisible()) m_closed.progressShown = true;
        });
    }

    void verifyClosedState() const {
        QVERIFY(m_closed.seen);
        QVERIFY(!m_closed.windowEnabled);
        QCOMPARE(m_closed.page, int(TMainForm::GeneralPage));
        QVERIFY(m_closed.progressShown);
    }

    // The window is enabled on the person, on the "Général" page, with that person's first analysis current and its
    // results read from the database.
    static void verifyWindowShows(TMainForm* form, MainFormFixture& fixture, qint64 person, qint64 personAnalysis,
                                  int results) {
        QVERIFY(form->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(form->currentPersonId(), person);
        QCOMPARE(form->activePage(), int(TMainForm::GeneralPage));
        QCOMPARE(form->currentPersonAnalysis(), personAnalysis);
        Dataset* values = fixture.module()->Analysis;
        QVERIFY(values->isOpen());
        QCOMPARE(values->recordCount(), results);
        QVERIFY(Child<QWidget>(form, QStringLiteral("Btn_Main_Edit"))->isEnabled());
    }

    WhileClosed m_closed;
};

QTEST_MAIN(TestMainFormDatabase)
#include "TestMainFormDatabase.moc"
