// The date picker driven through its buttons: the date it opens on, year and month stepping on the working date,
// the ways it ends, writing back to a plain field, a masked field and a database row, and where it opens.
#include "core/app/DateRoutines.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"
#include "core/records/DatePickerRules.h"
#include "gui/controls/MaskEdit.h"
#include "gui/records/TSelectDate.h"
#include "support/FixtureDatabase.h"
#include "support/Screenshots.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QString LabelText(TSelectDate* picker, const char* name) {
    auto* label = picker->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

QAbstractItemView* CalendarView(TSelectDate* picker) {
    return picker->calendar()->findChild<QAbstractItemView*>();
}

// Clicks the day of the month the calendar shows (a day number appears once among that month's days).
bool ClickDay(TSelectDate* picker, int day) {
    QAbstractItemView* view = CalendarView(picker);
    const QAbstractItemModel* model = view->model();
    const int shownMonth = picker->calendar()->monthShown();
    bool inMonth = false;
    for (int row = 1; row < model->rowCount(); ++row) {
        for (int column = 1; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            const int number = model->data(index).toInt();
            if (number == 1) inMonth = !inMonth;
            if (inMonth && number == day) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
                return picker->selectedDate().day() == day && picker->selectedDate().month() == shownMonth;
            }
        }
    }
    return false;
}

// Runs the picker's steps and day clicks: "Y-", "Y+", "M-", "M+" or a day number.
void Act(TSelectDate* picker, const QStringList& actions) {
    static const QHash<QString, QString> kButtons{
        {"Y-", "Btn_YearMinus"}, {"Y+", "Btn_YearPlus"}, {"M-", "Btn_MonthMinus"}, {"M+", "Btn_MonthPlus"}};
    for (const QString& action : actions) {
        if (kButtons.contains(action)) {
            auto* button = picker->findChild<QToolButton*>(kButtons.value(action));
            QVERIFY2(button, qPrintable(action));
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            QVERIFY2(ClickDay(picker, action.toInt()), qPrintable(action));
        }
    }
}

} // namespace

class TestSelectDate : public QObject {
    Q_OBJECT

    QWidget* m_owner = nullptr;
    QLineEdit* m_plain = nullptr;
    MaskEdit* m_masked = nullptr;
    QPushButton* m_elsewhere = nullptr;

    TSelectDate* open(QLineEdit* field, Dataset* row = nullptr, const QString& column = QString(),
                      TSelectDate::ColumnKind kind = TSelectDate::ColumnKind::Date) {
        TSelectDate* picker = ShowDatePicker(field, row, column, kind);
        if (picker && !QTest::qWaitForWindowExposed(picker)) return nullptr;
        return picker;
    }

    // Ends the picker as the user would.
    void end(TSelectDate* picker, const QString& ending) {
        if (ending == QLatin1String("ok")) {
            QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("Btn_Ok")), Qt::LeftButton);
        } else if (ending == QLatin1String("cancel")) {
            QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("Btn_Cancel")), Qt::LeftButton);
        } else if (ending == QLatin1String("clear")) {
            QTest::mouseClick(picker->findChild<QToolButton*>(QStringLiteral("Btn_Clear")), Qt::LeftButton);
        } else if (ending == QLatin1String("escape")) {
            QTest::keyClick(CalendarView(picker), Qt::Key_Escape);
        } else if (ending == QLatin1String("enter")) {
            QTest::keyClick(CalendarView(picker), Qt::Key_Return);
        } else if (ending == QLatin1String("click elsewhere")) {
            // Through the window system, as a real click comes: the application closes its popup.
            QTest::mouseClick(m_owner->windowHandle(), Qt::LeftButton, {}, m_elsewhere->geometry().center());
        }
    }

