#include "core/records/PersonRecords.h"

#include "core/app/BusyCursor.h"
#include "core/app/Folders.h"
#include "core/app/MessageService.h"
#include "core/db/DatabaseTransaction.h"
#include "core/db/Dataset.h"
#include "core/db/DatasetRoutines.h"
#include "core/db/TDataModule1.h"
#include "core/documents/StoredPictures.h"

#include <QImageReader>

#include <functional>
#include <utility>

namespace {

const QStringList kMemoColumns{QStringLiteral("Org_Secu"), QStringLiteral("Org_Comp"), QStringLiteral("Previous"),
                               QStringLiteral("Misc11"), QStringLiteral("Misc12")};
const QStringList kPictureColumns{QStringLiteral("ImgMini1"), QStringLiteral("ImgMini2"), QStringLiteral("ImgMini3"),
                                  QStringLiteral("ImgMini4"), QStringLiteral("Img1"),     QStringLiteral("Img2"),
                                  QStringLiteral("Img3"),     QStringLiteral("Img4")};

// The person's rows of the tables that own nothing themselves, in the order they go.
const QStringList kOwnedRowStatements{
    QStringLiteral("DELETE FROM Weight WHERE Weight.Id_Ref="),
    QStringLiteral("DELETE FROM [Size] WHERE [Size].Id_Ref="),
    QStringLiteral("DELETE FROM [Action] WHERE Action.Id_Ref="),
    QStringLiteral("DELETE FROM Vaccine WHERE Vaccine.Id_Ref="),
    QStringLiteral("DELETE FROM DocumentImg WHERE DocumentImg.Id_Ref="),
    QStringLiteral("DELETE FROM DocumentFile WHERE DocumentFile.Id_Ref="),
    QStringLiteral("DELETE FROM Event WHERE Event.Id_Ref="),
};

const QString kPersonAnalysesWhere = QStringLiteral("WHERE L_Analysis.Id_Ref=");
const QString kAllPersonAnalysesWhere = QStringLiteral("WHERE L_ANALYSIS.Id_Analysis>-1");

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// While a deletion runs in a transaction, the files it removes are only listed; they are deleted once the
// transaction is committed, so that a rolled-back deletion finds its pictures and documents still there.
class DeferredFileDeletions {
public:
    DeferredFileDeletions() : m_previous(s_current) { s_current = this; }
    ~DeferredFileDeletions() { s_current = m_previous; }
    DeferredFileDeletions(const DeferredFileDeletions&) = delete;
    DeferredFileDeletions& operator=(const DeferredFileDeletions&) = delete;

    static DeferredFileDeletions* current() { return s_current; }
    void add(const QString& file) {
        if (!m_files.contains(file)) m_files.append(file);
    }
    // After the commit: the rows are gone, so a file that cannot be deleted is only told about.
    void deleteAll() {
        for (const QString& file : std::as_const(m_files)) {
            QString error;
            if (!DeleteImageFile(file, &error)) Messages().show(MessageIcon::Warning, QString(), error);
        }
        m_files.clear();
    }

private:
    static inline DeferredFileDeletions* s_current = nullptr;
    DeferredFileDeletions* m_previous;
    QStringList m_files;
};

// Outside a deferred deletion the file goes at once, before its row.
bool RemoveFileWithRow(const QString& file, QString* error) {
    if (DeferredFileDeletions* deferred = DeferredFileDeletions::current()) {
        deferred->add(file);
        return true;
    }
    return DeleteImageFile(file, error);
}

// Opens documents on the person's rows and deletes them one by one, each with its file. The query's own
// before-delete hook is set aside meanwhile: the file is dealt with here, after the commit when one is awaited.
bool DeleteDocumentsOf(Dataset& documents, const QString& whereLine, qint64 personId,
                       const std::function<QString(qint64)>& fileOf, QString* error) {
    documents.close();
    if (!ReplaceWhereLine(documents, whereLine + QString::number(personId), error) || !documents.open(error))
        return false;
    auto ownHook = std::exchange(documents.beforeDelete, nullptr);
    bool deleted = true;
    while (deleted && !documents.isEmpty()) {
        const qint64 id = documents.asInteger(QStringLiteral("Id"));
        deleted = RemoveFileWithRow(fileOf(id), error) && documents.remove(error);
    }
    documents.beforeDelete = std::move(ownHook);
    documents.close();
    return deleted;
}

bool DeletePersonDocuments(TDataModule1& data, qint64 personId, QString* error) {
    return DeleteDocumentsOf(*data.DocumentImg, QStringLiteral("WHERE DocumentImg.Id_Ref="), personId,
                             &DocumentImageFile, error) &&
           DeleteDocumentsOf(*data.DocumentFile, QStringLiteral("WHERE DocumentFile.Id_Ref="), personId,
                             &StoredDocumentFile, error);
}

bool DeletePersonAnalyses(TDataModule1& data, qint64 personId, QString* error) {
    Dataset& analyses = *data.L_Analysis;
    analyses.close();
    if (!ReplaceWhereLine(analyses, kPersonAnalysesWhere + QString::number(personId), error)) return false;
    // Each person-analysis takes its results with it (the query's own before-delete hook).
    bool deleted = analyses.open(error);
    while (deleted && !analyses.isEmpty())
        deleted = analyses.remove(error);
    analyses.close();
    ReplaceWhereLine(analyses, kAllPersonAnalysesWhere);
    return deleted;
}

// After a rolled-back deletion the Person query may have dropped the row from its memory: it is read again and
// comes back to the person.
void ReadPersonAgain(Dataset& person, qint64 personId) {
    QString ignored;
    person.close();
    if (person.open(&ignored)) person.locate(personId);
}

bool CurrentPersonId(Dataset& person, qint64* id, QString* error) {
    if (!person.isOpen() || IsEmptyDataSet(person) || person.recNo() < 0 || person.isNull(QStringLiteral("Id")))
        return Fail(error, QStringLiteral("Aucun carnet de santé n'est sélectionné."));
    *id = person.asInteger(QStringLiteral("Id"));
    return true;
}

} // namespace

