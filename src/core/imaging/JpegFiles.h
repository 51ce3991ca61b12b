#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG files, on libjpeg-turbo.
//
// Written files are baseline JFIF with three YCbCr components (chroma halved both ways, as cameras and cjpeg do).
// Read files may be baseline or progressive, with one component (grey) or three (YCbCr or RGB); four-component
// (CMYK, YCCK, their colours converted) too; other files are refused. A damaged file that the decoder can still
// follow (typically one cut short) is decoded as far as it goes, the rest left grey by the decoder, as other viewers
// show it, unless the caller refuses damaged files; a file it cannot follow at all is refused.
//
// Phone and camera pictures carry an EXIF orientation: the stored file keeps its bytes, but every decoded view of it
// is turned upright unless the caller asks for the stored layout.

// The single message of every encoding failure.
inline const char* const kJpegWriteError = "Error writing JPEG to file";

enum class JpegLayout { Upright, AsStored };
// What a picture cut short or with broken data is worth: shown as far as it goes, or refused (a picture about to be
// stored must not replace a good one with a grey block).
enum class JpegDamage { Tolerated, Refused };

struct JpegInfo {
    int width = 0; // as stored in the file
    int height = 0;
    int channels = 0;
    int orientation = 1; // EXIF orientation, 1 to 8
};

// Qualities run from 1 to 100; the settings allow up to 5000, so anything above 100 means 100 and below 1 means 1.
int ClampJpegQuality(int quality);

// Encodes a 24-bit bitmap; false (with kJpegWriteError) for a bitmap of any other format or an encoder failure.
bool JpegEncodeBitmap(const QImage& bitmap, int quality, QByteArray* jpeg, QString* error = nullptr);
// Encodes and writes the file safely (temporary file, then rename), replacing any existing file.
bool JpegSaveBitmap(const QImage& bitmap, const QString& fileName, int quality, QString* error = nullptr);

// Reads the parameters of a JPEG; false when they cannot be read.
bool JpegReadInfo(const QByteArray& jpeg, JpegInfo* info, QString* error = nullptr, const QString& fileName = {});

// Decodes the whole picture at full size: 8-bit grey for one channel, 24-bit for three. On any failure the bitmap
// is left empty and false returned (with a French message when error is given).
bool JpegDecodeBitmap(const QByteArray& jpeg, QImage* bitmap, QString* error = nullptr, const QString& fileName = {},
                      JpegLayout layout = JpegLayout::Upright);
bool JpegLoadBitmap(QImage* bitmap, const QString& fileName, QString* error = nullptr,
                    JpegLayout layout = JpegLayout::Upright);

// The upright picture fitted into a box and resampled to the fitted size (FitImageRect, then ResampleBitmap): the
// same pixels as decoding it whole and resampling, but only the rows that the resampler reads are fully decoded.
bool JpegDecodeFitted(const QByteArray& jpeg, int boxWidth, int boxHeight, QImage* fitted, QString* error = nullptr,
                      const QString& fileName = {}, JpegDamage damage = JpegDamage::Tolerated);
