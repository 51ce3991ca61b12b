#include "core/documents/StoredPictures.h"

#include "core/app/BusyCursor.h"
#include "core/app/Folders.h"
#include "core/app/Localisation.h"
#include "core/app/MessageService.h"
#include "core/app/Product.h"
#include "core/app/Settings.h"
#include "core/app/TextRoutines.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/imaging/PictureFiles.h"
#include "core/imaging/WindowsBitmap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const QString kSection = QStringLiteral("Lib_Bd_Gfx");

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// Long steps let the windows repaint; what the user types waits, so that nothing starts a second store meanwhile.
void LetWindowsBreathe() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

// Posts the row when it is being edited and reads its query again on the same row.
bool PostAndReopen(Dataset& row, QString* error) {
    if (!PostIfEditing(row, error)) {
        row.cancel();
        return false;
    }
    return RefreshKeepingId(row, error);
}

bool PrepareRow(Dataset& row, QString* error) {
    if (!row.isOpen() || IsEmptyDataSet(row) || row.recNo() < 0)
        return Fail(error, QStringLiteral("Aucune fiche n'est sélectionnée pour recevoir l'image."));
    if (!PostAndReopen(row, error)) return false;
    if (IsEmptyDataSet(row) || row.recNo() < 0)
        return Fail(error, QStringLiteral("La fiche qui devait recevoir l'image n'existe plus."));
    if (!EnsureEditing(row)) return Fail(error, QStringLiteral("Cette fiche ne peut pas être modifiée."));
    return true;
}

// "Name|*.ext|Other|*.x" as the file dialog writes it: "Name (*.ext);;Other (*.x)".
QString DialogFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i],
                                                 QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return filters.join(QStringLiteral(";;"));
}

// Replaces target by the file at temporary in one step (both in the same folder).
bool ReplaceFile(const QString& temporary, const QString& target, QString* error) {
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) == 0) return true;
    return Fail(error, QStringLiteral("Impossible d'écrire le fichier \"%1\" : %2")
                           .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

QString DocumentImageFile(qint64 id) {
    return DbDir() + QStringLiteral("Images/Doc") + QString::number(id) + QStringLiteral(".jpg");
}

QString PersonPhotoFile(qint64 id) {
    return DbDir() + QStringLiteral("Images/People") + QString::number(id) + QStringLiteral(".jpg");
}

bool StoreImage(Dataset& row, const QString& sourceFile, const QString& targetJpeg, const QString& thumbnailField,
                int thumbnailWidth, int thumbnailHeight, QString* error) {
    const BusyCursor busy;
    if (!row.hasField(thumbnailField))
        return Fail(error, QStringLiteral("La colonne \"%1\" est introuvable.").arg(thumbnailField));
    // A picture that does not decode whole would replace a good one with a grey block: it is refused before
    // anything changes.
    QImage thumbnail;
    if (!MakeThumbnailFromFile(sourceFile, thumbnailWidth, thumbnailHeight, &thumbnail, error)) return false;
    LetWindowsBreathe();
    if (!PrepareRow(row, error)) return false;

    // The full picture goes to a temporary file beside the target and replaces it only once the row holds the new
    // thumbnail: a failure at any step leaves the previous picture and its thumbnail as they were.
    const QFileInfo target(targetJpeg);
    if (!QDir().mkpath(target.absolutePath()))
        return Fail(error, QStringLiteral("Impossible de créer le dossier \"%1\".").arg(target.absolutePath()));
    QTemporaryFile pending(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!pending.open())
        return Fail(
            error, QStringLiteral("Impossible d'écrire le fichier \"%1\" : %2").arg(targetJpeg, pending.errorString()));
    pending.close();
    const Settings& settings = CurrentSettings();
    if (!WriteFullPicture(sourceFile, pending.fileName(), settings.maxWidth, settings.jpegQuality, error,
                          LetWindowsBreathe))
        return false;

    if (!row.setValue(thumbnailField, WriteBitmapData(thumbnail))) {
        row.cancel();
        return Fail(error,
                    QStringLiteral("Impossible d'enregistrer la vignette dans la colonne \"%1\".").arg(thumbnailField));
    }
    if (!PostIfEditing(row, error)) {
        row.cancel();
        return false;
    }
    if (!ReplaceFile(pending.fileName(), target.absoluteFilePath(), error)) return false;
    pending.setAutoRemove(false);
    return RefreshKeepingId(row, error);
}

bool ClearStoredImage(Dataset& row, const QString& imageField, const QString& targetJpeg, const QString& thumbnailField,
                      QString* error) {
    const BusyCursor busy;
    for (const QString& field : {imageField, thumbnailField})
        if (!row.hasField(field)) return Fail(error, QStringLiteral("La colonne \"%1\" est introuvable.").arg(field));
    if (!PrepareRow(row, error)) return false;
    row.clearField(imageField);
    row.clearField(thumbnailField);
    // The file goes only once the row no longer shows it.
    if (!PostAndReopen(row, error)) return false;
    return DeleteImageFile(targetJpeg, error);
}

bool DeleteImageFile(const QString& file, QString* error) {
    QFile picture(file);
    if (!picture.exists() || picture.remove()) return true;
    return Fail(error,
                QStringLiteral("Impossible de supprimer le fichier \"%1\" : %2").arg(file, picture.errorString()));
}

bool SaveImageCopyAs(const QString& storedFile, const QString& suggestedName, SaveFileChooser& chooser,
                     QString* error) {
    if (error) error->clear();
    const QFileInfo stored(storedFile);
    if (!stored.isFile()) {
        const QString message =
            LangString(kSection, QStringLiteral("Message1"),
                       QStringLiteral("IMPOSSIBLE DE TROUVER L'IMAGE !{CR}Le fichier \"%1\" a sans doute été "
                                      "supprimé manuellement et n'est plus accessible."))
                .arg(stored.absoluteFilePath());
        Messages().show(MessageIcon::Error, Product::kName, message);
        return Fail(error, message);
    }
    const QString filter =
        DialogFilter(LangString(kSection, QStringLiteral("String1"), QStringLiteral("Image Jpeg|*.jpg")));
    const QString title =
        LangString(kSection, QStringLiteral("String2"), QStringLiteral("Enregistrer l'image sous ..."));
    const QString chosen = chooser.chooseSaveFile(title, filter, QStringLiteral("jpg"), CleanFileName(suggestedName));
    if (chosen.isEmpty()) return false;

    // Only the name is cleaned: the folder the user chose is kept as it is.
    const QFileInfo chosenInfo(chosen);
    QString name = CleanFileName(chosenInfo.fileName());
    if (name.isEmpty()) return false;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".jpg");
    const QString target = chosenInfo.dir().filePath(name);
    QString copyError;
    if (!CopyFileSafely(stored.absoluteFilePath(), target, &copyError)) {
        Messages().show(MessageIcon::Error, Product::kName, copyError);
        return Fail(error, copyError);
    }
    return true;
}
