#pragma once

class QIcon;
class QPainter;
class QRectF;
class QPixmap;

// The program's emblem, drawn rather than read from a file so that no picture has to be found
// at run time: a blue rounded square with a white cross and a pulse line.
void DrawProgramEmblem(QPainter& painter, const QRectF& box);
QPixmap ProgramEmblemPixmap(int side);
// The emblem as the program's icon, drawn at the sizes window frames, task bars and docks ask for.
QIcon ProgramIcon();
