#include "core/imaging/ImageGeometry.h"

#include "core/imaging/Bitmaps.h"
#include "core/imaging/Resampling.h"

namespace {

// a / b * c truncated toward zero, from the exact value: the double formula can land just below a whole result
// (5000 / 6000 * 3000) and lose a pixel.
qint32 ScaleExactly(qint64 a, qint64 b, qint64 c) {
    return b == 0 ? 0 : qint32(a * c / b);
}

int ShiftChannel(int channel, int delta) {
    const int shifted = channel + delta;
    if (delta > 0) return shifted > 255 ? 254 : shifted;
    return shifted < 0 ? 1 : shifted;
}

} // namespace

FitRect FitImageRect(int boxWidth, int boxHeight, int imageWidth, int imageHeight, bool* scaled) {
    if (scaled) *scaled = false;
    if (imageHeight <= boxHeight && imageWidth <= boxWidth)
        return {(boxWidth - imageWidth) / 2, (boxHeight - imageHeight) / 2, imageWidth, imageHeight};
    if (scaled) *scaled = true;
    FitRect byHeight;
    byHeight.height = boxHeight;
    byHeight.width = ScaleExactly(boxHeight, imageHeight, imageWidth);
    byHeight.left = (boxWidth - byHeight.width) / 2;
    FitRect byWidth;
    byWidth.width = boxWidth;
    byWidth.height = ScaleExactly(boxWidth, imageWidth, imageHeight);
    byWidth.top = (boxHeight - byWidth.height) / 2;
    if (imageWidth < imageHeight) return byHeight.width <= boxWidth ? byHeight : byWidth;
    if (imageHeight < imageWidth) return byWidth.height <= boxHeight ? byWidth : byHeight;
    if (imageWidth > boxWidth && imageHeight > boxHeight) return {0, 0, boxWidth, boxHeight};
    return imageWidth > boxWidth ? byWidth : byHeight;
}

void ShrinkPictureToBox(QImage* target, const QImage& source, int boxWidth, int boxHeight) {
    if (!target) return;
    const QImage copy = ToBitmap24(source);
    const FitRect fit = FitImageRect(boxWidth, boxHeight, copy.width(), copy.height());
    *target = ResampledBitmap(copy, fit.width, fit.height);
}

void RotateBitmap90(QImage* bitmap, int angle) {
    if (!bitmap || bitmap->isNull()) return;
    const QImage source = ToBitmap24(*bitmap);
    const int width = source.width(), height = source.height();
    QImage turned = NewBitmap24(height, width);
    if (turned.isNull()) return;
    const bool clockwise = angle == 90;
    for (int y = 0; y < width; ++y) {
        uchar* target = turned.scanLine(y);
        for (int x = 0; x < height; ++x) {
            // Clockwise: new (x, y) = old (y, H - 1 - x); counter-clockwise: new (x, y) = old (W - 1 - y, x).
            const int oldX = clockwise ? y : width - 1 - y;
            const int oldY = clockwise ? height - 1 - x : x;
            const uchar* pixel = source.constScanLine(oldY) + qsizetype(oldX) * 3;
            target[3 * x] = pixel[0];
            target[3 * x + 1] = pixel[1];
            target[3 * x + 2] = pixel[2];
        }
    }
    *bitmap = turned;
}

QColor ShiftColor(const QColor& colour, int delta) {
    return QColor(ShiftChannel(colour.red(), delta), ShiftChannel(colour.green(), delta),
                  ShiftChannel(colour.blue(), delta), colour.alpha());
}