QString StoredDocumentFile(qint64 id) {
    return DbDir() + QStringLiteral("Files/File") + QString::number(id) + QStringLiteral(".f");
}

QString PhotoSelectionFilter() {
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    QStringList others;
    for (const char* format : {"png", "gif", "tif", "tiff", "webp"})
        if (readable.contains(QByteArray(format))) others << QStringLiteral("*.") + QLatin1String(format);
    const QString jpeg = QStringLiteral("*.jpg *.jpeg");
    const QString bitmaps = QStringLiteral("*.bmp");
    QStringList filters{
        QStringLiteral("Tout (%1)")
            .arg(QStringList{jpeg, bitmaps, others.join(QLatin1Char(' '))}.join(QLatin1Char(' ')).trimmed()),
        QStringLiteral("Fichier image JPEG (%1)").arg(jpeg), QStringLiteral("Bitmaps (%1)").arg(bitmaps)};
    if (!others.isEmpty()) filters << QStringLiteral("Autres images (%1)").arg(others.join(QLatin1Char(' ')));
    return filters.join(QStringLiteral(";;"));
}

void PreparePersonNewRow(Dataset& person) {
    for (const QString& column : kMemoColumns)
        person.setValue(column, QStringLiteral(""));
    for (const QString& column : kPictureColumns)
        person.clearField(column);
    QString error;
    // A row that cannot be written stays a new row; the editor's Ok tries again, its Annuler drops it.
    if (!person.post(&error)) {
        Messages().show(MessageIcon::Error, QString(), error);
        return;
    }
    person.edit();
}

bool PersonBeforeDelete(TDataModule1& data, Dataset& person, QString* error) {
    const qint64 id = person.asInteger(QStringLiteral("Id"));
    BusyCursor busy;
    return RemoveFileWithRow(PersonPhotoFile(id), error) && DeletePersonDocuments(data, id, error);
}

void InstallPersonRules(TDataModule1& data) {
    data.Person->onNewRecord = [](Dataset& person) { PreparePersonNewRow(person); };
    data.Person->beforeDelete = [&data](Dataset& person, QString* error) {
        return PersonBeforeDelete(data, person, error);
    };
}

bool DeletePersonWithEverything(TDataModule1& data, QString* error) {
    Dataset& person = *data.Person;
    qint64 id = -1;
    if (!CurrentPersonId(person, &id, error)) return false;
    BusyCursor busy;
    DeferredFileDeletions files;
    DatabaseTransaction transaction(person.connectionName());
    if (!transaction.begin(error)) return false;

    bool deleted = DeletePersonDocuments(data, id, error);
    for (const QString& statement : kOwnedRowStatements) {
        if (!deleted) break;
        deleted = ExecSql(*data.Query, statement + QString::number(id), error);
    }
    data.Query->close();
    deleted = deleted && DeletePersonAnalyses(data, id, error) && person.remove(error) && transaction.commit(error);
    if (!deleted) {
        transaction.rollback();
        ReadPersonAgain(person, id);
        return false;
    }
    files.deleteAll();
    return true;
}

bool DeleteCurrentPersonRow(TDataModule1& data, QString* error) {
    Dataset& person = *data.Person;
    qint64 id = -1;
    if (person.state() == Dataset::State::Insert) {
        // Never written: nothing on disk or in the database belongs to it yet.
        person.cancel();
        return true;
    }
    if (!CurrentPersonId(person, &id, error)) return false;
    DeferredFileDeletions files;
    DatabaseTransaction transaction(person.connectionName());
    if (!transaction.begin(error)) return false;
    if (!person.remove(error) || !transaction.commit(error)) {
        transaction.rollback();
        ReadPersonAgain(person, id);
        return false;
    }
    files.deleteAll();
    return true;
}
