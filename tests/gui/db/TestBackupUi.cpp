#include "core/app/DateRoutines.h"
#include "core/app/Folders.h"
#include "core/app/Product.h"
#include "core/archive/Cabinet.h"
#include "core/db/Backup.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/Dataset.h"
#include "core/db/DbVersion.h"
#include "core/db/TDataModule1.h"
#include "gui/app/TWait.h"
#include "gui/controls/FileDialogs.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/db/BackupCommandsUi.h"
#include "gui/db/TBackupList.h"
#include "support/FixtureDatabase.h"
#include "support/SandboxHome.h"
#include "support/Screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

QStringList Texts(const QList<MessageBoxService::RecordedMessage>& messages) {
    QStringList texts;
    for (const auto& message : messages)
        texts.append(message.text);
    return texts;
}

} // namespace

class TestBackupUi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        MessageBoxService::install();
        MessageBoxService::setTestMode(true);
    }
    void init();
    void cleanup();

    void backupAsksWhereAndSaysItIsDone();
    void cancelledDialogsDoNothing();
    void refusedRestoreShowsWhyAndPutsTheWindowBack();
    void restoreSaysItIsDone();
    void restorationShowsItsProgress();
    void compactionAsksFirst();
    void historyWindowAndPurge();

private:
    qint64 historyRows();

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<FixtureDatabase> m_fixture;
    std::unique_ptr<TDataModule1> m_data;
    std::unique_ptr<QWidget> m_mainWindow;
    QStringList m_steps;
    MainWindowSteps m_hooks;
};

void TestBackupUi::init() {
    m_root = std::make_unique<QTemporaryDir>();
    SetProgramDir(m_root->path() + QStringLiteral("/program/"));
    SetDataDir(m_root->path() + QStringLiteral("/data/"));
    QVERIFY(QDir().mkpath(DataDir()));
    QString error;
    QVERIFY(LoadDatabaseSettings(DataDir(), QStringLiteral("Data\\"), QStringLiteral("KESTOVRAN"),
                                 QStringLiteral("KESTOVRAN.MDB"), QStringLiteral("Access\\"), &error));
    m_fixture = std::make_unique<FixtureDatabase>(DbDir());
    QVERIFY2(m_fixture->build(&error), qPrintable(error));
    WriteTestFile(DbDir() + QStringLiteral("Images/Doc1.jpg"), "image");
    m_data = std::make_unique<TDataModule1>();
    QVERIFY(m_data->connectDatabase(&error));
    QVERIFY(m_data->Person->open(&error));
    m_mainWindow = std::make_unique<QWidget>();
    m_mainWindow->resize(800, 600);
    m_mainWindow->show();
    m_steps.clear();
    m_hooks.showFirstTab = [this] { m_steps << "first tab"; };
    m_hooks.detachPersonControls = [this] {
        m_steps << QStringLiteral("detach enabled=%1").arg(m_mainWindow->isEnabled());
    };
    m_hooks.attachPersonControls = [this] {
        m_steps << QStringLiteral("attach connected=%1").arg(m_data->isConnected());
    };
    m_hooks.refreshCurrentPage = [this] { m_steps << "refresh"; };
    m_hooks.reloadPersonList = [this](qint64 id) {
        m_steps << QStringLiteral("reload %1 enabled=%2").arg(id).arg(m_mainWindow->isEnabled());
    };
    SetClockForTesting(QDateTime(QDate(2026, 12, 9), QTime(8, 0)));
    MessageBoxService::clearRecordedMessages();
    FileDialogs::clearForTesting();
}

void TestBackupUi::cleanup() {
    m_mainWindow.reset();
    m_data.reset();
    CloseDatabase(kMainConnection);
    SetClockForTesting(QDateTime());
    FileDialogs::clearForTesting();
    m_fixture.reset();
    m_root.reset();
}

qint64 TestBackupUi::historyRows() {
    m_data->Backup->open();
    const qint64 rows = m_data->Backup->recordCount();
    m_data->Backup->close();
    return rows;
}

