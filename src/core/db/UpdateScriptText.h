#pragma once

#include <QString>
#include <QStringList>

// The text of an update script (".maj"): one command per line. Scripts of older installations were written in the
// Windows code page, later ones in UTF-8; lines end with CR LF, CR or LF.

// The lines of a text, whatever its line ends; a final line break does not make an empty last line.
QStringList SplitTextLines(const QString& text);
// Reads a text file (UTF-8, or Windows-1252 when it is not valid UTF-8) into lines; false when it cannot be read.
bool ReadTextLines(const QString& path, QStringList* lines, QString* error = nullptr);

// The commands, in the order in which a line is tested for their keywords: the first keyword found anywhere in the
// line (case-sensitive) decides.
enum class ScriptCommand {
    None,
    NotFieldType,
    NotFieldExists,
    FieldExists,
    NotTableExists,
    TableExists,
    TableEmpty,
    ConvertStatScript,
    ReplaceStringInStatScript,
    ConvertQueryScript,
    ReplaceStringInQueryScript,
    ExtractImageToJpeg,
    ExtractJpegImage,
    ResizeBitmapInDataBase,
    ConvertBitmapToJpegInDataBase,
    CompactDataBase,
    SqlExe,
};

ScriptCommand FindScriptCommand(const QString& line);
// Tests decide whether the lines up to the next "END" line run; the other commands change the data.
bool IsTestCommand(ScriptCommand command);

// A comment: its first two characters are "//".
bool IsCommentLine(const QString& line);
// The end of a block: its first three characters, in upper case, are "END".
bool IsEndLine(const QString& line);

// The characters strictly between the first open and the first close of the line; false when either is missing or
// close comes first.
bool TextBetween(const QString& line, QChar open, QChar close, QString* text);

// The count arguments of a line "Command('a','b',...)": the text between the first "(" and the first ")", cut at
// each comma, each part without its first and last character (its delimiters). False when the line does not have
// exactly that many arguments.
bool QuotedArguments(const QString& line, int count, QStringList* arguments);

// The old and new texts of "Replace...('old','new')": old from the second character after the first "(" to the
// second before the first ","; new from the second character after that "," to the second before the first ")".
bool ReplaceArguments(const QString& line, QString* oldText, QString* newText);
