#include "core/imaging/WindowsBitmap.h"

#include "core/app/PrivateFiles.h"
#include "core/imaging/Bitmaps.h"

#include <QFile>
#include <QSaveFile>

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kCoreHeaderSize = 12;
constexpr int kInfoHeaderSize = 40;

// Compression values of the info header.
constexpr quint32 kCompressionNone = 0;
constexpr quint32 kCompressionRle8 = 1;
constexpr quint32 kCompressionRle4 = 2;
constexpr quint32 kCompressionBitFields = 3;
constexpr quint32 kCompressionAlphaBitFields = 6;

class ByteReader {
public:
    explicit ByteReader(const QByteArray& data)
        : m_data(reinterpret_cast<const uchar*>(data.constData())), m_size(data.size()) {}
    qint64 size() const { return m_size; }
    bool has(qint64 offset, qint64 count) const { return offset >= 0 && count >= 0 && offset + count <= m_size; }
    const uchar* at(qint64 offset) const { return m_data + offset; }
    quint32 u16(qint64 offset) const { return m_data[offset] | quint32(m_data[offset + 1]) << 8; }
    quint32 u32(qint64 offset) const { return u16(offset) | u16(offset + 2) << 16; }
    qint32 i32(qint64 offset) const { return qint32(u32(offset)); }

private:
    const uchar* m_data;
    qint64 m_size;
};

// One colour channel of a bit-field pixel: where its bits are and how to spread them over 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint64 maximum = 0;

    explicit Channel(quint32 channelMask = 0) : mask(channelMask) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            maximum = mask >> shift;
        }
    }
    uchar value(quint32 pixel) const {
        if (maximum == 0) return 0;
        const quint64 bits = (pixel & mask) >> shift;
        return uchar((bits * 255 + maximum / 2) / maximum);
    }
};

using Palette = std::array<std::array<uchar, 3>, 256>; // blue, green, red

struct Layout {
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bitCount = 0;
    quint32 compression = kCompressionNone;
    Channel red, green, blue;
    Palette palette{};
    qint64 pixelOffset = 0;
};

QString NotABitmap(const QString& name) {
    return QStringLiteral("Le fichier \"%1\" n'est pas une image BMP valide.").arg(name);
}

QString Truncated(const QString& name) {
    return QStringLiteral("L'image \"%1\" est tronquée : le fichier est incomplet.").arg(name);
}

QString Unsupported(const QString& name) {
    return QStringLiteral("Le format de l'image BMP \"%1\" n'est pas pris en charge.").arg(name);
}

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

bool ReadLayout(const ByteReader& in, Layout* layout, QString* error, const QString& name) {
    if (!in.has(0, kFileHeaderSize + 4) || in.at(0)[0] != 'B' || in.at(0)[1] != 'M')
        return Fail(error, NotABitmap(name));
    const quint32 headerSize = in.u32(kFileHeaderSize);
    const bool core = headerSize == kCoreHeaderSize;
    // OS/2 2.x headers (16 to 64 bytes) share the info header's first fields but number compressions otherwise.
    const bool os2 = headerSize == 64 || (headerSize >= 16 && headerSize < kInfoHeaderSize);
    if (!core && headerSize < 16) return Fail(error, NotABitmap(name));
    if (!in.has(kFileHeaderSize, qMin<qint64>(headerSize, 124))) return Fail(error, Truncated(name));
    const qint64 h = kFileHeaderSize; // where the header starts
    qint64 paletteEntrySize = 4;
    quint32 colorsUsed = 0;
    if (core) {
        layout->width = in.u16(h + 4);
        layout->height = in.u16(h + 6);
        layout->bitCount = int(in.u16(h + 10));
        paletteEntrySize = 3;
    } else {
        layout->width = in.i32(h + 4);
        const qint64 height = in.i32(h + 8);
        layout->topDown = height < 0;
        layout->height = height < 0 ? -height : height;
        layout->bitCount = int(in.u16(h + 14));
        if (headerSize >= 20) layout->compression = in.u32(h + 16);
        if (headerSize >= 36) colorsUsed = in.u32(h + 32);
    }
    const int bits = layout->bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, Unsupported(name));
    const quint32 compression = layout->compression;
    const bool bitFields = compression == kCompressionBitFields || compression == kCompressionAlphaBitFields;
    const bool supported = compression == kCompressionNone || (compression == kCompressionRle8 && bits == 8) ||
                           (compression == kCompressionRle4 && bits == 4) || (bitFields && (bits == 16 || bits == 32));
    if (!supported ||
        (os2 && compression != kCompressionNone && compression != kCompressionRle8 && compression != kCompressionRle4))
        return Fail(error, Unsupported(name));
    if (!CheckPictureSize(layout->width, layout->height, name, error)) return false;

    // Bit fields follow a 40-byte header; larger headers hold them inside.
    qint64 headerEnd = h + headerSize;
    if (bitFields) {
        qint64 masks = h + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) headerEnd += compression == kCompressionAlphaBitFields ? 16 : 12;
        if (!in.has(masks, 12)) return Fail(error, Truncated(name));
        layout->red = Channel(in.u32(masks));
        layout->green = Channel(in.u32(masks + 4));
        layout->blue = Channel(in.u32(masks + 8));
    } else if (bits == 16) {
        layout->red = Channel(0x7C00);
        layout->green = Channel(0x03E0);
        layout->blue = Channel(0x001F);
    } else if (bits == 32) {
        layout->red = Channel(0xFF0000);
        layout->green = Channel(0xFF00);
        layout->blue = Channel(0xFF);
    }

    qint64 paletteEntries = 0;
    if (bits <= 8) paletteEntries = colorsUsed == 0 || colorsUsed > (1u << bits) ? (1 << bits) : colorsUsed;
    const qint64 paletteEnd = headerEnd + paletteEntries * paletteEntrySize;
    // A pixel offset inside the headers is a writer's mistake (often 0): the pixels then follow the palette.
    const qint64 offset = in.u32(10);
    layout->pixelOffset = offset >= headerEnd ? offset : paletteEnd;
    if (layout->pixelOffset >= in.size()) return Fail(error, Truncated(name));
    // Only the palette entries that the file holds before the pixels are read; missing ones stay black.
    const qint64 paletteLimit = qMin(in.size(), layout->pixelOffset > headerEnd ? layout->pixelOffset : in.size());
    for (qint64 i = 0; i < paletteEntries; ++i) {
        const qint64 entry = headerEnd + i * paletteEntrySize;
        if (entry + paletteEntrySize > paletteLimit) break;
        std::memcpy(layout->palette[i].data(), in.at(entry), 3);
    }
    return true;
}

