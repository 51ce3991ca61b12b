#include "support/PictureFixtures.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <cstring>

QImage RandomBitmap24(QRandomGenerator& random, int width, int height) {
    QImage bitmap(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            bitmap.scanLine(y)[x] = uchar(random.bounded(256));
    return bitmap;
}

QImage QuadrantBitmap(int width, int height) {
    QImage bitmap(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            const QColor colour = !bottom ? (right ? Qt::green : Qt::red) : (right ? Qt::blue : Qt::yellow);
            uchar* pixel = bitmap.scanLine(y) + 3 * x;
            pixel[0] = uchar(colour.blue());
            pixel[1] = uchar(colour.green());
            pixel[2] = uchar(colour.red());
        }
    }
    return bitmap;
}

bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != QImage::Format_BGR888 || b.format() != QImage::Format_BGR888)
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 3) != 0) return false;
    return true;
}

int LargestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != QImage::Format_BGR888 || b.format() != QImage::Format_BGR888) return -1;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            largest = qMax(largest, qAbs(int(a.constScanLine(y)[x]) - int(b.constScanLine(y)[x])));
    return largest;
}

QByteArray PixelBytes(const QImage& bitmap, int x, int y) {
    return QByteArray(reinterpret_cast<const char*>(bitmap.constScanLine(y)) + 3 * x, 3);
}

QString RequiredTool(const QString& name) {
    QString path = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/bin")});
    if (path.isEmpty()) path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) qFatal("%s is missing: install the packages of scripts/packages.txt", qPrintable(name));
    return path;
}

QByteArray RunRequiredTool(const QString& name, const QStringList& arguments) {
    QProcess process;
    process.start(RequiredTool(name), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s %s failed: %s", qPrintable(name), qPrintable(arguments.join(QLatin1Char(' '))),
               process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation, bool bigEndian) {
    auto u16 = [bigEndian](int value) {
        const char high = char(value >> 8), low = char(value & 0xFF);
        return bigEndian ? QByteArray{&high, 1} + QByteArray{&low, 1} : QByteArray{&low, 1} + QByteArray{&high, 1};
    };
    auto u32 = [&](int value) { return bigEndian ? u16(0) + u16(value) : u16(value) + u16(0); };
    QByteArray tiff = bigEndian ? QByteArrayLiteral("MM") : QByteArrayLiteral("II");
    tiff += u16(42) + u32(8);                                          // header, first directory at 8
    tiff += u16(1);                                                    // one entry
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0); // orientation, SHORT, 1 value
    tiff += u32(0);                                                    // no next directory
    const QByteArray segment = QByteArrayLiteral("Exif\0\0") + tiff;
    const int length = int(segment.size()) + 2;
    QByteArray marker = QByteArrayLiteral("\xFF\xE1");
    marker += char(length >> 8);
    marker += char(length & 0xFF);
    return jpeg.left(2) + marker + segment + jpeg.mid(2);
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
