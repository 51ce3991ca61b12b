// Any bytes given to the bitmap reader: it refuses or reads them, never crashes, never reads or writes out of
// bounds; what it reads is written back and read again unchanged.
#include "core/imaging/Bitmaps.h"
#include "core/imaging/WindowsBitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetMaxPicturePixels(1'000'000); // larger pictures only slow the search down
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage bitmap;
    QString error;
    if (!ReadBitmapData(file, &bitmap, &error)) {
        if (!bitmap.isNull() || error.isEmpty()) __builtin_trap();
        return 0;
    }
    if (bitmap.format() != kBitmap24Format) __builtin_trap();
    QImage again;
    if (!ReadBitmapData(WriteBitmapData(bitmap), &again) || again.size() != bitmap.size()) __builtin_trap();
    for (int y = 0; y < bitmap.height(); ++y)
        if (std::memcmp(again.constScanLine(y), bitmap.constScanLine(y), size_t(bitmap.width()) * 3) != 0)
            __builtin_trap();
    return 0;
}
