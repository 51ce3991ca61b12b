#include "core/db/SqlText.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QString StripBrackets(QString name) {
    name = name.trimmed();
    if (name.size() >= 2 && ((name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) ||
                             (name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))))
        return name.mid(1, name.size() - 2);
    return name;
}

// Position of a keyword as a whole word outside quotes and parentheses, from a position; -1 if none.
qsizetype FindKeyword(const QString& text, const QString& keyword, qsizetype from = 0) {
    int depth = 0;
    QChar quote;
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote || (quote == QLatin1Char('[') && c == QLatin1Char(']'))) quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            quote = c;
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        if (depth != 0) continue;
        if (text.mid(i, keyword.size()).compare(keyword, Qt::CaseInsensitive) != 0) continue;
        const bool startOk = i == 0 || !(text[i - 1].isLetterOrNumber() || text[i - 1] == QLatin1Char('_'));
        const qsizetype end = i + keyword.size();
        const bool endOk = end >= text.size() || !(text[end].isLetterOrNumber() || text[end] == QLatin1Char('_'));
        if (startOk && endOk) return i;
    }
    return -1;
}

QStringList SplitTopLevel(const QString& text) {
    QStringList parts;
    int depth = 0;
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote || (quote == QLatin1Char('[') && c == QLatin1Char(']'))) quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 0) {
            parts << text.mid(start, i - start);
            start = i + 1;
        }
    }
    parts << text.mid(start);
    return parts;
}

} // namespace

QString SelectShape::sourceOf(const QString& resultName) const {
    const auto it = columns.constFind(resultName.toLower());
    if (it != columns.constEnd()) return it.value();
    return star ? resultName : QString();
}

SelectShape AnalyseSelect(const QString& statement) {
    SelectShape shape;
    const qsizetype select = FindKeyword(statement, QStringLiteral("SELECT"));
    const qsizetype from = FindKeyword(statement, QStringLiteral("FROM"), select < 0 ? 0 : select);
    if (select < 0 || from < 0) return shape;

    static const QRegularExpression plainColumn(
        QStringLiteral(R"(^(?:(?:\[[^\]]+\]|\w+)\.)?(\[[^\]]+\]|\w+)(?:\s+as\s+(\[[^\]]+\]|\w+))?$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression expressionAlias(QStringLiteral(R"(\s+as\s+(\[[^\]]+\]|\w+)$)"),
                                                    QRegularExpression::CaseInsensitiveOption);
    const QString list = statement.mid(select + 6, from - select - 6);
    for (const QString& rawItem : SplitTopLevel(list)) {
        const QString item = rawItem.simplified();
        if (item == QLatin1String("*") || item.endsWith(QLatin1String(".*"))) {
            shape.star = true;
            continue;
        }
        const QRegularExpressionMatch match = plainColumn.match(item);
        if (match.hasMatch()) {
            const QString column = StripBrackets(match.captured(1));
            const QString alias = match.captured(2).isEmpty() ? column : StripBrackets(match.captured(2));
            shape.columns.insert(alias.toLower(), column);
        } else if (const QRegularExpressionMatch aliasMatch = expressionAlias.match(item); aliasMatch.hasMatch()) {
            shape.columns.insert(StripBrackets(aliasMatch.captured(1)).toLower(), QString());
        }
    }

    // The FROM clause runs to the next clause keyword.
    qsizetype end = statement.size();
    for (const char* keyword : {"WHERE", "ORDER", "GROUP", "HAVING", "UNION"}) {
        const qsizetype at = FindKeyword(statement, QLatin1String(keyword), from + 4);
        if (at >= 0 && at < end) end = at;
    }
    const QString source = statement.mid(from + 4, end - from - 4).simplified();
    static const QRegularExpression singleTable(QStringLiteral(R"(^(\[[^\]]+\]|\w+)$)"));
    if (const QRegularExpressionMatch match = singleTable.match(source); match.hasMatch())
        shape.table = StripBrackets(match.captured(1));
    return shape;
}

QString BracketsToQuotes(const QString& statement) {
    QString result;
    result.reserve(statement.size());
    bool inString = false;
    bool inBrackets = false;
    for (const QChar c : statement) {
        if (inString) {
            if (c == QLatin1Char('\'')) inString = false;
            result += c;
        } else if (inBrackets) {
            if (c == QLatin1Char(']')) {
                inBrackets = false;
                result += QLatin1Char('"');
            } else {
                result += c;
            }
        } else if (c == QLatin1Char('\'')) {
            inString = true;
            result += c;
        } else if (c == QLatin1Char('[')) {
            inBrackets = true;
            result += QLatin1Char('"');
        } else {
            result += c;
        }
    }
    return result;
}
