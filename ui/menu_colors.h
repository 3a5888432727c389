// The colours of a row of an open menu. A gray (disabled) item stays selectable, as on the
// phone, so its highlight must keep it readable: a pale highlight under dark gray text instead
// of gray text on the strong blue of an enabled item.
#pragma once

#include <QColor>

namespace brevalo {

struct MenuRowColors {
  QColor background;
  QColor text;
};

inline const QColor kMenuBackground(248, 248, 250);
inline const QColor kMenuHighlight(46, 111, 219);

MenuRowColors MenuRowColorsFor(bool enabled, bool selected);

// The contrast ratio of two colours as screen readability guidelines measure it: 1 (none) to 21.
double ContrastRatio(const QColor& a, const QColor& b);

}  // namespace brevalo
