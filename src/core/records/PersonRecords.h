#pragma once

#include <QString>

class Dataset;
class TDataModule1;

// The rows of a person's record as the record editor and the main window create and delete them. A person owns its
// photo, its image and file documents (rows and files), its events, its person-analyses with their results and its
// rows of the older tables Weight, Size, Action and Vaccine.

// DbDir + "Files/File" + Id + ".f": the stored copy of a file document.
QString StoredDocumentFile(qint64 id);

// The filter of the photo's open dialog, in the dialog's form: every picture the picture loader reads ("Tout"),
// then JPEG files, bitmaps, and the other formats this installation's image readers take (PNG, GIF, TIFF, WebP).
QString PhotoSelectionFilter();

// The new-row handler of the Person query: the memo columns get empty texts and the picture columns are cleared,
// the row is posted at once, so that it has its Id while the editor works on it, and put back into edit.
void PreparePersonNewRow(Dataset& person);

// The before-delete handling of the Person query: the person's photo file, and the person's image and file
// documents with their files, go before the row. Inside DeletePerson and DeleteCurrentPersonRow the files are only
// deleted once the whole deletion is committed; anyone else deleting a Person row gets them deleted at once.
bool PersonBeforeDelete(TDataModule1& data, Dataset& person, QString* error = nullptr);

// Gives the Person query of the data module its row rules: a new person is written at once (PreparePersonNewRow), so
// that it has its Id while it is entered, and a deleted person takes its photo and documents with it
// (PersonBeforeDelete). Whoever creates the data module for the windows installs them.
void InstallPersonRules(TDataModule1& data);

// Deletes the current person with everything it owns, in this order: the documents with their files, the rows of
// Weight, Size, Action, Vaccine, DocumentImg, DocumentFile and Event, the person-analyses with their results, then
// the row itself. The database work is one transaction and the files are deleted after its commit: a failure
// midway leaves the person whole, rows and files. False, with the reason, when nothing was deleted.
bool DeletePersonWithEverything(TDataModule1& data, QString* error = nullptr);

// Deletes the current Person row through the before-delete handling (a new person abandoned in the editor), in one
// transaction, the files after the commit.
bool DeleteCurrentPersonRow(TDataModule1& data, QString* error = nullptr);
