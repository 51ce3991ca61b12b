#include "gui/controls/EditMask.h"

#include <QStringList>

#include <algorithm>

namespace {

// The fields of "mask;save;blank", split at the semicolons that no backslash escapes.
QStringList MaskFields(const QString& mask) {
    QStringList fields{QString()};
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('\\') && i + 1 < mask.size()) {
            fields.last() += c;
            fields.last() += mask.at(++i);
        } else if (c == QLatin1Char(';')) {
            fields << QString();
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

} // namespace

EditMask::EditMask(const QString& mask) : m_mask(mask) {
    const QStringList fields = MaskFields(mask);
    if (fields.size() > 1) m_saveLiterals = fields.at(1).trimmed() != QLatin1String("0");
    if (fields.size() > 2 && !fields.at(2).isEmpty()) m_blank = fields.at(2).at(0);

    const QString& positions = fields.at(0);
    for (int i = 0; i < positions.size(); ++i) {
        const QChar c = positions.at(i);
        Kind kind = Kind::Literal;
        bool required = false;
        switch (c.unicode()) {
        case '!':
            m_leadingBlanks = true;
            continue;
        case '\\':
            if (i + 1 < positions.size()) {
                m_kinds << Kind::Literal;
                m_required << false;
                m_literals += positions.at(++i);
            }
            continue;
        case '0':
            kind = Kind::Digit;
            required = true;
            break;
        case '9':
            kind = Kind::Digit;
            break;
        case '#':
            kind = Kind::DigitOrSign;
            break;
        case 'L':
            required = true;
            [[fallthrough]];
        case 'l':
            kind = Kind::Letter;
            break;
        case 'A':
            required = true;
            [[fallthrough]];
        case 'a':
            kind = Kind::LetterOrDigit;
            break;
        case 'C':
            required = true;
            [[fallthrough]];
        case 'c':
            kind = Kind::Any;
            break;
        default:
            break;
        }
        m_kinds << kind;
        m_required << required;
        m_literals += kind == Kind::Literal ? c : QLatin1Char(' ');
    }
}

bool EditMask::isEditable(int position) const {
    return position >= 0 && position < length() && m_kinds.at(position) != Kind::Literal;
}

bool EditMask::isRequired(int position) const {
    return isEditable(position) && m_required.at(position);
}

bool EditMask::accepts(int position, QChar c) const {
    if (!isEditable(position) || c == m_blank || c.isSpace() || !c.isPrint()) return false;
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    switch (m_kinds.at(position)) {
    case Kind::Digit:
        return digit;
    case Kind::DigitOrSign:
        return digit || c == QLatin1Char('+') || c == QLatin1Char('-');
    case Kind::Letter:
        return c.isLetter();
    case Kind::LetterOrDigit:
        return c.isLetterOrNumber();
    case Kind::Any:
        return true;
    case Kind::Literal:
        break;
    }
    return false;
}

QString EditMask::emptyEditText() const {
    QString text = m_literals;
    for (int p = 0; p < length(); ++p)
        if (isEditable(p)) text[p] = m_blank;
    return text;
}

bool EditMask::isFilled(const QString& editText, int position) const {
    if (!isEditable(position) || position >= editText.size()) return false;
    const QChar c = editText.at(position);
    return c != m_blank && !c.isSpace();
}

bool EditMask::isBlank(const QString& editText) const {
    for (int p = 0; p < length(); ++p)
        if (isFilled(editText, p)) return false;
    return true;
}

bool EditMask::isComplete(const QString& editText) const {
    for (int p = 0; p < length(); ++p)
        if (isRequired(p) && !isFilled(editText, p)) return false;
    return true;
}

QString EditMask::text(const QString& editText) const {
    if (isBlank(editText)) return QString();
    QString text;
    for (int p = 0; p < length(); ++p) {
        if (!isEditable(p)) {
            if (m_saveLiterals) text += m_literals.at(p);
        } else {
            if (isFilled(editText, p))
                text += editText.at(p);
            else if (isRequired(p))
                text += QLatin1Char(' ');
        }
    }
    if (m_leadingBlanks) {
        int start = 0;
        while (start < text.size() && text.at(start) == QLatin1Char(' '))
            ++start;
        return text.mid(start);
    }
    int end = static_cast<int>(text.size());
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

bool EditMask::laidOutAsMask(const QString& candidate) const {
    if (candidate.size() != length()) return false;
    for (int p = 0; p < length(); ++p) {
        const QChar c = candidate.at(p);
        if (!isEditable(p)) {
            if (c != m_literals.at(p)) return false;
        } else if (c != QLatin1Char(' ') && c != m_blank && !accepts(p, c)) {
            return false;
        }
    }
    return true;
}

QString EditMask::editText(const QString& text) const {
    QString result = emptyEditText();
    if (text.isEmpty() || isEmpty()) return result;

    const auto padded = [this](const QString& value, int width) {
        if (value.size() >= width) return value;
        const QString blanks(width - value.size(), QLatin1Char(' '));
        return m_leadingBlanks ? blanks + value : value + blanks;
    };

    if (!m_saveLiterals) {
        // Only the typed characters are stored: they fill the editable positions in order.
        int editable = 0;
        for (int p = 0; p < length(); ++p)
            if (isEditable(p)) ++editable;
        const QString value = padded(text, editable);
        int i = 0;
        for (int p = 0; p < length() && i < value.size(); ++p) {
            if (!isEditable(p)) continue;
            if (accepts(p, value.at(i))) result[p] = value.at(i);
            ++i;
        }
        return result;
    }

    const QString candidate = padded(text, length());
    if (laidOutAsMask(candidate)) {
        for (int p = 0; p < length(); ++p)
            if (accepts(p, candidate.at(p))) result[p] = candidate.at(p);
        return result;
    }

    // A text typed another way ("5/6/2024"): each group takes the characters up to its separator.
    int t = 0;
    int p = 0;
    while (p < length()) {
        if (!isEditable(p)) {
            if (t < text.size() && text.at(t) == m_literals.at(p)) ++t;
            ++p;
            continue;
        }
        int end = p;
        while (end < length() && isEditable(end))
            ++end;
        const QChar separator = end < length() ? m_literals.at(end) : QChar();
        QString characters;
        while (t < text.size() && (separator.isNull() || text.at(t) != separator)) {
            const QChar c = text.at(t++);
            if (accepts(p, c)) characters += c;
        }
        const int size = end - p;
        characters = characters.left(size);
        const int first = m_leadingBlanks ? end - static_cast<int>(characters.size()) : p;
        for (int i = 0; i < characters.size(); ++i)
            if (accepts(first + i, characters.at(i))) result[first + i] = characters.at(i);
        p = end;
    }
    return result;
}

int EditMask::nextEditable(int position) const {
    int p = std::max(0, position);
    while (p < length() && !isEditable(p))
        ++p;
    return std::min(p, length());
}

int EditMask::previousEditable(int position) const {
    int p = std::min(position, length()) - 1;
    while (p >= 0 && !isEditable(p))
        --p;
    return p;
}

void EditMask::justifyGroupBefore(QString& editText, int position) const {
    int start = position;
    while (start > 0 && isEditable(start - 1))
        --start;
    QString filled;
    for (int p = start; p < position; ++p)
        if (isFilled(editText, p)) filled += editText.at(p);
    const int firstFilled = position - static_cast<int>(filled.size());
    for (int p = start; p < position; ++p)
        editText[p] = p < firstFilled ? m_blank : filled.at(p - firstFilled);
}

EditMask::Edit EditMask::type(const QString& editText, int position, QChar c) const {
    Edit edit{editText.size() == length() ? editText : emptyEditText(), std::clamp(position, 0, length()), false};
    const int target = nextEditable(edit.cursor);
    if (target < length() && accepts(target, c)) {
        edit.editText[target] = c;
        edit.cursor = nextEditable(target + 1);
        edit.accepted = true;
        return edit;
    }
    // The separator the cursor was just moved past: typing it as well changes nothing.
    const int before = edit.cursor - 1;
    if (before >= 0 && !isEditable(before) && m_literals.at(before) == c) {
        edit.accepted = true;
        return edit;
    }
    int separator = edit.cursor;
    while (separator < length() && isEditable(separator))
        ++separator;
    if (separator < length() && m_literals.at(separator) == c) {
        if (m_leadingBlanks) justifyGroupBefore(edit.editText, separator);
        edit.cursor = nextEditable(separator + 1);
        edit.accepted = true;
    }
    return edit;
}

EditMask::Edit EditMask::clear(const QString& editText, int from, int to) const {
    Edit edit{editText.size() == length() ? editText : emptyEditText(), std::clamp(from, 0, length()), true};
    for (int p = std::max(0, from); p < std::min(to, length()); ++p)
        if (isEditable(p)) edit.editText[p] = m_blank;
    return edit;
}

EditMask::Edit EditMask::backspace(const QString& editText, int position) const {
    const int target = previousEditable(position);
    if (target < 0) return Edit{editText, position, false};
    return clear(editText, target, target + 1);
}

EditMask::Edit EditMask::deleteForward(const QString& editText, int position) const {
    const int target = nextEditable(position);
    if (target >= length()) return Edit{editText, position, false};
    Edit edit = clear(editText, target, target + 1);
    edit.cursor = position;
    return edit;
}
