#include "core/app/Folders.h"
#include "gui/app/TMdacNotice.h"
#include "gui/app/TSplash.h"
#include "gui/app/TWait.h"
#include "gui/controls/FormConventions.h"
#include "gui/controls/Gauge.h"
#include "support/Screenshots.h"

#include <QBackingStore>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

// Columns of the gauge's middle row painted in its fill colour.
int PaintedFillColumns(Gauge* gauge, const QColor& fill) {
    const QImage image = gauge->grab().toImage();
    const int row = image.height() / 2;
    int columns = 0;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, row) == fill) ++columns;
    return columns;
}

} // namespace

class TestStartupWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_programDir = ProgramDir(); }
    void cleanup() { SetProgramDir(m_programDir); }

    void waitHasItsDesignedShape() {
        TWait wait;
        QCOMPARE(wait.size(), QSize(277, 65));
        QVERIFY(wait.windowFlags() & Qt::FramelessWindowHint);
        auto* gauge = FindComponentByName<Gauge>(&wait, QStringLiteral("Gauge"));
        QVERIFY(gauge);
        QCOMPARE(gauge->size(), QSize(251, 5));
        auto* task = FindComponentByName<QLabel>(&wait, QStringLiteral("Lab_Task"));
        auto* message = FindComponentByName<QLabel>(&wait, QStringLiteral("Lab_Msg"));
        QVERIFY(task && message);
        QVERIFY(QFontInfo(task->font()).pixelSize() > QFontInfo(message->font()).pixelSize());
        QVERIFY(gauge->geometry().bottom() < wait.height());
        QVERIFY(!task->geometry().intersects(message->geometry()));
    }

    void waitGaugeWidth_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("filled");
        QTest::newRow("nothing yet") << 0 << 3 << 0;
        QTest::newRow("1 of 3, truncated") << 1 << 3 << 83;
        QTest::newRow("2 of 3, truncated") << 2 << 3 << 167;
        QTest::newRow("3 of 3") << 3 << 3 << 251;
        QTest::newRow("past the total") << 5 << 3 << 251;
        QTest::newRow("total 0") << 2 << 0 << 0;
        QTest::newRow("negative count") << -1 << 3 << 0;
    }
    void waitGaugeWidth() {
        QFETCH(int, count);
        QFETCH(int, total);
        QFETCH(int, filled);
        TWait wait;
        const QColor fill(Qt::red);
        auto* gauge = FindComponentByName<Gauge>(&wait, QStringLiteral("Gauge"));
        gauge->setColors(fill, Qt::white);
        wait.setProgress(count, total);
        QCOMPARE(wait.gaugeFilledWidth(), filled);
        QCOMPARE(PaintedFillColumns(gauge, fill), filled);
    }

    void waitKeepsItsStateWhileHidden() {
        TWait wait;
        ProgressReporter& progress = wait;
        progress.setVisible(false);
        progress.setTask(QStringLiteral("TRANSFERT DES DONNEES"));
        progress.setMessage(QStringLiteral("Quelques instants, SVP ..."));
        progress.setProgress(2, 3);
        QVERIFY(!wait.isVisible());

        progress.setVisible(true);
        QVERIFY(wait.isVisible());
        QCOMPARE(FindComponentByName<QLabel>(&wait, QStringLiteral("Lab_Task"))->text(),
                 QStringLiteral("TRANSFERT DES DONNEES"));
        QCOMPARE(FindComponentByName<QLabel>(&wait, QStringLiteral("Lab_Msg"))->text(),
                 QStringLiteral("Quelques instants, SVP ..."));
        QCOMPARE(wait.count(), 2);
        QCOMPARE(wait.total(), 3);
        QCOMPARE(wait.gaugeFilledWidth(), 167);
        SaveScreenshot(&wait, QStringLiteral("TWait"));

        progress.setVisible(false);
        progress.setProgress(3, 3);
        progress.setMessage(QStringLiteral("Copie des fichiers"));
        progress.setVisible(true);
        QCOMPARE(wait.message(), QStringLiteral("Copie des fichiers"));
        QCOMPARE(wait.gaugeFilledWidth(), 251);
        QCOMPARE(wait.task(), QStringLiteral("TRANSFERT DES DONNEES"));
    }

    void waitPaintsChangesAtOnce() {
        TWait wait;
        const QColor fill(Qt::red);
        auto* gauge = FindComponentByName<Gauge>(&wait, QStringLiteral("Gauge"));
        gauge->setColors(fill, Qt::white);
        wait.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wait));
        wait.setTask(QStringLiteral("Sauvegarde de la base"));
        wait.setMessage(QStringLiteral("Quelques instants, SVP ..."));
        wait.setProgress(1, 3);
        // No event loop runs between the change and the look at the window's backing store.
        QPaintDevice* device = wait.backingStore()->paintDevice();
        if (device->devType() != QInternal::Image) QSKIP("the window system keeps no image of the window");
        const QImage shown = *static_cast<QImage*>(device);
        const QPoint gaugeTopLeft = gauge->mapTo(&wait, QPoint(0, 0)) * wait.devicePixelRatio();
        const int row = gaugeTopLeft.y() + 2;
        QCOMPARE(shown.pixelColor(gaugeTopLeft.x() + 82, row), fill);
        QVERIFY(shown.pixelColor(gaugeTopLeft.x() + 84, row) != fill);
    }

    void waitIsCentred_data() {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("main window") << QRect(10, 20, 800, 600) << QPoint(271, 287);
        QTest::newRow("narrow window") << QRect(-50, 5, 100, 40) << QPoint(-138, -7);
    }
    void waitIsCentred() {
        QFETCH(QRect, main);
        QFETCH(QPoint, place);
        QWidget window;
        window.setGeometry(main);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The main window's outer rectangle, its frame included, is the one given.
        const QSize frame = window.frameGeometry().size() - window.size();
        window.resize(main.size() - frame);
        window.move(main.topLeft());
        QCOMPARE(window.frameGeometry(), main);
        TWait wait;
        wait.centreOver(&window);
        QCOMPARE(wait.pos(), place);
    }

    void waitIsCentredInWorkArea() {
        TWait wait;
        wait.centreInWorkArea();
        const QRect area = wait.screen()->availableGeometry();
        QCOMPARE(wait.x(), area.left() + (area.width() - 277) / 2);
        QCOMPARE(wait.y(), area.top() + (area.height() - 65) / 2);
    }

    void splashLabels() {
        TSplash splash;
        QCOMPARE(splash.objectName(), QStringLiteral("Splash"));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(FindComponentByName<QLabel>(&splash, QStringLiteral("Lab_Version"))->text(),
                 QStringLiteral("Version 1.13"));
        QCOMPARE(FindComponentByName<QLabel>(&splash, QStringLiteral("Lab_Maker"))->text(),
                 QStringLiteral("Dunmarrow Software Development ") + QString::number(QDate::currentDate().year()));
        auto* bar = FindComponentByName<QProgressBar>(&splash, QStringLiteral("ProgressBar"));
        QVERIFY(bar);
        QCOMPARE(bar->maximum(), 8);
        QVERIFY(bar->height() <= 8);

        splash.showAndPaint();
        const QRect screen = splash.screen()->geometry();
        QCOMPARE(splash.pos(), QPoint(screen.left() + (screen.width() - splash.width()) / 2,
                                      screen.top() + (screen.height() - splash.height()) / 2));
        splash.setProgress(1);
        splash.setInfo(QStringLiteral("Chargement du logiciel ..."));
        splash.setProgress(4);
        QCOMPARE(FindComponentByName<QLabel>(&splash, QStringLiteral("Lab_Info"))->text(),
                 QStringLiteral("Chargement du logiciel ..."));
        QCOMPARE(bar->value(), 4);
        splash.setProgress(9);
        QCOMPARE(splash.progress(), 8);
        splash.setProgress(4);
        SaveScreenshot(&splash, QStringLiteral("TSplash"));
    }

    void splashPictureIsDrawn() {
        TSplash splash;
        auto* picture = FindComponentByName<QWidget>(&splash, QStringLiteral("Image_Title"));
        QVERIFY(picture);
        const QImage image = picture->grab().toImage();
        // A gradient, and the name written in white over it.
        QVERIFY(image.pixelColor(2, 2) != image.pixelColor(image.width() - 3, image.height() - 6));
        int white = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = image.width() / 3; x < image.width(); ++x)
                if (image.pixelColor(x, y) == QColor(Qt::white)) ++white;
        QVERIFY2(white > 200, qPrintable(QString::number(white)));
    }

    void mdacNoticeShowsThePage() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QDir(folder.path()).mkpath(QStringLiteral("html"));
        QFile page(folder.path() + QStringLiteral("/html/mdac.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(QStringLiteral("<html><head><meta charset=\"utf-8\"></head>"
                                  "<body><p>Pilote de données absent : réinstallez-le.</p></body></html>")
                       .toUtf8());
        page.close();
        SetProgramDir(folder.path());

        TMdacNotice notice;
        QCOMPARE(notice.windowTitle(), QStringLiteral("Information"));
        QVERIFY(notice.isModal());
        QVERIFY(notice.minimumSize().width() >= 400 && notice.minimumSize().height() >= 200);
        QVERIFY(notice.browser()->toPlainText().contains(QStringLiteral("Pilote de données absent : réinstallez-le.")));
        auto* close = FindComponentByName<QPushButton>(&notice, QStringLiteral("Btn_Close"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral(" &Fermer"));

        notice.show();
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        QVERIFY(FindComponentByName<QWidget>(&notice, QStringLiteral("TitleBar"))->isHidden());
        notice.resize(100, 50);
        QVERIFY(notice.width() >= 400 && notice.height() >= 200);
        close->click();
        QCOMPARE(notice.result(), int(QDialog::Accepted));
        QVERIFY(!notice.isVisible());
    }

    void shippedMdacPageNamesTheDriverPackage() {
        SetProgramDir(QStringLiteral(QUORVEL_STAGED_PROGRAM_DIR));
        TMdacNotice notice;
        const QString text = notice.browser()->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("libqt6sql6-sqlite")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("sudo apt install libqt6sql6-sqlite")));
        QVERIFY(text.contains(QStringLiteral("données")));
        notice.show();
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        SaveScreenshot(&notice, QStringLiteral("TMdacNotice"));
    }

private:
    QString m_programDir;
};

QTEST_MAIN(TestStartupWindows)
#include "TestStartupWindows.moc"
