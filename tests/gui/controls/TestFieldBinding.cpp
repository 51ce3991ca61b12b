// Dialog fields tied to a row's columns: what they show, when typed text reaches the row, conversions refused with
// the field kept as typed, number patterns while shown and while edited, and posting.
#include "gui/controls/FieldBinding.h"

#include "core/app/Settings.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"
#include "gui/controls/MaskEdit.h"
#include "support/FixtureDatabase.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

QVariant Stored(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(kMainConnection));
    if (!query.exec(statement) || !query.next()) return QStringLiteral("<no row>");
    return query.value(0);
}

} // namespace

class TestFieldBinding : public QObject {
    Q_OBJECT

    FixtureDatabase m_fixture;
    QTemporaryDir m_work;
    std::unique_ptr<TDataModule1> m_module;
    std::unique_ptr<QWidget> m_window;
    Dataset* m_results = nullptr;
    MaskEdit* m_date = nullptr;
    QLineEdit* m_value = nullptr;
    QLineEdit* m_minimum = nullptr;
    QPlainTextEdit* m_remark = nullptr;

    void type(QWidget* field, const QString& text) {
        field->setFocus();
        QTest::keyClicks(field, text);
    }
    void clearLine(QLineEdit* field) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
    }
    qint64 resultId() const { return m_results->asInteger(QStringLiteral("Id")); }

