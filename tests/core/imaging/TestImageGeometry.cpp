#include "core/imaging/Bitmaps.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/Resampling.h"

#include "support/PictureFixtures.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(FitRect)

class TestImageGeometry : public QObject {
    Q_OBJECT

private slots:
    void fitImageRect_data() {
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<FitRect>("expected"); // left, top, width, height
        QTest::addColumn<bool>("scaled");
        QTest::newRow("fits, centred") << QSize(90, 90) << QSize(60, 40) << FitRect{15, 25, 60, 40} << false;
        QTest::newRow("fits, odd margins truncated")
            << QSize(90, 90) << QSize(61, 41) << FitRect{14, 24, 61, 41} << false;
        QTest::newRow("exactly the box") << QSize(90, 90) << QSize(90, 90) << FitRect{0, 0, 90, 90} << false;
        QTest::newRow("upright, by height") << QSize(300, 300) << QSize(100, 400) << FitRect{112, 0, 75, 300} << true;
        QTest::newRow("lying, by width") << QSize(90, 90) << QSize(300, 150) << FitRect{0, 22, 90, 45} << true;
        QTest::newRow("stored limit") << QSize(5000, 5000) << QSize(6000, 3000) << FitRect{0, 1250, 5000, 2500} << true;
        // 90 / 175 * 105 is 54 exactly, 53.999999999999993 in double arithmetic.
        QTest::newRow("exact value, not the double one")
            << QSize(90, 90) << QSize(175, 105) << FitRect{0, 18, 90, 54} << true;
        // Upright in a wide box: the width it gets by height exceeds the box, so by width.
        QTest::newRow("upright, by width") << QSize(50, 300) << QSize(100, 200) << FitRect{0, 100, 50, 100} << true;
        QTest::newRow("lying, by height") << QSize(300, 50) << QSize(200, 100) << FitRect{100, 0, 100, 50} << true;
        QTest::newRow("only taller than the box")
            << QSize(200, 100) << QSize(50, 150) << FitRect{83, 0, 33, 100} << true;
        // A square image larger than the box both ways fills it, stretched when the box is not square.
        QTest::newRow("square, both ways") << QSize(90, 60) << QSize(100, 100) << FitRect{0, 0, 90, 60} << true;
        // Larger in one direction only: placed by the side that overflows.
        QTest::newRow("square, wider than the box")
            << QSize(90, 200) << QSize(100, 100) << FitRect{0, 55, 90, 90} << true;
        QTest::newRow("square, taller than the box")
            << QSize(200, 90) << QSize(100, 100) << FitRect{55, 0, 90, 90} << true;
        QTest::newRow("empty image") << QSize(90, 90) << QSize(0, 0) << FitRect{45, 45, 0, 0} << false;
    }
    void fitImageRect() {
        QFETCH(QSize, box);
        QFETCH(QSize, image);
        QFETCH(FitRect, expected);
        QFETCH(bool, scaled);
        bool wasScaled = !scaled;
        const FitRect fit = FitImageRect(box.width(), box.height(), image.width(), image.height(), &wasScaled);
        QCOMPARE(QList<int>({fit.left, fit.top, fit.width, fit.height}),
                 QList<int>({expected.left, expected.top, expected.width, expected.height}));
        QCOMPARE(wasScaled, scaled);
    }

    void shiftColor_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("white + 10") << QColor(255, 255, 255) << 10 << QColor(254, 254, 254);
        QTest::newRow("black - 10") << QColor(0, 0, 0) << -10 << QColor(1, 1, 1);
        QTest::newRow("reaching 255 exactly") << QColor(250, 100, 0) << 5 << QColor(255, 105, 5);
        QTest::newRow("reaching 0 exactly") << QColor(120, 40, 10) << -10 << QColor(110, 30, 0);
        QTest::newRow("each channel alone") << QColor(250, 128, 3) << 10 << QColor(254, 138, 13);
        QTest::newRow("zero delta") << QColor(7, 8, 9) << 0 << QColor(7, 8, 9);
        QTest::newRow("shadow line 1") << QColor(240, 240, 240) << -120 << QColor(120, 120, 120);
    }
    void shiftColor() {
        QFETCH(QColor, colour);
        QFETCH(int, delta);
        QFETCH(QColor, expected);
        QCOMPARE(ShiftColor(colour, delta), expected);
    }

    // A 3 x 2 picture turned clockwise is 2 x 3 with the old bottom-left pixel at the top left; counter-clockwise,
    // the old top-right one.
    void rotateBitmap90() {
        QRandomGenerator random(1);
        const QImage picture = RandomBitmap24(random, 3, 2);
        QImage clockwise = picture;
        RotateBitmap90(&clockwise, 90);
        QCOMPARE(clockwise.size(), QSize(2, 3));
        QCOMPARE(PixelBytes(clockwise, 0, 0), PixelBytes(picture, 0, 1));
        QCOMPARE(PixelBytes(clockwise, 1, 0), PixelBytes(picture, 0, 0));
        QCOMPARE(PixelBytes(clockwise, 0, 2), PixelBytes(picture, 2, 1));
        QImage counter = picture;
        RotateBitmap90(&counter, 270);
        QCOMPARE(counter.size(), QSize(2, 3));
        QCOMPARE(PixelBytes(counter, 0, 0), PixelBytes(picture, 2, 0));
        QCOMPARE(PixelBytes(counter, 1, 2), PixelBytes(picture, 0, 1));
        // Any angle but 90 turns counter-clockwise; four quarter turns give the picture back.
        QImage other = picture;
        RotateBitmap90(&other, 180);
        QVERIFY(SamePixels(other, counter));
        for (int i = 0; i < 3; ++i)
            RotateBitmap90(&clockwise, 90);
        QVERIFY(SamePixels(clockwise, picture));
    }

    // A scanner's 1-bit or grey page is brought to 24 bits before it is turned.
    void rotateOtherDepths() {
        QImage page(3, 2, QImage::Format_Mono);
        page.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        page.fill(0);
        page.setPixel(0, 1, 1);
        RotateBitmap90(&page, 90);
        QCOMPARE(page.format(), kBitmap24Format);
        QCOMPARE(page.size(), QSize(2, 3));
        QCOMPARE(PixelBytes(page, 0, 0), QByteArray(3, char(255)));
        QCOMPARE(PixelBytes(page, 1, 0), QByteArray(3, char(0)));
    }

    // The copy is resampled to the fitted size also when it fits (the same-size pass is no identity).
    void shrinkPictureToBox() {
        QRandomGenerator random(2);
        const QImage picture = RandomBitmap24(random, 60, 40);
        QImage target;
        ShrinkPictureToBox(&target, picture, 90, 90);
        QVERIFY(SamePixels(target, ResampledBitmap(picture, 60, 40)));
        QVERIFY(!SamePixels(target, picture));
        ShrinkPictureToBox(&target, picture, 30, 30);
        QVERIFY(SamePixels(target, ResampledBitmap(picture, 30, 20)));
        QImage grey(10, 20, kBitmapGreyFormat);
        grey.fill(90);
        ShrinkPictureToBox(&target, grey, 5, 5);
        QCOMPARE(target.format(), kBitmap24Format);
        QCOMPARE(target.size(), QSize(2, 5));
        QCOMPARE(PixelBytes(target, 1, 4), QByteArray(3, char(90)));
    }
};

QTEST_GUILESS_MAIN(TestImageGeometry)
#include "TestImageGeometry.moc"
