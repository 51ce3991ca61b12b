// The masked field of dates, times and the social-security number: what typing shows and stores, the leading "!"
// rule, incomplete and empty entries, editing keys, and texts set from code.
#include "gui/controls/MaskEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kDate = MaskEdit::kDateMask;
const QString kTime = MaskEdit::kTimeMask;
const QString kSocialSecurity = MaskEdit::kSocialSecurityMask;

} // namespace

class TestMaskEdit : public QObject {
    Q_OBJECT
private slots:
    void typing_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("date, digits only") << kDate << "15061985"
                                           << "15/06/1985"
                                           << "15/06/1985";
        QTest::newRow("date, with its separators") << kDate << "15/06/1985"
                                                   << "15/06/1985"
                                                   << "15/06/1985";
        QTest::newRow("date, short day and month") << kDate << "5/6/1985"
                                                   << "_5/_6/1985"
                                                   << "5/6/1985";
        QTest::newRow("date, letters refused") << kDate << "1a5b0c6"
                                               << "15/06/____"
                                               << "15/06/    ";
        QTest::newRow("date, too many digits") << kDate << "1506198512"
                                               << "15/06/1985"
                                               << "15/06/1985";
        QTest::newRow("date, incomplete year") << kDate << "120619"
                                               << "12/06/19__"
                                               << "12/06/19  ";
        QTest::newRow("date, day skipped") << kDate << "/06/1985"
                                           << "__/06/1985"
                                           << "/06/1985";
        QTest::newRow("time, four digits") << kTime << "0930"
                                           << "09:30"
                                           << "09:30";
        QTest::newRow("time, one hour digit") << kTime << "9:30"
                                              << "_9:30"
                                              << "9:30";
        QTest::newRow("time, incomplete") << kTime << "12:3"
                                          << "12:3_"
                                          << "12:3 ";
        QTest::newRow("time, wrong separator refused") << kTime << "9.30"
                                                       << "93:0_"
                                                       << "93:0 ";
        QTest::newRow("social security number") << kSocialSecurity << "185067512345612"
                                                << "1 85 06 75 123 456 12"
                                                << "1 85 06 75 123 456 12";
        QTest::newRow("social security number typed with blanks") << kSocialSecurity << "1 85 06 75 123 456 12"
                                                                  << "1 85 06 75 123 456 12"
                                                                  << "1 85 06 75 123 456 12";
        QTest::newRow("social security number, first digit left out") << kSocialSecurity << " 85 06 75 123 456 12"
                                                                      << "_ 85 06 75 123 456 12"
                                                                      << "85 06 75 123 456 12";
        QTest::newRow("social security number, last two digits missing") << kSocialSecurity << "1850675123456"
                                                                         << "1 85 06 75 123 456 __"
                                                                         << "1 85 06 75 123 456   ";
        // Without "!" what was typed stays at the left of its group.
        QTest::newRow("no leading !") << "99/99/0000;1;_"
                                      << "5/6/1985"
                                      << "5_/6_/1985"
                                      << "5/6/1985";
        QTest::newRow("literals not stored") << "!99/99/0000;0;_"
                                             << "15/06/1985"
                                             << "15/06/1985"
                                             << "15061985";
        QTest::newRow("another blank character") << "!90:00;1;*"
                                                 << "9:3"
                                                 << "*9:3*"
                                                 << "9:3 ";
    }

    void typing() {
        QFETCH(QString, mask);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        MaskEdit edit(mask);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.editText(), shown);
        QCOMPARE(edit.text(), stored);
        // The stored text shows again as it was typed.
        MaskEdit again(mask);
        again.setText(stored);
        QCOMPARE(again.text(), stored);
    }

    void emptyField_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("shown");
        QTest::newRow("date") << kDate << "__/__/____";
        QTest::newRow("time") << kTime << "__:__";
        QTest::newRow("social security number") << kSocialSecurity << "_ __ __ __ ___ ___ __";
    }

    // An empty field stores an empty text, not its literals, also after everything typed was erased.
    void emptyField() {
        QFETCH(QString, mask);
        QFETCH(QString, shown);
        MaskEdit edit(mask);
        QCOMPARE(edit.editText(), shown);
        QCOMPARE(edit.text(), QString());
        QVERIFY(!edit.isComplete());
        QTest::keyClicks(&edit, QStringLiteral("1234"));
        QVERIFY(!edit.text().isEmpty());
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.editText(), shown);
        QCOMPARE(edit.text(), QString());
    }

    void storedTextsShown_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("date") << kDate << "15/06/1985"
                              << "15/06/1985"
                              << "15/06/1985";
        QTest::newRow("date typed elsewhere as d/m/yyyy") << kDate << "5/6/2024"
                                                          << "_5/_6/2024"
                                                          << "5/6/2024";
        QTest::newRow("empty") << kDate << ""
                               << "__/__/____"
                               << "";
        QTest::newRow("not a date at all") << kDate << "ab/cd/efgh"
                                           << "__/__/____"
                                           << "";
        QTest::newRow("time with one hour digit") << kTime << "9:30"
                                                  << "_9:30"
                                                  << "9:30";
        QTest::newRow("time with a leading blank") << kTime << " 9:30"
                                                   << "_9:30"
                                                   << "9:30";
        QTest::newRow("social security number without its first digit") << kSocialSecurity << "85 06 75 123 456 12"
                                                                        << "_ 85 06 75 123 456 12"
                                                                        << "85 06 75 123 456 12";
    }

    void storedTextsShown() {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        MaskEdit edit(mask);
        edit.setText(text);
        QCOMPARE(edit.editText(), shown);
        QCOMPARE(edit.text(), stored);
        // Through the base class, as generic code would set it.
        MaskEdit other(mask);
        static_cast<QLineEdit&>(other).setText(text);
        QCOMPARE(other.editText(), shown);
        QCOMPARE(FieldText(&other), stored);
    }

    // Keystrokes overwrite one position; Backspace and Delete empty one; typing over a selection empties it first.
    void editingKeys() {
        MaskEdit edit(kDate);
        QTest::keyClicks(&edit, QStringLiteral("15061985"));
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_2);
        QCOMPARE(edit.editText(), QStringLiteral("25/06/1985"));
        QCOMPARE(edit.cursorPosition(), 1);

        QTest::keyClick(&edit, Qt::Key_End);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.editText(), QStringLiteral("25/06/198_"));
        QCOMPARE(edit.text(), QStringLiteral("25/06/198 "));

        // Backspace just after a separator empties the digit before it.
        edit.setCursorPosition(3);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.editText(), QStringLiteral("2_/06/198_"));
        QCOMPARE(edit.cursorPosition(), 1);

        edit.setCursorPosition(2);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.editText(), QStringLiteral("2_/_6/198_"));

        // A refused key leaves the selection and the text alone; an accepted one replaces the selection.
        edit.setSelection(3, 4);
        QTest::keyClick(&edit, Qt::Key_X);
        QCOMPARE(edit.editText(), QStringLiteral("2_/_6/198_"));
        QVERIFY(edit.hasSelectedText());
        QTest::keyClick(&edit, Qt::Key_1);
        QCOMPARE(edit.editText(), QStringLiteral("2_/1_/_98_"));
        QCOMPARE(edit.cursorPosition(), 4);
    }

    void pastingTypesTheClipboard() {
        MaskEdit edit(kDate);
        QGuiApplication::clipboard()->setText(QStringLiteral("7/3/2001 et la suite"));
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.editText(), QStringLiteral("_7/_3/2001"));
        QCOMPARE(edit.text(), QStringLiteral("7/3/2001"));
    }

    // Typing is an edit by the user; a text set from code is not.
    void signalsOfEdits() {
        MaskEdit edit(kTime);
        QSignalSpy edited(&edit, &QLineEdit::textEdited);
        QSignalSpy changed(&edit, &QLineEdit::textChanged);
        edit.setText(QStringLiteral("10:15"));
        QCOMPARE(edited.count(), 0);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!edit.isModified());
        edit.setCursorPosition(0);
        QTest::keyClick(&edit, Qt::Key_2);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.last().at(0).toString(), QStringLiteral("20:15"));
        QVERIFY(edit.isModified());
        QTest::keyClick(&edit, Qt::Key_A);
        QCOMPARE(edited.count(), 1);
    }

    void withoutMaskItIsAPlainField() {
        MaskEdit edit;
        QTest::keyClicks(&edit, QStringLiteral("a/b 12"));
        QCOMPARE(edit.text(), QStringLiteral("a/b 12"));
        QCOMPARE(FieldText(&edit), QStringLiteral("a/b 12"));
        edit.setEditMask(kTime);
        QCOMPARE(edit.editText(), QStringLiteral("12:__"));
        QCOMPARE(edit.text(), QStringLiteral("12:  "));
    }

    void fieldTextOfEitherKind() {
        QLineEdit plain;
        SetFieldText(&plain, QStringLiteral("15/06/1985"));
        QCOMPARE(FieldText(&plain), QStringLiteral("15/06/1985"));
        MaskEdit masked(kDate);
        SetFieldText(&masked, QStringLiteral("15/06/1985"));
        QCOMPARE(FieldText(&masked), QStringLiteral("15/06/1985"));
        SetFieldText(&masked, QString());
        QCOMPARE(FieldText(&masked), QString());
        QCOMPARE(masked.editText(), QStringLiteral("__/__/____"));
    }
};

QTEST_MAIN(TestMaskEdit)
#include "TestMaskEdit.moc"
