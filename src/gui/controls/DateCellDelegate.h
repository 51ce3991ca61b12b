#pragma once

#include <QStyledItemDelegate>

// Shows the dates that columns hold as ISO text ("yyyy-mm-dd") as the user reads and types them,
// "dd/mm/yyyy"; any other value is shown as it is.
class DateCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
};
