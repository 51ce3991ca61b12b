#pragma once

#include <QColor>
#include <QImage>

// Where and how large a picture is drawn inside a box.
struct FitRect {
    qint32 left = 0;   // horizontal offset of the picture inside the box
    qint32 top = 0;    // vertical offset inside the box
    qint32 width = 0;  // width at which the picture is drawn
    qint32 height = 0; // height at which the picture is drawn

    bool operator==(const FitRect&) const = default;
};

// Fits an image of imageWidth x imageHeight into a box, proportionally and centred, never enlarging it; *scaled tells
// whether it had to be reduced. Sizes and offsets are truncated toward zero from their exact values.
// A square image larger than the box both ways fills the box; one larger than the box in one direction only is
// fitted by the side that overflows.
FitRect FitImageRect(int boxWidth, int boxHeight, int imageWidth, int imageHeight, bool* scaled = nullptr);

// Puts into target a 24-bit copy of source fitted into the box (never enlarged); the resampler always runs, also when
// the picture already fits.
void ShrinkPictureToBox(QImage* target, const QImage& source, int boxWidth, int boxHeight);

// Turns a bitmap by a quarter turn: clockwise for an angle of 90, counter-clockwise for any other (callers pass 270).
// A picture of another depth (a scanner's 1- or 8-bit page) is converted to 24 bits first.
void RotateBitmap90(QImage* bitmap, int angle);

// The colour with delta added to each of red, green and blue, kept within 1..254 when the sum leaves 0..255.
QColor ShiftColor(const QColor& colour, int delta);
