#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

class QRandomGenerator;

// Pictures and tools for the tests of the picture library.

// A 24-bit bitmap of random pixels.
QImage RandomBitmap24(QRandomGenerator& random, int width, int height);
// A 24-bit bitmap of four flat quadrants (red, green, blue, yellow from the top left, clockwise), whose colours
// survive JPEG compression closely when the quadrants are multiples of 16 pixels.
QImage QuadrantBitmap(int width, int height);
// True when both are 24-bit pictures of the same size with the same pixel bytes (row padding aside).
bool SamePixels(const QImage& a, const QImage& b);
// The largest difference of one channel between two 24-bit pictures of the same size; -1 when they differ in size.
int LargestDifference(const QImage& a, const QImage& b);
// Blue, green and red bytes of a pixel of a 24-bit picture.
QByteArray PixelBytes(const QImage& bitmap, int x, int y);

// A tool of the machine (ImageMagick's convert, cjpeg, djpeg), /usr/bin first; fails the test when it is missing.
QString RequiredTool(const QString& name);
// Runs a tool; fails the test when it does not end well. Returns its standard output.
QByteArray RunRequiredTool(const QString& name, const QStringList& arguments);

// The JPEG with an EXIF segment giving that orientation inserted after its start marker.
QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation, bool bigEndian = true);

QByteArray ReadWholeFile(const QString& path);