void TestBackupUi::backupAsksWhereAndSaysItIsDone() {
    const QString target = m_root->path() + QStringLiteral("/sauvegarde.bkp");
    FileDialogs::queueAnswerForTesting(target);
    BackupDatabase(m_mainWindow.get(), *m_data, m_hooks);

    const QList<FileDialogs::Question> requests = FileDialogs::questionsForTesting();
    QCOMPARE(requests.size(), 1);
    QVERIFY(requests[0].kind == FileDialogs::Kind::Save);
    QCOMPARE(requests[0].title, QStringLiteral("Localisation de la sauvegarde"));
    QCOMPARE(requests[0].filter, QStringLiteral("Sauvegarde base de donnée (*bkp)"));
    QCOMPARE(requests[0].folder, DataDir() + QStringLiteral("Backup/"));
    QVERIFY(requests[0].proposedName.endsWith(QStringLiteral("_BACKUP_09_12_2026.bkp")));
    QCOMPARE(requests[0].defaultSuffix, QStringLiteral("bkp"));

    const auto messages = MessageBoxService::recordedMessages();
    QCOMPARE(Texts(messages), QStringList{QStringLiteral("Sauvegarde effectuée.")});
    QCOMPARE(messages[0].icon, MessageIcon::Information);
    QVERIFY(QFileInfo::exists(target));
    QCOMPARE(m_steps, (QStringList{"first tab", "detach enabled=0", "attach connected=1"}));
    QVERIFY(m_mainWindow->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestBackupUi::cancelledDialogsDoNothing() {
    const qint64 rows = historyRows();
    FileDialogs::queueAnswerForTesting(QString());
    BackupDatabase(m_mainWindow.get(), *m_data, m_hooks);
    FileDialogs::queueAnswerForTesting(QString());
    RestoreDatabase(m_mainWindow.get(), *m_data, m_hooks);
    QCOMPARE(FileDialogs::questionsForTesting().size(), 2);
    QCOMPARE(FileDialogs::questionsForTesting()[1].title,
             QStringLiteral("Sélectionnez la base de données à restaurer"));
    QCOMPARE(MessageBoxService::recordedMessages().size(), 0);
    QCOMPARE(m_steps, QStringList());
    QCOMPARE(historyRows(), rows);
}

void TestBackupUi::refusedRestoreShowsWhyAndPutsTheWindowBack() {
    const QString fake = m_root->path() + QStringLiteral("/faux.bkp");
    WriteTestFile(fake, "texte");
    const qint64 rows = historyRows();
    FileDialogs::queueAnswerForTesting(fake);
    RestoreDatabase(m_mainWindow.get(), *m_data, m_hooks);
    const auto messages = MessageBoxService::recordedMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].icon, MessageIcon::Error);
    QVERIFY2(messages[0].text.contains(QStringLiteral("n'est pas une archive")), qPrintable(messages[0].text));
    QCOMPARE(historyRows(), rows);
    QVERIFY(m_mainWindow->isEnabled());
    QVERIFY(m_steps.contains(QStringLiteral("attach connected=1")));
}

void TestBackupUi::restoreSaysItIsDone() {
    const QString target = m_root->path() + QStringLiteral("/a.bkp");
    QString error;
    QVERIFY(WriteCabinet(target, {{QStringLiteral("KESTOVRAN.MDB"), DatabaseFile()}}, {}, &error));
    FileDialogs::queueAnswerForTesting(target);
    RestoreDatabase(m_mainWindow.get(), *m_data, m_hooks);
    // The message says where the replaced data set is kept, to undo the restoration.
    const QStringList kept = QDir(BackupFolder()).entryList({QStringLiteral("KESTOVRAN_AVANT_RESTAURATION_*.bkp")});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(
        Texts(MessageBoxService::recordedMessages()),
        QStringList{QStringLiteral("Sauvegarde restaurée.\n\nLes données remplacées sont gardées dans l'archive :\n") +
                    BackupFolder() + kept.first() +
                    QStringLiteral("\nPour annuler cette restauration, restaurez cette archive.")});
    QCOMPARE(m_steps,
             (QStringList{"first tab", "detach enabled=0", "refresh", "attach connected=1", "reload -1 enabled=1"}));
    QVERIFY(!QFileInfo::exists(DbDir() + QStringLiteral("Images/Doc1.jpg")));
}

