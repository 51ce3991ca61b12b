#include "core/records/MainWindowPlacement.h"

namespace {

constexpr int kLeftBarButtonsHeight = 195;

// Work areas are described by their right and bottom coordinates, one past the last pixel.
int Right(const QRect& area) {
    return area.x() + area.width();
}
int Bottom(const QRect& area) {
    return area.y() + area.height();
}

} // namespace

RestoredPlacement RestoreMainWindowPlacement(const MainWindowPlacement& saved, const QRect& workArea) {
    RestoredPlacement placement;
    const int right = Right(workArea);
    const int bottom = Bottom(workArea);
    const bool fits = saved.width >= 0 && saved.left + saved.width <= right && saved.top + saved.height <= bottom;
    if (fits) {
        placement.position = QPoint(saved.left, saved.top);
        placement.clientSize = QSize(saved.width, saved.height);
    } else {
        placement.clientSize = kDefaultMainWindowSize;
        placement.position =
            QPoint((right - placement.clientSize.width()) / 2, (bottom - placement.clientSize.height()) / 2);
    }
    if (placement.position.x() < 0) placement.position.setX(qMax(0, (right - placement.clientSize.width()) / 2));
    if (placement.position.y() < 0) placement.position.setY(qMax(0, (bottom - placement.clientSize.height()) / 2));
    placement.maximized = saved.state == QLatin1String("wsMaximized");
    return placement;
}

QString WindowStateName(WindowShowState state) {
    switch (state) {
    case WindowShowState::Minimized:
        return QStringLiteral("wsMinimized");
    case WindowShowState::Maximized:
        return QStringLiteral("wsMaximized");
    case WindowShowState::Normal:
        break;
    }
    return QStringLiteral("wsNormal");
}

MainWindowPlacement SaveMainWindowPlacement(const MainWindowPlacement& previous, const QPoint& position,
                                            const QSize& clientSize, WindowShowState state) {
    MainWindowPlacement saved = previous;
    if (state != WindowShowState::Maximized) {
        saved.left = position.x();
        saved.top = position.y();
        saved.width = clientSize.width();
        saved.height = clientSize.height();
    }
    saved.state = WindowStateName(state);
    return saved;
}

int CentredGroupLeft(int barWidth, int centreWidth) {
    return (barWidth - centreWidth) / 2;
}

int LeftBarUpperHeight(int barHeight) {
    return (barHeight - kLeftBarButtonsHeight) / 2;
}
