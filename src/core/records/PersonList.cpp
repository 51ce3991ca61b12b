#include "core/records/PersonList.h"

#include "core/app/DateRoutines.h"
#include "core/app/TextRoutines.h"
#include "core/db/Connection.h"
#include "core/db/Dataset.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/WindowsBitmap.h"
#include "core/records/Silhouette.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// Dates are stored as ISO text; the list keeps them as the user reads them.
QString DateField(const QVariant& value) {
    const QString text = value.isNull() ? QString() : value.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() && text.size() == 10 ? DateToText(date) : text;
}

QString TextField(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

// Thumbnails are decoded a batch at a time, on every processor, so that only a batch of blobs is
// held at once.
constexpr int kDecodeBatch = 256;

QList<QImage> DecodeIcons(const QList<QByteArray>& blobs) {
    QList<QImage> icons(blobs.size());
    QImage* out = icons.data();
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        for (qsizetype i = next++; i < blobs.size(); i = next++)
            out[i] = PersonListIcon(blobs[i]);
    };
    const int workers = int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    std::vector<std::thread> threads;
    for (int t = 1; t < workers && t < blobs.size(); ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    return icons;
}

const QImage& SilhouetteIcon() {
    static const QImage icon = [] {
        QImage reduced;
        ShrinkPictureToBox(&reduced, SilhouettePicture(), PersonList::kIconSide, PersonList::kIconSide);
        return reduced;
    }();
    return icon;
}

} // namespace

QString PersonListEntry(qint64 id, const QString& name, const QString& foreName, const QString& number,
                        const QString& birthDate, const QString& birthTime, const QString& blood) {
    return TaggedEntry(id, 4, {name, foreName, number, birthDate, birthTime, blood});
}

qint64 PersonListEntryId(const QString& entry) {
    return LeadingInteger(entry);
}

QString PersonListEntryField(const QString& entry, int field) {
    return MarkedField(entry, field);
}

QImage PersonListIcon(const QByteArray& thumbnail) {
    if (thumbnail.isEmpty()) return SilhouetteIcon();
    QImage picture;
    if (!ReadBitmapData(thumbnail, &picture) || picture.width() == 0) return SilhouetteIcon();
    QImage icon;
    ShrinkPictureToBox(&icon, picture, PersonList::kIconSide, PersonList::kIconSide);
    return icon;
}

int PersonList::load(Dataset& query, qint64 selectId, QString* error) {
    clear();
    query.close();
    QSqlDatabase db = QSqlDatabase::database(query.connectionName(), false);

    QHash<qint64, QImage> photos;
    {
        QSqlQuery thumbnails(db);
        thumbnails.setForwardOnly(true);
        if (!thumbnails.exec(StatementFor(db, kThumbnailStatement))) return Failed(thumbnails, error);
        QList<qint64> ids;
        QList<QByteArray> blobs;
        const auto decode = [&] {
            const QList<QImage> icons = DecodeIcons(blobs);
            for (int i = 0; i < ids.size(); ++i)
                photos.insert(ids[i], icons[i]);
            ids.clear();
            blobs.clear();
        };
        while (thumbnails.next()) {
            ids.append(thumbnails.value(0).toLongLong());
            blobs.append(thumbnails.value(1).toByteArray());
            if (blobs.size() == kDecodeBatch) decode();
        }
        decode();
    }

    QSqlQuery persons(db);
    persons.setForwardOnly(true);
    if (!persons.exec(StatementFor(db, kStatement))) return Failed(persons, error);
    int selected = -1;
    while (persons.next()) {
        const qint64 id = persons.value(0).toLongLong();
        if (id == selectId && selected < 0) selected = count();
        append(PersonListEntry(id, TextField(persons.value(1)), TextField(persons.value(2)),
                               TextField(persons.value(3)), DateField(persons.value(4)), TextField(persons.value(5)),
                               TextField(persons.value(6))),
               photos.value(id, SilhouetteIcon()));
    }
    if (persons.lastError().isValid()) return Failed(persons, error);
    if (isEmpty()) return -1;
    return selectId == -1 || selected < 0 ? 0 : selected;
}

int PersonList::Failed(const QSqlQuery& query, QString* error) {
    clear();
    if (error) *error = query.lastError().text();
    return -1;
}
