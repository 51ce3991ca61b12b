// The events journal of the main window: the order of a day's events, adding with today's date, changing,
// deleting after the question, the event dialog's Ok rule and its refusal of a date that does not exist, and the
// enabled state of the page's buttons.
#include "support/MainFormFixture.h"

#include "core/app/DateRoutines.h"
#include "core/db/Dataset.h"
#include "core/records/CommandStates.h"
#include "gui/controls/DateCellDelegate.h"
#include "gui/controls/MaskEdit.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/records/EventsPageWidget.h"
#include "gui/records/TEnterEvents.h"
#include "gui/records/TSelectDate.h"
#include "support/ModalDialogs.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace {

constexpr qint64 kArnaud = 1;
constexpr qint64 kBlanc = 2;

QTableView* Grid(TMainForm* form) {
    return Child<QTableView>(form, QStringLiteral("Grid_Event"));
}

// The grid's rows as the user reads them: "date heure description".
QStringList Listed(TMainForm* form) {
    QTableView* grid = Grid(form);
    const QAbstractItemModel* model = grid->model();
    DateCellDelegate dates;
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << QStringList{dates.displayText(model->index(row, 0).data(), QLocale()),
                            model->index(row, 1).data().toString(), model->index(row, 2).data().toString()}
                    .join(QLatin1Char(' '));
    return rows;
}

QStringList Stored(qint64 person) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    query.exec(QStringLiteral("SELECT Date_Event, COALESCE(Time_Event, ''), Description FROM EVENT WHERE Id_Ref=%1 "
                              "ORDER BY RowKey")
                   .arg(person));
    QStringList rows;
    while (query.next())
        rows << QStringList{query.value(0).toString(), query.value(1).toString(), query.value(2).toString()}.join(
            QLatin1Char(' '));
    return rows;
}

void Click(const QObject* window, const QString& name) {
    auto* button = Child<QAbstractButton>(window, name);
    QVERIFY(button);
    QVERIFY2(button->isEnabled(), qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

bool Enabled(const QObject* window, const QString& name) {
    const auto* widget = Child<QWidget>(window, name);
    return widget && widget->isEnabled();
}

void TypeInto(QWidget* field, const QString& text) {
    field->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(field)) memo->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

void SelectRow(TMainForm* form, int row) {
    QTableView* grid = Grid(form);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 2)).center());
}

} // namespace

