#pragma once

#include <QColor>

// The colours of the two card lists, the persons' and the analyses', which are meant to look alike: the list's
// background, the selected card's outline and fill, and the frame around a card's picture.
namespace CardListColours {

inline const QColor kBackground = Qt::white;
inline const QColor kSelectedPen(167, 191, 233);
inline const QColor kSelectedBrush(231, 236, 248);
inline const QColor kFrame(230, 230, 225);

} // namespace CardListColours
