// The main window's parts apart from its list logic: the placement rules and their use at show and
// close, the person cards as drawn (insets, colours, odd names, damaged thumbnails), the tagged
// entries, the clock, the currency rule, the captions and the menus with the about box.
#include "support/MainFormFixture.h"

#include "core/app/DateRoutines.h"
#include "core/app/Product.h"
#include "core/db/DatabaseSettings.h"
#include "core/imaging/ImageGeometry.h"
#include "core/records/CurrencySymbol.h"
#include "core/records/MainWindowPlacement.h"
#include "core/records/PersonList.h"
#include "core/records/Silhouette.h"
#include "gui/controls/ClockLabelWidget.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/records/PersonListDelegate.h"
#include "gui/records/TAbout.h"
#include "support/ModalDialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QScreen>
#include <QToolButton>

Q_DECLARE_METATYPE(MainWindowPlacement)

namespace {

QAction* Action(const QObject* form, const QString& name) {
    return Child<QAction>(form, name);
}

QImage CardImage(const PersonList& list, int row, bool selected, int width = 240) {
    PersonListDelegate delegate(&list);
    // The card is drawn in the upper half; the lower half, another colour, must stay untouched.
    QImage image(width, 2 * PersonListDelegate::kRowHeight, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    delegate.paintCard(painter, QRect(0, 0, width, PersonListDelegate::kRowHeight), row, selected);
    painter.end();
    return image;
}

bool AllPixels(const QImage& image, const QRect& area, const QColor& colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != colour) return false;
    return true;
}

template <class Test> bool AnyPixel(const QImage& image, const QRect& area, Test test) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixelColor(x, y))) return true;
    return false;
}

// Glyph edges are smoothed: the text colour RGB(30, 64, 121) shows fully only inside strokes.
bool IsTextColour(const QColor& c) {
    return c.red() < 100 && c.green() < 130 && c.blue() - c.red() > 50;
}
// The shadow pass: the grid colour darkened by 30, RGB(225, 225, 225), lighter at glyph edges.
bool IsShadowColour(const QColor& c) {
    return c.red() == c.green() && c.green() == c.blue() && c.red() >= 225 && c.red() < 250;
}

} // namespace

