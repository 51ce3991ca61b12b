#include "gui/controls/CellFont.h"

QFont CellFont::toFont() const {
    QFont font(name.left(255));
    if (size > 0) font.setPointSize(size);
    font.setBold(style & kBold);
    font.setItalic(style & kItalic);
    font.setUnderline(style & kUnderline);
    font.setStrikeOut(style & kStrikeOut);
    return font;
}
