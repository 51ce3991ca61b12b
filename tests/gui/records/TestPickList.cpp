// The drop-down pick list and the list editor: entries, order, the entry selected on opening, size and place,
// choosing, Escape and clicks elsewhere, the row written, unknown columns, and what the editor stores.
#include "core/records/PickListEntries.h"
#include "gui/records/TComboList.h"
#include "gui/records/TPickList.h"

#include "support/MainFormFixture.h"
#include "support/RecordingMessages.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QVariant StoredCity(qint64 personId) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(QStringLiteral("SELECT BirthDay_City FROM PERSON WHERE Id=%1").arg(personId)) || !query.next())
        return QStringLiteral("<no row>");
    return query.value(0);
}

QVariant StoredList(const QString& column) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(QStringLiteral("SELECT %1 FROM COMBOITEMS ORDER BY Id").arg(column)) || !query.next())
        return QStringLiteral("<no row>");
    return query.value(0);
}

} // namespace

class TestPickList : public QObject {
    Q_OBJECT

    std::unique_ptr<MainFormFixture> m_fixture;
    std::unique_ptr<QWidget> m_window;
    QLineEdit* m_field = nullptr;
    QLineEdit* m_other = nullptr;
    Dataset* m_person = nullptr;

    void setCities(const QVariant& text) {
        MainFormFixture::Exec(QStringLiteral("UPDATE COMBOITEMS SET BirthDay_City=?"), {text});
    }
    TPickList* openCities(bool withRow = true) {
        return ShowPickList(m_field, true, QString(), withRow ? m_person : nullptr, QStringLiteral("BirthDay_City"),
                            m_fixture->module()->ComboItems, QStringLiteral("BirthDay_City"));
    }

private slots:
    void entries_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<bool>("emptyFirst");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("sorted without regard to case")
            << "Paris\r\nlyon\r\nBrest" << true << true << QStringList{"", "Brest", "lyon", "Paris"};
        QTest::newRow("accents sort with their letter")
            << "Paris\r\nÉvry\r\nBrest\r\nEu" << true << true << QStringList{"", "Brest", "Eu", "Évry", "Paris"};
        QTest::newRow("empty column") << "" << true << true << QStringList{""};
        QTest::newRow("final line end adds nothing") << "b\r\na\r\n" << true << true << QStringList{"", "a", "b"};
        QTest::newRow("blank line is an entry") << "b\r\n\r\na" << false << true << QStringList{"", "b", "", "a"};
        QTest::newRow("fixed, any line end") << "0\r1\n2\r\n3" << true << false << QStringList{"0", "1", "2", "3"};
        QTest::newRow("unsorted keeps the order") << "Zinc\rFer" << false << false << QStringList{"Zinc", "Fer"};
        QTest::newRow("duplicates kept") << "a\r\nA\r\na" << true << false << QStringList{"A", "a", "a"};
    }
    void entries() {
        QFETCH(QString, text);
        QFETCH(bool, sorted);
        QFETCH(bool, emptyFirst);
        QFETCH(QStringList, entries);
        QCOMPARE(PickListEntries(text, sorted, emptyFirst), entries);
    }

    void initialSelection_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<int>("selected");
        const QStringList cities{"", "Brest", "lyon", "Paris"};
        QTest::newRow("matching entry") << cities << "lyon" << 2;
        QTest::newRow("no match: the first") << cities << "Nantes" << 0;
        QTest::newRow("case counts") << cities << "Lyon" << 0;
        QTest::newRow("empty field: the empty entry") << cities << "" << 0;
        QTest::newRow("the last match") << QStringList{"", "a", "b", "a"} << "a" << 3;
        QTest::newRow("a single entry: none") << QStringList{""} << "" << -1;
        QTest::newRow("no entry") << QStringList{} << "x" << -1;
    }
    void initialSelection() {
        QFETCH(QStringList, entries);
        QFETCH(QString, fieldText);
        QFETCH(int, selected);
        QCOMPARE(PickListInitialSelection(entries, fieldText), selected);
    }

    void geometry_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QRect>("field");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1024, 768);
        const QRect high(100, 200, 150, 21);
        const QRect low(100, 700, 150, 21);
        QTest::newRow("none: one entry high") << 0 << high << QRect(100, 221, 150, 16 + 3);
        QTest::newRow("one") << 1 << high << QRect(100, 221, 150, 16 + 3);
        QTest::newRow("seven") << 7 << high << QRect(100, 221, 150, 7 * 16 + 3);
        QTest::newRow("ten: eight high") << 10 << high << QRect(100, 221, 150, 8 * 16 + 3);
        QTest::newRow("near the bottom: above") << 10 << low << QRect(100, 700 - 131 - 1, 150, 131);
        QTest::newRow("short list near the bottom: just above")
            << 2 << QRect(100, 740, 150, 21) << QRect(100, 740 - 35 - 1, 150, 35);
        QTest::newRow("ends on the last line: stays under")
            << 8 << QRect(100, 616, 150, 21) << QRect(100, 637, 150, 131);
    }
    void geometry() {
        QFETCH(int, count);
        QFETCH(QRect, field);
        QFETCH(QRect, expected);
        QCOMPARE(PickListGeometry(field, count, 16, QRect(0, 0, 1024, 768)), expected);
    }

    void editorFolding_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("b, a, B") << "b\r\na\r\nB"
                                 << "a\nb";
        QTest::newRow("first read stays") << "B\r\nb\r\na"
                                          << "a\nB";
        QTest::newRow("accents are other letters") << "été\r\nete\r\nÉté"
                                                   << "ete\nété";
        QTest::newRow("blank lines once, first") << "x\r\n\r\n\r\ny"
                                                 << "\nx\ny";
        QTest::newRow("empty") << ""
                               << "";
    }
    void editorFolding() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(FoldedSortedList(stored), shown);
    }

    void init() {
        m_fixture = std::make_unique<MainFormFixture>();
        QVERIFY(m_fixture->ready());
        MainFormFixture::AddPerson(7, QStringLiteral("DUPONT"), QStringLiteral("Jean"));
        m_person = m_fixture->module()->Person;
        QVERIFY(m_person->open());
        m_window = std::make_unique<QWidget>();
        m_window->setObjectName(QStringLiteral("EditorStandIn"));
        auto* layout = new QVBoxLayout(m_window.get());
        m_field = new QLineEdit;
        m_field->setObjectName(QStringLiteral("Ed_BirthDay_City"));
        m_other = new QLineEdit;
        layout->addWidget(m_field);
        layout->addWidget(m_other);
        layout->addStretch(1);
        m_window->resize(320, 200);
        m_window->move(40, 40);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() {
        m_window.reset();
        m_fixture.reset();
    }

    void opensWithTheFieldsEntrySelected() {
        setCities(QStringLiteral("Paris\r\nlyon\r\nBrest"));
        m_field->setText(QStringLiteral("lyon"));
        TPickList* list = openCities();
        QVERIFY(list);
        QCOMPARE(list->entries(), (QStringList{"", "Brest", "lyon", "Paris"}));
        QCOMPARE(list->selectedIndex(), 2);
        QCOMPARE(list->geometry().topLeft(), m_field->mapToGlobal(QPoint(0, m_field->height())));
        QCOMPARE(list->width(), m_field->width());
        QCOMPARE(list->height(), 4 * list->entryHeight() + 3);
        // The row is put into edit as the list opens.
        QCOMPARE(m_person->state(), Dataset::State::Edit);
        SaveWithPickList(m_window.get(), list, QStringLiteral("pick-list-cities"));
        list->close();
    }

    void choosing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("Enter on the selected entry") << "enter"
                                                     << "lyon"
                                                     << "lyon";
        QTest::newRow("Down then Enter") << "down-enter"
                                         << "lyon"
                                         << "Paris";
        QTest::newRow("click") << "click"
                               << "lyon"
                               << "Brest";
        QTest::newRow("the empty entry empties the field") << "click-empty"
                                                           << "lyon"
                                                           << "";
    }
    void choosing() {
        QFETCH(QString, how);
        QFETCH(QString, fieldText);
        QFETCH(QString, chosen);
        setCities(QStringLiteral("Paris\r\nlyon\r\nBrest"));
        m_field->setText(fieldText);
        QPointer<TPickList> list = openCities();
        QVERIFY(list);
        QSignalSpy picked(list.data(), &TPickList::picked);
        QListWidget* view = list->list();
        if (how == QLatin1String("enter")) {
            QTest::keyClick(view, Qt::Key_Return);
        } else if (how == QLatin1String("down-enter")) {
            QTest::keyClick(view, Qt::Key_Down);
            QTest::keyClick(view, Qt::Key_Return);
        } else {
            const int row = how == QLatin1String("click") ? 1 : 0;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->item(row)).center());
        }
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(1).toString(), chosen);
        QCOMPARE(m_field->text(), chosen);
        QCOMPARE(m_field->property("tag").toInt(), picked.at(0).at(0).toInt());
        QCOMPARE(m_person->asString(QStringLiteral("BirthDay_City")), chosen);
        QCOMPARE(m_person->isNull(QStringLiteral("BirthDay_City")), chosen.isEmpty());
        QTRY_VERIFY(!list);
        // Written to the row, not yet to the database: the editor posts it.
        QVERIFY(StoredCity(7).isNull());
        QVERIFY(m_person->post());
        QCOMPARE(StoredCity(7).toString(), chosen);
    }

    void closingWithoutChoosing_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("a click elsewhere") << false;
    }
    void closingWithoutChoosing() {
        QFETCH(bool, escape);
        setCities(QStringLiteral("Paris\r\nlyon"));
        m_field->setText(QStringLiteral("Nantes"));
        QPointer<TPickList> list = openCities();
        QVERIFY(list);
        QCOMPARE(list->selectedIndex(), 0);
        QSignalSpy picked(list.data(), &TPickList::picked);
        if (escape)
            QTest::keyClick(list->list(), Qt::Key_Escape);
        else
            QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                              QPoint(m_window->width() - 10, m_window->height() - 10));
        QTRY_VERIFY(!list);
        QCOMPARE(picked.count(), 0);
        QCOMPARE(m_field->text(), QStringLiteral("Nantes"));
        QVERIFY(m_person->isNull(QStringLiteral("BirthDay_City")));
    }

    void emptyColumnShowsOneEmptyEntry() {
        setCities(QVariant());
        m_field->setText(QStringLiteral("Brest"));
        TPickList* list = openCities(false);
        QVERIFY(list);
        QCOMPARE(list->entries(), QStringList{QString()});
        QCOMPARE(list->selectedIndex(), -1);
        QCOMPARE(list->height(), list->entryHeight() + 3);
        // Enter with nothing selected changes nothing.
        QPointer<TPickList> guard(list);
        QTest::keyClick(list->list(), Qt::Key_Return);
        QTRY_VERIFY(!guard);
        QCOMPARE(m_field->text(), QStringLiteral("Brest"));
        // A click on the entry empties the field.
        list = openCities(false);
        QListWidget* view = list->list();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->item(0)).center());
        QCOMPARE(m_field->text(), QString());
        QCOMPARE(m_person->state(), Dataset::State::Browse);
    }

    void tenEntriesScrollAndOpenAboveNearTheBottom() {
        QStringList cities;
        for (int i = 0; i < 10; ++i)
            cities << QStringLiteral("Ville %1").arg(i);
        setCities(cities.join(QStringLiteral("\r\n")));
        TPickList* list = openCities();
        QVERIFY(list);
        QCOMPARE(list->height(), 8 * list->entryHeight() + 3);
        QTRY_VERIFY(list->list()->verticalScrollBar()->isVisible());
        list->close();

        const QRect screen = m_window->screen()->availableGeometry();
        m_window->move(screen.left() + 40, screen.bottom() - 60);
        QTRY_VERIFY(m_window->geometry().bottom() > screen.bottom() - 60);
        list = openCities();
        QVERIFY(list);
        const int fieldTop = m_field->mapToGlobal(QPoint(0, 0)).y();
        QCOMPARE(list->geometry().bottom(), fieldTop - 2);
        SaveWithPickList(m_window.get(), list, QStringLiteral("pick-list-above"));
        list->close();
    }

    void fixedEntriesWithoutARow() {
        m_field->setText(QStringLiteral("2"));
        TPickList* list =
            ShowPickList(m_field, true, QStringLiteral("0\r1\r2\r3"), nullptr, QString(), nullptr, QString());
        QVERIFY(list);
        QCOMPARE(list->entries(), (QStringList{"0", "1", "2", "3"}));
        QCOMPARE(list->selectedIndex(), 2);
        list->choose(3);
        QCOMPARE(m_field->text(), QStringLiteral("3"));
        QCOMPARE(m_person->state(), Dataset::State::Browse);
    }

    void unknownColumnShowsTheErrorAndNoList() {
        RecordingMessages messages;
        TPickList* list = ShowPickList(m_field, true, QString(), nullptr, QString(), m_fixture->module()->ComboItems,
                                       QStringLiteral("Nowhere"));
        QVERIFY(!list);
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY(messages.messages.at(0).text.contains(QStringLiteral("Nowhere")));
        QVERIFY(!m_fixture->module()->ComboItems->isOpen());
    }

    void editorStoresWhatItShows_data() {
        QTest::addColumn<QVariant>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QVariant>("after");
        QTest::newRow("b, a, B confirmed unchanged")
            << QVariant("b\r\na\r\nB") << QString() << true << QVariant("a\r\nb");
        QTest::newRow("an entry typed at the end")
            << QVariant("b\r\na") << "\nZinc" << true << QVariant("a\r\nb\r\nZinc");
        QTest::newRow("Annuler stores nothing") << QVariant("b\r\na\r\nB") << "\nx" << false << QVariant("b\r\na\r\nB");
        QTest::newRow("empty column") << QVariant() << "Brest" << true << QVariant("Brest");
    }
    void editorStoresWhatItShows() {
        QFETCH(QVariant, before);
        QFETCH(QString, typed);
        QFETCH(bool, confirmed);
        QFETCH(QVariant, after);
        setCities(before);
        QString shown;
        QString caption;
        SetListEditorAnswerForTesting([&](TComboList& editor) {
            shown = editor.text();
            caption = editor.windowTitle();
            editor.show();
            if (!QTest::qWaitForWindowExposed(&editor)) qWarning("the list editor was not exposed");
            editor.editor()->moveCursor(QTextCursor::End);
            editor.editor()->insertPlainText(typed);
            SaveScreenshot(&editor, QStringLiteral("list-editor"));
            return confirmed;
        });
        const bool stored = EditPickList(m_window.get(), QStringLiteral("Lieu de naissance"),
                                         QStringLiteral("BirthDay_City"), m_fixture->module()->ComboItems);
        SetListEditorAnswerForTesting(nullptr);
        QCOMPARE(stored, confirmed);
        QCOMPARE(caption, QStringLiteral("Lieu de naissance"));
        QCOMPARE(shown, FoldedSortedList(before.toString()));
        const QVariant column = StoredList(QStringLiteral("BirthDay_City"));
        QCOMPARE(column.isNull() ? QVariant() : column, after);
        QVERIFY(!m_fixture->module()->ComboItems->isOpen());
    }

    void editorCreatesTheFirstRow() {
        MainFormFixture::Exec(QStringLiteral("DELETE FROM COMBOITEMS"));
        SetListEditorAnswerForTesting([](TComboList& editor) {
            editor.setText(QStringLiteral("g/l\nmmol/l"));
            return true;
        });
        QVERIFY(EditPickList(nullptr, QStringLiteral("Unités"), QStringLiteral("Analysis_Unit"),
                             m_fixture->module()->ComboItems));
        SetListEditorAnswerForTesting(nullptr);
        QCOMPARE(StoredList(QStringLiteral("Analysis_Unit")).toString(), QStringLiteral("g/l\r\nmmol/l"));
        // The drop-down reads it back.
        TPickList* list = ShowPickList(m_field, true, QString(), nullptr, QString(), m_fixture->module()->ComboItems,
                                       QStringLiteral("Analysis_Unit"));
        QVERIFY(list);
        QCOMPARE(list->entries(), (QStringList{"", "g/l", "mmol/l"}));
        list->close();
    }
};

QTEST_MAIN(TestPickList)
#include "TestPickList.moc"
