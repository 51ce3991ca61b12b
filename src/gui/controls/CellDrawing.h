#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

class QPainter;
struct CellFont;

// The small canvas routines with which the list grids paint their cells, on any paint device. Rectangles are
// painted the way the system's own rectangle call does: a 1-pixel outline in the pen colour on the rectangle's
// outer pixels (right and bottom exclusive) and the inside in the brush colour. The painter's state is kept.

// The selected row is painted inset by the horizontal inset on the left and right and the vertical inset on the top
// and bottom, in the selected colours; any other row fills the whole cell with the normal colours.
void DrawRowBackground(QPainter& canvas, int row, int selectedRow, const QRect& cell, int horizontalInset,
                       int verticalInset, const QColor& normalBrush, const QColor& normalPen,
                       const QColor& selectedBrush, const QColor& selectedPen);

// Fills the cell with the background, draws the picture centred at ((cell width - picture width) / 2,
// (cell height - picture height) / 2), a 1-pixel frame around the whole cell, then
// DrawEdgeShadow(left + depth - 1, top + depth - 1, cell width, cell height, depth, firstShade, shadeStep, shadow):
// a drop shadow below and to the right of the cell, whose first line lies on the frame's last column and row.
void DrawFramedPicture(QPainter& canvas, const QRect& cell, const QImage& picture, const QColor& background,
                       const QColor& frame, const QColor& shadow, int shadowDepth, int firstShade, int shadeStep);
// The same with a picture of an image list, drawn as DrawImageListGlyph draws it (magenta is transparent).
void DrawFramedPicture(QPainter& canvas, const QRect& cell, const QList<QImage>& imageList, int index,
                       const QColor& background, const QColor& frame, const QColor& shadow, int shadowDepth,
                       int firstShade, int shadeStep);

// Paints depth vertical and depth horizontal lines pixel by pixel (at least one of each, so a depth of 0 paints line
// 1); line i (1 to depth) has the colour ShiftColor(colour, firstShade + (i - 1) * shadeStep).
// Vertical band: column x + width - depth + i - 1, rows y + i - 1 to y + height - (depth - i) - 1.
// Horizontal band: row y + height - depth + i - 1, columns x + i - 1 to x + width - (depth - i) - 1.
void DrawEdgeShadow(QPainter& canvas, int x, int y, int width, int height, int depth, int firstShade, int shadeStep,
                    const QColor& colour);

// Draws text inside a rectangle with Qt alignment and text flags in a cell font. With rightToLeft (the control's
// right-to-left setting) the text runs right to left and left and right alignments swap, unless Qt::AlignAbsolute
// is given.
void DrawCellText(QPainter& canvas, const QRect& rect, const QString& text, int flags, const CellFont& font,
                  bool rightToLeft = false);

// Draws picture `index` of an image list into the rectangle (stretched to it when the sizes differ), the pixels of
// the transparent colour left out. Nothing for an index outside the list.
void DrawImageListGlyph(QPainter& canvas, const QRect& rect, const QList<QImage>& imageList, int index,
                        const QColor& transparent = QColor(255, 0, 255));
