#pragma once

#include <QHash>
#include <QString>

// What the data layer needs to know of a SELECT statement to write its rows back.
struct SelectShape {
    // The one table of the FROM clause; empty for a join, a list of tables or a sub-query.
    QString table;
    // Result names (lower case) of the plain columns of the select list and the table column each
    // reads; "Comment1 as [Color]" gives color -> Comment1. Expressions are absent.
    QHash<QString, QString> columns;
    // The select list holds "*": every result name not listed above is a column of the table.
    bool star = false;

    // The table column a result column writes to; empty when it is an expression.
    QString sourceOf(const QString& resultName) const;
};

SelectShape AnalyseSelect(const QString& statement);

// "[Name]" quoting (understood by SQLite) rewritten as standard "Name" quoting, which servers
// reached through ODBC understand; text between single quotes is left alone.
QString BracketsToQuotes(const QString& statement);
