#include "core/imaging/Resampling.h"

#include "core/imaging/Bitmaps.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// A result that double arithmetic puts a hair below a whole number is that whole number.
constexpr double kTruncationTolerance = 1e-9;

inline uchar Truncate(double value) {
    return uchar(int(value + kTruncationTolerance));
}

// Where each target line takes its source: the whole part of the clamped position and what is left of it.
struct Axis {
    std::vector<int> index;
    std::vector<double> fraction; // 0 for a whole position
};

Axis SamplePositions(int sourceSize, int targetSize) {
    Axis axis;
    axis.index.resize(size_t(targetSize));
    axis.fraction.resize(size_t(targetSize));
    for (int t = 0; t < targetSize; ++t) {
        double position = double(sourceSize) * t / targetSize - 0.5;
        position = std::clamp(position, 0.0, double(sourceSize - 1));
        const double whole = std::floor(position);
        axis.index[size_t(t)] = int(whole);
        axis.fraction[size_t(t)] = position - whole;
    }
    return axis;
}

// Everything about the columns that does not change from one target row to the next.
struct ColumnPlan {
    Axis axis;
    std::vector<qsizetype> left;  // byte offset of the column (ix) in a present row
    std::vector<qsizetype> right; // byte offset of the column (ix + 1), the same as left for a whole position
    std::vector<double> leftSquare, rightSquare; // dx², (1 - dx)²
    std::vector<double> leftWeight, rightWeight; // 1 / dx, 1 / (1 - dx)
};

struct Job {
    ColumnPlan columns;
    Axis rows;
    std::vector<const uchar*> sourceRows; // by source row; null for rows that are not present
    uchar* target = nullptr;
    qsizetype targetStride = 0;
    int targetWidth = 0;
};

void ResampleRow(const Job& job, int y, double* w00, double* w10, double* w01, double* w11) {
    const ColumnPlan& c = job.columns;
    const int width = job.targetWidth;
    const int iy = job.rows.index[size_t(y)];
    const double dy = job.rows.fraction[size_t(y)];
    const uchar* top = job.sourceRows[size_t(iy)];
    uchar* out = job.target + qsizetype(y) * job.targetStride;
    if (dy == 0) {
        for (int x = 0; x < width; ++x, out += 3) {
            const uchar* a = top + c.left[size_t(x)];
            if (c.axis.fraction[size_t(x)] == 0) {
                out[0] = a[0];
                out[1] = a[1];
                out[2] = a[2];
                continue;
            }
            const uchar* b = top + c.right[size_t(x)];
            const double wa = c.leftWeight[size_t(x)], wb = c.rightWeight[size_t(x)];
            const double sum = wa + wb;
            for (int k = 0; k < 3; ++k)
                out[k] = Truncate((wa * a[k] + wb * b[k]) / sum);
        }
        return;
    }
    const uchar* bottom = job.sourceRows[size_t(iy) + 1];
    const double topSquare = dy * dy, bottomSquare = (1 - dy) * (1 - dy);
    const double* __restrict leftSquare = c.leftSquare.data();
    const double* __restrict rightSquare = c.rightSquare.data();
    // The four inverse distances of every column, two columns at a time where the processor allows: packed square
    // roots and divisions round exactly like the scalar ones, so the pixels do not change.
    int x = 0;
#ifdef __SSE2__
    const __m128d one = _mm_set1_pd(1), topPair = _mm_set1_pd(topSquare), bottomPair = _mm_set1_pd(bottomSquare);
    for (; x + 1 < width; x += 2) {
        const __m128d l = _mm_loadu_pd(leftSquare + x), r = _mm_loadu_pd(rightSquare + x);
        _mm_storeu_pd(w00 + x, _mm_div_pd(one, _mm_sqrt_pd(_mm_add_pd(l, topPair))));
        _mm_storeu_pd(w10 + x, _mm_div_pd(one, _mm_sqrt_pd(_mm_add_pd(r, topPair))));
        _mm_storeu_pd(w01 + x, _mm_div_pd(one, _mm_sqrt_pd(_mm_add_pd(l, bottomPair))));
        _mm_storeu_pd(w11 + x, _mm_div_pd(one, _mm_sqrt_pd(_mm_add_pd(r, bottomPair))));
    }
#endif
    for (; x < width; ++x) {
        w00[x] = 1 / std::sqrt(leftSquare[x] + topSquare);
        w10[x] = 1 / std::sqrt(rightSquare[x] + topSquare);
        w01[x] = 1 / std::sqrt(leftSquare[x] + bottomSquare);
        w11[x] = 1 / std::sqrt(rightSquare[x] + bottomSquare);
    }
    const double upWeight = 1 / dy, downWeight = 1 / (1 - dy);
    const double verticalSum = upWeight + downWeight;
    for (x = 0; x < width; ++x, out += 3) {
        const qsizetype left = c.left[size_t(x)];
        const uchar* a = top + left;
        const uchar* b = bottom + left;
        if (c.axis.fraction[size_t(x)] == 0) {
            for (int k = 0; k < 3; ++k)
                out[k] = Truncate((upWeight * a[k] + downWeight * b[k]) / verticalSum);
            continue;
        }
        const qsizetype right = c.right[size_t(x)];
        const uchar* a2 = top + right;
        const uchar* b2 = bottom + right;
        const double p = w00[x], q = w10[x], r = w01[x], s = w11[x];
        const double sum = p + q + r + s;
        for (int k = 0; k < 3; ++k)
            out[k] = Truncate((p * a[k] + q * a2[k] + r * b[k] + s * b2[k]) / sum);
    }
}

