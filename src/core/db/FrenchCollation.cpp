#include "core/db/FrenchCollation.h"

#include <QByteArray>

#include <array>
#include <cstring>
#include <sqlite3.h>

namespace {

// Up to two folded characters per source character of the Latin ranges.
struct Folded {
    char16_t first = 0;
    char16_t second = 0;
};

constexpr char32_t kTableSize = 0x250;

const std::array<Folded, kTableSize>& FoldTable() {
    static const std::array<Folded, kTableSize> table = [] {
        std::array<Folded, kTableSize> result{};
        for (char32_t code = 0; code < kTableSize; ++code) {
            const QChar c(static_cast<char16_t>(code));
            QChar base = c;
            if (c.decompositionTag() == QChar::Canonical) base = c.decomposition().at(0);
            result[code].first = base.toLower().unicode();
        }
        const auto ligature = [&](char32_t code, char16_t a, char16_t b) { result[code] = {a, b}; };
        ligature(0x00C6, u'a', u'e'); // Æ
        ligature(0x00E6, u'a', u'e'); // æ
        ligature(0x0152, u'o', u'e'); // Œ
        ligature(0x0153, u'o', u'e'); // œ
        ligature(0x00DF, u's', u's'); // ß
        return result;
    }();
    return table;
}

// Reads folded characters one at a time from UTF-8 text.
class FoldedReader {
public:
    FoldedReader(const unsigned char* text, int length) : m_text(text), m_end(text + length) {}

    // 0 at the end.
    char32_t next() {
        if (m_pending) {
            const char32_t c = m_pending;
            m_pending = 0;
            return c;
        }
        if (m_text >= m_end) return 0;
        const char32_t code = decode();
        if (code < kTableSize) {
            const Folded& folded = FoldTable()[code];
            m_pending = folded.second;
            return folded.first;
        }
        if (code <= 0xFFFF) return QChar(static_cast<char16_t>(code)).toLower().unicode();
        return code;
    }

private:
    char32_t decode() {
        const unsigned char lead = *m_text++;
        int extra = 0;
        char32_t code = lead;
        if (lead >= 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else if (lead >= 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        }
        for (; extra > 0 && m_text < m_end; --extra)
            code = (code << 6) | (*m_text++ & 0x3F);
        return code;
    }

    const unsigned char* m_text;
    const unsigned char* m_end;
    char32_t m_pending = 0;
};

int CompareUtf8(const void* a, int lengthA, const void* b, int lengthB) {
    FoldedReader readerA(static_cast<const unsigned char*>(a), lengthA);
    FoldedReader readerB(static_cast<const unsigned char*>(b), lengthB);
    for (;;) {
        const char32_t ca = readerA.next();
        const char32_t cb = readerB.next();
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) break;
    }
    const int common = std::min(lengthA, lengthB);
    if (const int bytes = std::memcmp(a, b, static_cast<size_t>(common)); bytes != 0) return bytes < 0 ? -1 : 1;
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

int CollationCallback(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return CompareUtf8(a, lengthA, b, lengthB);
}

} // namespace

int CompareForSorting(const QString& a, const QString& b) {
    const QByteArray utf8A = a.toUtf8();
    const QByteArray utf8B = b.toUtf8();
    return CompareUtf8(utf8A.constData(), static_cast<int>(utf8A.size()), utf8B.constData(),
                       static_cast<int>(utf8B.size()));
}

bool RegisterFrenchCollation(sqlite3* handle) {
    return handle && sqlite3_create_collation(handle, "NOCASE", SQLITE_UTF8, nullptr, CollationCallback) == SQLITE_OK;
}
