#pragma once

#include <QImage>
#include <QList>

// The pictures the analysis list draws with, made by the program rather than read from files.

// The picture of a catalogue entry without a thumbnail of its own: a coloured ring on white, 24 bits, 100 x 100.
QImage DefaultAnalysisPicture();

// The small icons of the list, 12 x 12 on magenta (the colour left out when they are drawn): index 0 a red upward
// arrow (the upper bound), index 1 a red downward arrow (the lower bound).
const QList<QImage>& AnalysisBoundIcons();
