#pragma once

#include <QImage>
#include <QList>

// The program's own four-neighbour resampler. For each target pixel (x, y) the source position is
// fx = SW * x / TW - 0.5, fy = SH * y / TH - 0.5, kept within the picture; a whole position copies its pixel,
// otherwise the two or four neighbours are weighted by the inverse of their distance to it. Each channel is the
// weighted sum divided by the sum of the weights, truncated toward zero; truncation takes the exact value of that
// formula (a sum of four equal weights that double arithmetic puts at 105.999… is 106). The same rule enlarges and
// reduces: no more than four source pixels ever make one target pixel.

// Replaces the bitmap by a resized 24-bit copy (any other depth is converted first); an empty size empties it.
void ResampleBitmap(QImage* bitmap, int newWidth, int newHeight);
QImage ResampledBitmap(const QImage& bitmap, int newWidth, int newHeight);

// For decoders that need not produce the whole source: the source lines (rows along the height, columns along the
// width) that resampling sourceSize to targetSize reads, in ascending order.
QList<int> ResampleSourceLines(int sourceSize, int targetSize);

// Resamples a source of sourceWidth x sourceHeight of which only some lines are present: the 24-bit `present`
// holds at row r and column c the source pixel (columns[c], rows[r]). rows and columns must list at least the lines
// given by ResampleSourceLines, in ascending order. A null image when they do not.
QImage ResamplePartial(const QImage& present, const QList<int>& rows, const QList<int>& columns, int sourceWidth,
                       int sourceHeight, int targetWidth, int targetHeight);
