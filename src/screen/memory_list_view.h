// The MEMORY LIST drawn over the graph area while the MEMORY menu is shown.
#pragma once

#include <string>
#include <vector>

namespace vq {

// The list as text: heading, column line, then per slot one line (LBL) or two (CONDTN).
struct MemoryListView {
  std::vector<std::string> lines;
  int cursorLine = -1;  // the first line of the current slot
  int cursorLines = 1;
  std::string pageLine;  // "1/2"
  std::string status;    // the last SAVE, RECALL or CLEAR
};

// Whether the list is shown: the MEMORY page is on the soft keys.
bool MemoryListShown();
// The page of the list that holds the current slot.
MemoryListView MemoryListLayout();
void DrawMemoryList();

}  // namespace vq