class TestMainFormParts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        MessageBoxService::install();
        MessageBoxService::setTestMode(true);
    }
    void init() {
        MessageBoxService::clearRecordedMessages();
        SetClockForTesting(QDateTime(QDate(2026, 3, 14), QTime(14, 5)));
    }
    void cleanup() { SetClockForTesting(QDateTime()); }

    // ---- Placement ----

    void restoreRules_data() {
        QTest::addColumn<MainWindowPlacement>("saved");
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QSize>("clientSize");
        QTest::addColumn<bool>("maximized");
        const QRect desktop(0, 0, 1920, 1040);
        QTest::newRow("saved and inside") << MainWindowPlacement{100, 50, 1000, 700, "wsNormal"} << desktop
                                          << QPoint(100, 50) << QSize(1000, 700) << false;
        QTest::newRow("touching the right and bottom edges")
            << MainWindowPlacement{920, 340, 1000, 700, "wsNormal"} << desktop << QPoint(920, 340) << QSize(1000, 700)
            << false;
        QTest::newRow("right edge beyond the work area") << MainWindowPlacement{1000, 50, 1000, 700, "wsNormal"}
                                                         << desktop << QPoint(560, 220) << QSize(800, 600) << false;
        QTest::newRow("bottom edge beyond") << MainWindowPlacement{0, 400, 1000, 700, "wsNormal"} << desktop
                                            << QPoint(560, 220) << QSize(800, 600) << false;
        QTest::newRow("never saved") << MainWindowPlacement{} << desktop << QPoint(560, 220) << QSize(800, 600)
                                     << false;
        QTest::newRow("odd work area: centring truncates")
            << MainWindowPlacement{} << QRect(0, 0, 1367, 767) << QPoint(283, 83) << QSize(800, 600) << false;
        QTest::newRow("negative left is centred") << MainWindowPlacement{-8, 30, 1000, 700, "wsNormal"} << desktop
                                                  << QPoint(460, 30) << QSize(1000, 700) << false;
        QTest::newRow("negative top is centred") << MainWindowPlacement{30, -8, 1000, 700, "wsNormal"} << desktop
                                                 << QPoint(30, 170) << QSize(1000, 700) << false;
        QTest::newRow("work area smaller than the default size")
            << MainWindowPlacement{} << QRect(0, 0, 700, 500) << QPoint(0, 0) << QSize(800, 600) << false;
        QTest::newRow("maximized") << MainWindowPlacement{100, 50, 1000, 700, "wsMaximized"} << desktop
                                   << QPoint(100, 50) << QSize(1000, 700) << true;
        QTest::newRow("minimized opens normal") << MainWindowPlacement{100, 50, 1000, 700, "wsMinimized"} << desktop
                                                << QPoint(100, 50) << QSize(1000, 700) << false;
    }

    void restoreRules() {
        QFETCH(MainWindowPlacement, saved);
        QFETCH(QRect, workArea);
        QFETCH(QPoint, position);
        QFETCH(QSize, clientSize);
        QFETCH(bool, maximized);
        const RestoredPlacement placement = RestoreMainWindowPlacement(saved, workArea);
        QCOMPARE(placement.position, position);
        QCOMPARE(placement.clientSize, clientSize);
        QCOMPARE(placement.maximized, maximized);
    }

    void saveRules() {
        const MainWindowPlacement previous{100, 50, 1000, 700, "wsNormal"};
        QCOMPARE(SaveMainWindowPlacement(previous, QPoint(10, 20), QSize(900, 650), WindowShowState::Normal),
                 (MainWindowPlacement{10, 20, 900, 650, "wsNormal"}));
        QCOMPARE(SaveMainWindowPlacement(previous, QPoint(0, 0), QSize(1920, 1040), WindowShowState::Maximized),
                 (MainWindowPlacement{100, 50, 1000, 700, "wsMaximized"}));
        QCOMPARE(SaveMainWindowPlacement(previous, QPoint(10, 20), QSize(900, 650), WindowShowState::Minimized),
                 (MainWindowPlacement{10, 20, 900, 650, "wsMinimized"}));
        QCOMPARE(CentredGroupLeft(181, 170), 5);
        QCOMPARE(CentredGroupLeft(150, 170), -10);
        QCOMPARE(LeftBarUpperHeight(600), 202);
        QCOMPARE(LeftBarUpperHeight(196), 0);
    }

    // The window opens where the settings say, or at the default place, and saves where it is.
    void placementAtShowAndClose_data() {
        QTest::addColumn<MainWindowPlacement>("saved");
        QTest::addColumn<bool>("kept");
        QTest::newRow("inside the work area") << MainWindowPlacement{10, 20, 700, 500, "wsNormal"} << true;
        QTest::newRow("right edge beyond the work area") << MainWindowPlacement{300, 20, 700, 500, "wsNormal"} << false;
        QTest::newRow("never saved") << MainWindowPlacement{} << false;
    }

    void placementAtShowAndClose() {
        QFETCH(MainWindowPlacement, saved);
        QFETCH(bool, kept);
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        // The offscreen screen is 800 x 600: a right edge at 1000 lies beyond it.
        Settings& settings = CurrentSettings();
        settings.windowLeft = saved.left;
        settings.windowTop = saved.top;
        settings.windowWidth = saved.width;
        settings.windowHeight = saved.height;
        settings.windowState = saved.state;
        TMainForm* form = fixture.showForm();
        const QRect workArea = form->screen()->availableGeometry();
        const RestoredPlacement expected = RestoreMainWindowPlacement(saved, workArea);
        QCOMPARE(form->pos(), expected.position);
        QCOMPARE(form->size(), expected.clientSize);
        if (kept) {
            QCOMPARE(form->pos(), QPoint(saved.left, saved.top));
            QCOMPARE(form->size(), QSize(saved.width, saved.height));
        } else {
            QCOMPARE(form->size(), QSize(800, 600));
        }

        form->move(30, 40);
        form->resize(720, 510);
        fixture.closeForm();
        QCOMPARE(settings.windowLeft, form->pos().x());
        QCOMPARE(settings.windowTop, form->pos().y());
        QCOMPARE(settings.windowWidth, 720);
        QCOMPARE(settings.windowHeight, 510);
        QCOMPARE(settings.windowState, QStringLiteral("wsNormal"));
        // Written to the settings file.
        LoadSettings(SettingsFilePath());
        QCOMPARE(CurrentSettings().windowWidth, 720);
        QCOMPARE(CurrentSettings().windowState, QStringLiteral("wsNormal"));
    }

    void maximizedIsRestoredAndKeepsTheNormalPlace() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        Settings& settings = CurrentSettings();
        settings.windowLeft = 10;
        settings.windowTop = 20;
        settings.windowWidth = 700;
        settings.windowHeight = 500;
        settings.windowState = QStringLiteral("wsMaximized");
        TMainForm* form = fixture.showForm();
        QTRY_VERIFY(form->isMaximized());
        fixture.closeForm();
        QCOMPARE(settings.windowState, QStringLiteral("wsMaximized"));
        QCOMPARE(settings.windowLeft, 10);
        QCOMPARE(settings.windowWidth, 700);
    }

    // ---- Creation ----

    void captionsAndFirstLaunch() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        SetClockForTesting(QDateTime(QDate(2031, 6, 1), QTime(9, 0)));
        CurrentSettings().firstLaunch = true;
        TMainForm* form = fixture.showForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Quorvel 1.13"));
        const QString bottom = Child<QLabel>(form, QStringLiteral("Lab_Bottom"))->text();
        QVERIFY2(bottom.contains(QStringLiteral("2031")) && !bottom.contains(QStringLiteral("2008")),
                 qPrintable(bottom));
        QVERIFY(!CurrentSettings().firstLaunch);
        QVERIFY(form->minimumWidth() > 640 && form->minimumHeight() > 480);
    }

    void calendarAndClockFollowTheSetting_data() {
        QTest::addColumn<bool>("showCalendar");
        QTest::newRow("shown") << true;
        QTest::newRow("hidden") << false;
    }

    void calendarAndClockFollowTheSetting() {
        QFETCH(bool, showCalendar);
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        CurrentSettings().showCalendar = showCalendar;
        TMainForm* form = fixture.showForm();
        QCOMPARE(Child<QWidget>(form, QStringLiteral("MiniCalendar"))->isVisible(), showCalendar);
        QCOMPARE(Child<QWidget>(form, QStringLiteral("Lab_Clock"))->isVisible(), showCalendar);
        // Both sit in the upper part of the left bar, above its buttons.
        auto* leftBar = Child<QWidget>(form, QStringLiteral("Panel_Left"));
        const int upper = LeftBarUpperHeight(leftBar->height());
        QVERIFY(Child<QWidget>(form, QStringLiteral("Lab_Clock"))->geometry().bottom() < upper);
        QVERIFY(Child<QWidget>(form, QStringLiteral("Btn_Imprimer"))->geometry().top() >= upper);
        // The buttons under the list are centred.
        auto* bar = Child<QWidget>(form, QStringLiteral("Panel_PersonButtons"));
        auto* centre = Child<QWidget>(form, QStringLiteral("Panel_PersonButtonsCentre"));
        QCOMPARE(centre->x(), CentredGroupLeft(bar->width(), centre->width()));
    }

    void clock() {
        QCOMPARE(ClockLabelWidget::ClockText(QTime(14, 5, 59), false), QStringLiteral("14:05"));
        QCOMPARE(ClockLabelWidget::ClockText(QTime(9, 0), true), QStringLiteral("09 00"));
        ClockLabelWidget clock;
        QCOMPARE(clock.text(), QStringLiteral("14:05"));
        clock.tick();
        QCOMPARE(clock.text(), QStringLiteral("14 05"));
        SetClockForTesting(QDateTime(QDate(2026, 3, 14), QTime(14, 6)));
        clock.tick();
        QCOMPARE(clock.text(), QStringLiteral("14:06"));
        clock.tick();
        QCOMPARE(clock.text(), QStringLiteral("14 06"));
    }

    void currencySymbol_data() {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("program");
        QTest::newRow("FF") << "FF"
                            << "€";
        QTest::newRow("Fr") << "Fr"
                            << "€";
        QTest::newRow("f") << "f"
                           << "€";
        QTest::newRow("euro") << "€"
                              << "€";
        QTest::newRow("dollar") << "$"
                                << "$";
        QTest::newRow("FRF is not one of them") << "FRF"
                                                << "FRF";
        QTest::newRow("CHF") << "CHF"
                             << "CHF";
    }

    void currencySymbol() {
        QFETCH(QString, system);
        QFETCH(QString, program);
        QCOMPARE(ProgramCurrencySymbolFor(system), program);
    }

    // ---- Entries and cards ----

    void entries_data() {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("foreName");
        QTest::addColumn<QString>("entryStart");
        QTest::newRow("Id 7") << qint64(7) << "Dupont"
                              << "Émile"
                              << "0007%&a%Dupont%&b%Émile%&c%";
        QTest::newRow("Id 12345") << qint64(12345) << "Martin"
                                  << "Claire"
                                  << "12345%&a%Martin%&b%Claire%&c%";
        QTest::newRow("Id 123456789") << qint64(123456789) << "A"
                                      << "B"
                                      << "123456789%&a%A%&b%B%&c%";
        QTest::newRow("empty name") << qint64(3) << ""
                                    << ""
                                    << "0003%&a%%&b%%&c%";
        QTest::newRow("a marker inside the name") << qint64(4) << "X%&b%Y"
                                                  << "Zoé"
                                                  << "0004%&a%X%";
    }

    void entries() {
        QFETCH(qint64, id);
        QFETCH(QString, name);
        QFETCH(QString, foreName);
        QFETCH(QString, entryStart);
        const QString entry = PersonListEntry(id, name, foreName, QStringLiteral("1 80"), QStringLiteral("12/05/1980"),
                                              QStringLiteral("08:15"), QStringLiteral("A+"));
        QVERIFY2(entry.startsWith(entryStart), qPrintable(entry));
        QVERIFY(entry.endsWith(QStringLiteral("%&f%A+%&g%")));
        QCOMPARE(PersonListEntryId(entry), id);
        // The fields come back as written; a marker inside a value shows the same but cuts nothing.
        QCOMPARE(PersonListEntryField(entry, 1).remove(QChar(0x200B)), name);
        QCOMPARE(PersonListEntryField(entry, 2), foreName);
        QCOMPARE(PersonListEntryField(entry, 3), QStringLiteral("1 80"));
        QCOMPARE(PersonListEntryField(entry, 6), QStringLiteral("A+"));
    }

    // A row without a thumbnail, or with one that cannot be read, shows the silhouette.
    void icons() {
        QImage silhouette;
        ShrinkPictureToBox(&silhouette, SilhouettePicture(), 45, 45);
        QCOMPARE(PersonListIcon(QByteArray()), silhouette);
        QCOMPARE(PersonListIcon(QByteArray("BM damaged thumbnail")), silhouette);
        QByteArray truncated = MainFormFixture::Thumbnail(Qt::red);
        truncated.truncate(100);
        QCOMPARE(PersonListIcon(truncated), silhouette);
        const QImage photo = PersonListIcon(MainFormFixture::Thumbnail(Qt::red));
        QCOMPARE(photo.size(), QSize(45, 45));
        QVERIFY(photo != silhouette);
        // A wide thumbnail is reduced proportionally, never enlarged.
        QImage wide(90, 30, QImage::Format_RGB32);
        wide.fill(Qt::blue);
        QCOMPARE(PersonListIcon(WriteBitmapData(wide)).size(), QSize(45, 15));
        QImage small(20, 10, QImage::Format_RGB32);
        small.fill(Qt::blue);
        QCOMPARE(PersonListIcon(WriteBitmapData(small)).size(), QSize(20, 10));
    }

    void cardLayout_data() {
        QTest::addColumn<bool>("selected");
        QTest::newRow("selected") << true;
        QTest::newRow("other") << false;
    }

    void cardLayout() {
        QFETCH(bool, selected);
        PersonList list;
        list.append(
            PersonListEntry(1, QStringLiteral("DUPONT"), QStringLiteral("Émile"), QStringLiteral("1 80"), {}, {}, {}),
            PersonListIcon(MainFormFixture::Thumbnail(Qt::red)));
        const int width = 240;
        const QImage card = CardImage(list, 0, selected, width);
        const QColor white(Qt::white), pen(167, 191, 233), brush(231, 236, 248), frame(230, 230, 225);
        QVERIFY(AllPixels(card, QRect(0, 60, width, 60), QColor(255, 0, 255)));
        if (selected) {
            // Inset by 3 and 2, outlined and filled in pale blue; white outside the inset.
            QCOMPARE(card.pixelColor(2, 30), white);
            QCOMPARE(card.pixelColor(3, 30), pen);
            QCOMPARE(card.pixelColor(30, 2), pen);
            QCOMPARE(card.pixelColor(width - 4, 30), pen);
            QCOMPARE(card.pixelColor(width - 3, 30), white);
            QCOMPARE(card.pixelColor(30, 57), pen);
            QCOMPARE(card.pixelColor(30, 58), white);
            QCOMPARE(card.pixelColor(width - 6, 56), brush);
            // The photo box 6 pixels from the left, 5 from the top, 49 wide.
            QCOMPARE(card.pixelColor(6, 5), frame);
            QCOMPARE(card.pixelColor(5, 5), brush);
            QCOMPARE(card.pixelColor(6 + 48 - 1, 5), frame);
        } else {
            QVERIFY(AllPixels(card, QRect(0, 0, 3, 60), white));
            QCOMPARE(card.pixelColor(4, 5), frame);
            QCOMPARE(card.pixelColor(width - 6, 56), white);
        }
        // The shadow of the photo: three lines darkened by 120, 80 and 40 from the inside out.
        const int left = selected ? 6 : 4;
        const QColor background = selected ? brush : white;
        QCOMPARE(card.pixelColor(left + 48 + 1, 30), ShiftColor(background, -80));
        QCOMPARE(card.pixelColor(left + 48 + 2, 30), ShiftColor(background, -40));
        // Each line drawn twice: the light shadow and the text itself, from 62 pixels in.
        QVERIFY(AnyPixel(card, QRect(62, 9, 100, 16), [](const QColor& c) { return c == QColor(30, 64, 121); }));
        QVERIFY(AnyPixel(card, QRect(63, 10, 100, 16), IsShadowColour));
        QVERIFY(!AnyPixel(card, QRect(55, 0, 7, 60), IsTextColour));
        QVERIFY(AnyPixel(card, QRect(62, 23, 100, 16), IsTextColour));
        QVERIFY(AnyPixel(card, QRect(62, 40, 100, 12), IsTextColour));
        // The lines keep to their boxes: nothing between the forename's box and the number's.
        QVERIFY(!AnyPixel(card, QRect(62, 39, 100, 1), IsTextColour));
    }

    // Odd names stay inside their card: nothing drawn past the text area or into the next row.
    void oddNames_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("very long") << QString(2000, QLatin1Char('W'));
        QTest::newRow("line breaks and tabs") << QStringLiteral("DUPONT\nJean\r\n\tPierre");
        QTest::newRow("marker") << QStringLiteral("A%&b%B%&c%C");
        QTest::newRow("right to left") << QStringLiteral("محمد عبد الله بن أحمد الطويل الاسم");
        QTest::newRow("emoji and combining marks") << QStringLiteral(
            "Zoe\u0301 🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂🙂");
        QTest::newRow("control characters") << QStringLiteral("A\u0000B\u0007C\u202EDCBA");
    }

    void oddNames() {
        QFETCH(QString, name);
        PersonList list;
        list.append(PersonListEntry(9, name, name, name, {}, {}, {}), PersonListIcon({}));
        for (const bool selected : {false, true}) {
            const int width = 240;
            const QImage card = CardImage(list, 0, selected, width);
            QVERIFY(AllPixels(card, QRect(0, 60, width, 60), QColor(255, 0, 255)));
            // The text ends 4 pixels short of the right edge (its shadow one pixel further).
            QVERIFY(AllPixels(card, QRect(width - 3, 0, 3, 60), QColor(Qt::white)));
            // Nothing under the third line.
            if (!selected) QVERIFY(AllPixels(card, QRect(56, 54, width - 56, 6), QColor(Qt::white)));
        }
        for (int field = 1; field <= 3; ++field)
            QCOMPARE(PersonListEntryField(list.entries()[0], field).remove(QChar(0x200B)), name);
    }

    // ---- Menus ----

    void menus() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        QVERIFY(LoadDatabaseSettings(fixture.dataDir(), QStringLiteral("Data/"), Product::kDataSourceName,
                                     Product::kDatabaseFileName, Product::kDatabaseFolder));
        TMainForm* form = fixture.showForm();
        for (const QString& name :
             {QStringLiteral("Menu_Printer"), QStringLiteral("Menu_Properties"), QStringLiteral("Menu_Quit"),
              QStringLiteral("Menu_Help"), QStringLiteral("Menu_WebSite"), QStringLiteral("Menu_About")})
            QVERIFY2(Action(form, name) && Action(form, name)->isEnabled(), qPrintable(name));
        QCOMPARE(Action(form, QStringLiteral("Menu_Printer"))->text(), QStringLiteral("&Imprimante"));
        QCOMPARE(Action(form, QStringLiteral("Menu_Properties"))->text(), QStringLiteral("&Propriétés"));
        QCOMPARE(Action(form, QStringLiteral("Menu_About"))->text(), QStringLiteral("&A propos"));
        // The database entries (run in TestMainFormDatabase).
        for (const QString& name : {QStringLiteral("Menu_Backup"), QStringLiteral("Menu_Restore"),
                                    QStringLiteral("Menu_History"), QStringLiteral("Menu_Compact")})
            QVERIFY2(Action(form, name) && Action(form, name)->isEnabled(), qPrintable(name));
        QCOMPARE(Child<QToolButton>(form, QStringLiteral("Btn_File"))->text(), QStringLiteral("&Fichier"));
        QCOMPARE(Child<QToolButton>(form, QStringLiteral("M10"))->text(), QStringLiteral("&Aide"));
        QCOMPARE(Child<QToolButton>(form, QStringLiteral("Btn_Toolbar_Html"))->text(), QStringLiteral("  &Html  "));

        // No help file in the program folder.
        Action(form, QStringLiteral("Menu_Help"))->trigger();
        const auto messages = MessageBoxService::recordedMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, QStringLiteral("Le fichier d'aide est introuvable !"));

        QStringList aboutTexts;
        WhenModalOpens<TAbout>([&](TAbout* about) {
            for (const QLabel* label : about->findChildren<QLabel*>())
                aboutTexts << label->text();
            about->accept();
        });
        Action(form, QStringLiteral("Menu_About"))->trigger();
        QVERIFY2(aboutTexts.contains(QStringLiteral("Version 1.13")), qPrintable(aboutTexts.join('|')));
        QVERIFY2(aboutTexts.contains(QStringLiteral("DSN: KESTOVRAN")), qPrintable(aboutTexts.join('|')));

        bool printerDialog = false;
        WhenModalOpens<QPrintDialog>([&](QPrintDialog* dialog) {
            printerDialog = dialog->printer() == &form->printer();
            dialog->reject();
        });
        Action(form, QStringLiteral("Menu_Printer"))->trigger();
        QVERIFY(printerDialog);

        Action(form, QStringLiteral("Menu_Quit"))->trigger();
        QVERIFY(!form->isVisible());
    }

    // The settings dialog: on Ok the file is written, and the commands follow the new mail settings.
    void properties() {
        MainFormFixture fixture;
        QVERIFY(fixture.ready());
        MainFormFixture::AddPerson(1, QStringLiteral("Arnaud"), {});
        MainFormFixture::AddFileDocument(7, 1, QStringLiteral("a.pdf"));
        TMainForm* form = fixture.showForm();
        Child<QTabBar>(form, QStringLiteral("Tab_Main"))->setCurrentIndex(TMainForm::DocumentsPage);
        QVERIFY(!Child<QWidget>(form, QStringLiteral("Btn_Document_File_Email"))->isEnabled());
        WhenModalOpens<QDialog>([](QDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("Ed_SmtpName"))->setText(QStringLiteral("Jean"));
            dialog->findChild<QLineEdit*>(QStringLiteral("Ed_SmtpEmail"))->setText(QStringLiteral("jean@example.org"));
            dialog->findChild<QLineEdit*>(QStringLiteral("Ed_SmtpHost"))->setText(QStringLiteral("smtp.example.org"));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Btn_Ok")), Qt::LeftButton);
        });
        Action(form, QStringLiteral("Menu_Properties"))->trigger();
        QVERIFY(Child<QWidget>(form, QStringLiteral("Btn_Document_File_Email"))->isEnabled());
        QVERIFY(QFileInfo::exists(SettingsFilePath()));
        LoadSettings(SettingsFilePath());
        QCOMPARE(CurrentSettings().smtpHost, QStringLiteral("smtp.example.org"));
    }
};

QTEST_MAIN(TestMainFormParts)
#include "TestMainFormParts.moc"
