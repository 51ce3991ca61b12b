#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture file loader used wherever a picture file is loaded for display or editing.
//
// ".jpg" and ".jpeg" (compared without regard to case) are decoded whole by the JPEG decoder: 24 bits, 8-bit grey
// for a one-channel file, turned upright after its EXIF orientation. Any other file is a bitmap source: a Windows
// bitmap (recognised by its content, whatever its name) is read by our own reader, and the other common formats
// users have (PNG, TIFF, WebP, GIF) through Qt's image readers; both give 24 bits, transparent parts on white.

bool IsJpegFileName(const QString& fileName);

bool LoadPictureFile(QImage* bitmap, const QString& fileName, QString* error = nullptr);

// A bitmap source held in memory (anything but JPEG by name); fileName names it in messages.
bool DecodeBitmapSource(const QByteArray& data, QImage* bitmap, QString* error = nullptr, const QString& fileName = {});
