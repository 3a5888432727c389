// Left and Right in the program's long lists turn pages: the row they select, which the list
// then scrolls to the top of its view.
#pragma once

#include <algorithm>

namespace brevalo {

// Left: the top row of the view, or, when the selection is there already, the row one page
// above it (at least the first row).
inline int PageUpRow(int selected, int topRow, int pageRows) {
  if (selected != topRow) return std::max(topRow, 0);
  return std::max(topRow - std::max(pageRows, 1), 0);
}

// Right: the first row below the visible page, at most the last row.
inline int PageDownRow(int topRow, int pageRows, int rowCount) {
  return std::clamp(topRow + std::max(pageRows, 1), 0, std::max(rowCount - 1, 0));
}

}  // namespace brevalo
