#include "ui/menu_colors.h"

#include <algorithm>
#include <cmath>

namespace brevalo {
namespace {

double Linear(int channel) {
  double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& color) {
  return 0.2126 * Linear(color.red()) + 0.7152 * Linear(color.green()) +
         0.0722 * Linear(color.blue());
}

}  // namespace

MenuRowColors MenuRowColorsFor(bool enabled, bool selected) {
  if (!selected) return {kMenuBackground, enabled ? QColor(Qt::black) : QColor(150, 150, 150)};
  if (enabled) return {kMenuHighlight, QColor(Qt::white)};
  return {QColor(205, 216, 238), QColor(78, 78, 88)};
}

double ContrastRatio(const QColor& a, const QColor& b) {
  double lighter = std::max(Luminance(a), Luminance(b));
  double darker = std::min(Luminance(a), Luminance(b));
  return (lighter + 0.05) / (darker + 0.05);
}

}  // namespace brevalo
