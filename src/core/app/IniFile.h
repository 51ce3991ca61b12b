#pragma once

#include <QList>
#include <QString>

class QByteArray;

// An INI file read and written the way Windows profile files behave, because the files it reads were
// written by Windows installations and users edit them by hand:
// - sections and keys are matched without regard to case; the first occurrence of a key wins;
// - a value is the text after the first "=", blanks around it trimmed; a value wrapped in matching
//   quotes reads without them; values are written unquoted;
// - comments and lines not understood are kept as they are; an existing key is rewritten in place,
//   a new key goes at the end of its section, a new section at the end of the file;
// - read as UTF-8, or as Windows-1252 when not valid UTF-8; written as UTF-8 with the file's line ends
//   (CR LF for a new file).
class IniFile {
public:
    explicit IniFile(const QString& path); // reads the file when it exists

    QString path() const { return m_path; }
    bool exists() const { return m_exists; } // the file existed when read

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // The default when the key is missing or does not hold a whole decimal number ("12abc" included).
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // False for 0, true for any other integer, the default otherwise.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // Line breaks in the value become blanks (a value holds one line). A value that would not read back
    // as written (blanks at its ends, or wrapped in quotes) is written between double quotes.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value); // 1 / 0

    // Writes the file through a temporary file renamed over it, so that a failure leaves the old file.
    bool save(QString* error = nullptr);

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        QString text; // the line as written to the file
        LineKind kind = LineKind::Other;
        QString name;  // section or key name
        QString value; // the text after "=", trimmed
    };

    static Line parseLine(const QString& text);
    int findSection(const QString& section) const;
    int sectionEnd(int sectionLine) const;
    int findKey(const QString& section, const QString& key) const;
    const Line* findKeyLine(const QString& section, const QString& key) const;

    QString m_path;
    bool m_exists = false;
    QString m_readError; // set when the file exists but could not be read: it is then never overwritten
    bool m_utf8Bom = false;
    QString m_lineEnd = QStringLiteral("\r\n");
    QList<Line> m_lines;
};
