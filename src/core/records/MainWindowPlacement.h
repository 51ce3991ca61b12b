#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Where the main window opens and what it remembers when it closes. Left and top are the
// window's outer position; width and height are its client size, as the settings file keeps them.
struct MainWindowPlacement {
    int left = -1;
    int top = -1;
    int width = -1; // -1: never saved
    int height = -1;
    QString state; // "wsNormal", "wsMinimized" or "wsMaximized"

    bool operator==(const MainWindowPlacement&) const = default;
};

struct RestoredPlacement {
    QPoint position; // outer left and top
    QSize clientSize;
    bool maximized = false;

    bool operator==(const RestoredPlacement&) const = default;
};

// The default client size, used when the saved placement does not fit the work area.
inline constexpr QSize kDefaultMainWindowSize(800, 600);

// The placement to open with. The saved one is kept when a width was saved and its right and
// bottom edges lie within the work area; otherwise the window gets 800 x 600 centred on the work
// area ((right - width) / 2, truncated). A negative left or top is then centred again, and set to
// 0 when it is still negative.
RestoredPlacement RestoreMainWindowPlacement(const MainWindowPlacement& saved, const QRect& workArea);

enum class WindowShowState { Normal, Minimized, Maximized };

// What is saved at close: the current position and client size unless the window is maximised
// (then the previous values stay), and the state's name.
MainWindowPlacement SaveMainWindowPlacement(const MainWindowPlacement& previous, const QPoint& position,
                                            const QSize& clientSize, WindowShowState state);

// The state names of the settings file.
QString WindowStateName(WindowShowState state);

// Left edge of a group of centreWidth pixels centred in a bar of barWidth pixels, truncated toward
// zero; the right filler takes what is left.
int CentredGroupLeft(int barWidth, int centreWidth);
// Height of the upper part of the left bar (calendar and clock) above its 195-pixel button block.
int LeftBarUpperHeight(int barHeight);