void ReadUncompressedRow(const Layout& layout, const uchar* source, uchar* target) {
    const qint64 width = layout.width;
    switch (layout.bitCount) {
    case 1:
    case 4:
    case 8: {
        const int bits = layout.bitCount;
        const int perByte = 8 / bits;
        const int mask = (1 << bits) - 1;
        for (qint64 x = 0; x < width; ++x) {
            const int shift = 8 - bits * int(x % perByte + 1);
            const int index = (source[x / perByte] >> shift) & mask;
            std::memcpy(target + x * 3, layout.palette[index].data(), 3);
        }
        break;
    }
    case 24:
        std::memcpy(target, source, size_t(width) * 3);
        break;
    case 16:
        for (qint64 x = 0; x < width; ++x) {
            const quint32 pixel = source[2 * x] | quint32(source[2 * x + 1]) << 8;
            target[3 * x] = layout.blue.value(pixel);
            target[3 * x + 1] = layout.green.value(pixel);
            target[3 * x + 2] = layout.red.value(pixel);
        }
        break;
    case 32:
        if (layout.blue.mask == 0xFF && layout.green.mask == 0xFF00 && layout.red.mask == 0xFF0000) {
            for (qint64 x = 0; x < width; ++x)
                std::memcpy(target + 3 * x, source + 4 * x, 3);
            break;
        }
        for (qint64 x = 0; x < width; ++x) {
            const quint32 pixel = source[4 * x] | quint32(source[4 * x + 1]) << 8 | quint32(source[4 * x + 2]) << 16 |
                                  quint32(source[4 * x + 3]) << 24;
            target[3 * x] = layout.blue.value(pixel);
            target[3 * x + 1] = layout.green.value(pixel);
            target[3 * x + 2] = layout.red.value(pixel);
        }
        break;
    }
}

bool ReadUncompressed(const ByteReader& in, const Layout& layout, QImage* bitmap, QString* error, const QString& name) {
    const qint64 rowBits = layout.width * layout.bitCount;
    const qint64 stride = (rowBits + 31) / 32 * 4;
    // The last row's padding is sometimes left out by writers; the pixels themselves must all be there.
    const qint64 needed = stride * (layout.height - 1) + (rowBits + 7) / 8;
    if (!in.has(layout.pixelOffset, needed)) return Fail(error, Truncated(name));
    QImage result = NewBitmap24(int(layout.width), int(layout.height));
    if (result.isNull()) return Fail(error, QStringLiteral("Mémoire insuffisante pour lire l'image \"%1\".").arg(name));
    for (qint64 row = 0; row < layout.height; ++row) {
        const qint64 y = layout.topDown ? row : layout.height - 1 - row;
        ReadUncompressedRow(layout, in.at(layout.pixelOffset + row * stride), result.scanLine(int(y)));
    }
    *bitmap = result;
    return true;
}

