// The record editor driven from the main window: a new person abandoned (Annuler, the close button) leaves no row
// and no photo file, a confirmed one is written with what was typed; the Ok rule, birth weight and size typed with
// either separator, the blood badge, the photo commands and their context menu, the free-field labels, and the page
// of the main window that is not read again at every keystroke.
#include "support/MainFormFixture.h"

#include "core/app/DateRoutines.h"
#include "core/db/Dataset.h"
#include "core/documents/StoredPictures.h"
#include "core/imaging/Bitmaps.h"
#include "core/imaging/JpegFiles.h"
#include "core/records/CommandStates.h"
#include "gui/controls/FileDialogs.h"
#include "gui/controls/MaskEdit.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/documents/TViewImage.h"
#include "gui/records/EventsPageWidget.h"
#include "gui/records/TComboList.h"
#include "gui/records/TEnterPerson.h"
#include "gui/records/TEnterStr.h"
#include "gui/records/TPickList.h"
#include "gui/records/TSelectDate.h"
#include "support/ModalDialogs.h"
#include "support/PictureFixtures.h"
#include "support/SandboxHome.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace {

constexpr qint64 kArnaud = 1;
constexpr qint64 kBlanc = 2;

QStringList ListedNames(TMainForm* form) {
    QStringList names;
    for (const QString& entry : form->personList().entries())
        names << PersonListEntryField(entry, 1);
    return names;
}

void ClickRow(TMainForm* form, int row) {
    auto* grid = Child<QTableView>(form, QStringLiteral("Grid_PersonList"));
    const QModelIndex index = grid->model()->index(row, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

void Click(const QObject* window, const QString& name) {
    auto* button = Child<QAbstractButton>(window, name);
    QVERIFY(button);
    QVERIFY2(button->isEnabled(), qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Key presses of the text; QTest::keyClicks takes ASCII only.
void TypeKeys(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, char(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// Replaces what a field shows by typed text, as the user does.
void Type(const QObject* window, const QString& name, const QString& text) {
    auto* field = Child<QLineEdit>(window, name);
    QVERIFY(field);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    TypeKeys(field, text);
}

bool Enabled(const QObject* window, const QString& name) {
    const auto* widget = Child<QWidget>(window, name);
    return widget && widget->isEnabled();
}

QVariant Stored(const QString& column, qint64 id) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(QStringLiteral("SELECT %1 FROM PERSON WHERE Id=%2").arg(column).arg(id)) || !query.next())
        return QStringLiteral("<no row>");
    return query.value(0);
}

int PersonCount() {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    return query.exec(QStringLiteral("SELECT COUNT(*) FROM PERSON")) && query.next() ? query.value(0).toInt() : -1;
}

QString StoredLabel(const QString& column) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(QStringLiteral("SELECT %1 FROM CUSTOMLAB").arg(column)) || !query.next())
        return QStringLiteral("?");
    return query.value(0).toString();
}

// A JPEG photo of 300 x 200 written by our own encoder.
QString WritePhotoSource(const QString& folder, const QString& name = QStringLiteral("photo.jpg")) {
    const QString path = folder + QLatin1Char('/') + name;
    QString error;
    if (name.endsWith(QStringLiteral(".jpg")))
        JpegSaveBitmap(QuadrantBitmap(304, 208), path, 90, &error);
    else
        QuadrantBitmap(304, 208).save(path);
    return path;
}

QAction* MenuEntry(TEnterPerson* editor, const QString& name) {
    return editor->photoMenu()->findChild<QAction*>(name);
}

// The enabled state of the photo's context menu entries, as the menu opens.
QStringList EnabledPhotoEntries(TEnterPerson* editor) {
    emit editor->photoMenu()->aboutToShow();
    QStringList enabled;
    for (const char* name :
         {"Menu_Photo_Select", "Menu_Photo_View", "Menu_Photo_Print", "Menu_Photo_Save", "Menu_Photo_Delete"})
        if (QAction* action = MenuEntry(editor, QLatin1String(name)); action && action->isEnabled())
            enabled << QLatin1String(name);
    return enabled;
}

QString StoredList(const QString& column) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(QStringLiteral("SELECT %1 FROM COMBOITEMS").arg(column)) || !query.next())
        return QStringLiteral("?");
    return query.value(0).toString();
}

} // namespace

