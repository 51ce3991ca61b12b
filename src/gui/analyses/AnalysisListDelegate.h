#pragma once

#include <QStyledItemDelegate>

class AnalysisList;

// Draws a row of the analysis list: the highlighted row inset in pale blue, the 18 x 18 thumbnail in a framed 22 x 22
// box, the title in grey with a light shadow (cut at x = 300), a separator, the two arrows and the "Maxi" and "Mini"
// texts at the right edge. Drawing reads the list in memory only.
class AnalysisListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Rows are 30 pixels high, 2 pixels apart.
    static constexpr int kRowHeight = 30;
    static constexpr int kRowGap = 2;

    explicit AnalysisListDelegate(const AnalysisList* list, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Draws row `row` into cell (its 30 pixels; the gap below is the caller's), w being the list's client width.
    void paintRow(QPainter& painter, const QRect& cell, int row, bool highlighted, int clientWidth) const;

private:
    const AnalysisList* m_list;
};
