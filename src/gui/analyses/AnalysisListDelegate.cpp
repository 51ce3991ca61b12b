#include "gui/analyses/AnalysisListDelegate.h"

#include "core/analyses/AnalysisList.h"
#include "core/analyses/AnalysisPictures.h"
#include "core/imaging/ImageGeometry.h"
#include "gui/controls/CardListColours.h"
#include "gui/controls/CellDrawing.h"
#include "gui/controls/CellFont.h"

#include <QAbstractItemView>
#include <QPainter>

namespace {

using namespace CardListColours;

const QColor kTitleColour(136, 136, 136);
const QColor kSeparatorDark(230, 230, 230);
const QColor kSeparatorLight(250, 250, 250);

constexpr int kTitleLeft = 40;
constexpr int kTitleRightAbsolute = 300;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
// No row text longer than this is laid out (a column filled by another program).
constexpr int kLongestShownText = 256;

} // namespace

AnalysisListDelegate::AnalysisListDelegate(const AnalysisList* list, QObject* parent)
    : QStyledItemDelegate(parent), m_list(list) {}

QSize AnalysisListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), kRowHeight + kRowGap);
}

void AnalysisListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const int clientWidth = view ? view->viewport()->width() : option.rect.right() + 1;
    painter->save();
    painter->fillRect(option.rect, kBackground);
    painter->restore();
    const QRect cell(option.rect.left(), option.rect.top(), option.rect.width(),
                     qMin(kRowHeight, option.rect.height()));
    paintRow(*painter, cell, index.row(), option.state.testFlag(QStyle::State_Selected), clientWidth);
}

void AnalysisListDelegate::paintRow(QPainter& painter, const QRect& cell, int row, bool highlighted,
                                    int clientWidth) const {
    painter.save();
    painter.setClipRect(cell);
    painter.fillRect(cell, kBackground);
    if (row < 0 || row >= m_list->count()) {
        painter.restore();
        return;
    }
    const int x0 = cell.left();
    const int y0 = cell.top();
    const int w = clientWidth;

    DrawRowBackground(painter, row, highlighted ? row : -1, cell, 3, 2, kBackground, kBackground, kSelectedBrush,
                      kSelectedPen);
    const QColor brush = highlighted ? kSelectedBrush : kBackground;
    DrawFramedPicture(painter, QRect(x0 + (highlighted ? 6 : 4), y0 + 4, 22, 22), m_list->thumbnails(), row, Qt::white,
                      kFrame, brush, 0, 0, 0);

    const QString& entry = m_list->entries()[row];
    // The title box runs to x = 300 of the list whatever the row's place; its height is the row's.
    const QRect titleBox(QPoint(x0 + kTitleLeft, y0 + 2), QPoint(kTitleRightAbsolute - 1, y0 + 32 - 1));
    if (titleBox.width() > 0) {
        CellFont font;
        font.style = CellFont::kBold;
        font.size = 15;
        const QString title = AnalysisListPiece(entry, 1).left(kLongestShownText);
        painter.save();
        painter.setClipRect(titleBox.intersected(cell));
        font.color = ShiftColor(kBackground, -30);
        DrawCellText(painter, titleBox.translated(1, 1), title, kTextFlags, font);
        font.color = kTitleColour;
        DrawCellText(painter, titleBox, title, kTextFlags, font);
        painter.restore();
    }

    const int bottom = y0 + cell.height();
    painter.fillRect(QRect(x0 + w - 120, y0 + 5, 1, qMax(0, bottom - 5 - (y0 + 5))), kSeparatorDark);
    painter.fillRect(QRect(x0 + w - 119, y0 + 5, 1, qMax(0, bottom - 5 - (y0 + 5))), kSeparatorLight);

    const QList<QImage>& icons = AnalysisBoundIcons();
    DrawImageListGlyph(painter, QRect(x0 + w - 115, y0 + 3, 12, 12), icons, 0);
    DrawImageListGlyph(painter, QRect(x0 + w - 115, y0 + 15, 12, 12), icons, 1);

    CellFont font;
    font.size = 8;
    const int textLeft = x0 + w - 97;
    const int textWidth = 93;
    DrawCellText(painter, QRect(textLeft, y0 + 2, textWidth, 15),
                 QStringLiteral("Maxi : ") + AnalysisListPiece(entry, 2).left(kLongestShownText), kTextFlags, font);
    DrawCellText(painter, QRect(textLeft, y0 + 14, textWidth, 15),
                 QStringLiteral("Mini  : ") + AnalysisListPiece(entry, 3).left(kLongestShownText), kTextFlags, font);
    painter.restore();
}
