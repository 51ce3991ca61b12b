#pragma once

#include <QImage>
#include <QString>

#include <functional>

// The file work of a stored picture, apart from the database row that owns it: the full picture written beside
// the database and the white-padded thumbnail that the row keeps (as a bitmap blob: WriteBitmapData).

// Copies a file byte for byte, safely: to a temporary file in the target's folder, then renamed over the target, so
// that a failure leaves the previous target whole.
bool CopyFileSafely(const QString& source, const QString& target, QString* error = nullptr);

// Reduces a bitmap whose width or height exceeds maxWidth to FitImageRect(maxWidth, maxWidth, ...); true when it was
// resampled. A maxWidth of 0 or less sets no limit.
bool LimitToMaxWidth(QImage* bitmap, int maxWidth);

// Writes the full picture of sourceFile to targetJpeg, safely. A JPEG source (".jpg", ".jpeg") is copied byte for
// byte, neither resized nor re-encoded, whatever its size; any other is loaded as a bitmap (PictureLoading.h),
// limited to maxWidth and encoded at jpegQuality. betweenStages, when given, runs after loading, after resampling and
// after encoding, so that the caller can keep its window responsive.
bool WriteFullPicture(const QString& sourceFile, const QString& targetJpeg, int maxWidth, int jpegQuality,
                      QString* error = nullptr, const std::function<void()>& betweenStages = {});

// A 24-bit bitmap of exactly width x height, white, with the fitted picture drawn on it at
// ((width - its width) / 2, (height - its height) / 2).
QImage PadThumbnail(const QImage& fitted, int width, int height);

// The thumbnail of a picture: fitted into the box, resampled to the fitted size (always, also when it fits) and
// padded.
QImage MakeThumbnail(const QImage& picture, int width, int height);

// The thumbnail of a picture file: a JPEG decoded upright (only the rows the resampler reads are fully decoded), any
// other file through the picture loader. A file that cannot be decoded whole (a damaged or truncated file, one that is
// no picture) gives an all-white thumbnail and false, with the reason in error.
bool MakeThumbnailFromFile(const QString& sourceFile, int width, int height, QImage* thumbnail,
                           QString* error = nullptr);