// While a restoration works the user sees its gauge count the entries, and the update of a restored database that
// is older than the program shows the update window, as at start-up.
void TestBackupUi::restorationShowsItsProgress() {
    const QString older = m_root->path() + QStringLiteral("/older.mdb");
    QVERIFY(QFile::copy(DatabaseFile(), older));
    QString error;
    QVERIFY(OpenDatabaseFile(QStringLiteral("older"), older, &error));
    QVERIFY(SetDbVersion(QStringLiteral("older"), QStringLiteral("OBJECT_VAL_STR"),
                         VersionColumn(QStringLiteral("older")), QStringLiteral("1.12"), &error));
    CloseDatabase(QStringLiteral("older"));
    const QString archive = m_root->path() + QStringLiteral("/ancienne.bkp");
    QVERIFY(WriteCabinet(archive, {{QStringLiteral("KESTOVRAN.MDB"), older}, {QStringLiteral("Doc1.jpg"), older}}, {},
                         &error));
    WriteTestFile(ProgramDir() + QStringLiteral("Maj/") + Product::UpdateScriptName(), "// un\r\n// deux\r\n");

    // What the windows show, looked at whenever the work lets the event loop run.
    QSet<QString> seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* wait = qobject_cast<TWait*>(widget); wait && wait->isVisible()) {
                const QWidget* gauge = wait->findChild<QWidget*>(QStringLiteral("Gauge"));
                seen << wait->task() + (gauge && gauge->isVisible() ? QStringLiteral(" [jauge]") : QString());
            }
    });
    watch.start(0);
    FileDialogs::queueAnswerForTesting(archive);
    RestoreDatabase(m_mainWindow.get(), *m_data, m_hooks);
    watch.stop();
    QVERIFY2(Texts(MessageBoxService::recordedMessages()).value(0).startsWith(QStringLiteral("Sauvegarde restaurée.")),
             qPrintable(Texts(MessageBoxService::recordedMessages()).join(QLatin1Char('|'))));
    QVERIFY2(seen.contains(QStringLiteral("Décompression des fichiers ... [jauge]")),
             qPrintable(QStringList(seen.begin(), seen.end()).join(QLatin1Char('|'))));
    QVERIFY2(seen.contains(QStringLiteral("MISE A JOUR (Base de données) [jauge]")),
             qPrintable(QStringList(seen.begin(), seen.end()).join(QLatin1Char('|'))));
    QCOMPARE(GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"), VersionColumn(kMainConnection)),
             Product::kVersion);
}

void TestBackupUi::compactionAsksFirst() {
    const qint64 rows = historyRows();
    MessageBoxService::queueAnswerForTesting(false);
    CompactCurrentDatabase(m_mainWindow.get(), *m_data, m_hooks);
    QCOMPARE(Texts(MessageBoxService::recordedMessages()),
             QStringList{QStringLiteral("Confirmez-vous le compactage de la base de données ?")});
    QCOMPARE(historyRows(), rows);

    MessageBoxService::clearRecordedMessages();
    MessageBoxService::queueAnswerForTesting(true);
    CompactCurrentDatabase(m_mainWindow.get(), *m_data, m_hooks);
    QCOMPARE(Texts(MessageBoxService::recordedMessages()).last(), QStringLiteral("Compactage effectué."));
    QCOMPARE(historyRows(), rows + 1);

    // A compaction that cannot be done shows why, and not that it was done.
    QVERIFY(QDir().mkpath(DbDir() + QStringLiteral("Access/KESTOVRAN~.MDB/bloqué")));
    MessageBoxService::clearRecordedMessages();
    MessageBoxService::queueAnswerForTesting(true);
    CompactCurrentDatabase(m_mainWindow.get(), *m_data, m_hooks);
    const auto messages = MessageBoxService::recordedMessages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[1].icon, MessageIcon::Error);
    QVERIFY(!Texts(messages).contains(QStringLiteral("Compactage effectué.")));
    QVERIFY(m_data->isConnected());
    QVERIFY(m_mainWindow->isEnabled());
}

void TestBackupUi::historyWindowAndPurge() {
    {
        TBackupList window(*m_data, m_mainWindow.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Historique des sauvegardes"));
        QTableView* grid = window.grid();
        QCOMPARE(grid->model()->rowCount(), Fixture::kBackupRows);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Date"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Heure"));
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Description"));
        QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Fichier de sauvegarde"));
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        auto* dates = qobject_cast<QStyledItemDelegate*>(grid->itemDelegateForColumn(0));
        QVERIFY(dates);
        const QString shownDate = dates->displayText(grid->model()->index(0, 0).data(), QLocale());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$")).match(shownDate).hasMatch(),
                 qPrintable(shownDate));
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SaveScreenshot(&window, QStringLiteral("TBackupList"));
        QVERIFY(window.purgeButton()->isEnabled());

        MessageBoxService::queueAnswerForTesting(false);
        QTest::mouseClick(window.purgeButton(), Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), Fixture::kBackupRows);
        MessageBoxService::queueAnswerForTesting(true);
        QTest::mouseClick(window.purgeButton(), Qt::LeftButton);
        QCOMPARE(Texts(MessageBoxService::recordedMessages()).last(),
                 QStringLiteral("Désirez-vous purger l'historique des sauvegardes ?"));
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(!window.purgeButton()->isEnabled());
        SaveScreenshot(&window, QStringLiteral("TBackupList-purged"));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Btn_Close")), Qt::LeftButton);
        QVERIFY(!m_data->Backup->isOpen());
    }
    // Opened on an empty history, the purge is off.
    TBackupList empty(*m_data, m_mainWindow.get());
    QVERIFY(!empty.purgeButton()->isEnabled());
}

QTEST_MAIN(TestBackupUi)
#include "TestBackupUi.moc"