// RLE8 and RLE4: pairs (count, colour) give runs, (0, 0) ends a line, (0, 1) ends the picture, (0, 2, dx, dy) moves
// the pen, (0, n) starts n literal indices padded to a 16-bit boundary. Pixels that no code reaches keep the first
// palette colour; runs past the right edge are clipped.
bool ReadRunLength(const ByteReader& in, const Layout& layout, QImage* bitmap, QString* error, const QString& name) {
    QImage result = NewBitmap24(int(layout.width), int(layout.height));
    if (result.isNull()) return Fail(error, QStringLiteral("Mémoire insuffisante pour lire l'image \"%1\".").arg(name));
    for (qint64 y = 0; y < layout.height; ++y) {
        uchar* line = result.scanLine(int(y));
        for (qint64 x = 0; x < layout.width; ++x)
            std::memcpy(line + 3 * x, layout.palette[0].data(), 3);
    }
    const bool fourBits = layout.compression == kCompressionRle4;
    qint64 x = 0, row = 0, position = layout.pixelOffset;
    auto put = [&](int index) {
        if (x < layout.width && row < layout.height) {
            const qint64 y = layout.topDown ? row : layout.height - 1 - row;
            std::memcpy(result.scanLine(int(y)) + 3 * x, layout.palette[index].data(), 3);
        }
        ++x;
    };
    for (;;) {
        if (row >= layout.height) break;
        if (!in.has(position, 2)) return Fail(error, Truncated(name));
        const int count = in.at(position)[0];
        const int code = in.at(position)[1];
        position += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < layout.width; ++i)
                put(fourBits ? (i % 2 == 0 ? code >> 4 : code & 0x0F) : code);
            continue;
        }
        if (code == 0) {
            x = 0;
            ++row;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (!in.has(position, 2)) return Fail(error, Truncated(name));
            x += in.at(position)[0];
            row += in.at(position)[1];
            position += 2;
        } else {
            const qint64 bytes = fourBits ? (code + 1) / 2 : code;
            const qint64 padded = bytes + (bytes & 1);
            if (!in.has(position, padded)) return Fail(error, Truncated(name));
            const uchar* literal = in.at(position);
            for (int i = 0; i < code && x < layout.width; ++i)
                put(fourBits ? (i % 2 == 0 ? literal[i / 2] >> 4 : literal[i / 2] & 0x0F) : literal[i]);
            position += padded;
        }
    }
    *bitmap = result;
    return true;
}

} // namespace

bool ReadBitmapData(const QByteArray& data, QImage* bitmap, QString* error, const QString& fileName) {
    if (!bitmap) return false;
    *bitmap = QImage();
    const ByteReader in(data);
    Layout layout;
    if (!ReadLayout(in, &layout, error, fileName)) return false;
    if (layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4)
        return ReadRunLength(in, layout, bitmap, error, fileName);
    return ReadUncompressed(in, layout, bitmap, error, fileName);
}

bool ReadBitmapFile(const QString& fileName, QImage* bitmap, QString* error) {
    if (bitmap) *bitmap = QImage();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error,
                    QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(fileName, file.errorString()));
    return ReadBitmapData(file.readAll(), bitmap, error, fileName);
}

QByteArray WriteBitmapData(const QImage& picture) {
    const QImage bitmap = ToBitmap24(picture);
    if (bitmap.isNull()) return {};
    const qint64 width = bitmap.width(), height = bitmap.height();
    const qint64 stride = (width * 3 + 3) / 4 * 4;
    const qint64 pixelOffset = kFileHeaderSize + kInfoHeaderSize;
    QByteArray data(pixelOffset + stride * height, '\0');
    auto* out = reinterpret_cast<uchar*>(data.data());
    auto put16 = [out](qint64 offset, quint32 value) {
        out[offset] = uchar(value);
        out[offset + 1] = uchar(value >> 8);
    };
    auto put32 = [&](qint64 offset, quint32 value) {
        put16(offset, value & 0xFFFF);
        put16(offset + 2, value >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, quint32(data.size()));
    put32(10, quint32(pixelOffset));
    put32(14, kInfoHeaderSize);
    put32(18, quint32(width));
    put32(22, quint32(height));
    put16(26, 1);  // planes
    put16(28, 24); // bits per pixel
    put32(34, quint32(stride * height));
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(out + pixelOffset + (height - 1 - y) * stride, bitmap.constScanLine(int(y)), size_t(width) * 3);
    return data;
}

bool WriteBitmapFile(const QImage& picture, const QString& fileName, QString* error) {
    const QByteArray data = WriteBitmapData(picture);
    QSaveFile file(fileName);
    if (data.isEmpty() || !OpenPrivately(file) || file.write(data) != data.size() || !file.commit())
        return Fail(error, QStringLiteral("Impossible d'écrire l'image \"%1\" : %2").arg(fileName, file.errorString()));
    return true;
}
