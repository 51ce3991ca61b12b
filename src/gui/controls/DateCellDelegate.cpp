#include "gui/controls/DateCellDelegate.h"

#include "core/app/DateRoutines.h"

QString DateCellDelegate::displayText(const QVariant& value, const QLocale& locale) const {
    if (value.metaType().id() == QMetaType::QDate) return DateToText(value.toDate());
    if (value.metaType().id() == QMetaType::QDateTime) return DateToText(value.toDateTime().date());
    const QString text = value.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    if (date.isValid() && (text.size() == 10 || text.at(10) == QLatin1Char('T') || text.at(10) == QLatin1Char(' ')))
        return DateToText(date);
    return QStyledItemDelegate::displayText(value, locale);
}
