#include "gui/records/PersonListDelegate.h"

#include "core/imaging/ImageGeometry.h"
#include "core/records/PersonList.h"
#include "gui/controls/CardListColours.h"
#include "gui/controls/CellDrawing.h"
#include "gui/controls/CellFont.h"

#include <QPainter>

namespace {

using namespace CardListColours;

const QColor kTextColour(30, 64, 121);

constexpr int kTextLeft = 62;
// A card line never shows more than this; a longer value (a column filled by another program)
// is cut before it is laid out, so that one odd row cannot slow the whole list down.
constexpr int kLongestShownText = 256;
constexpr int kTextRightMargin = 4;

// A line of the card: its offset below the row's top, its height, its font size and style.
struct CardLine {
    int field;
    int top;
    int height;
    int points;
    quint8 style;
};
constexpr CardLine kLines[] = {
    {1, 9, 16, 9, CellFont::kBold}, // name
    {2, 23, 16, 8, 0},              // forename, 14 pixels lower
    {3, 40, 12, 8, 0},              // social-security number, 17 pixels lower
};

} // namespace

PersonListDelegate::PersonListDelegate(const PersonList* list, QObject* parent)
    : QStyledItemDelegate(parent), m_list(list) {}

QSize PersonListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), kRowHeight);
}

void PersonListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    paintCard(*painter, option.rect, index.row(), option.state.testFlag(QStyle::State_Selected));
}

void PersonListDelegate::paintCard(QPainter& painter, const QRect& cell, int row, bool selected) const {
    painter.save();
    painter.setClipRect(cell);
    if (row < 0 || row >= m_list->count()) {
        painter.fillRect(cell, kBackground);
        painter.restore();
        return;
    }

    // Around the inset of the selected card the grid's own colour shows.
    if (selected) painter.fillRect(cell, kBackground);
    DrawRowBackground(painter, row, selected ? row : -1, cell, 3, 2, kBackground, kBackground, kSelectedBrush,
                      kSelectedPen);
    const QColor background = selected ? kSelectedBrush : kBackground;
    const QRect photo(cell.left() + (selected ? 6 : 4), cell.top() + 5, 49, 49);
    DrawFramedPicture(painter, photo, m_list->icons(), row, Qt::white, kFrame, background, 3, -120, 40);

    const QString& entry = m_list->entries()[row];
    const int left = cell.left() + kTextLeft;
    const int width = cell.left() + cell.width() - kTextRightMargin - left;
    if (width > 0) {
        const QColor shadow = ShiftColor(kBackground, -30);
        for (const CardLine& line : kLines) {
            const QString text = PersonListEntryField(entry, line.field).left(kLongestShownText);
            if (text.isEmpty()) continue;
            const QRect box(left, cell.top() + line.top, width, line.height);
            CellFont font;
            font.size = line.points;
            font.style = line.style;
            constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
            font.color = shadow;
            DrawCellText(painter, box.translated(1, 1), text, kFlags, font);
            font.color = kTextColour;
            DrawCellText(painter, box, text, kFlags, font);
        }
    }
    painter.restore();
}