class TestEnterPerson : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RecordMessagesWithClockAt(QDateTime(QDate(2026, 3, 14), QTime(14, 5))); }

    void init() {
        MessageBoxService::clearRecordedMessages();
        FileDialogs::clearForTesting();
        m_fixture = std::make_unique<MainFormFixture>();
        QVERIFY(m_fixture->ready());
        QVERIFY(QDir().mkpath(DbDir() + QStringLiteral("Images")));
        MainFormFixture::AddPerson(kArnaud, QStringLiteral("Arnaud"), QStringLiteral("Alice"));
        MainFormFixture::AddPerson(kBlanc, QStringLiteral("Blanc"), QStringLiteral("Bruno"));
    }

    void cleanup() {
        m_fixture.reset();
        FileDialogs::clearForTesting();
    }

    // A new person left with Annuler or with the close button: no row is left, nor the photo chosen meanwhile, and
    // the list is back on the person that was current.
    void newPersonAbandoned_data() {
        QTest::addColumn<bool>("closeButton");
        QTest::addColumn<bool>("withPhoto");
        QTest::newRow("Annuler") << false << false;
        QTest::newRow("Annuler after a photo") << false << true;
        QTest::newRow("close button") << true << false;
        QTest::newRow("close button after a photo") << true << true;
    }

    void newPersonAbandoned() {
        QFETCH(bool, closeButton);
        QFETCH(bool, withPhoto);
        TMainForm* form = m_fixture->showForm();
        ClickRow(form, 1);
        const QString source = WritePhotoSource(m_folder.path());
        qint64 newId = -1;
        bool photoStored = false;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            QVERIFY(editor->isNewPerson());
            newId = DataModule1()->Person->asInteger(QStringLiteral("Id"));
            // The row is in the database from the start.
            QCOMPARE(PersonCount(), 3);
            Type(editor, QStringLiteral("Ed_Name"), QStringLiteral("Zorro"));
            if (withPhoto) {
                FileDialogs::queueAnswerForTesting(source);
                Click(editor, QStringLiteral("Btn_Select_Img"));
                photoStored = QFileInfo::exists(PersonPhotoFile(newId));
            }
            if (closeButton)
                editor->close();
            else
                Click(editor, QStringLiteral("Btn_Cancel"));
            QVERIFY(!editor->isVisible());
        });
        Click(form, QStringLiteral("Btn_Main_Add"));
        QVERIFY(newId > kBlanc);
        QCOMPARE(photoStored, withPhoto);
        QCOMPARE(PersonCount(), 2);
        QCOMPARE(Stored(QStringLiteral("Name"), newId), QVariant(QStringLiteral("<no row>")));
        QVERIFY(!QFileInfo::exists(PersonPhotoFile(newId)));
        QCOMPARE(ListedNames(form), (QStringList{"Arnaud", "Blanc"}));
        QCOMPARE(form->currentPersonId(), kBlanc);
        QCOMPARE(DataModule1()->Person->state(), Dataset::State::Browse);
    }

    // A new person confirmed: what was typed is in the row, and the list shows the person selected.
    void newPersonConfirmed() {
        TMainForm* form = m_fixture->showForm();
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("Saisie d'une personne"));
            QVERIFY(!Enabled(editor, QStringLiteral("Btn_Ok")));
            Type(editor, QStringLiteral("Ed_Name"), QStringLiteral("Aaron"));
            Type(editor, QStringLiteral("Ed_ForeName"), QStringLiteral("Paul"));
            Type(editor, QStringLiteral("Ed_No"), QStringLiteral("185067511612345"));
            Type(editor, QStringLiteral("Ed_BirthDay_Date"), QStringLiteral("12061985"));
            Type(editor, QStringLiteral("Ed_BirthDay_Time"), QStringLiteral("9:30"));
            Type(editor, QStringLiteral("Ed_BirthDay_Weight"), QStringLiteral("3,25"));
            Type(editor, QStringLiteral("Ed_BirthDay_City"), QStringLiteral("Lyon"));
            auto* history = Child<QPlainTextEdit>(editor, QStringLiteral("Ed_Previous"));
            history->setFocus();
            TypeKeys(history, QStringLiteral("Diabète"));
            Click(editor, QStringLiteral("Btn_Ok"));
            QVERIFY(!editor->isVisible());
        });
        Click(form, QStringLiteral("Btn_Main_Add"));
        QCOMPARE(ListedNames(form), (QStringList{"Aaron", "Arnaud", "Blanc"}));
        const qint64 id = form->currentPersonId();
        QVERIFY(id > kBlanc);
        QCOMPARE(form->selectedPersonRow(), 0);
        QCOMPARE(Stored(QStringLiteral("ForeName"), id).toString(), QStringLiteral("Paul"));
        QCOMPARE(Stored(QStringLiteral("[No]"), id).toString(), QStringLiteral("1 85 06 75 116 123 45"));
        QCOMPARE(Stored(QStringLiteral("BirthDay_Date"), id).toString(), QStringLiteral("12/06/1985"));
        QCOMPARE(Stored(QStringLiteral("BirthDay_Time"), id).toString(), QStringLiteral("9:30"));
        QCOMPARE(Stored(QStringLiteral("BirthDay_Weight"), id).toDouble(), 3.25);
        QCOMPARE(Stored(QStringLiteral("BirthDay_City"), id).toString(), QStringLiteral("Lyon"));
        QCOMPARE(Stored(QStringLiteral("Previous"), id).toString(), QStringLiteral("Diabète"));
    }

    // The editor opens with the name field holding the keyboard: what is typed straight away goes into the name,
    // for a new person and for an edited one alike.
    void typingAtOpeningGoesToTheName_data() {
        QTest::addColumn<bool>("newPerson");
        QTest::newRow("new person") << true;
        QTest::newRow("edited person") << false;
    }

    void typingAtOpeningGoesToTheName() {
        QFETCH(bool, newPerson);
        TMainForm* form = m_fixture->showForm();
        QString focusName;
        QString typed;
        int page = -1;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            QWidget* focus = editor->focusWidget();
            QVERIFY(focus);
            focusName = focus->objectName();
            page = Child<QTabWidget>(editor, QStringLiteral("Tab_Person"))->currentIndex();
            TypeKeys(focus, QStringLiteral("Z"));
            typed = Child<QLineEdit>(editor, QStringLiteral("Ed_Name"))->text();
            Click(editor, QStringLiteral("Btn_Cancel"));
        });
        Click(form, newPerson ? QStringLiteral("Btn_Main_Add") : Command::kMainEdit);
        QCOMPARE(focusName, QStringLiteral("Ed_Name"));
        QCOMPARE(page, 0);
        // Typed over the selected name, or into the empty one.
        QCOMPARE(typed, QStringLiteral("Z"));
    }

    // Ok tests for an empty name, not for a blank one.
    void okRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ok");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks only") << "   " << true;
        QTest::newRow("a letter") << "A" << true;
    }

    void okRule() {
        QFETCH(QString, name);
        QFETCH(bool, ok);
        MainFormFixture::Exec(QStringLiteral("UPDATE PERSON SET Name=? WHERE Id=?"), {name, kArnaud});
        TMainForm* form = m_fixture->showForm();
        QCOMPARE(form->currentPersonId(), kArnaud);
        bool okAtShow = !ok;
        bool okAfterClearing = true;
        bool okAfterTyping = !ok;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            okAtShow = Enabled(editor, QStringLiteral("Btn_Ok"));
            Type(editor, QStringLiteral("Ed_Name"), QString());
            okAfterClearing = Enabled(editor, QStringLiteral("Btn_Ok"));
            // Enter presses nothing while the name is empty.
            QTest::keyClick(Child<QLineEdit>(editor, QStringLiteral("Ed_Name")), Qt::Key_Return);
            QVERIFY(editor->isVisible());
            Type(editor, QStringLiteral("Ed_Name"), name);
            okAfterTyping = Enabled(editor, QStringLiteral("Btn_Ok"));
            if (ok) Click(editor, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(okAtShow, ok);
        QVERIFY(!okAfterClearing);
        QCOMPARE(okAfterTyping, ok);
        QCOMPARE(Stored(QStringLiteral("Name"), kArnaud).toString(), name);
    }

    // Editing: Ok keeps what was typed, Annuler gives the row back as it was.
    void editingAPerson_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Ok") << true;
        QTest::newRow("Annuler") << false;
    }

    void editingAPerson() {
        QFETCH(bool, confirmed);
        TMainForm* form = m_fixture->showForm();
        ClickRow(form, 0);
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            QVERIFY(!editor->isNewPerson());
            QCOMPARE(Child<QLineEdit>(editor, QStringLiteral("Ed_Name"))->text(), QStringLiteral("Arnaud"));
            Type(editor, QStringLiteral("Ed_Name"), QStringLiteral("Zeller"));
            Type(editor, QStringLiteral("Ed_BirthDay_Size"), QStringLiteral("51.5"));
            Click(editor, confirmed ? QStringLiteral("Btn_Ok") : QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(PersonCount(), 2);
        QCOMPARE(Stored(QStringLiteral("Name"), kArnaud).toString(),
                 confirmed ? QStringLiteral("Zeller") : QStringLiteral("Arnaud"));
        QCOMPARE(Stored(QStringLiteral("BirthDay_Size"), kArnaud).isNull(), !confirmed);
        QCOMPARE(ListedNames(form), confirmed ? (QStringList{"Blanc", "Zeller"}) : (QStringList{"Arnaud", "Blanc"}));
        QCOMPARE(form->currentPersonId(), kArnaud);
        QCOMPARE(DataModule1()->Person->asString(QStringLiteral("Name")),
                 confirmed ? QStringLiteral("Zeller") : QStringLiteral("Arnaud"));
        QCOMPARE(DataModule1()->Person->state(), Dataset::State::Browse);
    }

    // Birth weight and size: shown with their unit, edited as plain numbers, typed with a comma or a point.
    void weightAndSize_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("weight, comma") << "Ed_BirthDay_Weight"
                                       << "3,25" << 3.25 << "3,250 Kg";
        QTest::newRow("weight, point") << "Ed_BirthDay_Weight"
                                       << "3.25" << 3.25 << "3,250 Kg";
        QTest::newRow("weight, rounded when shown") << "Ed_BirthDay_Weight"
                                                    << "3.4567" << 3.4567 << "3,457 Kg";
        QTest::newRow("weight, whole") << "Ed_BirthDay_Weight"
                                       << "4" << 4.0 << "4,000 Kg";
        QTest::newRow("size, comma") << "Ed_BirthDay_Size"
                                     << "50,5" << 50.5 << "50,50 cm";
        QTest::newRow("size, point") << "Ed_BirthDay_Size"
                                     << "50.5" << 50.5 << "50,50 cm";
    }

    void weightAndSize() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QFETCH(QString, shown);
        TMainForm* form = m_fixture->showForm();
        QString shownAfterLeaving;
        QString shownAgain;
        QString shownWhileEditing;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            Type(editor, field, typed);
            // Leaving the field shows the number with its unit.
            Child<QLineEdit>(editor, QStringLiteral("Ed_ForeName"))->setFocus();
            shownAfterLeaving = Child<QLineEdit>(editor, field)->text();
            Child<QLineEdit>(editor, field)->setFocus();
            shownWhileEditing = Child<QLineEdit>(editor, field)->text();
            Click(editor, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kMainEdit);
        const QString column = field.mid(3);
        QCOMPARE(Stored(column, kArnaud).toDouble(), stored);
        QCOMPARE(shownAfterLeaving, shown);
        QVERIFY2(!shownWhileEditing.contains(QLatin1Char(' ')), qPrintable(shownWhileEditing));
        // A later editor shows the stored value the same way.
        WhenModalOpens<TEnterPerson>(
            [&](TEnterPerson* editor) { shownAgain = Child<QLineEdit>(editor, field)->text(); });
        Click(form, Command::kMainEdit);
        QCOMPARE(shownAgain, shown);
    }

    // The birth date's picker works on the text column: Ok without a click keeps the date as it was, the clear
    // button empties the column.
    void birthDatePicker() {
        MainFormFixture::Exec(QStringLiteral("UPDATE PERSON SET BirthDay_Date='15/06/1985' WHERE Id=?"), {kArnaud});
        TMainForm* form = m_fixture->showForm();
        QString opened;
        QVariant afterOk;
        QString fieldAfterClear = QStringLiteral("?");
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            Click(editor, QStringLiteral("Btn_BirthDay_Date"));
            auto* picker = editor->findChild<TSelectDate*>();
            QVERIFY(picker);
            opened = picker->workingDateText();
            picker->accept();
            afterOk = DataModule1()->Person->value(QStringLiteral("BirthDay_Date"));
            auto* field = Child<QLineEdit>(editor, QStringLiteral("Ed_BirthDay_Date"));
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
            QVERIFY(editor->isVisible());
            picker = nullptr;
            for (TSelectDate* open : editor->findChildren<TSelectDate*>())
                if (open->isVisible()) picker = open;
            QVERIFY(picker);
            picker->clearDate();
            fieldAfterClear = FieldText(field);
            Click(editor, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(opened, QStringLiteral("15/06/1985"));
        QCOMPARE(afterOk.toString(), QStringLiteral("15/06/1985"));
        QCOMPARE(fieldAfterClear, QString());
        QVERIFY(Stored(QStringLiteral("BirthDay_Date"), kArnaud).isNull());
    }

    // A number that does not read is refused by Ok: the message says so, the dialog stays, nothing is written.
    void refusedNumber() {
        TMainForm* form = m_fixture->showForm();
        bool stillOpen = false;
        QString keptText;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            Type(editor, QStringLiteral("Ed_BirthDay_Weight"), QStringLiteral("3,2,5"));
            Type(editor, QStringLiteral("Ed_Name"), QStringLiteral("Zeller"));
            Click(editor, QStringLiteral("Btn_Ok"));
            stillOpen = editor->isVisible();
            keptText = Child<QLineEdit>(editor, QStringLiteral("Ed_BirthDay_Weight"))->text();
            Click(editor, QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kMainEdit);
        QVERIFY(stillOpen);
        QCOMPARE(keptText, QStringLiteral("3,2,5"));
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().text.contains(QStringLiteral("3,2,5")), qPrintable(messages.first().text));
        QCOMPARE(Stored(QStringLiteral("Name"), kArnaud).toString(), QStringLiteral("Arnaud"));
        QVERIFY(Stored(QStringLiteral("BirthDay_Weight"), kArnaud).isNull());
    }

    // The birth date is kept as text, but only a day that exists is kept: the same refusal as the other dates.
    void birthDateMustBeADay_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("kept");
        QTest::newRow("31 February") << "31/02/2020" << false;
        QTest::newRow("29 February of a leap year") << "29/02/2020" << true;
    }
    void birthDateMustBeADay() {
        QFETCH(QString, typed);
        QFETCH(bool, kept);
        const QVariant before = Stored(QStringLiteral("BirthDay_Date"), kArnaud);
        TMainForm* form = m_fixture->showForm();
        bool stillOpen = false;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            Type(editor, QStringLiteral("Ed_BirthDay_Date"), typed);
            Click(editor, QStringLiteral("Btn_Ok"));
            stillOpen = editor->isVisible();
            if (stillOpen) Click(editor, QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(stillOpen, !kept);
        const auto messages = MessageBoxService::recordedMessages();
        if (kept) {
            QCOMPARE(messages.size(), 0);
            QCOMPARE(Stored(QStringLiteral("BirthDay_Date"), kArnaud).toString(), typed);
        } else {
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages.first().text, QStringLiteral("'%1' n'est pas une date correcte").arg(typed));
            QCOMPARE(Stored(QStringLiteral("BirthDay_Date"), kArnaud), before);
        }
    }

    // A picture that does not decode whole is refused with a message that names it; the photo stays as it was.
    void damagedPhotoIsRefused_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("JPEG cut short") << "cut";
        QTest::newRow("text named .jpg") << "text";
    }
    void damagedPhotoIsRefused() {
        QFETCH(QString, damage);
        TMainForm* form = m_fixture->showForm();
        const QString good = WritePhotoSource(m_folder.path());
        const QString damaged = m_folder.path() + QStringLiteral("/abimee.jpg");
        const QByteArray whole = ReadWholeFile(good);
        WriteTestFile(damaged, damage == QLatin1String("cut") ? whole.left(whole.size() * 2 / 3) : QByteArray("texte"));
        QByteArray thumbnailBefore;
        QByteArray thumbnailAfter;
        bool shownAfter = false;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            FileDialogs::queueAnswerForTesting(good);
            Click(editor, QStringLiteral("Btn_Select_Img"));
            thumbnailBefore = DataModule1()->Person->asBytes(QStringLiteral("ImgMini1"));
            MessageBoxService::clearRecordedMessages();
            FileDialogs::queueAnswerForTesting(damaged);
            Click(editor, QStringLiteral("Btn_Select_Img"));
            thumbnailAfter = DataModule1()->Person->asBytes(QStringLiteral("ImgMini1"));
            shownAfter = editor->hasPhoto();
            Click(editor, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kMainEdit);
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().text.contains(QStringLiteral("\"") + damaged + QStringLiteral("\"")),
                 qPrintable(messages.first().text));
        QCOMPARE(ReadWholeFile(PersonPhotoFile(kArnaud)), whole);
        QVERIFY(!thumbnailBefore.isEmpty());
        QCOMPARE(thumbnailAfter, thumbnailBefore);
        QCOMPARE(Stored(QStringLiteral("ImgMini1"), kArnaud).toByteArray(), thumbnailBefore);
        QVERIFY(shownAfter);
    }

    // The badge shows the blood group without accents, in capitals, and follows the field; it is hidden while
    // there is no blood group.
    void bloodBadge_data() {
        QTest::addColumn<QVariant>("blood");
        QTest::addColumn<QString>("badge");
        QTest::newRow("plain") << QVariant(QStringLiteral("A positif")) << "A POSITIF";
        QTest::newRow("accented") << QVariant(QStringLiteral("AB négatif")) << "AB NEGATIF";
        QTest::newRow("symbols") << QVariant(QStringLiteral("O-")) << "O-";
        QTest::newRow("none") << QVariant() << "";
    }

    void bloodBadge() {
        QFETCH(QVariant, blood);
        QFETCH(QString, badge);
        MainFormFixture::Exec(QStringLiteral("UPDATE PERSON SET Blood=? WHERE Id=?"),
                              {blood.isNull() ? QVariant(QMetaType(QMetaType::QString)) : blood, kArnaud});
        TMainForm* form = m_fixture->showForm();
        QString shown;
        bool visible = badge.isEmpty();
        QString followed;
        bool visibleAfter = false;
        bool readOnly = false;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            auto* label = Child<QLabel>(editor, QStringLiteral("Lab_Blood"));
            shown = label->text();
            visible = label->isVisible();
            readOnly = Child<QLineEdit>(editor, QStringLiteral("Ed_Blood"))->isReadOnly();
            DataModule1()->Person->setValue(QStringLiteral("Blood"), QStringLiteral("b négatif"));
            followed = label->text();
            visibleAfter = label->isVisible();
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(shown, badge);
        QCOMPARE(visible, !badge.isEmpty());
        QCOMPARE(followed, QStringLiteral("B NEGATIF"));
        QVERIFY(visibleAfter);
        QVERIFY(readOnly);
    }

    // Choosing, viewing, copying and deleting the photo, and the context menu that follows whether there is one.
    void photoCommands() {
        TMainForm* form = m_fixture->showForm();
        const QString source = WritePhotoSource(m_folder.path());
        const QString copy = m_folder.path() + QStringLiteral("/copie.jpg");
        const QString photo = PersonPhotoFile(kArnaud);
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            QVERIFY(!editor->hasPhoto());
            QVERIFY(!Enabled(editor, QStringLiteral("Btn_Delete_Img")));
            QCOMPARE(EnabledPhotoEntries(editor), QStringList{"Menu_Photo_Select"});

            FileDialogs::queueAnswerForTesting(source);
            Click(editor, QStringLiteral("Btn_Select_Img"));
            const auto asked = FileDialogs::questionsForTesting();
            QCOMPARE(asked.size(), 1);
            QCOMPARE(asked.first().title, QStringLiteral("Sélectionnez une image"));
            QCOMPARE(asked.first().defaultSuffix, QStringLiteral("jpg"));
            QVERIFY(asked.first().filter.startsWith(QStringLiteral("Tout (*.jpg *.jpeg *.bmp")));
            QVERIFY(editor->hasPhoto());
            QCOMPARE(ReadWholeFile(photo), ReadWholeFile(source));
            QVERIFY(Enabled(editor, QStringLiteral("Btn_Delete_Img")));
            QCOMPARE(EnabledPhotoEntries(editor),
                     (QStringList{"Menu_Photo_Select", "Menu_Photo_View", "Menu_Photo_Save", "Menu_Photo_Delete"}));
            QVERIFY(!Child<QLabel>(editor, QStringLiteral("ImgDB_Photo_Mini"))->pixmap().isNull());

            // The full picture in the simple picture window.
            QSize viewed;
            WhenModalOpens<TViewImage>([&](TViewImage* viewer) { viewed = viewer->picture().size(); });
            MenuEntry(editor, QStringLiteral("Menu_Photo_View"))->trigger();
            QCOMPARE(viewed, QSize(304, 208));
            // A double click on the picture does the same.
            viewed = QSize();
            WhenModalOpens<TViewImage>([&](TViewImage* viewer) { viewed = viewer->picture().size(); });
            QTest::mouseDClick(Child<QLabel>(editor, QStringLiteral("ImgDB_Photo_Mini")), Qt::LeftButton);
            QCOMPARE(viewed, QSize(304, 208));

            // A copy under the person's name.
            FileDialogs::clearForTesting();
            FileDialogs::queueAnswerForTesting(copy);
            MenuEntry(editor, QStringLiteral("Menu_Photo_Save"))->trigger();
            QCOMPARE(FileDialogs::questionsForTesting().value(0).proposedName, QStringLiteral("Arnaud.jpg"));
            QCOMPARE(ReadWholeFile(copy), ReadWholeFile(source));

            // Deleting asks first.
            MessageBoxService::queueAnswerForTesting(false);
            Click(editor, QStringLiteral("Btn_Delete_Img"));
            QVERIFY(QFileInfo::exists(photo));
            MessageBoxService::queueAnswerForTesting(true);
            MenuEntry(editor, QStringLiteral("Menu_Photo_Delete"))->trigger();
            QVERIFY(!QFileInfo::exists(photo));
            QVERIFY(!editor->hasPhoto());
            QVERIFY(!Enabled(editor, QStringLiteral("Btn_Delete_Img")));
            QCOMPARE(EnabledPhotoEntries(editor), QStringList{"Menu_Photo_Select"});
            Click(editor, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kMainEdit);
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].text, QStringLiteral("Désirez-vous supprimer cette photo ?"));
        QVERIFY(Stored(QStringLiteral("ImgMini1"), kArnaud).isNull());
        QVERIFY(Stored(QStringLiteral("Img1"), kArnaud).isNull());
    }

    // Pictures of the other formats the loader reads become a JPEG with a 115 x 115 thumbnail; a copy of a photo of
    // a person without a name is suggested as "*.jpg".
    void otherPhotoFormats_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("bitmap") << "photo.bmp";
        QTest::newRow("PNG") << "photo.png";
    }

    void otherPhotoFormats() {
        QFETCH(QString, name);
        MainFormFixture::Exec(QStringLiteral("UPDATE PERSON SET Name='' WHERE Id=?"), {kArnaud});
        TMainForm* form = m_fixture->showForm();
        QVERIFY(FileDialogs::questionsForTesting().isEmpty());
        const QString source = WritePhotoSource(m_folder.path(), name);
        QString proposed;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            QVERIFY(FileDialogs::questionsForTesting().isEmpty());
            FileDialogs::queueAnswerForTesting(source);
            Click(editor, QStringLiteral("Btn_Select_Img"));
            QVERIFY(FileDialogs::questionsForTesting().first().filter.contains(QStringLiteral("*.") +
                                                                               QFileInfo(name).suffix()));
            FileDialogs::queueAnswerForTesting(QString());
            MenuEntry(editor, QStringLiteral("Menu_Photo_Save"))->trigger();
            proposed = FileDialogs::questionsForTesting().value(1).proposedName;
            editor->close();
        });
        Click(form, Command::kMainEdit);
        // "*.jpg" is suggested; the dialog proposes it cleaned of what a file name cannot hold.
        QCOMPARE(proposed, QStringLiteral("_.jpg"));
        QImage stored;
        QVERIFY(JpegLoadBitmap(&stored, PersonPhotoFile(kArnaud)));
        QCOMPARE(stored.size(), QSize(304, 208));
        QImage thumbnail;
        QVERIFY(thumbnail.loadFromData(Stored(QStringLiteral("ImgMini1"), kArnaud).toByteArray(), "BMP"));
        QCOMPARE(thumbnail.size(), QSize(kPersonThumbnailSize, kPersonThumbnailSize));
    }

    // Storing a photo posts the row: a number still being typed goes in first, and one that does not read stops
    // the photo with a message instead of being lost.
    void photoAfterTyping_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("stored");
        QTest::newRow("number") << "3,5" << true;
        QTest::newRow("not a number") << "3,x" << false;
    }

    void photoAfterTyping() {
        QFETCH(QString, typed);
        QFETCH(bool, stored);
        TMainForm* form = m_fixture->showForm();
        const QString source = WritePhotoSource(m_folder.path());
        QString kept;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            Type(editor, QStringLiteral("Ed_BirthDay_Weight"), typed);
            FileDialogs::queueAnswerForTesting(source);
            Click(editor, QStringLiteral("Btn_Select_Img"));
            kept = Child<QLineEdit>(editor, QStringLiteral("Ed_BirthDay_Weight"))->text();
            editor->close();
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(QFileInfo::exists(PersonPhotoFile(kArnaud)), stored);
        if (stored) {
            QCOMPARE(Stored(QStringLiteral("BirthDay_Weight"), kArnaud).toDouble(), 3.5);
        } else {
            QCOMPARE(kept, typed);
            QCOMPARE(MessageBoxService::recordedMessages().size(), 1);
            QVERIFY(Stored(QStringLiteral("BirthDay_Weight"), kArnaud).isNull());
        }
    }

    // The pick lists of the fields, opened by their button or by Enter: the chosen entry lands in the field and in
    // the Person row (and stays there after Ok); the badge follows the blood group, the empty entry empties both.
    void pickLists_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("list");      // the COMBOITEMS column's lines, "" to keep the shipped list
        QTest::addColumn<QStringList>("shown"); // the drop-down's entries, or empty not to check them
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("badge"); // expected badge after the choice
        QTest::newRow("birth place, button")
            << "BirthDay_City"
            << "Paris\r\nlyon\r\nBrest" << QStringList{"", "Brest", "lyon", "Paris"} << "lyon" << false << "A+";
        QTest::newRow("birth place, Enter") << "BirthDay_City"
                                            << "Paris\r\nlyon\r\nBrest" << QStringList{} << "Brest" << true << "A+";
        QTest::newRow("blood group") << "Blood"
                                     << "" << QStringList{} << "AB-" << false << "AB-";
        QTest::newRow("blood group, accents")
            << "Blood"
            << "A négatif\r\nB positif" << QStringList{} << "A négatif" << true << "A NEGATIF";
        QTest::newRow("blood group, empty entry") << "Blood"
                                                  << "" << QStringList{} << "" << false << "";
        QTest::newRow("free field 7") << "Misc07"
                                      << "Pénicilline\r\naspirine" << QStringList{"", "aspirine", "Pénicilline"}
                                      << "aspirine" << false << "A+";
        QTest::newRow("free field 10, Enter") << "Misc10"
                                              << "Nord\r\nSud" << QStringList{} << "Sud" << true << "A+";
    }

    void pickLists() {
        QFETCH(QString, column);
        QFETCH(QString, list);
        QFETCH(QStringList, shown);
        QFETCH(QString, chosen);
        QFETCH(bool, byEnter);
        QFETCH(QString, badge);
        if (!list.isEmpty()) MainFormFixture::Exec(QStringLiteral("UPDATE COMBOITEMS SET %1=?").arg(column), {list});
        TMainForm* form = m_fixture->showForm();
        QStringList entries;
        QString fieldText = QStringLiteral("?");
        QVariant rowValue;
        QString badgeText = QStringLiteral("?");
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            if (column.startsWith(QStringLiteral("Misc")))
                editor->findChild<QTabWidget*>(QStringLiteral("Tab_Person"))->setCurrentIndex(1);
            auto* field = Child<QLineEdit>(editor, QStringLiteral("Ed_") + column);
            if (byEnter) {
                field->setFocus();
                QTest::keyClick(field, Qt::Key_Return);
            } else {
                Click(editor, QStringLiteral("Btn_") + column);
            }
            QVERIFY(editor->isVisible());
            auto* pickList = editor->findChild<TPickList*>();
            QVERIFY(pickList);
            entries = pickList->entries();
            QVERIFY2(entries.contains(chosen), qPrintable(entries.join(QLatin1Char('|'))));
            pickList->choose(static_cast<int>(entries.indexOf(chosen)));
            fieldText = field->text();
            rowValue = DataModule1()->Person->value(column);
            badgeText = Child<QLabel>(editor, QStringLiteral("Lab_Blood"))->text();
            Click(editor, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kMainEdit);
        if (!shown.isEmpty()) QCOMPARE(entries, shown);
        QCOMPARE(entries.value(0), QString());
        QCOMPARE(fieldText, chosen);
        QCOMPARE(rowValue.toString(), chosen);
        QCOMPARE(badgeText, badge);
        QCOMPARE(Stored(column, kArnaud).toString(), chosen);
        QCOMPARE(Stored(column, kArnaud).isNull(), chosen.isEmpty());
    }

    // A double click in a field with a pick list opens the list editor on that list, titled after the field.
    void listEditing_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("title");
        QTest::newRow("birth place") << "BirthDay_City"
                                     << "Lieu de naissance";
        QTest::newRow("blood group") << "Blood"
                                     << "Groupe sanguin";
        QTest::newRow("free field, default label") << "Misc02"
                                                   << "Divers 2";
        QTest::newRow("free field, renamed label") << "Misc05"
                                                   << "Allergies";
    }

    void listEditing() {
        QFETCH(QString, column);
        QFETCH(QString, title);
        MainFormFixture::Exec(QStringLiteral("UPDATE CUSTOMLAB SET Misc05='Allergies'"));
        MainFormFixture::Exec(QStringLiteral("UPDATE COMBOITEMS SET %1=?").arg(column),
                              {QStringLiteral("b\r\na\r\nB")});
        TMainForm* form = m_fixture->showForm();
        QString editorTitle;
        QString editorText;
        SetListEditorAnswerForTesting([&](TComboList& listEditor) {
            editorTitle = listEditor.title();
            editorText = listEditor.text();
            listEditor.setText(QStringLiteral("a\nb\nc"));
            return true;
        });
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            if (column.startsWith(QStringLiteral("Misc")))
                editor->findChild<QTabWidget*>(QStringLiteral("Tab_Person"))->setCurrentIndex(1);
            QTest::mouseDClick(Child<QLineEdit>(editor, QStringLiteral("Ed_") + column), Qt::LeftButton);
            Click(editor, QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kMainEdit);
        SetListEditorAnswerForTesting(nullptr);
        QCOMPARE(editorTitle, QStringLiteral(" ") + title);
        QCOMPARE(editorText.split(QLatin1Char('\n')), (QStringList{"a", "b"}));
        QCOMPARE(StoredList(column).split(QRegularExpression(QStringLiteral("\r?\n"))), (QStringList{"a", "b", "c"}));
    }

    // While the editor is open on the person, typing does not read the main window's page again; the page is read
    // once the row is posted.
    void typingLeavesThePageAlone() {
        MainFormFixture::AddEvent(kArnaud, QStringLiteral("2024-03-02"), {}, QStringLiteral("Vaccin"));
        TMainForm* form = m_fixture->showForm();
        form->showPage(TMainForm::EventsPage);
        Dataset* events = DataModule1()->Event;
        int readsWhileTyping = -1;
        int reads = 0;
        QObject counter;
        connect(events, &Dataset::reset, &counter, [&] { ++reads; });
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            reads = 0;
            Type(editor, QStringLiteral("Ed_Name"), QStringLiteral("Arnaud-Dupré"));
            Type(editor, QStringLiteral("Ed_BirthDay_City"), QStringLiteral("Nantes"));
            readsWhileTyping = reads;
            Click(editor, QStringLiteral("Btn_Ok"));
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(readsWhileTyping, 0);
        QVERIFY(reads > 0);
        QCOMPARE(Stored(QStringLiteral("Name"), kArnaud).toString(), QStringLiteral("Arnaud-Dupré"));
        QCOMPARE(form->eventsPage()->grid()->model()->rowCount(), 1);
        QCOMPARE(form->currentPersonId(), kArnaud);
    }

    // A double click on a free-field label renames it in the text-entry dialog: at once, and in every later editor.
    void renamingALabel_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Ok") << true;
        QTest::newRow("Annuler") << false;
    }

    void renamingALabel() {
        QFETCH(bool, confirmed);
        TMainForm* form = m_fixture->showForm();
        QString captionAtOnce;
        QString caption;
        QString prompt;
        QString proposed;
        bool okWhenEmpty = true;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            auto* label = Child<QLabel>(editor, QStringLiteral("Lab_Misc03"));
            QCOMPARE(label->text(), QStringLiteral("Divers 3"));
            editor->findChild<QTabWidget*>(QStringLiteral("Tab_Person"))->setCurrentIndex(1);
            WhenModalOpens<TEnterStr>([&](TEnterStr* entry) {
                caption = entry->windowTitle();
                prompt = Child<QLabel>(entry, QStringLiteral("Lab_Prompt"))->text();
                proposed = entry->text();
                Type(entry, QStringLiteral("Ed_Str"), QString());
                okWhenEmpty = Enabled(entry, QStringLiteral("Btn_Ok"));
                Type(entry, QStringLiteral("Ed_Str"), QStringLiteral("Allergies"));
                SaveScreenshot(entry, QStringLiteral("label-rename"));
                Click(entry, confirmed ? QStringLiteral("Btn_Ok") : QStringLiteral("Btn_Cancel"));
            });
            QTest::mouseDClick(label, Qt::LeftButton);
            captionAtOnce = label->text();
            Click(editor, QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(caption, QStringLiteral("Saisie d'une chaine de caractère"));
        QCOMPARE(prompt, QStringLiteral("Modifiez le libellé"));
        QCOMPARE(proposed, QStringLiteral("Divers 3"));
        QVERIFY(!okWhenEmpty);
        const QString expected = confirmed ? QStringLiteral("Allergies") : QStringLiteral("Divers 3");
        QCOMPARE(captionAtOnce, expected);
        QCOMPARE(StoredLabel(QStringLiteral("Misc03")), expected);
        QCOMPARE(StoredLabel(QStringLiteral("Misc04")), QStringLiteral("Divers 4"));
        QString later;
        WhenModalOpens<TEnterPerson>(
            [&](TEnterPerson* editor) { later = Child<QLabel>(editor, QStringLiteral("Lab_Misc03"))->text(); });
        Click(form, Command::kMainEdit);
        QCOMPARE(later, expected);
    }

    // Without a labels row, the editor adds one for the work group, with empty labels.
    void labelsRowCreatedWhenMissing() {
        MainFormFixture::Exec(QStringLiteral("DELETE FROM CUSTOMLAB"));
        TMainForm* form = m_fixture->showForm();
        QStringList labels;
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            for (const char* name : {"Lab_Misc01", "Lab_Misc12"})
                labels << Child<QLabel>(editor, QLatin1String(name))->text();
        });
        Click(form, Command::kMainEdit);
        QCOMPARE(labels, (QStringList{QString(), QString()}));
        QSqlQuery query(QSqlDatabase::database(kMainConnection));
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*), MIN(Id_File) FROM CUSTOMLAB")) && query.next());
        QCOMPARE(query.value(0).toInt(), 1);
        QCOMPARE(query.value(1).toInt(), 0);
    }

    // Pictures of the editor for a reviewer: both pages of a filled record with its photo, and a pick list open.
    void screenshots() {
        if (qEnvironmentVariableIsEmpty("QUORVEL_SCREENSHOTS")) QSKIP("QUORVEL_SCREENSHOTS is not set");
        MainFormFixture::Exec(
            QStringLiteral("UPDATE PERSON SET BirthDay_Date='15/06/1985', BirthDay_Time='08:15', BirthDay_Weight=3.45, "
                           "BirthDay_Size=50.5, BirthDay_City='Lyon', [No]='2 85 06 69 123 456 78', Blood='A négatif', "
                           "Org_Secu='CPAM du Rhône', Org_Comp='Mutuelle des Lilas', Previous='Diabète (père)', "
                           "Misc01='Dr Roux', Misc03='Pénicilline', Misc11='Lunettes depuis 2010' WHERE Id=?"),
            {kArnaud});
        MainFormFixture::Exec(QStringLiteral("UPDATE CUSTOMLAB SET Misc01='Médecin traitant', Misc03='Allergies'"));
        MainFormFixture::Exec(QStringLiteral("UPDATE COMBOITEMS SET BirthDay_City=?"),
                              {QStringLiteral("Paris\r\nLyon\r\nMarseille\r\nBrest\r\nNantes")});
        QImage portrait(360, 480, QImage::Format_RGB32);
        QPainter painter(&portrait);
        QLinearGradient sky(0, 0, 0, 480);
        sky.setColorAt(0, QColor(120, 170, 220));
        sky.setColorAt(1, QColor(220, 235, 250));
        painter.fillRect(portrait.rect(), sky);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(60, 80, 120));
        painter.drawEllipse(QRectF(40, 330, 280, 260));
        painter.setBrush(QColor(235, 195, 160));
        painter.drawEllipse(QRectF(105, 110, 150, 190));
        painter.setBrush(QColor(90, 60, 40));
        painter.drawChord(QRectF(100, 95, 160, 120), 0, 180 * 16);
        painter.end();
        const QString source = m_folder.path() + QStringLiteral("/portrait.jpg");
        QVERIFY(JpegSaveBitmap(ToBitmap24(portrait), source, 90));

        TMainForm* form = m_fixture->showForm();
        WhenModalOpens<TEnterPerson>([&](TEnterPerson* editor) {
            FileDialogs::queueAnswerForTesting(source);
            Click(editor, QStringLiteral("Btn_Select_Img"));
            QVERIFY(editor->hasPhoto());
            SaveScreenshot(editor, QStringLiteral("record-editor-general"));
            Click(editor, QStringLiteral("Btn_BirthDay_City"));
            if (auto* pickList = editor->findChild<TPickList*>()) {
                SaveWithPickList(editor, pickList, QStringLiteral("record-editor-picklist"));
                pickList->close();
            }
            editor->findChild<QTabWidget*>(QStringLiteral("Tab_Person"))->setCurrentIndex(1);
            SaveScreenshot(editor, QStringLiteral("record-editor-custom"));
            Click(editor, QStringLiteral("Btn_Cancel"));
        });
        Click(form, Command::kMainEdit);
    }

private:
    std::unique_ptr<MainFormFixture> m_fixture;
    QTemporaryDir m_folder;
};

QTEST_MAIN(TestEnterPerson)
#include "TestEnterPerson.moc"
