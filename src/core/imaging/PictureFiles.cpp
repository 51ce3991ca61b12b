#include "core/imaging/PictureFiles.h"

#include "core/app/PrivateFiles.h"
#include "core/imaging/Bitmaps.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/PictureLoading.h"
#include "core/imaging/Resampling.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace {

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

void RunStage(const std::function<void()>& betweenStages) {
    if (betweenStages) betweenStages();
}

} // namespace

bool CopyFileSafely(const QString& source, const QString& target, QString* error) {
    QFile in(source);
    if (!in.exists()) return Fail(error, QStringLiteral("Le fichier \"%1\" est introuvable.").arg(source));
    if (!in.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(source, in.errorString()));
    QSaveFile out(target);
    if (!OpenPrivately(out))
        return Fail(error, QStringLiteral("Impossible d'écrire le fichier \"%1\" : %2").arg(target, out.errorString()));
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) break;
    }
    if (in.error() != QFileDevice::NoError)
        return Fail(error, QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(source, in.errorString()));
    if (!out.commit())
        return Fail(error, QStringLiteral("Impossible d'écrire le fichier \"%1\" : %2").arg(target, out.errorString()));
    return true;
}

bool LimitToMaxWidth(QImage* bitmap, int maxWidth) {
    if (!bitmap || bitmap->isNull() || maxWidth <= 0 || (bitmap->width() <= maxWidth && bitmap->height() <= maxWidth))
        return false;
    const FitRect fit = FitImageRect(maxWidth, maxWidth, bitmap->width(), bitmap->height());
    ResampleBitmap(bitmap, fit.width, fit.height);
    return true;
}

bool WriteFullPicture(const QString& sourceFile, const QString& targetJpeg, int maxWidth, int jpegQuality,
                      QString* error, const std::function<void()>& betweenStages) {
    if (IsJpegFileName(sourceFile)) return CopyFileSafely(sourceFile, targetJpeg, error);
    QImage bitmap;
    if (!LoadPictureFile(&bitmap, sourceFile, error)) return false;
    bitmap = ToBitmap24(bitmap);
    RunStage(betweenStages);
    if (LimitToMaxWidth(&bitmap, maxWidth)) RunStage(betweenStages);
    if (!JpegSaveBitmap(bitmap, targetJpeg, jpegQuality, error)) return false;
    RunStage(betweenStages);
    return true;
}

QImage PadThumbnail(const QImage& fitted, int width, int height) {
    QImage thumbnail = NewBitmap24(width, height);
    if (thumbnail.isNull()) return {};
    thumbnail.fill(Qt::white);
    const QImage picture = ToBitmap24(fitted);
    const int left = (width - picture.width()) / 2, top = (height - picture.height()) / 2;
    // Copied byte for byte (a picture larger than the box is cut at its edges).
    const int firstX = qMax(0, -left), lastX = qMin(picture.width(), width - left);
    for (int y = qMax(0, -top); y < qMin(picture.height(), height - top) && firstX < lastX; ++y)
        std::memcpy(thumbnail.scanLine(top + y) + qsizetype(left + firstX) * 3,
                    picture.constScanLine(y) + qsizetype(firstX) * 3, size_t(lastX - firstX) * 3);
    return thumbnail;
}

QImage MakeThumbnail(const QImage& picture, int width, int height) {
    QImage fitted;
    if (!picture.isNull()) ShrinkPictureToBox(&fitted, picture, width, height);
    return PadThumbnail(fitted, width, height);
}

bool MakeThumbnailFromFile(const QString& sourceFile, int width, int height, QImage* thumbnail, QString* error) {
    if (!thumbnail) return false;
    QImage fitted;
    bool decoded;
    if (IsJpegFileName(sourceFile)) {
        QFile file(sourceFile);
        decoded = file.open(QIODevice::ReadOnly);
        if (!decoded)
            Fail(error,
                 QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(sourceFile, file.errorString()));
        else
            decoded = JpegDecodeFitted(file.readAll(), width, height, &fitted, error, sourceFile, JpegDamage::Refused);
    } else {
        QImage picture;
        decoded = LoadPictureFile(&picture, sourceFile, error);
        if (decoded) ShrinkPictureToBox(&fitted, picture, width, height);
    }
    *thumbnail = PadThumbnail(fitted, width, height);
    return decoded;
}
