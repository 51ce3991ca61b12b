#include "core/app/TaggedEntryList.h"

#include "core/app/TextRoutines.h"

namespace {

const QString kMarkerStart = QStringLiteral("%&");
// U+200B ZERO WIDTH SPACE: draws nothing, but no marker can span it.
const QString kBrokenMarkerStart = QStringLiteral("%\u200B&");

QString Neutralised(const QString& value) {
    if (!value.contains(kMarkerStart)) return value;
    QString text = value;
    return text.replace(kMarkerStart, kBrokenMarkerStart);
}

QString Marker(char letter) {
    return QStringLiteral("%&") + QLatin1Char(letter) + QLatin1Char('%');
}

} // namespace

void TaggedEntryList::clear() {
    m_entries.clear();
    m_pictures.clear();
}

qint64 TaggedEntryList::idAt(int index) const {
    // The identifier is read up to the first marker, so that one of any length comes back whole.
    return index >= 0 && index < count() ? LeadingInteger(m_entries[index]) : -1;
}

int TaggedEntryList::indexOf(qint64 id) const {
    for (int index = 0; index < count(); ++index)
        if (idAt(index) == id) return index;
    return -1;
}

void TaggedEntryList::append(const QString& entry, const QImage& picture) {
    m_entries.append(entry);
    m_pictures.append(picture);
}

QString TaggedEntry(qint64 id, int idDigits, std::initializer_list<QString> fields) {
    QString entry = ZeroPad(id, idDigits);
    qsizetype length = entry.size() + 4 * (qsizetype(fields.size()) + 1);
    for (const QString& field : fields)
        length += field.size();
    entry.reserve(length);
    char letter = 'a';
    for (const QString& field : fields) {
        entry += Marker(letter++);
        entry += Neutralised(field);
    }
    entry += Marker(letter);
    return entry;
}
