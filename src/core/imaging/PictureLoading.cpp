#include "core/imaging/PictureLoading.h"

#include "core/imaging/Bitmaps.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/WindowsBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

} // namespace

bool IsJpegFileName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("jpeg"), Qt::CaseInsensitive) == 0;
}

bool DecodeBitmapSource(const QByteArray& data, QImage* bitmap, QString* error, const QString& fileName) {
    if (!bitmap) return false;
    *bitmap = QImage();
    if (data.startsWith("BM")) return ReadBitmapData(data, bitmap, error, fileName);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return Fail(error, QStringLiteral("Le format de l'image \"%1\" n'est pas reconnu.").arg(fileName));
    const QSize size = reader.size();
    if (size.isValid() && !CheckPictureSize(size.width(), size.height(), fileName, error)) return false;
    // Our own size limit replaces Qt's default one (256 MB), which would refuse large scans that we accept.
    reader.setAllocationLimit(int(MaxPicturePixels() * 4 / (1024 * 1024) + 1));
    const QImage picture = reader.read();
    if (picture.isNull())
        return Fail(error, QStringLiteral("L'image \"%1\" est illisible : %2").arg(fileName, reader.errorString()));
    if (!CheckPictureSize(picture.width(), picture.height(), fileName, error)) return false;
    *bitmap = ToBitmap24(picture);
    return !bitmap->isNull() ||
           Fail(error, QStringLiteral("Mémoire insuffisante pour lire l'image \"%1\".").arg(fileName));
}

bool LoadPictureFile(QImage* bitmap, const QString& fileName, QString* error) {
    if (!bitmap) return false;
    *bitmap = QImage();
    if (IsJpegFileName(fileName)) return JpegLoadBitmap(bitmap, fileName, error);
    QFile file(fileName);
    if (!file.exists()) return Fail(error, QStringLiteral("Le fichier \"%1\" est introuvable.").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error,
                    QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(fileName, file.errorString()));
    return DecodeBitmapSource(file.readAll(), bitmap, error, fileName);
}
