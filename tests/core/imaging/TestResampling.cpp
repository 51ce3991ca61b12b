#include "core/imaging/Bitmaps.h"
#include "core/imaging/Resampling.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

namespace {

// The resampling rule written out plainly, pixel by pixel, to hold the fast implementation to it.
QImage ReferenceResample(const QImage& source, int tw, int th) {
    const int sw = source.width(), sh = source.height();
    QImage target(tw, th, kBitmap24Format);
    auto pixel = [&](int x, int y) { return source.constScanLine(y) + 3 * x; };
    for (int y = 0; y < th; ++y) {
        for (int x = 0; x < tw; ++x) {
            const double fx = std::clamp(double(sw) * x / tw - 0.5, 0.0, double(sw - 1));
            const double fy = std::clamp(double(sh) * y / th - 0.5, 0.0, double(sh - 1));
            const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
            const double dx = fx - ix, dy = fy - iy;
            uchar* out = target.scanLine(y) + 3 * x;
            for (int k = 0; k < 3; ++k) {
                double value;
                if (dx == 0 && dy == 0) {
                    value = pixel(ix, iy)[k];
                } else if (dx == 0) {
                    const double w0 = 1 / dy, w1 = 1 / (1 - dy);
                    value = (w0 * pixel(ix, iy)[k] + w1 * pixel(ix, iy + 1)[k]) / (w0 + w1);
                } else if (dy == 0) {
                    const double w0 = 1 / dx, w1 = 1 / (1 - dx);
                    value = (w0 * pixel(ix, iy)[k] + w1 * pixel(ix + 1, iy)[k]) / (w0 + w1);
                } else {
                    const double w00 = 1 / std::sqrt(dx * dx + dy * dy);
                    const double w10 = 1 / std::sqrt((1 - dx) * (1 - dx) + dy * dy);
                    const double w01 = 1 / std::sqrt(dx * dx + (1 - dy) * (1 - dy));
                    const double w11 = 1 / std::sqrt((1 - dx) * (1 - dx) + (1 - dy) * (1 - dy));
                    value = (w00 * pixel(ix, iy)[k] + w10 * pixel(ix + 1, iy)[k] + w01 * pixel(ix, iy + 1)[k] +
                             w11 * pixel(ix + 1, iy + 1)[k]) /
                            (w00 + w10 + w01 + w11);
                }
                out[k] = uchar(std::trunc(value + 1e-9));
            }
        }
    }
    return target;
}

QImage RandomBitmap(QRandomGenerator& random, int width, int height) {
    QImage bitmap(width, height, kBitmap24Format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            bitmap.scanLine(y)[x] = uchar(random.bounded(256));
    return bitmap;
}

// Only the pixel bytes: the padding at the end of the rows is not part of the picture.
bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 3) != 0) return false;
    return true;
}

QByteArray Pixel(const QImage& image, int x, int y) {
    return QByteArray(reinterpret_cast<const char*>(image.constScanLine(y)) + 3 * x, 3);
}

} // namespace

class TestResampling : public QObject {
    Q_OBJECT

private slots:
    void matchesTheReference_data() {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::newRow("same size") << QSize(37, 23) << QSize(37, 23);
        QTest::newRow("reduce") << QSize(301, 203) << QSize(90, 61);
        QTest::newRow("enlarge") << QSize(13, 9) << QSize(71, 40);
        QTest::newRow("wider, shorter") << QSize(20, 50) << QSize(61, 17);
        QTest::newRow("one pixel to many") << QSize(1, 1) << QSize(5, 4);
        QTest::newRow("one row") << QSize(40, 1) << QSize(17, 3);
        QTest::newRow("to one pixel") << QSize(40, 30) << QSize(1, 1);
        QTest::newRow("large, shared among threads") << QSize(1200, 900) << QSize(1000, 750);
        QTest::newRow("grey source") << QSize(0, 0) << QSize(50, 30);
    }
    void matchesTheReference() {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        QRandomGenerator random(source.width() * 1000 + target.width());
        QImage picture;
        if (source.isEmpty()) { // a grey picture is resampled as 24 bits
            picture = QImage(64, 48, kBitmapGreyFormat);
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    picture.scanLine(y)[x] = uchar(random.bounded(256));
        } else {
            picture = RandomBitmap(random, source.width(), source.height());
        }
        QImage resampled = picture;
        ResampleBitmap(&resampled, target.width(), target.height());
        QCOMPARE(resampled.format(), kBitmap24Format);
        QVERIFY(SamePixels(resampled, ReferenceResample(ToBitmap24(picture), target.width(), target.height())));
    }

