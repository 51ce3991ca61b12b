#pragma once

class QPainter;
class QRectF;
class QPixmap;

// The program's emblem, drawn rather than read from a file so that no picture has to be found
// at run time: a blue rounded square with a white cross and a pulse line.
void DrawProgramEmblem(QPainter& painter, const QRectF& box);
QPixmap ProgramEmblemPixmap(int side);
