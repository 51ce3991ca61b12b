#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Windows bitmap files (".bmp") and the bitmap blobs of thumbnails, which are complete bitmap files.
//
// The reader takes every depth and layout that real files use: 1, 4 and 8 bits with a palette (also RLE8 and RLE4
// compressed), 16 and 32 bits with or without bit fields, 24 bits; bottom-up and top-down rows; the old 12-byte core
// header and the 40- to 124-byte info headers. It always gives a 24-bit bitmap; an alpha channel is ignored, as the
// system's own drawing does. The file is untrusted: a truncated file, a size beyond the picture limits (Bitmaps.h),
// a zero size, an unknown compression or a pixel offset outside the file is refused with a French message, and
// nothing is allocated before the size has been checked against what the file can hold.

// Reads a bitmap file image held in memory; fileName only names it in the error message.
bool ReadBitmapData(const QByteArray& data, QImage* bitmap, QString* error = nullptr, const QString& fileName = {});
bool ReadBitmapFile(const QString& fileName, QImage* bitmap, QString* error = nullptr);

// The complete 24-bit bitmap file image (file header, 40-byte info header, bottom-up rows) of any picture, which is
// converted to 24 bits first; empty for a null picture.
QByteArray WriteBitmapData(const QImage& picture);
// The same written to a file safely (a temporary file, then renamed).
bool WriteBitmapFile(const QImage& picture, const QString& fileName, QString* error = nullptr);
