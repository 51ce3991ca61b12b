#pragma once

#include <QString>
#include <QVector>

// An edit mask in the usual notation, for example "!99/99/0000;1;_":
// - "0" a required digit, "9" an optional digit, "#" an optional digit or sign, "L"/"l" a required/optional
//   letter, "A"/"a" a required/optional letter or digit, "C"/"c" a required/optional character; "\" makes the next
//   character a literal; every other character is a literal shown in place;
// - a leading "!" places unfilled optional positions at the left: when a separator is typed early, what was typed
//   before it moves to the right of its group ("9:" in "!90:00" shows "_9:__"), and the stored text loses its
//   leading blanks; without it they stay at the right and the stored text loses its trailing blanks;
// - after the first ";": "1" stores the literals with the value, "0" stores the typed characters only; after the
//   second ";": the character shown in an empty position (default "_").
//
// The edit text is what the field shows: one character per position, literals in place, the blank character in
// each unfilled position. The text is what is stored: an unfilled optional position is left out ("_5/_6/1985"
// gives "5/6/1985", which reads as a date), an unfilled required one is a blank, so an incomplete entry is kept as
// typed ("12/06/19__" gives "12/06/19  "); a field in which nothing is typed gives an empty text, not a row of
// literals.
class EditMask {
public:
    EditMask() = default;
    explicit EditMask(const QString& mask);

    bool isEmpty() const { return m_kinds.isEmpty(); }
    QString mask() const { return m_mask; }
    bool savesLiterals() const { return m_saveLiterals; }
    bool leadingBlanks() const { return m_leadingBlanks; }
    QChar blankChar() const { return m_blank; }

    int length() const { return static_cast<int>(m_kinds.size()); }
    bool isEditable(int position) const;
    bool isRequired(int position) const;
    // Whether c may be typed at an editable position.
    bool accepts(int position, QChar c) const;

    // The edit text of a field in which nothing is typed.
    QString emptyEditText() const;
    // The stored text of an edit text.
    QString text(const QString& editText) const;
    // The edit text showing a stored text. A text that matches the mask position by position, once the blanks
    // that the "!" rule drops are put back, is placed so; any other text is read group by group between the
    // separators, so "5/6/2024" shows "_5/_6/2024". Characters that a position does not accept are dropped.
    QString editText(const QString& text) const;
    // Every required position is filled.
    bool isComplete(const QString& editText) const;
    // No position is filled.
    bool isBlank(const QString& editText) const;

    // First editable position at or after position; length() when there is none.
    int nextEditable(int position) const;
    // Last editable position before position; -1 when there is none.
    int previousEditable(int position) const;

    // The result of a keystroke: the new edit text and cursor, and whether the keystroke was taken.
    struct Edit {
        QString editText;
        int cursor = 0;
        bool accepted = false;
    };
    // Types c with the cursor at position: it fills the next editable position that accepts it, or, when c is
    // the separator that follows, closes the group being typed and moves past the separator.
    Edit type(const QString& editText, int position, QChar c) const;
    // Empties the editable positions from..to-1; the cursor goes to from.
    Edit clear(const QString& editText, int from, int to) const;
    // Backspace: empties the editable position before the cursor and moves there.
    Edit backspace(const QString& editText, int position) const;
    // Delete: empties the editable position at or after the cursor; the cursor stays.
    Edit deleteForward(const QString& editText, int position) const;

private:
    enum class Kind { Literal, Digit, DigitOrSign, Letter, LetterOrDigit, Any };
    bool isFilled(const QString& editText, int position) const;
    // Moves the filled characters of the group of editable positions that ends before position to its right end.
    void justifyGroupBefore(QString& editText, int position) const;
    bool laidOutAsMask(const QString& candidate) const;

    QString m_mask;
    QVector<Kind> m_kinds;
    QVector<bool> m_required;
    QString m_literals; // per position: the literal, or a blank for editable ones
    bool m_saveLiterals = true;
    bool m_leadingBlanks = false;
    QChar m_blank = QLatin1Char('_');
};
