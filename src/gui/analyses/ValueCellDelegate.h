#pragma once

#include "core/analyses/ValueFormat.h"

#include <QStyledItemDelegate>

// Shows the numbers of a results column with the display pattern of the current person-analysis; an empty value
// (no bound given) stays empty.
class ValueCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ValueCellDelegate(QObject* parent = nullptr);

    void setPatterns(const ValuePatterns& patterns) { m_patterns = patterns; }
    const ValuePatterns& patterns() const { return m_patterns; }

    QString displayText(const QVariant& value, const QLocale& locale) const override;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    ValuePatterns m_patterns = DefaultValuePatterns();
};
