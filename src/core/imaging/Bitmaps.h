#pragma once

#include <QImage>

class QString;

// Pictures are processed as device-independent bitmaps held in QImage:
// - 24 bits: three bytes per pixel in the order blue, green, red, rows padded to a multiple of 4 bytes;
// - 8-bit grey: one byte per pixel, the grey level (what a one-channel JPEG decodes into).
constexpr QImage::Format kBitmap24Format = QImage::Format_BGR888;
constexpr QImage::Format kBitmapGreyFormat = QImage::Format_Grayscale8;

// A new 24-bit bitmap of that size (null when the size is empty or the memory cannot be had). Not initialised.
QImage NewBitmap24(int width, int height);

// A 24-bit copy of any picture (the picture itself when it already is one). Transparent parts are laid on white,
// since a stored picture has no transparency and white is the paper it is shown on.
QImage ToBitmap24(const QImage& picture);

// Pictures read from files are untrusted: a header may announce any size. Beyond these limits it is refused before
// anything is allocated. The pixel limit can be lowered (fuzzing, tests); it is process-wide.
constexpr int kMaxPictureSide = 65535;
constexpr qint64 kDefaultMaxPicturePixels = 150'000'000;
qint64 MaxPicturePixels();
void SetMaxPicturePixels(qint64 pixels);

// True when a picture of that size may be allocated; otherwise false with a French message naming the file.
bool CheckPictureSize(qint64 width, qint64 height, const QString& fileName, QString* error);

// EXIF orientation (1 to 8) of a JPEG's APP1 "Exif" segment (the bytes after the marker length); 1 when there is
// none or it cannot be read.
int ExifOrientation(const QByteArray& app1);

// Size of the upright view of a stored picture of that size (width and height swap for orientations 5 to 8).
QSize UprightSize(int orientation, int storedWidth, int storedHeight);
// Where the pixel (x, y) of the upright view lies in the stored picture.
QPoint StoredPixelOf(int orientation, int uprightX, int uprightY, int storedWidth, int storedHeight);
// The upright view of a stored picture (the picture itself for orientation 1).
QImage OrientUpright(const QImage& stored, int orientation);
