// Any bytes given to the JPEG loader, whole and fitted into a thumbnail box: refused or decoded, never a crash nor
// an access out of bounds; a thumbnail, when made, has the fitted size.
#include "core/imaging/Bitmaps.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/JpegFiles.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetMaxPicturePixels(1'000'000); // larger pictures only slow the search down
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    JpegInfo info;
    if (!JpegReadInfo(file, &info)) return 0;
    QImage bitmap;
    QString error;
    if (JpegDecodeBitmap(file, &bitmap, &error)) {
        const QSize upright = UprightSize(info.orientation, info.width, info.height);
        if (bitmap.size() != upright) __builtin_trap();
    } else if (!bitmap.isNull() || error.isEmpty()) {
        __builtin_trap();
    }
    QImage fitted;
    if (JpegDecodeFitted(file, 90, 90, &fitted)) {
        const QSize upright = UprightSize(info.orientation, info.width, info.height);
        const FitRect fit = FitImageRect(90, 90, upright.width(), upright.height());
        // A picture so thin that its fitted height or width truncates to 0 has an empty thumbnail.
        const bool empty = fit.width <= 0 || fit.height <= 0;
        if (empty ? !fitted.isNull() : fitted.size() != QSize(fit.width, fit.height)) __builtin_trap();
    }
    return 0;
}
