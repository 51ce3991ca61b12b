#include "gui/analyses/ValueCellDelegate.h"

#include "core/app/NumberFormat.h"

#include <cmath>

ValueCellDelegate::ValueCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QString ValueCellDelegate::displayText(const QVariant& value, const QLocale& locale) const {
    if (value.isNull()) return {};
    bool ok = false;
    const double number = value.toDouble(&ok);
    // A text that another program stored in a number column is shown as it is.
    if (!ok) return QStyledItemDelegate::displayText(value, locale);
    return FormatFloatPattern(m_patterns.display, number, locale.decimalPoint().at(0));
}

void ValueCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}
