#include "core/imaging/Bitmaps.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/PictureFiles.h"
#include "core/imaging/PictureLoading.h"
#include "core/imaging/Resampling.h"
#include "core/imaging/WindowsBitmap.h"

#include "support/PictureFixtures.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

quint32 Crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFF;
    for (char c : data) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

// A PNG whose header announces another size, its checksum made right so that only the size is wrong.
QByteArray PngAnnouncing(QByteArray png, quint32 width, quint32 height) {
    const int header = 12; // signature (8), then the IHDR length (4); "IHDR" and its data follow
    for (int i = 0; i < 4; ++i) {
        png[header + 4 + i] = char(width >> (24 - 8 * i));
        png[header + 8 + i] = char(height >> (24 - 8 * i));
    }
    const quint32 crc = Crc32(png.mid(header, 4 + 13));
    for (int i = 0; i < 4; ++i)
        png[header + 17 + i] = char(crc >> (24 - 8 * i));
    return png;
}

bool AllWhite(const QImage& bitmap, const QRect& except = {}) {
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if (!except.contains(x, y) && PixelBytes(bitmap, x, y) != QByteArray(3, char(255))) return false;
    return true;
}

} // namespace

class TestPictureFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    // The thumbnail is white at the box size with the picture, fitted and resampled, at the centre.
    void thumbnails_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QRect>("placed");
        for (const QString& kind : {QStringLiteral("bmp"), QStringLiteral("png"), QStringLiteral("jpg")}) {
            QTest::addRow("%s, 60 x 40 in 90 x 90", qPrintable(kind))
                << kind << QSize(60, 40) << QSize(90, 90) << QRect(15, 25, 60, 40);
            QTest::addRow("%s, 300 x 150 in 90 x 90", qPrintable(kind))
                << kind << QSize(300, 150) << QSize(90, 90) << QRect(0, 22, 90, 45);
        }
        QTest::newRow("person photo, upright")
            << QStringLiteral("bmp") << QSize(100, 400) << QSize(115, 115) << QRect(43, 0, 28, 115);
    }
    void thumbnails() {
        QFETCH(QString, kind);
        QFETCH(QSize, size);
        QFETCH(QSize, box);
        QFETCH(QRect, placed);
        QRandomGenerator random(size.width());
        const QImage picture = RandomBitmap24(random, size.width(), size.height());
        const QString file = path(QStringLiteral("source.") + kind);
        if (kind == QLatin1String("bmp"))
            QVERIFY(WriteBitmapFile(picture, file));
        else if (kind == QLatin1String("png"))
            QVERIFY(picture.save(file, "PNG"));
        else
            QVERIFY(JpegSaveBitmap(picture, file, 90));
        QImage decoded;
        QVERIFY(LoadPictureFile(&decoded, file));
        QImage thumbnail;
        QString error;
        QVERIFY2(MakeThumbnailFromFile(file, box.width(), box.height(), &thumbnail, &error), qPrintable(error));
        QCOMPARE(thumbnail.format(), kBitmap24Format);
        QCOMPARE(thumbnail.size(), box);
        QVERIFY(AllWhite(thumbnail, placed));
        QVERIFY(SamePixels(thumbnail.copy(placed), ResampledBitmap(decoded, placed.width(), placed.height())));
        QVERIFY(SamePixels(thumbnail, MakeThumbnail(decoded, box.width(), box.height())));
    }

    // A JPEG source is stored as it is, whatever its size; a bitmap is limited to MaxWidth and encoded.
    void fullPictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<int>("stages");
        QTest::newRow("bitmap over the limit")
            << QStringLiteral("big.bmp") << QSize(6000, 3000) << QSize(5000, 2500) << 3;
        QTest::newRow("bitmap within the limit")
            << QStringLiteral("ok.bmp") << QSize(4000, 3000) << QSize(4000, 3000) << 2;
        QTest::newRow("upright bitmap over the limit")
            << QStringLiteral("tall.png") << QSize(300, 5200) << QSize(288, 5000) << 3;
        QTest::newRow("JPEG over the limit") << QStringLiteral("big.jpg") << QSize(5200, 100) << QSize(5200, 100) << 0;
        QTest::newRow("JPEG in capitals") << QStringLiteral("photo.JPEG") << QSize(640, 480) << QSize(640, 480) << 0;
    }
    void fullPictures() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QSize, stored);
        QFETCH(int, stages);
        QImage picture = NewBitmap24(size.width(), size.height());
        picture.fill(QColor(30, 140, 220));
        const QString source = path(name);
        if (name.endsWith(QLatin1String(".bmp")))
            QVERIFY(WriteBitmapFile(picture, source));
        else if (name.endsWith(QLatin1String(".png")))
            QVERIFY(picture.save(source, "PNG"));
        else
            QVERIFY(JpegSaveBitmap(picture, source, 80));
        const QString target = path(QStringLiteral("Doc1.jpg"));
        int stagesRun = 0;
        QString error;
        QVERIFY2(WriteFullPicture(source, target, 5000, 100, &error, [&] { ++stagesRun; }), qPrintable(error));
        QCOMPARE(stagesRun, stages);
        JpegInfo info;
        QVERIFY(JpegReadInfo(ReadWholeFile(target), &info));
        QCOMPARE(QSize(info.width, info.height), stored);
        if (IsJpegFileName(name)) QCOMPARE(ReadWholeFile(target), ReadWholeFile(source));
        QVERIFY(!QFile::exists(path(QStringLiteral("Doc1.jpg.new"))));
    }

    // A CMYK photo is stored unchanged, with a thumbnail in its colours.
    void cmykPhoto() {
        const QString source = path(QStringLiteral("cmyk.jpg"));
        RunRequiredTool(QStringLiteral("convert"),
                        {QStringLiteral("-size"), QStringLiteral("64x48"), QStringLiteral("xc:orange"),
                         QStringLiteral("-colorspace"), QStringLiteral("CMYK"), source});
        const QString target = path(QStringLiteral("People3.jpg"));
        QVERIFY(WriteFullPicture(source, target, 5000, 100));
        QCOMPARE(ReadWholeFile(target), ReadWholeFile(source));
        QImage thumbnail;
        QString error;
        QVERIFY2(MakeThumbnailFromFile(source, 115, 115, &thumbnail, &error), qPrintable(error));
        QCOMPARE(thumbnail.size(), QSize(115, 115));
        const QByteArray middle = PixelBytes(thumbnail, 57, 57); // blue, green, red
        QVERIFY2(uchar(middle[2]) > 230 && qAbs(int(uchar(middle[1])) - 165) < 25 && uchar(middle[0]) < 40,
                 middle.toHex().constData());
    }

    // Whatever fails, the picture stored before stays whole.
    void failuresKeepThePreviousPicture_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("inMessage");
        QImage wide(65520, 1, QImage::Format_RGB32); // readable, but wider than JPEG allows
        wide.fill(Qt::red);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(wide.save(&buffer, "PNG"));
        }
        QTest::newRow("damaged bitmap") << QStringLiteral("bad.bmp") << QByteArray("BM\x10\0\0\0", 6)
                                        << QStringLiteral("BMP");
        QTest::newRow("too wide to encode")
            << QStringLiteral("wide.png") << png << QStringLiteral("Error writing JPEG to file");
        QTest::newRow("missing source") << QStringLiteral("missing.bmp") << QByteArray()
                                        << QStringLiteral("introuvable");
        QTest::newRow("missing JPEG source")
            << QStringLiteral("missing.jpg") << QByteArray() << QStringLiteral("introuvable");
    }
    void failuresKeepThePreviousPicture() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, inMessage);
        const QString source = path(name);
        if (!content.isEmpty()) WriteBytes(source, content);
        const QString target = path(QStringLiteral("Doc7.jpg"));
        WriteBytes(target, "the previous picture");
        QString error;
        QVERIFY(!WriteFullPicture(source, target, 0, 100, &error));
        QVERIFY2(error.contains(inMessage), qPrintable(error));
        QCOMPARE(ReadWholeFile(target), QByteArray("the previous picture"));
        QFile::remove(source);
    }

    // Users have pictures in other formats too; a bitmap is known by its content, whatever its name.
    void otherFormats_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("qtFormat"); // empty: made by ImageMagick from a PNG
        QTest::addColumn<bool>("lossless");
        QTest::newRow("PNG") << QStringLiteral("a.png") << QByteArray("PNG") << true;
        QTest::newRow("TIFF") << QStringLiteral("a.tif") << QByteArray("TIFF") << true;
        QTest::newRow("WebP") << QStringLiteral("a.webp") << QByteArray("WEBP") << false;
        QTest::newRow("GIF") << QStringLiteral("a.gif") << QByteArray() << true;
        QTest::newRow("bitmap named .png") << QStringLiteral("b.png") << QByteArray("BMP") << true;
        QTest::newRow("bitmap named .dat") << QStringLiteral("b.dat") << QByteArray("BMP") << true;
    }
    void otherFormats() {
        QFETCH(QString, name);
        QFETCH(QByteArray, qtFormat);
        QFETCH(bool, lossless);
        const QImage picture = QuadrantBitmap(32, 16);
        const QString file = path(name);
        if (qtFormat.isEmpty()) {
            const QString png = path(QStringLiteral("for-convert.png"));
            QVERIFY(picture.save(png, "PNG"));
            RunRequiredTool(QStringLiteral("convert"), {png, file});
        } else {
            QImageWriter writer(file, qtFormat);
            writer.setQuality(100);
            QVERIFY2(writer.write(picture.convertToFormat(QImage::Format_RGB32)), qPrintable(writer.errorString()));
        }
        QImage loaded;
        QString error;
        QVERIFY2(LoadPictureFile(&loaded, file, &error), qPrintable(error));
        QCOMPARE(loaded.format(), kBitmap24Format);
        QVERIFY(LargestDifference(loaded, picture) <= (lossless ? 0 : 8));
    }

    void transparencyIsLaidOnWhite() {
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(1, 1, qRgba(0, 0, 255, 255));
        const QString file = path(QStringLiteral("logo.png"));
        QVERIFY(picture.save(file, "PNG"));
        QImage loaded;
        QVERIFY(LoadPictureFile(&loaded, file));
        QCOMPARE(PixelBytes(loaded, 0, 0), QByteArray(3, char(255)));
        QCOMPARE(PixelBytes(loaded, 1, 1), QByteArray("\xFF\x00\x00", 3));
    }

    void hugePngIsRefusedAtOnce() {
        QImage small(4, 4, QImage::Format_RGB32);
        small.fill(Qt::green);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(small.save(&buffer, "PNG"));
        }
        const QString file = path(QStringLiteral("huge.png"));
        WriteBytes(file, PngAnnouncing(png, 100000, 100000));
        QImage loaded;
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!LoadPictureFile(&loaded, file, &error));
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY2(error.contains(QStringLiteral("trop grande")), qPrintable(error));
        QImage thumbnail;
        QVERIFY(!MakeThumbnailFromFile(file, 90, 90, &thumbnail));
        QVERIFY(AllWhite(thumbnail));
    }

    // The loader chooses the JPEG decoder by the name, without regard to case: a grey file stays 8-bit grey.
    void jpegByName() {
        const QString bmp = path(QStringLiteral("grey.bmp"));
        const QString jpg = path(QStringLiteral("GREY.JPG"));
        QVERIFY(WriteBitmapFile(QuadrantBitmap(16, 16), bmp));
        RunRequiredTool(QStringLiteral("cjpeg"), {QStringLiteral("-grayscale"), QStringLiteral("-outfile"), jpg, bmp});
        QImage loaded;
        QVERIFY(LoadPictureFile(&loaded, jpg));
        QCOMPARE(loaded.format(), kBitmapGreyFormat);
        QVERIFY(IsJpegFileName(QStringLiteral("x.Jpeg")));
        QVERIFY(!IsJpegFileName(QStringLiteral("x.jpg.bmp")));
    }

    void copyFileSafely() {
        const QString source = path(QStringLiteral("any.bin"));
        const QString target = path(QStringLiteral("copy.bin"));
        WriteBytes(source, QByteArray(3 << 20, 'x') + "end");
        WriteBytes(target, "old");
        QVERIFY(CopyFileSafely(source, target));
        QCOMPARE(ReadWholeFile(target), ReadWholeFile(source));
        QString error;
        QVERIFY(!CopyFileSafely(source, path(QStringLiteral("no/such/folder/copy.bin")), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPictureFiles)
#include "TestPictureFiles.moc"
