// The analysis windows: the setting window of PARAMETER SETTING (its rows, pages and keys), the
// shown result window with the paged channel table, and the RESULT keys.
#pragma once

#include <string>
#include <vector>

namespace vq {

constexpr int kSettingWindowPage = 50;  // the soft-key page of the setting window

// The setting window as it is drawn: shown while its soft-key page is up.
struct SettingWindowView {
  bool shown = false;
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<std::string> lines;  // the rows of the page: a heading, or label and value
  std::vector<bool> headings;      // which lines are group headings
  int cursor = -1;                 // the selected line
  std::string pageLine;            // "PAGE %d/%d"
};
SettingWindowView SettingWindowLayout();

// The channel table window of a multichannel result, page by page.
struct ResultWindowView {
  bool shown = false;
  std::vector<std::string> lines;  // header, column titles, the rows of the page
  int headerLines = 0;
  std::string pageLine;
};
ResultWindowView ResultWindowLayout();
// The rows of the channel table on one page.
constexpr int kTableRowsPerPage = 20;

// RESULT SAVE: the shown result as a text file (the CSV of a multichannel result, else the result
// block) in the user data folder as "D%04d.CSV", the next free number; 0 or a message code, the
// written name in `written`.
int SaveResultFile(std::string& written);

// Binds PARAMETER SETTING, SELECT, DEFAULTS, NEXT PAGE, CLOSE WINDOW, SWITCH DISPLAY and the
// RESULT keys.
void BindResultWindowKeys();

}  // namespace vq
