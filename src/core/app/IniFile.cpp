#include "core/app/IniFile.h"

#include "core/app/PrivateFiles.h"
#include "core/app/TextRoutines.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool IsQuote(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

bool IsWrappedInQuotes(const QString& value) {
    return value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
}

QString Unquoted(const QString& value) {
    return IsWrappedInQuotes(value) ? value.mid(1, value.size() - 2) : value;
}

QString EncodedValue(const QString& value) {
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (oneLine != oneLine.trimmed() || IsWrappedInQuotes(oneLine))
        return QLatin1Char('"') + oneLine + QLatin1Char('"');
    return oneLine;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path) {
    QFile file(path);
    if (!file.exists()) return;
    m_exists = true;
    if (!file.open(QIODevice::ReadOnly)) {
        m_readError = file.errorString();
        return;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_utf8Bom = true;
        bytes.remove(0, 3);
    }
    QString text = DecodeText(bytes);
    if (text.contains(QLatin1String("\r\n")))
        m_lineEnd = QStringLiteral("\r\n");
    else if (text.contains(QLatin1Char('\n')))
        m_lineEnd = QStringLiteral("\n");

    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    if (text.isEmpty()) return;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        m_lines.append(parseLine(line));
    }
}

IniFile::Line IniFile::parseLine(const QString& text) {
    Line line;
    line.text = text;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = LineKind::Section;
            line.name = trimmed.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (trimmed.startsWith(QLatin1Char(';'))) return line;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0) return line;
    const QString name = text.left(equals).trimmed();
    if (name.isEmpty()) return line;
    line.kind = LineKind::Key;
    line.name = name;
    line.value = text.mid(equals + 1).trimmed();
    return line;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == LineKind::Section && SameName(m_lines[i].name, section)) return i;
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const {
    int i = sectionLine + 1;
    while (i < m_lines.size() && m_lines[i].kind != LineKind::Section)
        ++i;
    return i;
}

int IniFile::findKey(const QString& section, const QString& key) const {
    const int start = findSection(section);
    if (start < 0) return -1;
    const int end = sectionEnd(start);
    for (int i = start + 1; i < end; ++i)
        if (m_lines[i].kind == LineKind::Key && SameName(m_lines[i].name, key)) return i;
    return -1;
}

const IniFile::Line* IniFile::findKeyLine(const QString& section, const QString& key) const {
    const int index = findKey(section, key);
    return index < 0 ? nullptr : &m_lines[index];
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
    const Line* line = findKeyLine(section, key);
    return line ? Unquoted(line->value) : defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    const Line* line = findKeyLine(section, key);
    if (!line) return defaultValue;
    bool ok = false;
    const int value = Unquoted(line->value).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    const Line* line = findKeyLine(section, key);
    if (!line) return defaultValue;
    bool ok = false;
    const int value = Unquoted(line->value).toInt(&ok, 10);
    return ok ? value != 0 : defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString encoded = EncodedValue(value);
    const int sectionLine = findSection(section);
    if (sectionLine < 0) {
        // A blank line between sections keeps the file readable by whoever opens it in an editor.
        if (!m_lines.isEmpty() && !m_lines.last().text.trimmed().isEmpty()) m_lines.append(parseLine(QString()));
        m_lines.append(parseLine(QLatin1Char('[') + section + QLatin1Char(']')));
        m_lines.append(parseLine(key + QLatin1Char('=') + encoded));
        return;
    }
    const int keyLine = findKey(section, key);
    if (keyLine >= 0) {
        // Keep the key's spelling from the file: only the value changes.
        m_lines[keyLine] = parseLine(m_lines[keyLine].name + QLatin1Char('=') + encoded);
        return;
    }
    // After the section's last non-blank line, so the blank line that separates it from the next stays.
    int insertAt = sectionEnd(sectionLine);
    while (insertAt > sectionLine + 1 && m_lines[insertAt - 1].text.trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, parseLine(key + QLatin1Char('=') + encoded));
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::save(QString* error) {
    const QString shownPath = QFileInfo(m_path).absoluteFilePath();
    if (!m_readError.isEmpty()) {
        // Writing would replace content we never saw.
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier \"%1\" : il n'a pas été modifié.\n%2")
                         .arg(shownPath, m_readError);
        return false;
    }
    QString text;
    for (const Line& line : std::as_const(m_lines))
        text += line.text + m_lineEnd;
    QByteArray bytes = text.toUtf8();
    if (m_utf8Bom) bytes.prepend("\xEF\xBB\xBF");

    QSaveFile file(m_path);
    if (!OpenPrivately(file) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error =
                QStringLiteral("Impossible d'enregistrer le fichier \"%1\".\n%2").arg(shownPath, file.errorString());
        return false;
    }
    return true;
}
