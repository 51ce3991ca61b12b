#include "core/imaging/Bitmaps.h"

#include <QPainter>
#include <QString>

#include <atomic>
#include <cstring>

namespace {

std::atomic<qint64> g_maxPicturePixels{kDefaultMaxPicturePixels};

// Reads a 16- or 32-bit number of a TIFF structure; false when it lies outside the data.
bool ReadTiffNumber(const QByteArray& data, qsizetype offset, int size, bool bigEndian, quint32* value) {
    if (offset < 0 || offset + size > data.size()) return false;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData()) + offset;
    quint32 result = 0;
    for (int i = 0; i < size; ++i)
        result |= quint32(bytes[bigEndian ? i : size - 1 - i]) << (8 * (size - 1 - i));
    *value = result;
    return true;
}

} // namespace

QImage NewBitmap24(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    QImage bitmap(width, height, kBitmap24Format);
    return bitmap.isNull() ? QImage() : bitmap;
}

QImage ToBitmap24(const QImage& picture) {
    if (picture.isNull() || picture.format() == kBitmap24Format) return picture;
    if (!picture.hasAlphaChannel()) return picture.convertToFormat(kBitmap24Format);
    QImage onWhite(picture.size(), QImage::Format_RGB32);
    if (onWhite.isNull()) return {};
    onWhite.fill(Qt::white);
    QPainter painter(&onWhite);
    painter.drawImage(0, 0, picture);
    painter.end();
    return onWhite.convertToFormat(kBitmap24Format);
}

qint64 MaxPicturePixels() {
    return g_maxPicturePixels.load();
}

void SetMaxPicturePixels(qint64 pixels) {
    g_maxPicturePixels.store(pixels > 0 ? pixels : kDefaultMaxPicturePixels);
}

bool CheckPictureSize(qint64 width, qint64 height, const QString& fileName, QString* error) {
    if (width <= 0 || height <= 0) {
        if (error) *error = QStringLiteral("L'image \"%1\" est vide (largeur ou hauteur nulle).").arg(fileName);
        return false;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > MaxPicturePixels()) {
        if (error)
            *error =
                QStringLiteral("L'image \"%1\" est trop grande (%2 x %3 pixels).").arg(fileName).arg(width).arg(height);
        return false;
    }
    return true;
}

int ExifOrientation(const QByteArray& app1) {
    // "Exif" and two zero bytes, then a TIFF structure whose first directory may hold tag 0x0112.
    if (!app1.startsWith(QByteArrayLiteral("Exif\0\0"))) return 1;
    const QByteArray tiff = app1.mid(6);
    bool bigEndian;
    if (tiff.startsWith("MM"))
        bigEndian = true;
    else if (tiff.startsWith("II"))
        bigEndian = false;
    else
        return 1;
    quint32 magic = 0, directory = 0, count = 0;
    if (!ReadTiffNumber(tiff, 2, 2, bigEndian, &magic) || magic != 42 ||
        !ReadTiffNumber(tiff, 4, 4, bigEndian, &directory) || !ReadTiffNumber(tiff, directory, 2, bigEndian, &count))
        return 1;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype entry = qsizetype(directory) + 2 + qsizetype(i) * 12;
        quint32 tag = 0, type = 0, value = 0;
        if (!ReadTiffNumber(tiff, entry, 2, bigEndian, &tag) || !ReadTiffNumber(tiff, entry + 2, 2, bigEndian, &type))
            return 1;
        if (tag != 0x0112) continue;
        if (type != 3 || !ReadTiffNumber(tiff, entry + 8, 2, bigEndian, &value)) return 1;
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

QSize UprightSize(int orientation, int storedWidth, int storedHeight) {
    return orientation >= 5 && orientation <= 8 ? QSize(storedHeight, storedWidth) : QSize(storedWidth, storedHeight);
}

QPoint StoredPixelOf(int orientation, int x, int y, int w, int h) {
    switch (orientation) {
    case 2:
        return {w - 1 - x, y}; // mirrored left to right
    case 3:
        return {w - 1 - x, h - 1 - y}; // upside down
    case 4:
        return {x, h - 1 - y}; // mirrored top to bottom
    case 5:
        return {y, x}; // transposed
    case 6:
        return {y, h - 1 - x}; // to be turned a quarter clockwise
    case 7:
        return {w - 1 - y, h - 1 - x}; // transposed across the other diagonal
    case 8:
        return {w - 1 - y, x}; // to be turned a quarter counter-clockwise
    default:
        return {x, y};
    }
}

QImage OrientUpright(const QImage& stored, int orientation) {
    if (stored.isNull() || orientation < 2 || orientation > 8) return stored;
    const int pixelBytes = stored.depth() / 8;
    if (pixelBytes < 1) return OrientUpright(ToBitmap24(stored), orientation);
    const QSize size = UprightSize(orientation, stored.width(), stored.height());
    QImage upright(size, stored.format());
    if (upright.isNull()) return {};
    // The mapping is affine: walk the stored picture with a fixed step in bytes along each upright row.
    const int w = stored.width(), h = stored.height();
    const QPoint origin = StoredPixelOf(orientation, 0, 0, w, h);
    const QPoint alongX = StoredPixelOf(orientation, 1, 0, w, h) - origin;
    const QPoint alongY = StoredPixelOf(orientation, 0, 1, w, h) - origin;
    const qsizetype line = stored.bytesPerLine();
    const qsizetype stepX = alongX.x() * qsizetype(pixelBytes) + alongX.y() * line;
    const uchar* base = stored.constBits();
    // In tiles, so that a quarter turn reads the stored picture's rows a few cache lines at a time.
    constexpr int kTile = 64;
    for (int top = 0; top < size.height(); top += kTile) {
        for (int left = 0; left < size.width(); left += kTile) {
            const int bottom = qMin(top + kTile, size.height()), right = qMin(left + kTile, size.width());
            for (int y = top; y < bottom; ++y) {
                const QPoint first = origin + alongY * y + alongX * left;
                const uchar* source = base + first.y() * line + qsizetype(first.x()) * pixelBytes;
                uchar* target = upright.scanLine(y) + qsizetype(left) * pixelBytes;
                if (pixelBytes == 3) {
                    for (int x = left; x < right; ++x, source += stepX, target += 3) {
                        target[0] = source[0];
                        target[1] = source[1];
                        target[2] = source[2];
                    }
                } else {
                    for (int x = left; x < right; ++x, source += stepX, target += pixelBytes)
                        std::memcpy(target, source, size_t(pixelBytes));
                }
            }
        }
    }
    return upright;
}
