#pragma once

#include <QString>

class Dataset;

// Pictures tied to database rows. The full picture is a JPEG file in DbDir's Images/ folder, named after the Id of the
// row that owns it; the row keeps only a white-padded thumbnail, as a bitmap blob, in one of its columns.

// Thumbnail boxes of the two kinds of stored pictures.
constexpr int kDocumentThumbnailSize = 90;
constexpr int kPersonThumbnailSize = 115;

// DbDir() + "Images/Doc" + Id + ".jpg" and DbDir() + "Images/People" + Id + ".jpg".
QString DocumentImageFile(qint64 id);
QString PersonPhotoFile(qint64 id);

// Where the save dialog of SaveImageCopyAs comes from: the windows open a file dialog, tests script the answers.
class SaveFileChooser {
public:
    virtual ~SaveFileChooser() = default;
    // The chosen file name (a full path), or an empty text when the user cancelled. filter is in the file dialog's
    // form ("Image Jpeg (*.jpg)"); defaultExtension (without its dot) is what the dialog adds to a name without one.
    virtual QString chooseSaveFile(const QString& title, const QString& filter, const QString& defaultExtension,
                                   const QString& proposedName) = 0;
};

// Stores a picture for the current row of row: the row is posted, read again and put into edit; the full picture of
// sourceFile is written to targetJpeg (a JPEG copied byte for byte; any other picture limited to MaxWidth and encoded
// at JpegQuality, both from the settings) and its thumbnail, thumbnailWidth x thumbnailHeight, into the blob column
// thumbnailField; then the row is posted and read again. A source that does not decode whole (damaged, cut short,
// not a picture) is refused with a French message naming it.
// On failure nothing is replaced: the previous file stays whole and the row keeps its thumbnail. When the full
// picture cannot be written the row is left in edit; when the row cannot be posted its change is cancelled.
bool StoreImage(Dataset& row, const QString& sourceFile, const QString& targetJpeg, const QString& thumbnailField,
                int thumbnailWidth, int thumbnailHeight, QString* error = nullptr);

// Clears the columns imageField and thumbnailField of the current row of row (posted and read again before and
// after), then deletes targetJpeg when it exists. The file is kept when the row could not be cleared.
bool ClearStoredImage(Dataset& row, const QString& imageField, const QString& targetJpeg, const QString& thumbnailField,
                      QString* error = nullptr);

// Deletes the file when it exists; true when it is gone (also when it never existed).
bool DeleteImageFile(const QString& file, QString* error = nullptr);

// Asks the chooser for a file name, proposing suggestedName cleaned of the characters that file names cannot hold,
// and copies storedFile there, replacing an existing file. A missing stored file or a failed copy is told to the user
// through the message service (and put into error); false then, and also, with an empty error, when the user
// cancelled.
bool SaveImageCopyAs(const QString& storedFile, const QString& suggestedName, SaveFileChooser& chooser,
                     QString* error = nullptr);