    void randomSizes() {
        QRandomGenerator random(4242);
        for (int round = 0; round < 60; ++round) {
            const int sw = random.bounded(1, 120), sh = random.bounded(1, 120);
            const int tw = random.bounded(1, 160), th = random.bounded(1, 160);
            const QImage source = RandomBitmap(random, sw, sh);
            const QImage fast = ResampledBitmap(source, tw, th);
            if (!SamePixels(fast, ReferenceResample(source, tw, th)))
                QFAIL(qPrintable(QStringLiteral("%1x%2 -> %3x%4 differs").arg(sw).arg(sh).arg(tw).arg(th)));
        }
    }

    // Same size is not an identity: (0, 0) is copied, the first row averages with the left neighbour, the first
    // column with the upper one, every other pixel the 2 x 2 block of which it is the lower-right corner.
    void sameSizeRule() {
        QRandomGenerator random(7);
        const QImage source = RandomBitmap(random, 9, 7);
        const QImage result = ResampledBitmap(source, 9, 7);
        auto at = [&](int x, int y, int k) { return int(source.constScanLine(y)[3 * x + k]); };
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 9; ++x) {
                for (int k = 0; k < 3; ++k) {
                    int expected;
                    if (x == 0 && y == 0)
                        expected = at(0, 0, k);
                    else if (y == 0)
                        expected = (at(x - 1, 0, k) + at(x, 0, k)) / 2;
                    else if (x == 0)
                        expected = (at(0, y - 1, k) + at(0, y, k)) / 2;
                    else
                        expected = (at(x - 1, y - 1, k) + at(x, y - 1, k) + at(x - 1, y, k) + at(x, y, k)) / 4;
                    QCOMPARE(int(result.constScanLine(y)[3 * x + k]), expected);
                }
            }
        }
    }

    // Four equal weights of 1/sqrt(0.5) put the average of 0, 0, 0 and 28 at 6.9999999999999991 in double
    // arithmetic; its exact value is 7.
    void truncationTakesTheExactValue() {
        QImage source(2, 2, kBitmap24Format);
        const uchar values[2][2] = {{0, 0}, {0, 28}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                memset(source.scanLine(y) + 3 * x, values[y][x], 3);
        const double w = 1 / std::sqrt(0.5);
        const double plain = (w * 0 + w * 0 + w * 0 + w * 28) / (w + w + w + w);
        QVERIFY2(plain < 7, "the double formula no longer falls below the whole value: pick other values");
        QCOMPARE(Pixel(ResampledBitmap(source, 2, 2), 1, 1), QByteArray(3, char(7)));
    }

    void partialSourceGivesTheSamePixels_data() {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::newRow("thumbnail") << QSize(600, 450) << QSize(90, 67);
        QTest::newRow("odd ratio") << QSize(317, 95) << QSize(41, 12);
        QTest::newRow("enlarged") << QSize(10, 8) << QSize(33, 21);
    }
    void partialSourceGivesTheSamePixels() {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        QRandomGenerator random(99);
        const QImage picture = RandomBitmap(random, source.width(), source.height());
        const QList<int> rows = ResampleSourceLines(source.height(), target.height());
        const QList<int> columns = ResampleSourceLines(source.width(), target.width());
        // A reduction reads at most two lines per target line.
        QVERIFY(rows.size() <= 2 * target.height() && columns.size() <= 2 * target.width());
        QImage present(int(columns.size()), int(rows.size()), kBitmap24Format);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < columns.size(); ++c)
                memcpy(present.scanLine(r) + 3 * c, picture.constScanLine(rows[r]) + 3 * columns[c], 3);
        const QImage partial =
            ResamplePartial(present, rows, columns, source.width(), source.height(), target.width(), target.height());
        QVERIFY(SamePixels(partial, ResampledBitmap(picture, target.width(), target.height())));
        // A line that the resampler reads cannot be left out.
        QImage fewer = present.copy(0, 0, present.width(), present.height() - 1);
        QVERIFY(ResamplePartial(fewer, rows.mid(0, rows.size() - 1), columns, source.width(), source.height(),
                                target.width(), target.height())
                    .isNull());
    }

    void emptySizes() {
        QImage bitmap(4, 4, kBitmap24Format);
        bitmap.fill(Qt::red);
        ResampleBitmap(&bitmap, 0, 5);
        QVERIFY(bitmap.isNull());
        ResampleBitmap(&bitmap, 3, 3); // from nothing
        QVERIFY(bitmap.isNull());
    }
};

QTEST_GUILESS_MAIN(TestResampling)
#include "TestResampling.moc"
