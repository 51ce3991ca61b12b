// The analysis list's rows: the tagged entry and its pieces read back, the bound texts (a point whatever the locale,
// an empty bound as 0), the thumbnails, and a load from the fixture database (order, highlighted row, a catalogue
// entry that no longer exists, a person without analyses, a database error).
#include "core/analyses/AnalysisList.h"
#include "core/analyses/AnalysisPictures.h"
#include "core/db/Connection.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/WindowsBitmap.h"

#include "support/FixtureDatabase.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

const QString kConnection = QStringLiteral("analysis-list-test");

void Exec(const QString& statement, const QVariantList& values = {}) {
    QSqlQuery query(QSqlDatabase::database(kConnection, false));
    QVERIFY(query.prepare(statement));
    for (const QVariant& value : values)
        query.addBindValue(value);
    QVERIFY2(query.exec(), qPrintable(statement));
}

QStringList Titles(const AnalysisList& list) {
    QStringList titles;
    for (const QString& entry : list.entries())
        titles << AnalysisListPiece(entry, 1);
    return titles;
}

} // namespace

class TestAnalysisList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QString error;
        QVERIFY2(m_fixture.build(&error), qPrintable(error));
    }
    void init() {
        QString error;
        QVERIFY2(m_fixture.copyTo(m_temporary.path() + QStringLiteral("/list.db"), &error), qPrintable(error));
        QVERIFY2(OpenDatabaseFile(kConnection, m_temporary.path() + QStringLiteral("/list.db"), &error),
                 qPrintable(error));
    }
    void cleanup() { CloseDatabase(kConnection); }

    void entries_data() {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("small id padded to 6") << qint64(7) << "Glycémie"
                                              << "000007%&a%";
        QTest::newRow("below 100000") << qint64(99999) << "Ferritine"
                                      << "099999%&a%";
        QTest::newRow("six digits") << qint64(123456) << "TSH"
                                    << "123456%&a%";
        QTest::newRow("more than six digits") << qint64(70000123) << "Urée"
                                              << "70000123%&a%";
        QTest::newRow("empty title") << qint64(12) << ""
                                     << "000012%&a%";
        QTest::newRow("title holding a marker") << qint64(3) << "A%&b%B"
                                                << "000003%&a%";
    }
    void entries() {
        QFETCH(qint64, id);
        QFETCH(QString, title);
        QFETCH(QString, prefix);
        const QString entry = AnalysisListEntry(id, title, QStringLiteral("1.10 g/l"), QStringLiteral("0.70 g/l"),
                                                QStringLiteral("g/l"), 2);
        QVERIFY(entry.startsWith(prefix));
        QVERIFY(entry.endsWith(QStringLiteral("%&e%2%&f%")));
        QCOMPARE(AnalysisListEntryId(entry), id);
        // A marker inside the title may not cut the entry: the pieces after it stay whole.
        QCOMPARE(AnalysisListPiece(entry, 1).remove(QChar(0x200B)), title);
        QCOMPARE(AnalysisListPiece(entry, 2), QStringLiteral("1.10 g/l"));
        QCOMPARE(AnalysisListPiece(entry, 3), QStringLiteral("0.70 g/l"));
        QCOMPARE(AnalysisListPiece(entry, 4), QStringLiteral("g/l"));
    }

    void notAnId() { QCOMPARE(AnalysisListEntryId(QStringLiteral("abc%&a%x%&b%")), qint64(-1)); }

    // The list writes a point under a French locale, unlike the results grid.
    void boundTexts_data() {
        QTest::addColumn<QVariant>("bound");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no decimals, rounded") << QVariant(12.6) << 0 << "UI/l"
                                              << "13 UI/l";
        QTest::newRow("two decimals, point") << QVariant(3.5) << 2 << "g/l"
                                             << "3.50 g/l";
        QTest::newRow("whole number with decimals") << QVariant(6) << 2 << "g/l"
                                                    << "6.00 g/l";
        QTest::newRow("empty bound as 0") << QVariant() << 2 << "g/l"
                                          << "0.00 g/l";
        QTest::newRow("empty bound, no decimals") << QVariant() << 0 << "g/l"
                                                  << "0 g/l";
        QTest::newRow("text that is no number as 0") << QVariant(QStringLiteral("abc")) << 1 << "%"
                                                     << "0.0 %";
        QTest::newRow("text with a comma") << QVariant(QStringLiteral("4,25")) << 1 << "%"
                                           << "4.3 %";
        QTest::newRow("negative") << QVariant(-1.25) << 1 << "°C"
                                  << "-1.3 °C";
        QTest::newRow("wider than the field") << QVariant(123456789.0) << 2 << ""
                                              << "123456789.00 ";
        QTest::newRow("empty unit keeps its blank") << QVariant(1.0) << 0 << ""
                                                    << "1 ";
    }
    void boundTexts() {
        QFETCH(QVariant, bound);
        QFETCH(int, decimals);
        QFETCH(QString, unit);
        QFETCH(QString, expected);
        QCOMPARE(AnalysisBoundText(bound, decimals, unit), expected);
    }

    // A catalogue thumbnail is reduced to 18 x 18; an empty or unreadable one gives the ring.
    void thumbnails() {
        QImage ring;
        ShrinkPictureToBox(&ring, DefaultAnalysisPicture(), 18, 18);
        QCOMPARE(AnalysisListThumbnail({}), ring);
        QCOMPARE(AnalysisListThumbnail(QByteArray("BM not a bitmap")), ring);
        QImage wide(60, 30, QImage::Format_RGB32);
        wide.fill(Qt::red);
        const QImage thumbnail = AnalysisListThumbnail(WriteBitmapData(wide));
        QCOMPARE(thumbnail.size(), QSize(18, 9));
        QCOMPARE(thumbnail.pixelColor(9, 4), QColor(Qt::red));
        QCOMPARE(DefaultAnalysisPicture().size(), QSize(100, 100));
    }

    // The two arrows are 12 x 12 with magenta where they are not drawn; the first points up, the second down.
    void arrows() {
        const QList<QImage>& icons = AnalysisBoundIcons();
        QCOMPARE(icons.size(), 2);
        for (const QImage& icon : icons) {
            QCOMPARE(icon.size(), QSize(12, 12));
            QCOMPARE(icon.pixelColor(0, 0), QColor(255, 0, 255));
        }
        const auto width = [](const QImage& icon, int y) {
            int red = 0;
            for (int x = 0; x < icon.width(); ++x)
                red += icon.pixelColor(x, y).green() == 0 && icon.pixelColor(x, y).blue() == 0;
            return red;
        };
        QVERIFY(width(icons[0], 1) < width(icons[0], 5));
        QVERIFY(width(icons[1], 10) < width(icons[1], 6));
    }

    void load_data() {
        QTest::addColumn<qint64>("person");
        QTest::addColumn<qint64>("selected");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("highlighted");
        QTest::newRow("sorted by catalogue title")
            << Fixture::kDupont << Fixture::kDupontGlycemie << QStringList{"Cholestérol", "Glycémie"} << 1;
        QTest::newRow("no selection: the first row")
            << Fixture::kDupont << qint64(-1) << QStringList{"Cholestérol", "Glycémie"} << 0;
        QTest::newRow("selection of another person: the first row")
            << Fixture::kDupont << Fixture::kMartinGlycemie << QStringList{"Cholestérol", "Glycémie"} << 0;
        // The attachment in progress has no catalogue entry: an empty title, first in title order.
        QTest::newRow("entry without catalogue row")
            << Fixture::kMartin << Fixture::kMartinGlycemie << QStringList{"", "Glycémie"} << 1;
        QTest::newRow("person without analyses") << Fixture::kEbert << qint64(-1) << QStringList{} << 0;
        QTest::newRow("no person") << qint64(-1) << qint64(-1) << QStringList{} << 0;
    }
    void load() {
        QFETCH(qint64, person);
        QFETCH(qint64, selected);
        QFETCH(QStringList, titles);
        QFETCH(int, highlighted);
        AnalysisList list;
        list.append(QStringLiteral("left over"), QImage());
        QString error;
        QCOMPARE(list.load(kConnection, person, selected, &error), highlighted);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(Titles(list), titles);
        QCOMPARE(list.thumbnails().size(), titles.size());
        if (!titles.isEmpty()) QCOMPARE(list.indexOf(list.idAt(highlighted)), highlighted);
        QCOMPARE(list.idAt(titles.size()), qint64(-1));
    }

    // Bounds and thumbnails as the rows carry them.
    void loadedPieces() {
        QImage photo(40, 40, QImage::Format_RGB32);
        photo.fill(QColor(20, 120, 200));
        Exec(QStringLiteral("UPDATE LST_ANALYSIS SET ImgMini1=? WHERE Id=?"),
             {WriteBitmapData(photo), Fixture::kGlycemie});
        Exec(QStringLiteral("UPDATE L_ANALYSIS SET Value_Min=NULL, \"Decimal\"=0, Value_Max=12.6 WHERE Id=?"),
             {Fixture::kDupontCholesterol});
        AnalysisList list;
        QCOMPARE(list.load(kConnection, Fixture::kDupont, -1), 0);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.idAt(0), Fixture::kDupontCholesterol);
        QCOMPARE(AnalysisListPiece(list.entries()[0], 2), QStringLiteral("13 g/l"));
        QCOMPARE(AnalysisListPiece(list.entries()[0], 3), QStringLiteral("0 g/l"));
        QCOMPARE(AnalysisListPiece(list.entries()[1], 2), QStringLiteral("1.10 g/l"));
        QCOMPARE(AnalysisListPiece(list.entries()[1], 3), QStringLiteral("0.70 g/l"));
        QCOMPARE(list.entries()[1], QStringLiteral("000001%&a%Glycémie%&b%1.10 g/l%&c%0.70 g/l%&d%g/l%&e%2%&f%"));
        QCOMPARE(list.thumbnails()[0], AnalysisListThumbnail({}));
        QCOMPARE(list.thumbnails()[1].size(), QSize(18, 18));
        QCOMPARE(list.thumbnails()[1].pixelColor(9, 9), QColor(20, 120, 200));
    }

    void databaseError() {
        Exec(QStringLiteral("DROP TABLE LST_ANALYSIS"));
        AnalysisList list;
        QString error;
        QCOMPARE(list.load(kConnection, Fixture::kDupont, -1, &error), 0);
        QVERIFY(!error.isEmpty());
        QVERIFY(list.isEmpty());
    }

private:
    FixtureDatabase m_fixture;
    QTemporaryDir m_temporary;
};

QTEST_GUILESS_MAIN(TestAnalysisList)
#include "TestAnalysisList.moc"
