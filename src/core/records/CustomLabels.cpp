#include "core/records/CustomLabels.h"

#include "core/db/Dataset.h"

namespace {

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// Opens query on statement; true with a row current (added when there was none).
bool OpenLabelRow(Dataset& query, const QString& statement, QString* error) {
    query.close();
    QString reason;
    if (!query.setSql({statement}) || !query.open(&reason)) return Fail(error, reason);
    if (!query.isEmpty()) return true;
    if (query.append() && query.setValue(QStringLiteral("Id_File"), kCustomLabelWorkGroup) && query.post(&reason))
        return true;
    query.cancel();
    query.close();
    return Fail(error, reason.isEmpty() ? QStringLiteral("Impossible de créer la ligne des libellés.") : reason);
}

} // namespace

QString CustomLabelColumn(int number) {
    return QStringLiteral("Misc%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString CustomLabelColumnOfName(const QString& labelName) {
    const QString column = labelName.right(6);
    for (int number = 1; number <= kCustomLabelCount; ++number)
        if (column.compare(CustomLabelColumn(number), Qt::CaseInsensitive) == 0) return CustomLabelColumn(number);
    return {};
}

bool ReadCustomLabels(Dataset& query, QStringList* labels, QString* error) {
    const QString statement =
        QStringLiteral("SELECT * FROM CustomLab WHERE Id_File=") + QString::number(kCustomLabelWorkGroup);
    if (!OpenLabelRow(query, statement, error)) return false;
    QStringList read;
    for (int number = 1; number <= kCustomLabelCount; ++number)
        read << query.asString(CustomLabelColumn(number));
    query.close();
    if (labels) *labels = read;
    return true;
}

bool StoreCustomLabel(Dataset& query, const QString& column, const QString& text, QString* error) {
    if (CustomLabelColumnOfName(column) != column)
        return Fail(error, QStringLiteral("Le libellé \"%1\" n'existe pas.").arg(column));
    if (!OpenLabelRow(query, QStringLiteral("SELECT * FROM CustomLab"), error)) return false;
    query.first();
    QString reason;
    const bool stored = query.edit() && query.setValue(column, text) && query.post(&reason);
    if (!stored) query.cancel();
    query.close();
    if (stored) return true;
    return Fail(error, reason.isEmpty() ? QStringLiteral("Le libellé \"%1\" n'a pas pu être enregistré.").arg(column)
                                        : reason);
}
