#include "core/records/PickListEntries.h"

#include "core/db/FrenchCollation.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int kVisibleEntries = 8;
constexpr int kFrame = 3;

bool SortsBefore(const QString& a, const QString& b) {
    return CompareForSorting(a, b) < 0;
}

} // namespace

QStringList ListLines(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    if (text.isEmpty()) return {};
    QStringList lines = text.split(lineEnd);
    // "a\r\nb\r\n" holds two entries, not three.
    if (lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QStringList PickListEntries(const QString& text, bool sorted, bool addEmptyEntry) {
    QStringList entries = ListLines(text);
    if (sorted) std::stable_sort(entries.begin(), entries.end(), SortsBefore);
    if (addEmptyEntry) entries.prepend(QString());
    return entries;
}

int PickListInitialSelection(const QStringList& entries, const QString& fieldText) {
    if (entries.size() < 2) return -1;
    const int match = static_cast<int>(entries.lastIndexOf(fieldText));
    return match >= 0 ? match : 0;
}

int PickListHeight(int entryCount, int entryHeight) {
    return qBound(1, entryCount, kVisibleEntries) * entryHeight + kFrame;
}

QRect PickListGeometry(const QRect& field, int entryCount, int entryHeight, const QRect& screen) {
    const int height = PickListHeight(entryCount, entryHeight);
    QRect list(field.left(), field.top() + field.height(), field.width(), height);
    if (list.top() + height > screen.top() + screen.height()) list.moveTop(field.top() - height - 1);
    return list;
}

QString FoldedSortedList(const QString& text) {
    QStringList kept;
    for (const QString& line : ListLines(text)) {
        const bool known = std::any_of(kept.cbegin(), kept.cend(), [&](const QString& entry) {
            return entry.compare(line, Qt::CaseInsensitive) == 0;
        });
        if (known) continue;
        kept.insert(std::upper_bound(kept.begin(), kept.end(), line, SortsBefore) - kept.begin(), line);
    }
    return kept.join(QLatin1Char('\n'));
}

QString StoredListText(const QString& editorText) {
    return ListLines(editorText).join(QStringLiteral("\r\n"));
}
