#include "core/imaging/Bitmaps.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/PictureFiles.h"
#include "core/imaging/WindowsBitmap.h"

#include "support/PictureFixtures.h"
#include "support/SandboxHome.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

// The markers of a JPEG up to the start of the scan: (marker, offset of its length field).
QList<QPair<int, int>> Markers(const QByteArray& jpeg) {
    QList<QPair<int, int>> markers;
    int at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const int marker = uchar(jpeg[at + 1]);
        markers.append({marker, at + 2});
        if (marker == 0xDA) break;
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return markers;
}

int MarkerOffset(const QByteArray& jpeg, int marker) {
    for (const auto& [m, offset] : Markers(jpeg))
        if (m == marker) return offset;
    return -1;
}

// The JPEG with its frame header announcing another size.
QByteArray WithAnnouncedSize(QByteArray jpeg, int width, int height) {
    const int frame = MarkerOffset(jpeg, 0xC0);
    jpeg[frame + 3] = char(height >> 8);
    jpeg[frame + 4] = char(height & 0xFF);
    jpeg[frame + 5] = char(width >> 8);
    jpeg[frame + 6] = char(width & 0xFF);
    return jpeg;
}

// A four-channel JPEG of one colour, its channels stored as they are (libjpeg writes the Adobe marker that says so).
QByteArray EncodeInvertedCmyk(int width, int height, std::array<uchar, 4> cmyk) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* output = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &output, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_CMYK);
    jpeg_start_compress(&info, TRUE);
    std::vector<uchar> row(size_t(width) * 4);
    for (int x = 0; x < width; ++x)
        std::copy(cmyk.begin(), cmyk.end(), row.begin() + x * 4);
    while (info.next_scanline < info.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray jpeg(reinterpret_cast<const char*>(output), qsizetype(size));
    std::free(output);
    return jpeg;
}

QByteArray Encode(const QImage& bitmap, int quality = 90) {
    QByteArray jpeg;
    if (!JpegEncodeBitmap(bitmap, quality, &jpeg)) qFatal("encoding failed");
    return jpeg;
}

// A picture of smooth colour changes.
QImage Photo(int width, int height) {
    QImage bitmap(width, height, kBitmap24Format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uchar* p = bitmap.scanLine(y) + 3 * x;
            p[0] = uchar((x * 255) / qMax(1, width - 1));
            p[1] = uchar((y * 255) / qMax(1, height - 1));
            p[2] = uchar(128 + 100 * std::sin(x / 9.0) * std::cos(y / 7.0));
        }
    return bitmap;
}

} // namespace

class TestJpegFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    // What we write is baseline JFIF, three YCbCr components, and decodes in djpeg like in our decoder.
    void writtenFilesAreBaselineJfif() {
        const QImage photo = Photo(123, 77);
        const QString file = path(QStringLiteral("ours.jpg"));
        QString error;
        QVERIFY2(JpegSaveBitmap(photo, file, 90, &error), qPrintable(error));
        const QByteArray jpeg = ReadWholeFile(file);
        QVERIFY(jpeg.startsWith("\xFF\xD8\xFF\xE0"));
        QCOMPARE(jpeg.mid(MarkerOffset(jpeg, 0xE0) + 2, 5), QByteArray("JFIF\0", 5));
        const int frame = MarkerOffset(jpeg, 0xC0); // baseline sequential
        QVERIFY(frame > 0);
        QCOMPARE(MarkerOffset(jpeg, 0xC2), -1);
        QCOMPARE(int(uchar(jpeg[frame + 7])), 3); // components
        QCOMPARE(int(uchar(jpeg[frame + 8])), 1); // Y, Cb, Cr identifiers
        QCOMPARE(int(uchar(jpeg[frame + 11])), 2);
        QCOMPARE(int(uchar(jpeg[frame + 14])), 3);

        const QString decodedByDjpeg = path(QStringLiteral("djpeg.bmp"));
        RunRequiredTool(QStringLiteral("djpeg"),
                        {QStringLiteral("-bmp"), QStringLiteral("-outfile"), decodedByDjpeg, file});
        QImage theirs, ours;
        QVERIFY2(ReadBitmapFile(decodedByDjpeg, &theirs, &error), qPrintable(error));
        QVERIFY(JpegLoadBitmap(&ours, file));
        QCOMPARE(ours.size(), QSize(123, 77));
        QCOMPARE(LargestDifference(ours, theirs), 0);
        qint64 total = 0; // close to the picture on average
        for (int y = 0; y < 77; ++y)
            for (int x = 0; x < 123 * 3; ++x)
                total += qAbs(int(ours.constScanLine(y)[x]) - int(photo.constScanLine(y)[x]));
        QVERIFY(total / (123 * 77 * 3) < 8);
    }

    void qualityIsKeptWithin1And100_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("used");
        QTest::newRow("settings maximum") << 5000 << 100;
        QTest::newRow("just above") << 101 << 100;
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("negative") << -20 << 1;
        QTest::newRow("within") << 55 << 55;
    }
    void qualityIsKeptWithin1And100() {
        QFETCH(int, asked);
        QFETCH(int, used);
        const QImage photo = Photo(40, 30);
        QCOMPARE(Encode(photo, asked), Encode(photo, used));
        QVERIFY(Encode(photo, 100) != Encode(photo, 1));
    }

    void encodingFailuresGiveOneMessage_data() {
        QTest::addColumn<QImage>("bitmap");
        QTest::addColumn<QString>("target");
        QImage grey(8, 8, kBitmapGreyFormat);
        grey.fill(0);
        QTest::newRow("grey bitmap") << grey << QStringLiteral("a.jpg");
        QTest::newRow("32-bit bitmap") << QImage(8, 8, QImage::Format_RGB32) << QStringLiteral("a.jpg");
        QTest::newRow("no bitmap") << QImage() << QStringLiteral("a.jpg");
        QTest::newRow("too wide for JPEG") << QImage(70000, 1, kBitmap24Format) << QStringLiteral("a.jpg");
        QTest::newRow("missing folder") << Photo(8, 8) << QStringLiteral("missing/a.jpg");
    }
    void encodingFailuresGiveOneMessage() {
        QFETCH(QImage, bitmap);
        QFETCH(QString, target);
        const QString file = path(target);
        if (!target.contains(QLatin1Char('/'))) { // an existing file stays whole
            QFile existing(file);
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write("previous");
        }
        QString error;
        QVERIFY(!JpegSaveBitmap(bitmap, file, 90, &error));
        QCOMPARE(error, QStringLiteral("Error writing JPEG to file"));
        if (!target.contains(QLatin1Char('/'))) QCOMPARE(ReadWholeFile(file), QByteArray("previous"));
    }

    void channelsDecideTheFormat_data() {
        QTest::addColumn<QStringList>("cjpegOptions");
        QTest::addColumn<int>("format");
        QTest::newRow("colour") << QStringList{} << int(kBitmap24Format);
        QTest::newRow("grey") << QStringList{QStringLiteral("-grayscale")} << int(kBitmapGreyFormat);
        QTest::newRow("progressive") << QStringList{QStringLiteral("-progressive")} << int(kBitmap24Format);
        QTest::newRow("RGB without YCbCr") << QStringList{QStringLiteral("-rgb")} << int(kBitmap24Format);
    }
    void channelsDecideTheFormat() {
        QFETCH(QStringList, cjpegOptions);
        QFETCH(int, format);
        const QString source = path(QStringLiteral("source.bmp"));
        const QString file = path(QStringLiteral("cjpeg.jpg"));
        QVERIFY(WriteBitmapFile(QuadrantBitmap(64, 32), source));
        RunRequiredTool(QStringLiteral("cjpeg"), cjpegOptions + QStringList{QStringLiteral("-outfile"), file, source});
        QImage bitmap;
        QString error;
        QVERIFY2(JpegLoadBitmap(&bitmap, file, &error), qPrintable(error));
        QCOMPARE(int(bitmap.format()), format);
        QCOMPARE(bitmap.size(), QSize(64, 32));
        const QImage colour = ToBitmap24(bitmap);
        const QByteArray expected = format == kBitmapGreyFormat ? QByteArray(3, char(76)) // 0.299 of red
                                                                : QByteArray("\x00\x00\xFF", 3);
        for (int k = 0; k < 3; ++k) // the red quadrant
            QVERIFY(qAbs(int(uchar(PixelBytes(colour, 4, 4)[k])) - int(uchar(expected[k]))) <= 4);
    }

    void unreadableFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("inMessage");
        const QByteArray good = Encode(Photo(48, 32));
        QTest::newRow("empty") << QByteArray() << QStringLiteral("n'est pas une image JPEG");
        QTest::newRow("not a JPEG") << QByteArray("GIF89a and more") << QStringLiteral("n'est pas une image JPEG");
        QTest::newRow("cut in the header") << good.left(40) << QStringLiteral("n'est pas une image JPEG");
        QTest::newRow("zero size") << WithAnnouncedSize(good, 0, 0) << QStringLiteral("n'est pas une image JPEG");
        QTest::newRow("60000 x 60000") << WithAnnouncedSize(good, 60000, 60000) << QStringLiteral("trop grande");
    }
    void unreadableFilesAreRefused() {
        QFETCH(QByteArray, content);
        QFETCH(QString, inMessage);
        QImage bitmap(4, 4, kBitmap24Format);
        QString error;
        QVERIFY(!JpegDecodeBitmap(content, &bitmap, &error, QStringLiteral("x.jpg")));
        QVERIFY(bitmap.isNull());
        QVERIFY2(error.contains(inMessage), qPrintable(error));
        QImage fitted;
        QVERIFY(!JpegDecodeFitted(content, 90, 90, &fitted));
        QVERIFY(fitted.isNull());
    }

    // Printers' and some scanners' four-channel files, in both of their encodings, come out in their colours.
    void fourChannelsAreConverted_data() {
        QTest::addColumn<bool>("ycck"); // as ImageMagick writes them, or the channels stored as they are
        QTest::newRow("YCCK, from ImageMagick") << true;
        QTest::newRow("CMYK") << false;
    }
    void fourChannelsAreConverted() {
        QFETCH(bool, ycck);
        const QString file = path(QStringLiteral("cmyk.jpg"));
        if (ycck)
            RunRequiredTool(QStringLiteral("convert"),
                            {QStringLiteral("-size"), QStringLiteral("32x16"), QStringLiteral("xc:orange"),
                             QStringLiteral("-colorspace"), QStringLiteral("CMYK"), file});
        else
            WriteTestFile(file, EncodeInvertedCmyk(32, 16, {255, 165, 0, 255})); // orange, as Adobe stores it
        JpegInfo info;
        QVERIFY(JpegReadInfo(ReadWholeFile(file), &info));
        QCOMPARE(info.channels, 4);

        QImage bitmap;
        QString error;
        QVERIFY2(JpegLoadBitmap(&bitmap, file, &error), qPrintable(error));
        QCOMPARE(bitmap.size(), QSize(32, 16));
        QCOMPARE(int(bitmap.format()), int(kBitmap24Format));
        const QByteArray orange("\x00\xA5\xFF", 3); // blue, green, red
        for (int k = 0; k < 3; ++k)
            QVERIFY2(qAbs(int(uchar(PixelBytes(bitmap, 16, 8)[k])) - int(uchar(orange[k]))) <= 12,
                     PixelBytes(bitmap, 16, 8).toHex().constData());
        QImage fitted;
        QVERIFY(JpegDecodeFitted(ReadWholeFile(file), 16, 16, &fitted, &error));
        QCOMPARE(fitted.size(), QSize(16, 8));
        for (int k = 0; k < 3; ++k)
            QVERIFY(qAbs(int(uchar(PixelBytes(fitted, 8, 4)[k])) - int(uchar(orange[k]))) <= 12);
    }

    // A picture about to be stored must be whole; one to be looked at is shown as far as it goes.
    void damageIsRefusedWhenAsked_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("cut short") << "cut";
        QTest::newRow("broken data") << "broken";
    }
    void damageIsRefusedWhenAsked() {
        QFETCH(QString, damage);
        const QByteArray whole = Encode(Photo(64, 64), 95);
        QByteArray damaged = whole.left(whole.size() * 2 / 3);
        if (damage == QLatin1String("broken")) {
            damaged = whole;
            for (qsizetype i = whole.size() / 2; i < whole.size() / 2 + 40; ++i)
                damaged[i] = char(0xFF);
        }
        QImage fitted;
        QString error;
        QVERIFY(JpegDecodeFitted(damaged, 32, 32, &fitted, &error, QStringLiteral("x.jpg")));
        QVERIFY(!JpegDecodeFitted(damaged, 32, 32, &fitted, &error, QStringLiteral("x.jpg"), JpegDamage::Refused));
        QVERIFY(fitted.isNull());
        QVERIFY2(error.startsWith(QStringLiteral("Impossible d'utiliser l'image \"x.jpg\" : ")), qPrintable(error));
        QVERIFY(JpegDecodeFitted(whole, 32, 32, &fitted, &error, QStringLiteral("x.jpg"), JpegDamage::Refused));
    }

    // A file cut short decodes at full size as far as it goes, the rest grey, as other viewers show it.
    void truncatedFilesDecodeAsFarAsTheyGo() {
        const QImage photo = Photo(64, 64);
        const QByteArray whole = Encode(photo, 95);
        QImage full, cut;
        QVERIFY(JpegDecodeBitmap(whole, &full));
        QVERIFY(JpegDecodeBitmap(whole.left(whole.size() * 2 / 3), &cut));
        QCOMPARE(cut.size(), QSize(64, 64));
        QVERIFY(SamePixels(cut.copy(0, 0, 64, 8), full.copy(0, 0, 64, 8)));
        QVERIFY(!SamePixels(cut, full));
    }

    void missingFileOrBitmap() {
        QImage bitmap(2, 2, kBitmap24Format);
        QString error;
        QVERIFY(!JpegLoadBitmap(&bitmap, path(QStringLiteral("none.jpg")), &error));
        QVERIFY(bitmap.isNull());
        QVERIFY(error.contains(QStringLiteral("introuvable")));
        QVERIFY(JpegSaveBitmap(Photo(8, 8), path(QStringLiteral("ok.jpg")), 90));
        QVERIFY(!JpegLoadBitmap(nullptr, path(QStringLiteral("ok.jpg"))));
    }

    void exifOrientationIsRead_data() {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("Motorola order") << true;
        QTest::newRow("Intel order") << false;
    }
    void exifOrientationIsRead() {
        QFETCH(bool, bigEndian);
        const QByteArray plain = Encode(Photo(16, 8));
        for (int orientation = 1; orientation <= 8; ++orientation) {
            JpegInfo info;
            QVERIFY(JpegReadInfo(WithExifOrientation(plain, orientation, bigEndian), &info));
            QCOMPARE(info.orientation, orientation);
        }
        JpegInfo info;
        QVERIFY(JpegReadInfo(WithExifOrientation(plain, 9, bigEndian), &info));
        QCOMPARE(info.orientation, 1);
        // A directory offset pointing outside the segment is no orientation.
        QByteArray broken = WithExifOrientation(plain, 6, bigEndian);
        broken[6 + 6 + 4 + (bigEndian ? 3 : 0)] = char(0x7F);
        QVERIFY(JpegReadInfo(broken, &info));
        QCOMPARE(info.orientation, 1);
    }

    // Every decoded view is upright: a phone picture held sideways shows as the phone showed it.
    void decodedViewsAreUpright() {
        const QByteArray plain = Encode(QuadrantBitmap(64, 32), 95);
        QImage stored;
        QVERIFY(JpegDecodeBitmap(plain, &stored));
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const QByteArray jpeg = WithExifOrientation(plain, orientation);
            QImage upright, asStored;
            QVERIFY(JpegDecodeBitmap(jpeg, &upright));
            QVERIFY(JpegDecodeBitmap(jpeg, &asStored, nullptr, {}, JpegLayout::AsStored));
            QVERIFY(SamePixels(asStored, stored));
            QVERIFY(SamePixels(upright, OrientUpright(stored, orientation)));
        }
        // Orientation 6 is turned a quarter clockwise: the stored bottom-left (yellow) comes to the top left.
        QImage turned;
        QVERIFY(JpegDecodeBitmap(WithExifOrientation(plain, 6), &turned));
        QCOMPARE(turned.size(), QSize(32, 64));
        const QByteArray yellow("\x00\xFF\xFF", 3);
        for (int k = 0; k < 3; ++k)
            QVERIFY(qAbs(int(uchar(PixelBytes(turned, 2, 2)[k])) - int(uchar(yellow[k]))) <= 6);
    }

    void orientationsAreTheEightTransforms() {
        QRandomGenerator random(3);
        const QImage stored = RandomBitmap24(random, 5, 3);
        auto rotated = [&](int angle) {
            QImage copy = stored;
            RotateBitmap90(&copy, angle);
            return copy;
        };
        QVERIFY(SamePixels(OrientUpright(stored, 1), stored));
        QVERIFY(SamePixels(OrientUpright(stored, 2), stored.mirrored(true, false)));
        QVERIFY(SamePixels(OrientUpright(stored, 3), stored.mirrored(true, true)));
        QVERIFY(SamePixels(OrientUpright(stored, 4), stored.mirrored(false, true)));
        QVERIFY(SamePixels(OrientUpright(stored, 5), rotated(90).mirrored(true, false)));
        QVERIFY(SamePixels(OrientUpright(stored, 6), rotated(90)));
        QVERIFY(SamePixels(OrientUpright(stored, 7), rotated(90).mirrored(false, true)));
        QVERIFY(SamePixels(OrientUpright(stored, 8), rotated(270)));
        // Grey pictures (one-channel JPEGs) are turned the same way and stay grey.
        QImage grey(5, 3, kBitmapGreyFormat);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                grey.scanLine(y)[x] = uchar(random.bounded(256));
        const QImage greyUpright = OrientUpright(grey, 7);
        QCOMPARE(greyUpright.format(), kBitmapGreyFormat);
        QVERIFY(SamePixels(ToBitmap24(greyUpright), OrientUpright(ToBitmap24(grey), 7)));
        QVERIFY(SamePixels(ToBitmap24(OrientUpright(grey, 6)), [&] {
            QImage copy = grey;
            RotateBitmap90(&copy, 90);
            return copy;
        }()));
    }

    // The partial decoding of thumbnails gives exactly what decoding everything and resampling gives.
    void fittedDecodingMatchesWholeDecoding_data() {
        QTest::addColumn<QStringList>("cjpegOptions");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<int>("orientation");
        const QStringList none;
        QTest::newRow("4:2:0, thumbnail") << none << QSize(317, 211) << QSize(90, 90) << 1;
        QTest::newRow("4:2:0, upright picture") << none << QSize(150, 401) << QSize(115, 115) << 1;
        QTest::newRow("4:2:0, small box") << none << QSize(640, 480) << QSize(18, 18) << 1;
        QTest::newRow("fits the box") << none << QSize(60, 40) << QSize(90, 90) << 1;
        QTest::newRow("4:4:4") << QStringList{QStringLiteral("-sample"), QStringLiteral("1x1")} << QSize(301, 199)
                               << QSize(90, 90) << 1;
        QTest::newRow("4:2:2") << QStringList{QStringLiteral("-sample"), QStringLiteral("2x1")} << QSize(301, 199)
                               << QSize(90, 90) << 1;
        QTest::newRow("4:4:0") << QStringList{QStringLiteral("-sample"), QStringLiteral("1x2")} << QSize(301, 199)
                               << QSize(90, 90) << 1;
        QTest::newRow("unusual sampling, decoded whole")
            << QStringList{QStringLiteral("-sample"), QStringLiteral("1x1,2x2,1x1")} << QSize(301, 199) << QSize(90, 90)
            << 1;
        QTest::newRow("grey") << QStringList{QStringLiteral("-grayscale")} << QSize(257, 300) << QSize(90, 90) << 1;
        QTest::newRow("progressive") << QStringList{QStringLiteral("-progressive")} << QSize(333, 222) << QSize(90, 90)
                                     << 1;
        QTest::newRow("restart markers") << QStringList{QStringLiteral("-restart"), QStringLiteral("1")}
                                         << QSize(333, 222) << QSize(90, 90) << 1;
        for (int orientation = 2; orientation <= 8; ++orientation)
            QTest::addRow("orientation %d", orientation) << none << QSize(320, 200) << QSize(90, 90) << orientation;
    }
    void fittedDecodingMatchesWholeDecoding() {
        QFETCH(QStringList, cjpegOptions);
        QFETCH(QSize, size);
        QFETCH(QSize, box);
        QFETCH(int, orientation);
        const QString source = path(QStringLiteral("fit.bmp"));
        const QString file = path(QStringLiteral("fit.jpg"));
        QRandomGenerator random(size.width());
        QImage picture = Photo(size.width(), size.height());
        for (int i = 0; i < 2000; ++i) // specks, so that neighbouring rows differ
            memset(picture.scanLine(random.bounded(size.height())) + 3 * random.bounded(size.width()),
                   int(random.bounded(256)), 3);
        QVERIFY(WriteBitmapFile(picture, source));
        RunRequiredTool(QStringLiteral("cjpeg"), cjpegOptions + QStringList{QStringLiteral("-outfile"), file, source});
        QByteArray jpeg = ReadWholeFile(file);
        if (orientation != 1) jpeg = WithExifOrientation(jpeg, orientation);
        QImage whole, fitted, expected;
        QVERIFY(JpegDecodeBitmap(jpeg, &whole));
        ShrinkPictureToBox(&expected, whole, box.width(), box.height());
        QString error;
        QVERIFY2(JpegDecodeFitted(jpeg, box.width(), box.height(), &fitted, &error), qPrintable(error));
        QCOMPARE(fitted.size(), expected.size());
        QVERIFY(SamePixels(fitted, expected));
    }
};

QTEST_GUILESS_MAIN(TestJpegFiles)
#include "TestJpegFiles.moc"
