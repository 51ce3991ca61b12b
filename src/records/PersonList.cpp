#include "records/PersonList.h"

#include "app/DateRoutines.h"
#include "app/TextRoutines.h"
#include "db/Dataset.h"
#include "documents/ImageGeometry.h"
#include "documents/WindowsBitmap.h"
#include "records/Silhouette.h"

namespace {

const QString kMarkerStart = QStringLiteral("%&");
// U+200B ZERO WIDTH SPACE: draws nothing, but no marker can span it.
const QString kBrokenMarkerStart = QStringLiteral("%\u200B&");

QString Neutralised(const QString& value) {
    if (!value.contains(kMarkerStart)) return value;
    QString text = value;
    return text.replace(kMarkerStart, kBrokenMarkerStart);
}

QString Marker(char letter) { return QStringLiteral("%&") + QLatin1Char(letter) + QLatin1Char('%'); }

// Dates are stored as ISO text; the list keeps them as the user reads them.
QString DateField(const QVariant& value) {
    const QString text = value.isNull() ? QString() : value.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() && text.size() == 10 ? DateToText(date) : text;
}

QString TextField(const QVariant& value) { return value.isNull() ? QString() : value.toString(); }

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
    QString entry = ZeroPad(id, 4);
    entry.reserve(entry.size() + name.size() + foreName.size() + number.size() + 48);
    const QString values[] = {name, foreName, number, birthDate, birthTime, blood};
    char letter = 'a';
    for (const QString& value : values) {
        entry += Marker(letter++);
        entry += Neutralised(value);
    }
    entry += Marker(letter);
    return entry;
}

qint64 PersonListEntryId(const QString& entry) { return LeadingInteger(entry); }

QString PersonListEntryField(const QString& entry, int field) { return MarkedField(entry, field); }

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
    query.setSql({kStatement});
    if (!query.open(error)) return -1;

    const int idColumn = query.fieldIndex(QStringLiteral("Id"));
    const int nameColumn = query.fieldIndex(QStringLiteral("Name"));
    const int foreNameColumn = query.fieldIndex(QStringLiteral("ForeName"));
    const int numberColumn = query.fieldIndex(QStringLiteral("No"));
    const int dateColumn = query.fieldIndex(QStringLiteral("BirthDay_Date"));
    const int timeColumn = query.fieldIndex(QStringLiteral("BirthDay_Time"));
    const int bloodColumn = query.fieldIndex(QStringLiteral("Blood"));
    const int thumbnailColumn = query.fieldIndex(QStringLiteral("ImgMini1"));

    const int rows = query.recordCount();
    m_entries.reserve(rows);
    m_icons.reserve(rows);
    int selected = -1;
    for (int row = 0; row < rows; ++row) {
        const qint64 id = query.valueAt(row, idColumn).toLongLong();
        m_entries.append(PersonListEntry(id, TextField(query.valueAt(row, nameColumn)),
                                         TextField(query.valueAt(row, foreNameColumn)),
                                         TextField(query.valueAt(row, numberColumn)),
                                         DateField(query.valueAt(row, dateColumn)),
                                         TextField(query.valueAt(row, timeColumn)),
                                         TextField(query.valueAt(row, bloodColumn))));
        m_icons.append(PersonListIcon(query.valueAt(row, thumbnailColumn).toByteArray()));
        if (id == selectId && selected < 0) selected = row;
    }
    query.close();
    if (m_entries.isEmpty()) return -1;
    return selectId == -1 || selected < 0 ? 0 : selected;
}

void PersonList::clear() {
    m_entries.clear();
    m_icons.clear();
}

qint64 PersonList::idAt(int index) const {
    return index >= 0 && index < count() ? PersonListEntryId(m_entries[index]) : -1;
}

int PersonList::indexOf(qint64 id) const {
    for (int index = 0; index < count(); ++index)
        if (idAt(index) == id) return index;
    return -1;
}

void PersonList::append(const QString& entry, const QImage& icon) {
    m_entries.append(entry);
    m_icons.append(icon);
}
