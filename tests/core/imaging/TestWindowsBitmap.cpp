#include "core/imaging/Bitmaps.h"
#include "core/imaging/WindowsBitmap.h"

#include "support/PictureFixtures.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <cmath>

namespace {

void Put16(QByteArray& data, int offset, quint32 value) {
    data[offset] = char(value & 0xFF);
    data[offset + 1] = char((value >> 8) & 0xFF);
}

void Put32(QByteArray& data, int offset, quint32 value) {
    Put16(data, offset, value & 0xFFFF);
    Put16(data, offset + 2, value >> 16);
}

// How a test file is laid out.
struct Layout {
    int bits = 24;
    int headerSize = 40; // 12 (core), 40, 56, 108, 124
    bool topDown = false;
    quint32 compression = 0;
    quint32 masks[3] = {0, 0, 0}; // red, green, blue, for bit fields
    int paletteSize = 0;          // entries written; 0 for none
};

using Palette = QList<QRgb>;

// A bitmap file written the way the layout says, from palette indices (paletted depths) or from 32-bit pixel
// values already packed for the depth (16 and 32 bits) or from colours (24 bits).
QByteArray BuildFile(const Layout& layout, int width, int height, const Palette& palette,
                     const QList<QList<quint32>>& values, const QByteArray& compressed = {}) {
    const bool core = layout.headerSize == 12;
    const int entrySize = core ? 3 : 4;
    const bool masksAfterHeader = layout.headerSize == 40 && layout.compression == 3;
    const int headerEnd = 14 + layout.headerSize + (masksAfterHeader ? 12 : 0);
    const int offset = headerEnd + layout.paletteSize * entrySize;
    const int stride = (width * layout.bits + 31) / 32 * 4;
    QByteArray pixels = compressed;
    if (compressed.isEmpty()) {
        pixels = QByteArray(stride * height, '\0');
        for (int row = 0; row < height; ++row) {
            const int y = layout.topDown ? row : height - 1 - row;
            char* line = pixels.data() + row * stride;
            for (int x = 0; x < width; ++x) {
                const quint32 v = values[y][x];
                switch (layout.bits) {
                case 1:
                    line[x / 8] = char(uchar(line[x / 8]) | (v << (7 - x % 8)));
                    break;
                case 4:
                    line[x / 2] = char(uchar(line[x / 2]) | (v << (x % 2 ? 0 : 4)));
                    break;
                case 8:
                    line[x] = char(v);
                    break;
                case 16:
                    line[2 * x] = char(v & 0xFF);
                    line[2 * x + 1] = char(v >> 8);
                    break;
                case 24:
                case 32:
                    for (int k = 0; k < layout.bits / 8; ++k)
                        line[layout.bits / 8 * x + k] = char((v >> (8 * k)) & 0xFF);
                    break;
                }
            }
        }
    }
    QByteArray data(offset, '\0');
    data[0] = 'B';
    data[1] = 'M';
    Put32(data, 10, quint32(offset));
    Put32(data, 14, quint32(layout.headerSize));
    if (core) {
        Put16(data, 18, quint32(width));
        Put16(data, 20, quint32(height));
        Put16(data, 22, 1);
        Put16(data, 24, quint32(layout.bits));
    } else {
        Put32(data, 18, quint32(width));
        Put32(data, 22, quint32(layout.topDown ? -height : height));
        Put16(data, 26, 1);
        Put16(data, 28, quint32(layout.bits));
        Put32(data, 30, layout.compression);
        Put32(data, 34, quint32(pixels.size()));
        Put32(data, 46, quint32(layout.paletteSize));
        if (layout.compression == 3)
            for (int i = 0; i < 3; ++i)
                Put32(data, 54 + 4 * i, layout.masks[i]);
    }
    for (int i = 0; i < layout.paletteSize; ++i) {
        const QRgb colour = i < palette.size() ? palette[i] : 0;
        const int at = headerEnd + i * entrySize;
        data[at] = char(qBlue(colour));
        data[at + 1] = char(qGreen(colour));
        data[at + 2] = char(qRed(colour));
    }
    Put32(data, 2, quint32(data.size() + pixels.size()));
    return data + pixels;
}

QImage FromColours(const QList<QList<QRgb>>& colours) {
    QImage image(int(colours[0].size()), int(colours.size()), kBitmap24Format);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            uchar* p = image.scanLine(y) + 3 * x;
            p[0] = uchar(qBlue(colours[y][x]));
            p[1] = uchar(qGreen(colours[y][x]));
            p[2] = uchar(qRed(colours[y][x]));
        }
    return image;
}

