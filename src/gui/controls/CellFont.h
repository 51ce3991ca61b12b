#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// The font of a grid cell's text: colour, style (a set of the flags below), size in points and family name.
struct CellFont {
    static constexpr quint8 kBold = 0x01;
    static constexpr quint8 kItalic = 0x02;
    static constexpr quint8 kUnderline = 0x04;
    static constexpr quint8 kStrikeOut = 0x08;

    QColor color = Qt::black;
    quint8 style = 0;
    qint32 size = 8;
    QString name = QStringLiteral("Arial"); // at most 255 characters

    QFont toFont() const;
};
