#pragma once

#include <QImage>
#include <QList>
#include <QStringList>

#include <initializer_list>

// What the lists drawn from memory hold (the persons of the main window, the analyses of the "Général" page): one
// tagged text per row, opening with the row's identifier, and a picture of the same index. Filled by the list that
// knows its statement; read by its model and its delegate, so that drawing runs no statement.
class TaggedEntryList {
public:
    void clear();

    int count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const QStringList& entries() const { return m_entries; }
    // The identifier an entry opens with; -1 outside the list.
    qint64 idAt(int index) const;
    // Index of the entry of that identifier; -1 when there is none.
    int indexOf(qint64 id) const;

    // For tests and for callers that build a list without a database.
    void append(const QString& entry, const QImage& picture);

protected:
    const QList<QImage>& pictures() const { return m_pictures; }

private:
    QStringList m_entries;
    QList<QImage> m_pictures;
};

// The tagged text of a row: the identifier written with at least idDigits digits, then each field after its marker
// ("%&a%", "%&b%", ...) and a closing marker. A marker that a field happens to contain is broken with an invisible
// zero-width space, so that it cannot cut the entry into the wrong pieces.
QString TaggedEntry(qint64 id, int idDigits, std::initializer_list<QString> fields);