// A channel of n bits spread over 0..255, to the nearest level.
int Spread(quint32 value, int bits) {
    return int(std::lround(value * 255.0 / ((1u << bits) - 1)));
}

struct Case {
    QByteArray file;
    QImage expected;
};

Case PalettedCase(const Layout& layout, int width, int height, QRandomGenerator& random) {
    Palette palette;
    for (int i = 0; i < layout.paletteSize; ++i)
        palette.append(qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    const int colours = layout.paletteSize;
    QList<QList<quint32>> indices(height, QList<quint32>(width));
    QList<QList<QRgb>> expected(height, QList<QRgb>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            indices[y][x] = quint32(random.bounded(colours));
            expected[y][x] = palette[int(indices[y][x])];
        }
    return {BuildFile(layout, width, height, palette, indices), FromColours(expected)};
}

// Pixels of random channel values packed through the masks.
Case MaskedCase(const Layout& layout, const quint32 (&masks)[3], int width, int height, QRandomGenerator& random) {
    QList<QList<quint32>> values(height, QList<quint32>(width));
    QList<QList<QRgb>> expected(height, QList<QRgb>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int channel[3];
            quint32 value = 0;
            for (int i = 0; i < 3; ++i) {
                const int shift = std::countr_zero(masks[i]);
                const int bits = std::popcount(masks[i]);
                const quint32 v = quint32(random.bounded(1 << bits));
                value |= v << shift;
                channel[i] = Spread(v, bits);
            }
            if (layout.bits == 32)
                value |= quint32(random.bounded(256)) << 24 & ~(masks[0] | masks[1] | masks[2]); // alpha, ignored
            values[y][x] = value;
            expected[y][x] = qRgb(channel[0], channel[1], channel[2]);
        }
    return {BuildFile(layout, width, height, {}, values), FromColours(expected)};
}

QByteArray Rle8(std::initializer_list<int> bytes) {
    QByteArray data;
    for (int b : bytes)
        data.append(char(b));
    return data;
}

} // namespace