class TestEventsJournal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RecordMessagesWithClockAt(QDateTime(QDate(2026, 3, 14), QTime(14, 5))); }

    void init() {
        MessageBoxService::clearRecordedMessages();
        m_fixture = std::make_unique<MainFormFixture>();
        QVERIFY(m_fixture->ready());
        MainFormFixture::AddPerson(kArnaud, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(kBlanc, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
    }

    void cleanup() { m_fixture.reset(); }

    // A day's events: the untimed ones first (with no time at all or an empty one), then by the time's value, an
    // hour typed with one digit or two.
    void orderOfADay_data() {
        QTest::addColumn<QVariantList>("times"); // inserted in this order, one event each, named after its time
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("untimed, 09:30, 14:00")
            << QVariantList{QStringLiteral("14:00"), QVariant(QMetaType(QMetaType::QString)), QStringLiteral("09:30")}
            << QStringList{"10/01/2024  sans heure", "10/01/2024 09:30 à 09:30", "10/01/2024 14:00 à 14:00"};
        QTest::newRow("empty time and no time")
            << QVariantList{QStringLiteral("08:00"), QStringLiteral(""), QVariant(QMetaType(QMetaType::QString))}
            << QStringList{"10/01/2024  sans heure", "10/01/2024  sans heure", "10/01/2024 08:00 à 08:00"};
        QTest::newRow("one-digit hour") << QVariantList{QStringLiteral("14:00"), QStringLiteral("9:30"),
                                                        QStringLiteral("10:15")}
                                        << QStringList{"10/01/2024 9:30 à 9:30", "10/01/2024 10:15 à 10:15",
                                                       "10/01/2024 14:00 à 14:00"};
        QTest::newRow("hours with and without their zero")
            << QVariantList{QStringLiteral("9:30"), QStringLiteral("08:00"), QStringLiteral("10:15")}
            << QStringList{"10/01/2024 08:00 à 08:00", "10/01/2024 9:30 à 9:30", "10/01/2024 10:15 à 10:15"};
    }

    void orderOfADay() {
        QFETCH(QVariantList, times);
        QFETCH(QStringList, listed);
        int nullTimes = 0;
        int emptyTimes = 0;
        for (const QVariant& time : times) {
            const QString text = time.toString();
            MainFormFixture::Exec(
                QStringLiteral("INSERT INTO EVENT (Id_Ref, Date_Event, Time_Event, Description) VALUES (?, ?, ?, ?)"),
                {kArnaud, QStringLiteral("2024-01-10"), time,
                 text.isEmpty() ? QStringLiteral("sans heure") : QStringLiteral("à ") + text});
            nullTimes += time.isNull();
            emptyTimes += !time.isNull() && text.isEmpty();
        }
        // The rows hold what the case says: no time at all is NULL, an empty one is ''.
        QSqlQuery check(QSqlDatabase::database(kMainConnection));
        QVERIFY(check.exec(QStringLiteral("SELECT SUM(Time_Event IS NULL), SUM(Time_Event = '') FROM EVENT")) &&
                check.next());
        QCOMPARE(check.value(0).toInt(), nullTimes);
        QCOMPARE(check.value(1).toInt(), emptyTimes);
        // Another day, earlier, comes first whatever its time.
        MainFormFixture::AddEvent(kArnaud, QStringLiteral("2023-12-31"), QStringLiteral("23:00"),
                                  QStringLiteral("veille"));
        listed.prepend(QStringLiteral("31/12/2023 23:00 veille"));
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        QCOMPARE(Listed(form), listed);
    }

    // A person without events: Add only.
    void commandStates() {
        MainFormFixture::AddEvent(kBlanc, QStringLiteral("2024-01-10"), {}, QStringLiteral("Radio"));
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        QVERIFY(Listed(form).isEmpty());
        QVERIFY(Enabled(form, Command::kEventAdd));
        QVERIFY(!Enabled(form, Command::kEventEdit));
        QVERIFY(!Enabled(form, Command::kEventDelete));
        form->ReloadPersonList(kBlanc);
        QVERIFY(Enabled(form, Command::kEventEdit));
        QVERIFY(Enabled(form, Command::kEventDelete));
    }

    // Add proposes today, no time and no description; Ok waits for a character of description. Annuler leaves no
    // row; Ok writes the event for the person and shows it at the end of the grid until the page is read again.
    void addingAnEvent_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Ok") << true;
        QTest::newRow("Annuler") << false;
    }

    void addingAnEvent() {
        QFETCH(bool, confirmed);
        MainFormFixture::AddEvent(kArnaud, QStringLiteral("2026-05-01"), {}, QStringLiteral("Plus tard"));
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        QString date;
        QString time;
        QString description;
        bool okAtFirst = true;
        bool okAfterTyping = false;
        WhenModalOpens<TEnterEvents>([&](TEnterEvents* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Saisie d'un événement"));
            date = Child<MaskEdit>(dialog, QStringLiteral("Ed_Event_Date"))->text();
            time = Child<MaskEdit>(dialog, QStringLiteral("Ed_Event_Time"))->text();
            description = Child<QPlainTextEdit>(dialog, QStringLiteral("Ed_Description"))->toPlainText();
            okAtFirst = Enabled(dialog, QStringLiteral("Btn_Ok"));
            TypeInto(Child<QWidget>(dialog, QStringLiteral("Ed_Event_Time")), QStringLiteral("0945"));
            TypeInto(Child<QWidget>(dialog, QStringLiteral("Ed_Description")), QStringLiteral("V"));
            okAfterTyping = Enabled(dialog, QStringLiteral("Btn_Ok"));
            QTest::keyClicks(Child<QWidget>(dialog, QStringLiteral("Ed_Description")), QStringLiteral("accin"));
            SaveScreenshot(dialog, QStringLiteral("event-dialog"));
            Click(dialog, confirmed ? QStringLiteral("Btn_Ok") : QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kEventAdd);
        QCOMPARE(date, QStringLiteral("14/03/2026"));
        QCOMPARE(time, QString());
        QCOMPARE(description, QString());
        QVERIFY(!okAtFirst);
        QVERIFY(okAfterTyping);
        if (confirmed) {
            QCOMPARE(Stored(kArnaud), (QStringList{"2026-05-01  Plus tard", "2026-03-14 09:45 Vaccin"}));
            QCOMPARE(Listed(form), (QStringList{"01/05/2026  Plus tard", "14/03/2026 09:45 Vaccin"}));
            QCOMPARE(Grid(form)->currentIndex().row(), 1);
            QVERIFY(Enabled(form, Command::kEventEdit));
        } else {
            QCOMPARE(Stored(kArnaud), QStringList{"2026-05-01  Plus tard"});
            QCOMPARE(Listed(form), QStringList{"01/05/2026  Plus tard"});
        }
        QCOMPARE(Stored(kBlanc), QStringList());
        QCOMPARE(DataModule1()->Event->state(), Dataset::State::Browse);
        // Read again, the new event takes its place by date.
        form->showPage(TMainForm::GeneralPage);
        form->showPage(TMainForm::EventsPage);
        if (confirmed) QCOMPARE(Listed(form), (QStringList{"14/03/2026 09:45 Vaccin", "01/05/2026  Plus tard"}));
    }

    // Changing the selected event; Annuler gives it back as it was.
    void changingAnEvent_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Ok") << true;
        QTest::newRow("Annuler") << false;
    }

    void changingAnEvent() {
        QFETCH(bool, confirmed);
        MainFormFixture::AddEvent(kArnaud, QStringLiteral("2024-01-10"), {}, QStringLiteral("Radio"));
        MainFormFixture::AddEvent(kArnaud, QStringLiteral("2024-02-10"), QStringLiteral("10:00"),
                                  QStringLiteral("Visite"));
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        SelectRow(form, 1);
        QString shownDate;
        WhenModalOpens<TEnterEvents>([&](TEnterEvents* dialog) {
            shownDate = Child<MaskEdit>(dialog, QStringLiteral("Ed_Event_Date"))->text();
            TypeInto(Child<QWidget>(dialog, QStringLiteral("Ed_Event_Date")), QStringLiteral("11022024"));
            TypeInto(Child<QWidget>(dialog, QStringLiteral("Ed_Description")), QStringLiteral("Visite annuelle"));
            Click(dialog, confirmed ? QStringLiteral("Btn_Ok") : QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kEventEdit);
        QCOMPARE(shownDate, QStringLiteral("10/02/2024"));
        const QStringList expected = confirmed ? QStringList{"2024-01-10  Radio", "2024-02-11 10:00 Visite annuelle"}
                                               : QStringList{"2024-01-10  Radio", "2024-02-10 10:00 Visite"};
        QCOMPARE(Stored(kArnaud), expected);
        QCOMPARE(Listed(form).value(1), confirmed ? QStringLiteral("11/02/2024 10:00 Visite annuelle")
                                                  : QStringLiteral("10/02/2024 10:00 Visite"));
    }

    // A date that is not a day of the calendar is refused with a message; the dialog stays open with what was typed
    // and nothing is written until the date is put right.
    void impossibleDate_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("31 February") << "31022024";
        QTest::newRow("month 13") << "01132024";
        QTest::newRow("incomplete") << "120620";
    }

    void impossibleDate() {
        QFETCH(QString, typed);
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        bool stillOpen = false;
        QStringList storedMeanwhile;
        QString kept;
        bool focusOnDate = false;
        WhenModalOpens<TEnterEvents>([&](TEnterEvents* dialog) {
            auto* date = Child<MaskEdit>(dialog, QStringLiteral("Ed_Event_Date"));
            TypeInto(date, typed);
            TypeInto(Child<QWidget>(dialog, QStringLiteral("Ed_Description")), QStringLiteral("Chute"));
            Click(dialog, QStringLiteral("Btn_Ok"));
            stillOpen = dialog->isVisible();
            storedMeanwhile = Stored(kArnaud);
            kept = date->editText();
            focusOnDate = date->hasFocus();
            TypeInto(date, QStringLiteral("28022024"));
            Click(dialog, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kEventAdd);
        QVERIFY(stillOpen);
        QVERIFY(storedMeanwhile.isEmpty());
        QVERIFY(focusOnDate);
        QVERIFY2(!kept.isEmpty() && kept != MaskEdit(MaskEdit::kDateMask).editText(), qPrintable(kept));
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().icon, MessageIcon::Error);
        QVERIFY2(messages.first().text.contains(QStringLiteral("date")), qPrintable(messages.first().text));
        QCOMPARE(Stored(kArnaud), QStringList{"2024-02-28  Chute"});
    }

    // The description holds 255 characters at most, pasted or typed.
    void descriptionLimit() {
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        WhenModalOpens<TEnterEvents>([&](TEnterEvents* dialog) {
            auto* description = Child<QPlainTextEdit>(dialog, QStringLiteral("Ed_Description"));
            description->setFocus();
            description->insertPlainText(QString(300, QLatin1Char('x')));
            Click(dialog, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kEventAdd);
        QCOMPARE(Stored(kArnaud), QStringList{QStringLiteral("2026-03-14  ") + QString(255, QLatin1Char('x'))});
    }

    // The button next to the date and Enter in the date field open the date picker on the event row.
    void datePicker() {
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        int pickers = 0;
        QString pickerDate;
        WhenModalOpens<TEnterEvents>([&](TEnterEvents* dialog) {
            auto* date = Child<MaskEdit>(dialog, QStringLiteral("Ed_Event_Date"));
            Click(dialog, QStringLiteral("Btn_Event_Date"));
            auto* picker = dialog->findChild<TSelectDate*>();
            if (picker) {
                ++pickers;
                pickerDate = picker->workingDateText();
                picker->clearDate();
            }
            QCOMPARE(date->text(), QString());
            date->setFocus();
            QTest::keyClick(date, Qt::Key_Return);
            QVERIFY(dialog->isVisible());
            const QList<TSelectDate*> open = dialog->findChildren<TSelectDate*>();
            for (TSelectDate* other : open)
                if (other->isVisible()) ++pickers;
            Click(dialog, QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kEventAdd);
        QCOMPARE(pickers, 2);
        QCOMPARE(pickerDate, QStringLiteral("14/03/2026"));
        QVERIFY(Stored(kArnaud).isEmpty());
    }

    // Deleting asks first.
    void deletingAnEvent_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Oui") << true;
        QTest::newRow("Non") << false;
    }

    void deletingAnEvent() {
        QFETCH(bool, yes);
        MainFormFixture::AddEvent(kArnaud, QStringLiteral("2024-01-10"), {}, QStringLiteral("Radio"));
        MainFormFixture::AddEvent(kArnaud, QStringLiteral("2024-02-10"), QStringLiteral("10:00"),
                                  QStringLiteral("Visite"));
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        SaveScreenshot(form, QStringLiteral("events-page"));
        SelectRow(form, 0);
        MessageBoxService::queueAnswerForTesting(yes);
        Click(form, Command::kEventDelete);
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, QStringLiteral("Désirez-vous supprimer cet événement ?"));
        QCOMPARE(Stored(kArnaud), yes ? QStringList{"2024-02-10 10:00 Visite"}
                                      : (QStringList{"2024-01-10  Radio", "2024-02-10 10:00 Visite"}));
        QCOMPARE(Listed(form).size(), yes ? 1 : 2);
        // Deleting the last one leaves Edit and Delete off.
        if (yes) {
            MessageBoxService::queueAnswerForTesting(true);
            Click(form, Command::kEventDelete);
            QVERIFY(Stored(kArnaud).isEmpty());
            QVERIFY(!Enabled(form, Command::kEventEdit));
            QVERIFY(!Enabled(form, Command::kEventDelete));
            QVERIFY(Enabled(form, Command::kEventAdd));
        }
    }

private:
    std::unique_ptr<MainFormFixture> m_fixture;
};

QTEST_MAIN(TestEventsJournal)
#include "TestEventsJournal.moc"
