#include "core/db/UpdateScriptText.h"

#include "core/app/TextRoutines.h"

#include <QFile>
#include <QRegularExpression>

#include <utility>

QStringList SplitTextLines(const QString& text) {
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(kLineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

bool ReadTextLines(const QString& path, QStringList* lines, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(path, file.errorString());
        return false;
    }
    *lines = SplitTextLines(DecodeText(file.readAll()));
    return true;
}

ScriptCommand FindScriptCommand(const QString& line) {
    static const std::pair<QString, ScriptCommand> kKeywords[] = {
        {QStringLiteral("NotFieldType"), ScriptCommand::NotFieldType},
        {QStringLiteral("NotFieldExists"), ScriptCommand::NotFieldExists},
        {QStringLiteral("FieldExists"), ScriptCommand::FieldExists},
        {QStringLiteral("NotTableExists"), ScriptCommand::NotTableExists},
        {QStringLiteral("TableExists"), ScriptCommand::TableExists},
        {QStringLiteral("TableEmpty"), ScriptCommand::TableEmpty},
        {QStringLiteral("ConvertStatScript"), ScriptCommand::ConvertStatScript},
        {QStringLiteral("ReplaceStringInStatScript"), ScriptCommand::ReplaceStringInStatScript},
        {QStringLiteral("ConvertQueryScript"), ScriptCommand::ConvertQueryScript},
        {QStringLiteral("ReplaceStringInQueryScript"), ScriptCommand::ReplaceStringInQueryScript},
        {QStringLiteral("ExtractImageToJpeg"), ScriptCommand::ExtractImageToJpeg},
        {QStringLiteral("ExtractJpegImage"), ScriptCommand::ExtractJpegImage},
        {QStringLiteral("ResizeBitmapInDataBase"), ScriptCommand::ResizeBitmapInDataBase},
        {QStringLiteral("ConvertBitmapToJpegInDataBase"), ScriptCommand::ConvertBitmapToJpegInDataBase},
        {QStringLiteral("CompactDataBase"), ScriptCommand::CompactDataBase},
        {QStringLiteral("SqlExe"), ScriptCommand::SqlExe},
    };
    for (const auto& [keyword, command] : kKeywords)
        if (line.contains(keyword)) return command;
    return ScriptCommand::None;
}

bool IsTestCommand(ScriptCommand command) {
    switch (command) {
    case ScriptCommand::NotFieldType:
    case ScriptCommand::NotFieldExists:
    case ScriptCommand::FieldExists:
    case ScriptCommand::NotTableExists:
    case ScriptCommand::TableExists:
    case ScriptCommand::TableEmpty:
        return true;
    default:
        return false;
    }
}

bool IsCommentLine(const QString& line) {
    return line.startsWith(QLatin1String("//"));
}

bool IsEndLine(const QString& line) {
    return line.left(3).toUpper() == QLatin1String("END");
}

bool TextBetween(const QString& line, QChar open, QChar close, QString* text) {
    const qsizetype start = line.indexOf(open);
    const qsizetype end = line.indexOf(close);
    if (start < 0 || end <= start) return false;
    *text = line.mid(start + 1, end - start - 1);
    return true;
}

bool QuotedArguments(const QString& line, int count, QStringList* arguments) {
    QString inside;
    if (!TextBetween(line, QLatin1Char('('), QLatin1Char(')'), &inside)) return false;
    const QStringList parts = inside.split(QLatin1Char(','));
    if (parts.size() != count) return false;
    arguments->clear();
    for (const QString& part : parts) {
        if (part.size() < 2) return false;
        arguments->append(part.mid(1, part.size() - 2));
    }
    return true;
}

bool ReplaceArguments(const QString& line, QString* oldText, QString* newText) {
    const qsizetype open = line.indexOf(QLatin1Char('('));
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    const qsizetype close = line.indexOf(QLatin1Char(')'));
    if (open < 0 || comma < open + 3 || close < comma + 3) return false;
    *oldText = line.mid(open + 2, comma - open - 3);
    *newText = line.mid(comma + 2, close - comma - 3);
    return true;
}