class TestWindowsBitmap : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void depthsAndLayouts_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QImage>("expected");
        QRandomGenerator random(11);
        auto add = [](const char* name, const Case& c) { QTest::newRow(name) << c.file << c.expected; };
        // Paletted depths; widths that leave row padding and partly used bytes.
        add("1 bit", PalettedCase({.bits = 1, .paletteSize = 2}, 13, 5, random));
        add("4 bits", PalettedCase({.bits = 4, .paletteSize = 16}, 7, 6, random));
        add("4 bits, 5 colours used", PalettedCase({.bits = 4, .paletteSize = 5}, 9, 4, random));
        add("8 bits", PalettedCase({.bits = 8, .paletteSize = 256}, 11, 7, random));
        add("8 bits, top-down", PalettedCase({.bits = 8, .topDown = true, .paletteSize = 40}, 10, 9, random));
        add("8 bits, core header", PalettedCase({.bits = 8, .headerSize = 12, .paletteSize = 256}, 5, 3, random));
        add("1 bit, core header", PalettedCase({.bits = 1, .headerSize = 12, .paletteSize = 2}, 17, 2, random));
        // Direct colours.
        add("16 bits, 5-5-5", MaskedCase({.bits = 16}, {0x7C00, 0x03E0, 0x001F}, 9, 5, random));
        add("16 bits, bit fields 5-6-5", MaskedCase({.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}},
                                                    {0xF800, 0x07E0, 0x001F}, 7, 4, random));
        add("24 bits", MaskedCase({.bits = 24}, {0xFF0000, 0xFF00, 0xFF}, 7, 5, random));
        add("24 bits, top-down", MaskedCase({.bits = 24, .topDown = true}, {0xFF0000, 0xFF00, 0xFF}, 6, 3, random));
        add("24 bits, core header", MaskedCase({.bits = 24, .headerSize = 12}, {0xFF0000, 0xFF00, 0xFF}, 3, 3, random));
        add("32 bits", MaskedCase({.bits = 32}, {0xFF0000, 0xFF00, 0xFF}, 5, 4, random));
        add("32 bits, bit fields red last",
            MaskedCase({.bits = 32, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000}}, {0xFF, 0xFF00, 0xFF0000}, 6,
                       3, random));
        add("32 bits, 10-bit fields, top-down",
            MaskedCase({.bits = 32, .topDown = true, .compression = 3, .masks = {0x3FF00000, 0xFFC00, 0x3FF}},
                       {0x3FF00000, 0xFFC00, 0x3FF}, 4, 4, random));
        Layout v5{.bits = 32, .headerSize = 124, .compression = 3};
        Case inHeader = MaskedCase(v5, {0xFF0000, 0xFF00, 0xFF}, 5, 2, random);
        for (int i = 0; i < 3; ++i) // a large header holds its masks itself
            Put32(inHeader.file, 54 + 4 * i, quint32(0xFF0000) >> (8 * i));
        add("32 bits, V5 header with masks inside", inHeader);

        // RLE8: a run, an odd literal run (padded), a delta, lines ended early, a run past the right edge.
        const Palette palette = {qRgb(1, 2, 3), qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)};
        const QRgb p0 = palette[0], r = palette[1], g = palette[2], b = palette[3];
        const QByteArray rle8 = Rle8({3, 1, 0, 3, 2, 3, 2, 0, // row 0: r r r g b g
                                      0, 0,                   // end of line
                                      2, 3, 0, 2, 2, 1, 1, 2, // row 1: b b, move 2 right and 1 down, g
                                      0, 0,                   // end of line: row 3
                                      9, 1,                   // row 3: r r r r r r (clipped)
                                      0, 1});                 // end of picture
        // Top row first; the file gives the bottom row first.
        const QList<QList<QRgb>> rle8Pixels = {
            {r, r, r, r, r, r}, {p0, p0, p0, p0, g, p0}, {b, b, p0, p0, p0, p0}, {r, r, r, g, b, g}};
        Layout rleLayout{.bits = 8, .compression = 1, .paletteSize = 4};
        add("RLE8", {BuildFile(rleLayout, 6, 4, palette, {}, rle8), FromColours(rle8Pixels)});
        // RLE4: a run of alternating colours and a literal run of 3 (2 bytes, padded to 2).
        const QByteArray rle4 = Rle8({5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1});
        const QList<QList<QRgb>> rle4Pixels = {{b, g, r, p0, p0}, {r, g, r, g, r}};
        Layout rle4Layout{.bits = 4, .compression = 2, .paletteSize = 4};
        add("RLE4", {BuildFile(rle4Layout, 5, 2, palette, {}, rle4), FromColours(rle4Pixels)});
    }
    void depthsAndLayouts() {
        QFETCH(QByteArray, file);
        QFETCH(QImage, expected);
        QImage bitmap;
        QString error;
        QVERIFY2(ReadBitmapData(file, &bitmap, &error), qPrintable(error));
        QCOMPARE(bitmap.format(), kBitmap24Format);
        QCOMPARE(bitmap.size(), expected.size());
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                if (PixelBytes(bitmap, x, y) != PixelBytes(expected, x, y))
                    QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, not %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(QString::fromLatin1(PixelBytes(bitmap, x, y).toHex()),
                                              QString::fromLatin1(PixelBytes(expected, x, y).toHex()))));
    }

    // Files written by an independent program, read back against its own decoding of them.
    void filesOfImageMagick_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("format");
        QTest::newRow("24 bits") << QStringList{QStringLiteral("-type"), QStringLiteral("TrueColor")}
                                 << QStringLiteral("BMP3");
        QTest::newRow("8-bit palette") << QStringList{QStringLiteral("-colors"), QStringLiteral("200"),
                                                      QStringLiteral("-type"), QStringLiteral("Palette")}
                                       << QStringLiteral("BMP3");
        QTest::newRow("RLE8") << QStringList{QStringLiteral("-colors"),   QStringLiteral("60"),
                                             QStringLiteral("-type"),     QStringLiteral("Palette"),
                                             QStringLiteral("-compress"), QStringLiteral("RLE")}
                              << QStringLiteral("BMP3");
        QTest::newRow("1 bit") << QStringList{QStringLiteral("-type"), QStringLiteral("Bilevel")}
                               << QStringLiteral("BMP3");
        QTest::newRow("core header") << QStringList{QStringLiteral("-colors"), QStringLiteral("16"),
                                                    QStringLiteral("-type"), QStringLiteral("Palette")}
                                     << QStringLiteral("BMP2");
        QTest::newRow("32 bits with alpha")
            << QStringList{QStringLiteral("-type"), QStringLiteral("TrueColorAlpha")} << QStringLiteral("BMP");
    }
    void filesOfImageMagick() {
        QFETCH(QStringList, options);
        QFETCH(QString, format);
        const QString bmp = m_folder.filePath(QStringLiteral("im.bmp"));
        RunRequiredTool(QStringLiteral("convert"),
                        QStringList{QStringLiteral("-size"), QStringLiteral("37x23"), QStringLiteral("plasma:fractal"),
                                    QStringLiteral("-seed"), QStringLiteral("5")} +
                            options + QStringList{format + QLatin1Char(':') + bmp});
        // ImageMagick's own reading of the file, as PPM: 8-bit red, green, blue.
        const QByteArray ppm = RunRequiredTool(
            QStringLiteral("convert"), {bmp, QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("ppm:-")});
        QImage theirs;
        QVERIFY(theirs.loadFromData(ppm, "PPM"));
        QImage ours;
        QString error;
        QVERIFY2(ReadBitmapFile(bmp, &ours, &error), qPrintable(error));
        QCOMPARE(LargestDifference(ours, theirs.convertToFormat(kBitmap24Format)), 0);
    }

    void hostileFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("inMessage");
        QRandomGenerator random(5);
        const QByteArray good = MaskedCase({.bits = 24}, {0xFF0000, 0xFF00, 0xFF}, 10, 10, random).file;
        auto patched = [&](int offset, quint32 value) {
            QByteArray file = good;
            Put32(file, offset, value);
            return file;
        };
        QTest::newRow("empty") << QByteArray() << QStringLiteral("n'est pas une image BMP");
        QTest::newRow("signature only") << QByteArray("BM") << QStringLiteral("n'est pas une image BMP");
        QTest::newRow("other signature") << QByteArray("MB") + good.mid(2) << QStringLiteral("n'est pas une image BMP");
        QTest::newRow("header size 8") << patched(14, 8) << QStringLiteral("n'est pas une image BMP");
        QTest::newRow("header larger than the file") << patched(14, 0xFFFFFFF0) << QStringLiteral("tronquée");
        QTest::newRow("cut in the header") << good.left(30) << QStringLiteral("tronquée");
        QTest::newRow("100000 x 100000") << patched(22, 100000).replace(18, 4, QByteArray("\xA0\x86\x01\x00", 4))
                                         << QStringLiteral("trop grande");
        QTest::newRow("12000 x 12000, 400 bytes")
            << patched(22, 12000).replace(18, 4, QByteArray("\xE0\x2E\0\0", 4)) << QStringLiteral("tronquée");
        QTest::newRow("height of -2^31") << patched(22, 0x80000000u) << QStringLiteral("trop grande");
        QTest::newRow("zero width") << patched(18, 0) << QStringLiteral("vide");
        QTest::newRow("zero height") << patched(22, 0) << QStringLiteral("vide");
        QTest::newRow("negative width") << patched(18, quint32(-10)) << QStringLiteral("vide");
        QTest::newRow("7 bits") << patched(28, 7) << QStringLiteral("pas pris en charge");
        QTest::newRow("JPEG inside") << patched(30, 4) << QStringLiteral("pas pris en charge");
        QTest::newRow("RLE8 on 24 bits") << patched(30, 1) << QStringLiteral("pas pris en charge");
        QTest::newRow("pixels cut short") << good.left(good.size() - 40) << QStringLiteral("tronquée");
        QTest::newRow("pixel offset past the end") << patched(10, 100000) << QStringLiteral("tronquée");
        Layout rle{.bits = 8, .compression = 1, .paletteSize = 2};
        QTest::newRow("RLE8 without its end")
            << BuildFile(rle, 4, 4, {}, {}, Rle8({4, 1, 0, 0, 4, 1})) << QStringLiteral("tronquée");
        QTest::newRow("RLE8 literal run past the end")
            << BuildFile(rle, 4, 4, {}, {}, Rle8({0, 200, 1, 1})) << QStringLiteral("tronquée");
        QTest::newRow("RLE8 delta cut") << BuildFile(rle, 4, 4, {}, {}, Rle8({0, 2, 1})) << QStringLiteral("tronquée");
    }
    void hostileFilesAreRefused() {
        QFETCH(QByteArray, file);
        QFETCH(QString, inMessage);
        QImage bitmap(3, 3, kBitmap24Format);
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!ReadBitmapData(file, &bitmap, &error, QStringLiteral("x.bmp")));
        QVERIFY(timer.elapsed() < 1000); // refused before any large allocation or work
        QVERIFY(bitmap.isNull());
        QVERIFY2(error.contains(inMessage), qPrintable(error));
        QVERIFY(error.contains(QStringLiteral("x.bmp")));
    }

    // Mistakes of writers that the reader gets round.
    void toleratedMistakes() {
        QRandomGenerator random(8);
        const Case c = PalettedCase({.bits = 8, .paletteSize = 256}, 6, 3, random);
        QImage bitmap;
        QByteArray noOffset = c.file; // the pixels then follow the palette
        Put32(noOffset, 10, 0);
        QVERIFY(ReadBitmapData(noOffset, &bitmap));
        QVERIFY(SamePixels(bitmap, c.expected));
        QVERIFY(ReadBitmapData(c.file.left(c.file.size() - 2), &bitmap)); // last row's padding left out
        QVERIFY(SamePixels(bitmap, c.expected));
        // A run-length picture drawing past its right edge and bottom is clipped.
        Layout rle{.bits = 8, .compression = 1, .paletteSize = 2};
        QVERIFY(ReadBitmapData(BuildFile(rle, 2, 2, {qRgb(0, 0, 0), qRgb(9, 9, 9)}, {},
                                         Rle8({255, 1, 0, 3, 1, 1, 1, 0, 0, 2, 200, 200, 5, 1, 0, 0, 5, 1, 0, 1})),
                               &bitmap));
        QCOMPARE(bitmap.size(), QSize(2, 2));
        QCOMPARE(PixelBytes(bitmap, 1, 1), QByteArray(3, char(9)));
    }

    void pictureLimitCanBeLowered() {
        QRandomGenerator random(9);
        const QByteArray file = MaskedCase({.bits = 24}, {0xFF0000, 0xFF00, 0xFF}, 40, 40, random).file;
        QImage bitmap;
        SetMaxPicturePixels(1000);
        QString error;
        const bool read = ReadBitmapData(file, &bitmap, &error);
        SetMaxPicturePixels(kDefaultMaxPicturePixels);
        QVERIFY(!read);
        QVERIFY(error.contains(QStringLiteral("trop grande")));
        QVERIFY(ReadBitmapData(file, &bitmap));
    }

    // Thumbnail blobs are complete 24-bit bitmap files that other readers take.
    void writtenFiles() {
        QRandomGenerator random(10);
        const QImage picture = RandomBitmap24(random, 5, 3);
        const QByteArray file = WriteBitmapData(picture);
        QCOMPARE(file.size(), 54 + 16 * 3);
        QCOMPARE(file.left(2), QByteArray("BM"));
        QCOMPARE(quint32(uchar(file[2]) | uchar(file[3]) << 8), quint32(file.size()));
        QCOMPARE(int(uchar(file[10])), 54);
        QCOMPARE(int(uchar(file[14])), 40);
        QCOMPARE(int(uchar(file[28])), 24);
        QCOMPARE(int(uchar(file[22])), 3); // positive height: bottom-up rows
        QCOMPARE(file.mid(54, 3), PixelBytes(picture, 0, 2));
        QImage ours, qts;
        QVERIFY(ReadBitmapData(file, &ours));
        QVERIFY(SamePixels(ours, picture));
        QVERIFY(qts.loadFromData(file, "BMP"));
        QVERIFY(SamePixels(qts.convertToFormat(kBitmap24Format), picture));

        QImage grey(4, 2, kBitmapGreyFormat);
        grey.fill(77);
        QVERIFY(ReadBitmapData(WriteBitmapData(grey), &ours));
        QCOMPARE(PixelBytes(ours, 3, 1), QByteArray(3, char(77)));

        const QString path = m_folder.filePath(QStringLiteral("written.bmp"));
        QVERIFY(WriteBitmapFile(picture, path));
        QVERIFY(ReadBitmapFile(path, &ours));
        QVERIFY(SamePixels(ours, picture));
        QString error;
        QVERIFY(!WriteBitmapFile(picture, m_folder.filePath(QStringLiteral("missing/x.bmp")), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWindowsBitmap)
#include "TestWindowsBitmap.moc"
