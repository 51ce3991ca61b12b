#include "core/app/ProgressReporter.h"

#include <algorithm>

int GaugeFilledWidth(int count, int total, int fullWidth) {
    if (total <= 0 || count <= 0 || fullWidth <= 0) return 0;
    if (count >= total) return fullWidth;
    return static_cast<int>(static_cast<long long>(count) * fullWidth / total);
}