private slots:
    void initTestCase() {
        QString error;
        QVERIFY2(m_fixture.build(&error), qPrintable(error));
    }

    // The first result of Dupont's glycaemia (2023-06-01, 0.92), in a window with a date, two numbers and a memo.
    void init() {
        const QString database = m_work.filePath(QStringLiteral("KESTOVRAN.MDB"));
        QString error;
        QVERIFY2(m_fixture.copyTo(database, &error), qPrintable(error));
        CurrentSettings() = Settings();
        m_module = std::make_unique<TDataModule1>();
        QVERIFY2(OpenDatabaseFile(kMainConnection, database, &error), qPrintable(error));
        m_results = m_module->Analysis;
        QVERIFY(m_results->setSqlLine(1, QStringLiteral("WHERE ID_REF=%1").arg(Fixture::kDupontGlycemie)));
        QVERIFY2(m_results->open(&error), qPrintable(error));
        QCOMPARE(m_results->asDate(QStringLiteral("Date_Analysis")), QDate(2023, 6, 1));

        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_date = new MaskEdit(MaskEdit::kDateMask);
        m_value = new QLineEdit;
        m_minimum = new QLineEdit;
        m_remark = new QPlainTextEdit;
        for (QWidget* field : std::initializer_list<QWidget*>{m_date, m_value, m_minimum, m_remark})
            layout->addWidget(field);
        FieldBinding::Bind(m_date, m_results, QStringLiteral("Date_Analysis"), FieldBinding::Kind::Date);
        FieldBinding::Bind(m_value, m_results, QStringLiteral("Value_Analysis"), FieldBinding::Kind::Number)
            ->setPatterns(QStringLiteral("#######0..00"), QStringLiteral("#######0..00 g/l"));
        FieldBinding::Bind(m_minimum, m_results, QStringLiteral("Value_Min"), FieldBinding::Kind::Number)
            ->setPatterns(QStringLiteral("#######0..00"), QStringLiteral("#######0..00 g/l"));
        FieldBinding::Bind(m_remark, m_results, QStringLiteral("Remark1"));
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup() {
        m_window.reset();
        m_module.reset();
        QSqlDatabase::removeDatabase(kMainConnection);
    }

    void showsTheRow() {
        QCOMPARE(m_date->text(), QStringLiteral("01/06/2023"));
        QCOMPARE(m_value->text(), QStringLiteral("0,92 g/l"));
        m_value->setFocus();
        QCOMPARE(m_value->text(), QStringLiteral("0,92"));
        m_date->setFocus();
        QCOMPARE(m_value->text(), QStringLiteral("0,92 g/l"));
        // Another row shows its values.
        m_results->last();
        QCOMPARE(m_date->text(), QStringLiteral("10/03/2024"));
        QCOMPARE(m_value->text(), QStringLiteral("1,21 g/l"));
    }

    void textGoesToTheRowAtOnce() {
        QCOMPARE(m_results->state(), Dataset::State::Browse);
        type(m_remark, QStringLiteral("a jeun"));
        QCOMPARE(m_results->state(), Dataset::State::Edit);
        QCOMPARE(m_results->asString(QStringLiteral("Remark1")), QStringLiteral("a jeun"));
        m_results->cancel();
        QCOMPARE(m_remark->toPlainText(), QString());
        QVERIFY(m_results->isNull(QStringLiteral("Remark1")));
    }

    void typedDatesAndNumbers_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("storedDate");
        QTest::addColumn<QVariant>("storedValue");
        QTest::newRow("comma") << "15062025"
                               << "1,5"
                               << "2025-06-15" << QVariant(1.5);
        QTest::newRow("point") << "1/2/2025"
                               << "1.25"
                               << "2025-02-01" << QVariant(1.25);
        QTest::newRow("emptied") << ""
                                 << ""
                                 << "" << QVariant();
    }
    void typedDatesAndNumbers() {
        QFETCH(QString, date);
        QFETCH(QString, value);
        QFETCH(QString, storedDate);
        QFETCH(QVariant, storedValue);
        m_date->setFocus();
        m_date->selectAll();
        QTest::keyClick(m_date, Qt::Key_Delete);
        QTest::keyClicks(m_date, date);
        clearLine(m_value);
        QTest::keyClicks(m_value, value);
        // Nothing reaches the row before the text is committed.
        QCOMPARE(m_results->asDouble(QStringLiteral("Value_Analysis")), 0.92);
        QString error;
        QVERIFY2(PostBoundRow(m_window.get(), *m_results, &error), qPrintable(error));
        QCOMPARE(m_results->state(), Dataset::State::Browse);
        const QString where = QStringLiteral(" FROM ANALYSIS WHERE Id=%1").arg(resultId());
        const QVariant dateColumn = Stored(QStringLiteral("SELECT Date_Analysis") + where);
        QCOMPARE(dateColumn.isNull() ? QString() : dateColumn.toString(), storedDate);
        const QVariant valueColumn = Stored(QStringLiteral("SELECT Value_Analysis") + where);
        QCOMPARE(valueColumn.isNull() ? QVariant() : valueColumn, storedValue);
        QCOMPARE(m_value->text(), value.isEmpty() ? QString() : m_value->text());
    }

    void refusedTextsKeepTheFieldAndTheRow_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("impossible date") << "31022020"
                                         << ""
                                         << "'31/02/2020' n'est pas une date correcte";
        QTest::newRow("incomplete date") << "120619"
                                         << ""
                                         << "'12/06/19' n'est pas une date correcte";
        QTest::newRow("not a number") << ""
                                      << "1,2,3"
                                      << "'1,2,3' n'est pas une valeur en virgule flottante correcte";
        QTest::newRow("unit typed") << ""
                                    << "5 g/l"
                                    << "'5 g/l' n'est pas une valeur en virgule flottante correcte";
    }
    void refusedTextsKeepTheFieldAndTheRow() {
        QFETCH(QString, date);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QLineEdit* refused = date.isEmpty() ? m_value : static_cast<QLineEdit*>(m_date);
        if (!date.isEmpty()) {
            m_date->setFocus();
            m_date->selectAll();
            QTest::keyClick(m_date, Qt::Key_Delete);
            QTest::keyClicks(m_date, date);
        } else {
            clearLine(m_value);
            QTest::keyClicks(m_value, value);
        }
        m_remark->setFocus();
        QString error;
        QVERIFY(!PostBoundRow(m_window.get(), *m_results, &error));
        QCOMPARE(error, message);
        QCOMPARE(m_results->state(), Dataset::State::Edit);
        QVERIFY(refused->hasFocus());
        QCOMPARE(FieldText(refused), date.isEmpty() ? value : FieldText(m_date));
        QCOMPARE(m_results->asDate(QStringLiteral("Date_Analysis")), QDate(2023, 6, 1));
        QCOMPARE(m_results->asDouble(QStringLiteral("Value_Analysis")), 0.92);
        QCOMPARE(Stored(QStringLiteral("SELECT Value_Analysis FROM ANALYSIS WHERE Id=%1").arg(resultId())),
                 QVariant(0.92));
        // Annuler drops the typed text.
        m_results->cancel();
        m_remark->setFocus();
        QCOMPARE(m_value->text(), QStringLiteral("0,92 g/l"));
        QCOMPARE(m_date->text(), QStringLiteral("01/06/2023"));
    }

    void typedNumberSurvivesAnotherFieldsChange() {
        clearLine(m_value);
        QTest::keyClicks(m_value, QStringLiteral("2,5"));
        // Columns set while the field still has the focus (as the pickers and the other fields do).
        m_results->setValue(QStringLiteral("Remark1"), QStringLiteral("x"));
        m_results->setValue(QStringLiteral("Value_Max"), 3.0);
        QCOMPARE(m_value->text(), QStringLiteral("2,5"));
        QCOMPARE(m_remark->toPlainText(), QStringLiteral("x"));
        QString error;
        QVERIFY2(PostBoundRow(m_window.get(), *m_results, &error), qPrintable(error));
        QCOMPARE(m_results->asDouble(QStringLiteral("Value_Analysis")), 2.5);
        QCOMPARE(m_results->asDouble(QStringLiteral("Value_Max")), 3.0);
        // Still in the field: the edit pattern.
        QCOMPARE(m_value->text(), QStringLiteral("2,50"));
    }

    void leavingANumberFieldShowsItsPattern() {
        clearLine(m_minimum);
        QTest::keyClicks(m_minimum, QStringLiteral("0.7"));
        m_remark->setFocus();
        QCOMPARE(m_results->asDouble(QStringLiteral("Value_Min")), 0.7);
        QCOMPARE(m_minimum->text(), QStringLiteral("0,70 g/l"));
        // A text that does not convert stays as typed when the field is left.
        clearLine(m_minimum);
        QTest::keyClicks(m_minimum, QStringLiteral("abc"));
        m_remark->setFocus();
        QCOMPARE(m_minimum->text(), QStringLiteral("abc"));
        QCOMPARE(m_results->asDouble(QStringLiteral("Value_Min")), 0.7);
    }

    void patternsChangeTheShownText() {
        FieldBinding* binding = FieldBinding::Of(m_value);
        QVERIFY(binding);
        binding->setPatterns(QStringLiteral("#######0."), QStringLiteral("#######0. mmol/l"));
        QCOMPARE(m_value->text(), QStringLiteral("1 mmol/l"));
    }
};

QTEST_MAIN(TestFieldBinding)
#include "TestFieldBinding.moc"
