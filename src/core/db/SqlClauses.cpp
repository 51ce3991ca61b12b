#include "core/db/SqlClauses.h"

#include "core/app/Folders.h"
#include "core/app/TextRoutines.h"

#include <QFile>
#include <QRegularExpression>

namespace {

const QString kFrom = QStringLiteral("FROM");
const QString kWhere = QStringLiteral("WHERE");
const QString kHaving = QStringLiteral("HAVING");
const QString kOrderBy = QStringLiteral("ORDER BY");

bool ReadLines(const QString& path, QStringList* lines, QString* error) {
    QFile file(ToSlashes(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier de requête \"%1\" :\n%2")
                         .arg(file.fileName(), file.errorString());
        return false;
    }
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\r|\n"));
    *lines = DecodeText(file.readAll()).split(kLineBreak);
    // The break that ends the last line opens no line of its own.
    if (!lines->isEmpty() && lines->last().isEmpty()) lines->removeLast();
    return true;
}

bool ReplaceClauseLine(QStringList* lines, const QString& keyword, const QString& clause, const QString& path,
                       QString* error) {
    const int index = FindClauseLine(*lines, keyword);
    if (index < 0) {
        if (error)
            *error = QStringLiteral("La requête du fichier \"%1\" n'a pas de ligne %2 à remplacer.")
                         .arg(ToSlashes(path), keyword);
        return false;
    }
    (*lines)[index] = keyword + QLatin1Char(' ') + clause;
    return true;
}

} // namespace

int FindClauseLine(const QStringList& lines, const QString& keyword) {
    const QString upperKeyword = keyword.toUpper();
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).toUpper().contains(upperKeyword)) return i;
    }
    return -1;
}

QString RewriteQueryFile(const QString& path, bool dropFirstLine, const QString& from, const QString& where,
                         const QString& having, const QString& orderBy, QString* error) {
    QStringList lines;
    if (!ReadLines(path, &lines, error)) return QString();
    if (dropFirstLine && !lines.isEmpty()) lines.removeFirst();

    if (!from.isEmpty() && !ReplaceClauseLine(&lines, kFrom, from, path, error)) return QString();
    if (!where.isEmpty() && !ReplaceClauseLine(&lines, kWhere, where, path, error)) return QString();
    if (!having.isEmpty()) {
        const QString havingLine = kHaving + QLatin1Char(' ') + having;
        const int index = FindClauseLine(lines, kHaving);
        if (index >= 0)
            lines[index] = havingLine;
        else if (!lines.isEmpty() && lines.last().toUpper().contains(kOrderBy))
            lines.insert(lines.size() - 1, havingLine);
        else
            lines.append(havingLine);
    }
    if (!orderBy.isEmpty() && !ReplaceClauseLine(&lines, kOrderBy, orderBy, path, error)) return QString();

    return lines.join(QStringLiteral("\r\n"));
}