void ResampleRange(const Job& job, int begin, int end) {
    std::vector<double> weights(size_t(job.targetWidth) * 4);
    double* w = weights.data();
    const size_t n = size_t(job.targetWidth);
    for (int y = begin; y < end; ++y)
        ResampleRow(job, y, w, w + n, w + 2 * n, w + 3 * n);
}

// columnOffsets gives, for every source column that is read, its byte offset in a present row.
QImage Resample(std::vector<const uchar*> sourceRows, const std::vector<qsizetype>& columnOffsets, int sourceWidth,
                int sourceHeight, int targetWidth, int targetHeight) {
    QImage result = NewBitmap24(targetWidth, targetHeight);
    if (result.isNull() || sourceWidth <= 0 || sourceHeight <= 0) return {};
    Job job;
    job.columns.axis = SamplePositions(sourceWidth, targetWidth);
    job.rows = SamplePositions(sourceHeight, targetHeight);
    job.sourceRows = std::move(sourceRows);
    job.target = result.bits();
    job.targetStride = result.bytesPerLine();
    job.targetWidth = targetWidth;
    ColumnPlan& c = job.columns;
    const size_t n = size_t(targetWidth);
    c.left.resize(n);
    c.right.resize(n);
    c.leftSquare.resize(n);
    c.rightSquare.resize(n);
    c.leftWeight.resize(n);
    c.rightWeight.resize(n);
    for (size_t x = 0; x < n; ++x) {
        const int ix = c.axis.index[x];
        const double dx = c.axis.fraction[x];
        c.left[x] = columnOffsets[size_t(ix)];
        c.right[x] = dx == 0 ? c.left[x] : columnOffsets[size_t(ix) + 1];
        c.leftSquare[x] = dx * dx;
        c.rightSquare[x] = (1 - dx) * (1 - dx);
        c.leftWeight[x] = dx == 0 ? 0 : 1 / dx;
        c.rightWeight[x] = 1 / (1 - dx);
    }
    // Rows are shared among the cores; each writes only its own target rows.
    const qint64 work = qint64(targetWidth) * targetHeight;
    const int threads = work < 200'000 ? 1 : int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    if (threads == 1) {
        ResampleRange(job, 0, targetHeight);
        return result;
    }
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        const int begin = int(qint64(targetHeight) * t / threads);
        const int end = int(qint64(targetHeight) * (t + 1) / threads);
        workers.emplace_back(ResampleRange, std::cref(job), begin, end);
    }
    for (std::thread& worker : workers)
        worker.join();
    return result;
}

} // namespace

QImage ResampledBitmap(const QImage& bitmap, int newWidth, int newHeight) {
    const QImage source = ToBitmap24(bitmap);
    if (source.isNull() || newWidth <= 0 || newHeight <= 0) return {};
    std::vector<const uchar*> rows(size_t(source.height()));
    for (int y = 0; y < source.height(); ++y)
        rows[size_t(y)] = source.constScanLine(y);
    std::vector<qsizetype> columns(size_t(source.width()));
    for (int x = 0; x < source.width(); ++x)
        columns[size_t(x)] = qsizetype(x) * 3;
    return Resample(std::move(rows), columns, source.width(), source.height(), newWidth, newHeight);
}

void ResampleBitmap(QImage* bitmap, int newWidth, int newHeight) {
    if (bitmap) *bitmap = ResampledBitmap(*bitmap, newWidth, newHeight);
}

QList<int> ResampleSourceLines(int sourceSize, int targetSize) {
    QList<int> lines;
    if (sourceSize <= 0 || targetSize <= 0) return lines;
    const Axis axis = SamplePositions(sourceSize, targetSize);
    for (int t = 0; t < targetSize; ++t) {
        const int i = axis.index[size_t(t)];
        for (int line : {i, i + 1}) {
            if (line == i + 1 && axis.fraction[size_t(t)] == 0) break;
            if (lines.isEmpty() || lines.last() < line) lines.append(line);
        }
    }
    return lines;
}

QImage ResamplePartial(const QImage& present, const QList<int>& rows, const QList<int>& columns, int sourceWidth,
                       int sourceHeight, int targetWidth, int targetHeight) {
    if (present.format() != kBitmap24Format || present.height() != rows.size() || present.width() != columns.size() ||
        sourceWidth <= 0 || sourceHeight <= 0)
        return {};
    std::vector<const uchar*> sourceRows(size_t(sourceHeight), nullptr);
    for (int r = 0; r < rows.size(); ++r) {
        if (rows[r] < 0 || rows[r] >= sourceHeight) return {};
        sourceRows[size_t(rows[r])] = present.constScanLine(r);
    }
    std::vector<qsizetype> columnOffsets(size_t(sourceWidth), -1);
    for (int c = 0; c < columns.size(); ++c) {
        if (columns[c] < 0 || columns[c] >= sourceWidth) return {};
        columnOffsets[size_t(columns[c])] = qsizetype(c) * 3;
    }
    for (int line : ResampleSourceLines(sourceHeight, targetHeight))
        if (!sourceRows[size_t(line)]) return {};
    for (int line : ResampleSourceLines(sourceWidth, targetWidth))
        if (columnOffsets[size_t(line)] < 0) return {};
    return Resample(std::move(sourceRows), columnOffsets, sourceWidth, sourceHeight, targetWidth, targetHeight);
}
