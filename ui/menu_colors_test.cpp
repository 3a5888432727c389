#include "ui/menu_colors.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

// Every row of a menu reads at the contrast readable text needs (4.5:1), the highlighted gray
// item too; and a gray item still looks unlike an enabled one when highlighted.
TEST(MenuColorsTest, EveryRowIsReadableAndGrayItemsStayGray) {
  for (bool enabled : {true, false}) {
    for (bool selected : {true, false}) {
      if (!enabled && !selected) continue;  // a gray row at rest is meant to recede
      MenuRowColors colors = MenuRowColorsFor(enabled, selected);
      EXPECT_GE(ContrastRatio(colors.text, colors.background), 4.5)
          << "enabled " << enabled << ", selected " << selected;
    }
  }
  EXPECT_NE(MenuRowColorsFor(false, true).background, MenuRowColorsFor(true, true).background);
  EXPECT_NE(MenuRowColorsFor(false, true).text, MenuRowColorsFor(true, true).text);
  EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(Qt::red, Qt::red), 1.0);
}

}  // namespace
}  // namespace brevalo