private slots:
    void init() {
        SetClockForTesting(QDateTime(QDate(2024, 5, 17), QTime(10, 0)));
        m_owner = new QWidget;
        m_owner->setGeometry(40, 40, 520, 200);
        m_plain = new QLineEdit(m_owner);
        m_plain->setGeometry(20, 20, 100, 22);
        m_masked = new MaskEdit(MaskEdit::kDateMask, m_owner);
        m_masked->setGeometry(20, 60, 100, 22);
        m_elsewhere = new QPushButton(QStringLiteral("Ailleurs"), m_owner);
        // Away from where the picker opens.
        m_elsewhere->setGeometry(400, 20, 100, 25);
        m_owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner));
    }

    void cleanup() {
        delete m_owner;
        m_owner = nullptr;
        SetClockForTesting(QDateTime());
    }

    void opensOnTheFieldsDateOrToday_data() {
        QTest::addColumn<bool>("masked");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("shown");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::newRow("a date") << false << "15/06/1985" << QDate(1985, 6, 15) << "1985"
                                << "JUIN";
        QTest::newRow("31 February is no date") << false << "31/02/2020" << QDate(2024, 5, 17) << "2024"
                                                << "MAI";
        QTest::newRow("empty field") << false << "" << QDate(2024, 5, 17) << "2024"
                                     << "MAI";
        QTest::newRow("masked date") << true << "01081999" << QDate(1999, 8, 1) << "1999"
                                     << "AOÛT";
        QTest::newRow("masked, incomplete") << true << "1206" << QDate(2024, 5, 17) << "2024"
                                            << "MAI";
        QTest::newRow("masked, short day") << true << "5/12/2001" << QDate(2024, 5, 17) << "2024"
                                           << "MAI";
    }

    void opensOnTheFieldsDateOrToday() {
        QFETCH(bool, masked);
        QFETCH(QString, typed);
        QFETCH(QDate, shown);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QLineEdit* field = masked ? m_masked : m_plain;
        QTest::keyClicks(field, typed);
        const QString before = FieldText(field);
        QPointer<TSelectDate> picker = open(field);
        QVERIFY(picker);
        QCOMPARE(picker->selectedDate(), shown);
        QCOMPARE(picker->workingDateText(), DateToText(shown));
        QCOMPARE(picker->calendar()->monthShown(), shown.month());
        QCOMPARE(LabelText(picker, "Lab_Year"), year);
        QCOMPARE(LabelText(picker, "Lab_Month"), month);
        // Opening changes nothing in the field.
        QCOMPARE(FieldText(field), before);
        picker->close();
    }

    void stepping_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("written");
        QTest::newRow("Ok without touching the calendar") << "15/06/1985" << QStringList{} << "1985"
                                                          << "JUIN"
                                                          << "15/06/1985";
        QTest::newRow("31/01 + month, common year") << "31/01/2021" << QStringList{"M+"} << "2021"
                                                    << "FÉVRIER"
                                                    << "28/02/2021";
        QTest::newRow("31/01 + month, leap year") << "31/01/2024" << QStringList{"M+"} << "2024"
                                                  << "FÉVRIER"
                                                  << "29/02/2024";
        QTest::newRow("29/02 + year") << "29/02/2024" << QStringList{"Y+"} << "2025"
                                      << "FÉVRIER"
                                      << "28/02/2025";
        QTest::newRow("29/02 - year") << "29/02/2024" << QStringList{"Y-"} << "2023"
                                      << "FÉVRIER"
                                      << "28/02/2023";
        QTest::newRow("December + month") << "15/12/2020" << QStringList{"M+"} << "2021"
                                          << "JANVIER"
                                          << "15/01/2021";
        QTest::newRow("January - month") << "15/01/2021" << QStringList{"M-"} << "2020"
                                         << "DÉCEMBRE"
                                         << "15/12/2020";
        QTest::newRow("31/03 - month then + month") << "31/03/2023" << QStringList{"M-", "M+"} << "2023"
                                                    << "MARS"
                                                    << "28/03/2023";
        // The steps move the working date, not a day clicked in the calendar.
        QTest::newRow("a clicked day is dropped by a step") << "15/06/1985" << QStringList{"20", "Y+"} << "1986"
                                                            << "JUIN"
                                                            << "15/06/1986";
        QTest::newRow("a clicked day is written by Ok") << "15/06/1985" << QStringList{"20"} << "1985"
                                                        << "JUIN"
                                                        << "20/06/1985";
        QTest::newRow("a step then a click") << "15/06/1985" << QStringList{"M+", "3"} << "1985"
                                             << "JUILLET"
                                             << "03/07/1985";
    }

    void stepping() {
        QFETCH(QString, start);
        QFETCH(QStringList, actions);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, written);
        m_plain->setText(start);
        QPointer<TSelectDate> picker = open(m_plain);
        QVERIFY(picker);
        Act(picker, actions);
        QCOMPARE(LabelText(picker, "Lab_Year"), year);
        QCOMPARE(LabelText(picker, "Lab_Month"), month);
        QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("Btn_Ok")), Qt::LeftButton);
        QTRY_VERIFY(picker.isNull());
        QCOMPARE(m_plain->text(), written);
        // The field takes the focus back with its text selected.
        QVERIFY(m_plain->hasFocus());
        QCOMPARE(m_plain->selectedText(), written);
    }

    void endings_data() {
        QTest::addColumn<bool>("masked");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("result");
        const int ok = int(TSelectDate::Result::Ok), cancel = int(TSelectDate::Result::Cancel);
        const int none = int(TSelectDate::Result::None);
        for (const bool masked : {false, true}) {
            const char* kind = masked ? "masked" : "plain";
            QTest::addRow("%s: Ok", kind) << masked << "ok"
                                          << "15/07/1985" << true << ok;
            QTest::addRow("%s: clear", kind) << masked << "clear"
                                             << "" << true << ok;
            QTest::addRow("%s: Annuler", kind) << masked << "cancel"
                                               << "15/06/1985" << true << cancel;
            QTest::addRow("%s: Escape", kind) << masked << "escape"
                                              << "15/06/1985" << true << cancel;
            QTest::addRow("%s: Enter does nothing", kind) << masked << "enter"
                                                          << "15/06/1985" << false << none;
            QTest::addRow("%s: click elsewhere", kind) << masked << "click elsewhere"
                                                       << "15/06/1985" << true << none;
        }
    }

    // The month is stepped first, so that only the endings that write show the change.
    void endings() {
        QFETCH(bool, masked);
        QFETCH(QString, ending);
        QFETCH(QString, expected);
        QFETCH(bool, closes);
        QFETCH(int, result);
        QLineEdit* field = masked ? m_masked : m_plain;
        SetFieldText(field, QStringLiteral("15/06/1985"));
        QPointer<TSelectDate> picker = open(field);
        QVERIFY(picker);
        QSignalSpy finished(picker.data(), &TSelectDate::finished);
        Act(picker, {QStringLiteral("M+")});
        end(picker, ending);
        if (closes) {
            QTRY_VERIFY(picker.isNull());
            QCOMPARE(finished.count(), 1);
            QCOMPARE(int(finished.first().at(0).value<TSelectDate::Result>()), result);
        } else {
            QTest::qWait(50);
            QVERIFY(picker && picker->isVisible());
            QCOMPARE(int(picker->result()), result);
            QCOMPARE(finished.count(), 0);
            picker->close();
        }
        QCOMPARE(FieldText(field), expected);
        if (masked && expected.isEmpty()) QCOMPARE(m_masked->editText(), QStringLiteral("__/__/____"));
    }

    // In a dialog, the button and Enter in the date field open the picker; Enter does not press the default button.
    void attachedToADialogsField() {
        QDialog dialog;
        auto* field = new MaskEdit(MaskEdit::kDateMask, &dialog);
        field->setGeometry(10, 10, 100, 22);
        auto* button = new QToolButton(&dialog);
        button->setGeometry(115, 10, 22, 22);
        auto* ok = new QPushButton(QStringLiteral(" &Ok"), &dialog);
        ok->setGeometry(10, 50, 75, 25);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        AttachDatePicker(field, button);
        field->setText(QStringLiteral("15/06/1985"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        field->setFocus();
        QSignalSpy accepted(&dialog, &QDialog::accepted);

        QTest::keyClick(field, Qt::Key_Return);
        QPointer<TSelectDate> picker = qobject_cast<TSelectDate*>(QApplication::activePopupWidget());
        QVERIFY(picker);
        QCOMPARE(picker->field(), field);
        QCOMPARE(picker->selectedDate(), QDate(1985, 6, 15));
        QCOMPARE(accepted.count(), 0);
        QVERIFY(dialog.isVisible());
        picker->close();
        QTRY_VERIFY(picker.isNull());

        QTest::mouseClick(button, Qt::LeftButton);
        picker = qobject_cast<TSelectDate*>(QApplication::activePopupWidget());
        QVERIFY(picker);
        Act(picker, {QStringLiteral("M+")});
        QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("Btn_Ok")), Qt::LeftButton);
        QTRY_VERIFY(picker.isNull());
        QCOMPARE(field->text(), QStringLiteral("15/07/1985"));
        QCOMPARE(accepted.count(), 0);
    }

    void placement_data() {
        QTest::addColumn<bool>("nearBottom");
        QTest::newRow("under the field") << false;
        QTest::newRow("near the screen's bottom") << true;
    }

    void placement() {
        QFETCH(bool, nearBottom);
        const QRect screen = m_plain->screen()->geometry();
        if (nearBottom) m_owner->move(40, screen.bottom() - 60);
        QTRY_COMPARE(m_plain->mapToGlobal(QPoint(0, 0)).y() > screen.bottom() - 60, nearBottom);
        const QRect field(m_plain->mapToGlobal(QPoint(0, 0)), m_plain->size());
        QPointer<TSelectDate> picker = open(m_plain);
        QVERIFY(picker);
        QCOMPARE(picker->x(), field.left());
        if (nearBottom)
            QCOMPARE(picker->frameGeometry().bottom() + 1, screen.top() + screen.height() - 30);
        else
            QCOMPARE(picker->y(), field.bottom() + 1);
        picker->close();
    }

    // Colours of the window, and the picture a reviewer looks at.
    void looksAsDesigned() {
        m_plain->setText(QStringLiteral("15/06/1985"));
        QPointer<TSelectDate> picker = open(m_plain);
        QVERIFY(picker);
        const QImage image = picker->grab().toImage();
        QCOMPARE(image.pixelColor(0, 0), DatePickerBorderColour());
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), DatePickerBorderColour());
        QCOMPARE(DatePickerBorderColour(), QColor(220, 220, 207));
        auto* band = picker->findChild<QWidget*>(QStringLiteral("TitleBand"));
        QVERIFY(band);
        QCOMPARE(image.pixelColor(band->geometry().topLeft() + QPoint(1, 1)), kDatePickerTitleBand);
        auto* monthArea = picker->findChild<QWidget*>(QStringLiteral("MonthArea"));
        QVERIFY(monthArea);
        QCOMPARE(image.pixelColor(monthArea->geometry().topLeft() + QPoint(1, 1)), kDatePickerOutsideMonth);
        // A day cell of the month that is not selected.
        QAbstractItemView* view = CalendarView(picker);
        const QRect cell = view->visualRect(view->model()->index(3, 3));
        const QPoint inCell = view->viewport()->mapTo(picker.data(), cell.topLeft() + QPoint(1, 1));
        QCOMPARE(image.pixelColor(inCell), kDatePickerBackground);
        // The window is the calendar and the Ok row: nothing sticks out of it.
        for (QWidget* child : picker->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(picker->rect().contains(child->geometry()), qPrintable(child->objectName()));
        QVERIFY(picker->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(picker->findChild<QToolButton*>(QStringLiteral("Btn_Clear"))->toolTip(),
                 QStringLiteral("Effacer la date"));
        SaveScreenshot(picker, QStringLiteral("SelectDate"));
        picker->close();
    }

    void boundRows_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("fieldAfter");
        QTest::addColumn<QVariant>("stored");
        const int text = int(TSelectDate::ColumnKind::Text), date = int(TSelectDate::ColumnKind::Date);
        // The person's birth date is a text column holding "dd/mm/yyyy".
        QTest::newRow("birth date cleared") << "Person"
                                            << "BirthDay_Date" << text << "15/06/1985" << QStringList{} << "clear"
                                            << "" << QVariant();
        QTest::newRow("birth date stepped") << "Person"
                                            << "BirthDay_Date" << text << "15/06/1985" << QStringList{"Y+"} << "ok"
                                            << "15/06/1986" << QVariant(QStringLiteral("15/06/1986"));
        QTest::newRow("birth date, Annuler") << "Person"
                                             << "BirthDay_Date" << text << "15/06/1985" << QStringList{"Y+"} << "cancel"
                                             << "15/06/1985" << QVariant(QStringLiteral("15/06/1985"));
        // A result's date is a date column.
        QTest::newRow("result date stepped") << "Analysis"
                                             << "Date_Analysis" << date << "01/06/2023" << QStringList{"M+"} << "ok"
                                             << "01/07/2023" << QVariant(QStringLiteral("2023-07-01"));
        QTest::newRow("result date cleared") << "Analysis"
                                             << "Date_Analysis" << date << "01/06/2023" << QStringList{} << "clear"
                                             << "" << QVariant();
        QTest::newRow("result date, Escape") << "Analysis"
                                             << "Date_Analysis" << date << "01/06/2023" << QStringList{"M+"} << "escape"
                                             << "01/06/2023" << QVariant(QStringLiteral("2023-06-01"));
    }

    // The row is put into edit by the picker and left so; the dialog that owns it posts it.
    void boundRows() {
        QFETCH(QString, query);
        QFETCH(QString, column);
        QFETCH(int, kind);
        QFETCH(QString, shown);
        QFETCH(QStringList, actions);
        QFETCH(QString, ending);
        QFETCH(QString, fieldAfter);
        QFETCH(QVariant, stored);

        FixtureDatabase fixture;
        QString error;
        QVERIFY2(fixture.build(&error), qPrintable(error));
        QVERIFY2(OpenDatabaseFile(kMainConnection, fixture.databaseFile(), &error), qPrintable(error));
        {
            TDataModule1 module;
            Dataset* row = query == QLatin1String("Person") ? module.Person : module.Analysis;
            if (row == module.Analysis)
                QVERIFY(row->setSqlLine(1, QStringLiteral("WHERE ID_REF=%1").arg(Fixture::kDupontGlycemie)));
            QVERIFY2(row->open(&error), qPrintable(error));
            const qint64 id = row->asInteger(QStringLiteral("Id"));
            if (row == module.Person) {
                QVERIFY(row->edit());
                QVERIFY(row->setValue(column, shown));
                QVERIFY2(row->post(&error), qPrintable(error));
            }
            QCOMPARE(row->state(), Dataset::State::Browse);
            m_masked->setText(kind == int(TSelectDate::ColumnKind::Date) ? DateToText(row->asDate(column))
                                                                         : row->asString(column));
            QCOMPARE(m_masked->text(), shown);

            QPointer<TSelectDate> picker = open(m_masked, row, column, TSelectDate::ColumnKind(kind));
            QVERIFY(picker);
            QCOMPARE(row->state(), Dataset::State::Edit);
            Act(picker, actions);
            end(picker, ending);
            QTRY_VERIFY(picker.isNull());
            QCOMPARE(m_masked->text(), fieldAfter);
            QVERIFY(row->isEditing());
            QVERIFY2(row->post(&error), qPrintable(error));

            QSqlQuery check(QSqlDatabase::database(kMainConnection));
            QVERIFY(check.exec(QStringLiteral("SELECT %1 FROM %2 WHERE Id=%3")
                                   .arg(column, query == QLatin1String("Person") ? "PERSON" : "ANALYSIS")
                                   .arg(id)));
            QVERIFY(check.next());
            QCOMPARE(check.value(0).isNull(), stored.isNull());
            if (!stored.isNull()) QCOMPARE(check.value(0).toString(), stored.toString());
        }
        CloseDatabase(kMainConnection);
    }
};

QTEST_MAIN(TestSelectDate)
#include "TestSelectDate.moc"
