#include "gui/controls/CellDrawing.h"

#include "core/imaging/ImageGeometry.h"
#include "gui/controls/CellFont.h"

#include <QPainter>

#include <functional>

namespace {

// A 1-pixel outline on the rectangle's outer pixels.
void PaintOutline(QPainter& canvas, const QRect& rect, const QColor& pen) {
    canvas.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), pen);
    canvas.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), pen);
    canvas.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), pen);
    canvas.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), pen);
}

// The outline and the inside, as the system's rectangle call paints them.
void PaintRectangle(QPainter& canvas, const QRect& rect, const QColor& pen, const QColor& brush) {
    if (rect.isEmpty()) return;
    canvas.fillRect(rect, brush);
    PaintOutline(canvas, rect, pen);
}

void PaintFrame(QPainter& canvas, const QRect& cell, const QColor& background, const QColor& frame,
                const QColor& shadow, int depth, int firstShade, int shadeStep, const std::function<void()>& picture) {
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    PaintRectangle(canvas, cell, background, background);
    picture();
    if (!cell.isEmpty()) PaintOutline(canvas, cell, frame); // hollow brush: only the outline
    DrawEdgeShadow(canvas, cell.left() + depth - 1, cell.top() + depth - 1, cell.width(), cell.height(), depth,
                   firstShade, shadeStep, shadow);
    canvas.restore();
}

QImage WithTransparentColour(const QImage& picture, const QColor& transparent) {
    QImage masked = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    return masked;
}

} // namespace

void DrawRowBackground(QPainter& canvas, int row, int selectedRow, const QRect& cell, int horizontalInset,
                       int verticalInset, const QColor& normalBrush, const QColor& normalPen,
                       const QColor& selectedBrush, const QColor& selectedPen) {
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    if (row == selectedRow)
        PaintRectangle(canvas, cell.adjusted(horizontalInset, verticalInset, -horizontalInset, -verticalInset),
                       selectedPen, selectedBrush);
    else
        PaintRectangle(canvas, cell, normalPen, normalBrush);
    canvas.restore();
}

void DrawFramedPicture(QPainter& canvas, const QRect& cell, const QImage& picture, const QColor& background,
                       const QColor& frame, const QColor& shadow, int shadowDepth, int firstShade, int shadeStep) {
    PaintFrame(canvas, cell, background, frame, shadow, shadowDepth, firstShade, shadeStep, [&] {
        if (!picture.isNull())
            canvas.drawImage(cell.left() + (cell.width() - picture.width()) / 2,
                             cell.top() + (cell.height() - picture.height()) / 2, picture);
    });
}

void DrawFramedPicture(QPainter& canvas, const QRect& cell, const QList<QImage>& imageList, int index,
                       const QColor& background, const QColor& frame, const QColor& shadow, int shadowDepth,
                       int firstShade, int shadeStep) {
    PaintFrame(canvas, cell, background, frame, shadow, shadowDepth, firstShade, shadeStep, [&] {
        if (index < 0 || index >= imageList.size()) return;
        const QSize size = imageList[index].size();
        const QRect place(cell.left() + (cell.width() - size.width()) / 2,
                          cell.top() + (cell.height() - size.height()) / 2, size.width(), size.height());
        DrawImageListGlyph(canvas, place, imageList, index);
    });
}

void DrawEdgeShadow(QPainter& canvas, int x, int y, int width, int height, int depth, int firstShade, int shadeStep,
                    const QColor& colour) {
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 1; i <= qMax(depth, 1); ++i) {
        const QColor shade = ShiftColor(colour, firstShade + (i - 1) * shadeStep);
        const int column = x + width - depth + i - 1;
        const int firstRow = y + i - 1, lastRow = y + height - (depth - i) - 1;
        if (lastRow >= firstRow) canvas.fillRect(QRect(column, firstRow, 1, lastRow - firstRow + 1), shade);
        const int row = y + height - depth + i - 1;
        const int firstColumn = x + i - 1, lastColumn = x + width - (depth - i) - 1;
        if (lastColumn >= firstColumn) canvas.fillRect(QRect(firstColumn, row, lastColumn - firstColumn + 1, 1), shade);
    }
    canvas.restore();
}

void DrawCellText(QPainter& canvas, const QRect& rect, const QString& text, int flags, const CellFont& font,
                  bool rightToLeft) {
    canvas.save();
    canvas.setFont(font.toFont());
    canvas.setPen(font.color);
    canvas.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    canvas.drawText(rect, flags, text);
    canvas.restore();
}

void DrawImageListGlyph(QPainter& canvas, const QRect& rect, const QList<QImage>& imageList, int index,
                        const QColor& transparent) {
    if (index < 0 || index >= imageList.size() || imageList[index].isNull() || rect.isEmpty()) return;
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.drawImage(rect, WithTransparentColour(imageList[index], transparent));
    canvas.restore();
}
