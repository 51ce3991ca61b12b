#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// What the drop-down pick list and the list editor do with the text of a list, apart from showing it. A list is
// one text with one entry per line; lines end with CR LF, CR or LF, and a final line end adds no entry.

// The entries of a list text, in order (a blank line is an empty entry).
QStringList ListLines(const QString& text);
// The entries the drop-down shows: the lines of text, sorted without regard to case when sorted is true, after
// one empty entry when addEmptyEntry is true (it stays first).
QStringList PickListEntries(const QString& text, bool sorted, bool addEmptyEntry);
// The entry selected when the drop-down opens over a field holding fieldText: none (-1) with fewer than two
// entries; otherwise the last entry equal to fieldText (same case), or the first entry when none is.
int PickListInitialSelection(const QStringList& entries, const QString& fieldText);
// The drop-down's height: eight entries at most, one entry's height when it holds none, plus 3 pixels.
int PickListHeight(int entryCount, int entryHeight);
// Where the drop-down opens: under the field and as wide as it, or just above it (ending 1 pixel above the field)
// when it would pass the bottom of the screen's usable area. All in screen coordinates.
QRect PickListGeometry(const QRect& field, int entryCount, int entryHeight, const QRect& screen);

// The text the list editor shows: the lines of text sorted without regard to case, each once (of entries equal
// without regard to case only the first one read stays), one per line.
QString FoldedSortedList(const QString& text);
// The editor's text as it is stored: its lines joined by CR LF.
QString StoredListText(const QString& editorText);
