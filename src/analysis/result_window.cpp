// The analysis setting window (PARAMETER SETTING and its keys), the channel table window and the
// RESULT keys.
#include "analysis/result_window.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <span>

#include "analysis/analysis_execute.h"
#include "analysis/analysis_menus.h"
#include "analysis/result_view.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "menu/param_entry.h"
#include "platform/file_io.h"

namespace vq {

namespace {

constexpr int kMsgNoResultData = 131;  // "No data"

constexpr MenuId kNodeParameterSetting = 920;
constexpr MenuId kNodeSelect = 1079;
constexpr MenuId kNodeDefaults = 1080;
constexpr MenuId kNodeNextPage = 1081;
constexpr MenuId kNodeCloseWindow = 1082;
constexpr MenuId kNodeSwitchDisplay = 1061;
constexpr MenuId kNodeResult = 921;
constexpr MenuId kNodeResultPrint = 1083;
constexpr MenuId kNodeResultSave = 1084;
constexpr int kRowPitch = 23;
constexpr int kMaxDataFiles = 10000;  // "D0000" to "D9999"

AnalysisState& Analysis() {
  return GInstrument->analysis;
}

std::span<const SettingRow> Rows() {
  return SettingRowsOf(Analysis().item);
}

int PageCount() {
  int pages = 0;
  for (const SettingRow& row : Rows()) pages = std::max(pages, row.page + 1);
  return pages;
}

bool Selectable(const SettingRow& row) {
  return row.kind != SettingKind::Heading;
}

// The first selectable row of a page at or after `from` (wrapping within the page), or -1.
int NextRowOnPage(int page, int from) {
  const auto rows = Rows();
  const int n = static_cast<int>(rows.size());
  for (int k = 0; k < n; ++k) {
    const int i = (from + k) % n;
    if (rows[i].page == page && Selectable(rows[i])) return i;
  }
  return -1;
}

const SettingRow* SelectedRow() {
  const auto rows = Rows();
  const int i = Analysis().settingRow;
  return i >= 0 && i < static_cast<int>(rows.size()) && Selectable(rows[i]) ? &rows[i] : nullptr;
}

std::string Trim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string ValueText(const SettingRow& row) {
  char text[64] = "";
  switch (row.kind) {
    case SettingKind::Number:
      if (row.text) return row.text(row.get());
      std::snprintf(text, sizeof text, row.format, row.get());
      return text;
    case SettingKind::Choice: {
      const auto i = static_cast<size_t>(std::max(0.0, row.get()));
      return i < row.choices.size() ? row.choices[i] : "";
    }
    case SettingKind::Action:
      return "EXECUTE";
    case SettingKind::Heading:
      break;
  }
  return "";
}

void WindowChanged() {
  GInstrument->frame.redrawFlags |= kRedrawDynamicOnly | kRedrawSoftKeys;
}

// A changed setting: the shown result follows when AUTO ANALYSIS is on.
void SettingChanged() {
  WindowChanged();
  const AnalysisState& a = Analysis();
  if (a.autoAnalysis != 0 && a.resultKind != kResultNone) ExecuteAnalysis(a.item);
}

int16_t HasSettings() {
  return Rows().empty() ? kKeyDisabled : CommonKeyState();
}

int32_t ParameterSettingHandler(int mode, int16_t*) {
  Instrument& g = *GInstrument;
  if (mode != kModeEnter) return 0;
  Analysis().settingPage = 0;
  Analysis().settingRow = static_cast<int16_t>(NextRowOnPage(0, 0));
  Analysis().settingSelecting = false;
  ShowSoftKeyPage(kSettingWindowPage, std::min(g.menu.depth + 1, kMaxPageDepth));
  WindowChanged();
  return 1;
}

// SELECT: the first press takes the selected row; each further press moves to the next row of the
// page. Numbers are typed or stepped in the entry window, choices step with the arrows, an action
// runs with Enter.
int32_t SelectHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  AnalysisState& a = Analysis();
  if (mode == kModeLeave) {
    a.settingSelecting = false;
    EndEntry();
    WindowChanged();
    return 1;
  }
  if (mode == kModeEnter) {
    if (a.settingSelecting && a.settingRow >= 0) {
      a.settingRow = static_cast<int16_t>(NextRowOnPage(a.settingPage, a.settingRow + 1));
    }
    a.settingSelecting = true;
    EndEntry();
    const SettingRow* row = SelectedRow();
    if (row && row->kind == SettingKind::Number) {
      StartEntry(0, -1, row->parameter, row->get());
    }
    WindowChanged();
    return 1;
  }
  const SettingRow* row = SelectedRow();
  if (!row) return 0;
  const int k = static_cast<uint16_t>(*key);
  switch (row->kind) {
    case SettingKind::Number:
      if ((IsStepKey(k) ? EntryStep(k) : EntryKey(k)) != 1) return 0;
      row->set(g.entry.value);
      break;
    case SettingKind::Choice: {
      if (!IsStepKey(k)) return 0;
      const int n = static_cast<int>(row->choices.size());
      const int up = k == kCmdUp || k == kCmdRight ? 1 : n - 1;
      row->set(static_cast<double>((static_cast<int>(row->get()) + up) % n));
      break;
    }
    case SettingKind::Action:
      if (k != kCmdEnter) return 0;
      row->set(0);
      break;
    case SettingKind::Heading:
      return 0;
  }
  SettingChanged();
  return 1;
}

int32_t DefaultsHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  const SettingRow* row = SelectedRow();
  if (row && row->kind != SettingKind::Action) {
    row->set(row->defaultValue);
    RefreshEntry();
    SettingChanged();
  }
  return 1;
}

int32_t NextPageHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  AnalysisState& a = Analysis();
  const int pages = std::max(PageCount(), 1);
  a.settingPage = static_cast<int16_t>((a.settingPage + 1) % pages);
  a.settingRow = static_cast<int16_t>(NextRowOnPage(a.settingPage, 0));
  a.settingSelecting = false;
  EndEntry();
  WindowChanged();
  return 1;
}

int32_t CloseWindowHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  EndEntry();
  PopSoftKeyPage();
  GInstrument->frame.redrawFlags |= kRedrawAll;
  return 1;
}

bool Multichannel() {
  const uint16_t k = Analysis().resultKind;
  return k == kResultWdm || k == kResultEdfaNf || k == kResultWdmFilPk || k == kResultWdmFilBtm;
}

int TablePages() {
  const int rows = static_cast<int>(ResultTableLines().rows.size());
  return std::max(1, (rows + kTableRowsPerPage - 1) / kTableRowsPerPage);
}

// SWITCH DISPLAY: the channel table page by page, then the graph alone, then the first page.
int32_t SwitchDisplayHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  AnalysisState& a = Analysis();
  if (a.resultWindowHidden) {
    a.resultWindowHidden = false;
    a.resultPage = 0;
  } else if (a.resultPage + 1 < TablePages()) {
    ++a.resultPage;
  } else {
    a.resultWindowHidden = true;
  }
  GInstrument->frame.redrawFlags |= kRedrawAll;
  return 1;
}

int16_t SwitchDisplayState() {
  return Multichannel() ? CommonKeyState() : kKeyDisabled;
}

int16_t HasResult() {
  return Analysis().resultKind != kResultNone ? CommonKeyState() : kKeyDisabled;
}

int32_t ResultSaveHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  std::string written;
  if (const int code = SaveResultFile(written)) ShowMessage(code);
  return 1;
}

// RESULT PRINT: the screen with the result on it, as COPY prints it.
int32_t ResultPrintHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  ExecuteMenu(kNodeCopy);
  return 1;
}

}  // namespace

SettingWindowView SettingWindowLayout() {
  const Instrument& g = *GInstrument;
  const AnalysisState& a = g.analysis;
  SettingWindowView v;
  v.shown = g.menu.page == kSettingWindowPage && !Rows().empty();
  if (!v.shown) return v;
  const int item = a.item;
  v.title = item < kWidthItems ? AnalysisItemName(item)
                               : std::string("ANALYSIS SETTING [") + AnalysisItemName(item) + "]";
  // The window keeps one size for all pages of the item: its widest row and fullest page.
  size_t chars = v.title.size();
  std::vector<int> perPage(PageCount(), 0);
  const auto rows = Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const SettingRow& row = rows[i];
    std::string line = row.label;
    if (Selectable(row)) line = "  " + line + " " + Trim(ValueText(row));
    chars = std::max(chars, line.size());
    ++perPage[row.page];
    if (row.page != a.settingPage) continue;
    if (static_cast<int>(i) == a.settingRow) v.cursor = static_cast<int>(v.lines.size());
    v.lines.push_back(line);
    v.headings.push_back(!Selectable(row));
  }
  const int rowsShown = *std::max_element(perPage.begin(), perPage.end());
  v.width = static_cast<int>(chars + 4) * 8;
  v.height = kRowPitch * rowsShown + 50;
  v.x = (601 - v.width) / 2 + 47;
  v.y = (600 - v.height) / 2 - 20;
  char page[32];
  std::snprintf(page, sizeof page, "PAGE %d/%d", a.settingPage + 1,
                static_cast<int>(perPage.size()));
  v.pageLine = page;
  return v;
}

ResultWindowView ResultWindowLayout() {
  const AnalysisState& a = GInstrument->analysis;
  ResultWindowView v;
  if (!Multichannel() || a.resultWindowHidden) return v;
  const ResultTable table = ResultTableLines();
  v.shown = true;
  v.lines = table.header;
  v.lines.insert(v.lines.end(), table.columns.begin(), table.columns.end());
  v.headerLines = static_cast<int>(v.lines.size());
  const int pages = TablePages();
  const int page = std::min<int>(a.resultPage, pages - 1);
  const size_t first = static_cast<size_t>(page) * kTableRowsPerPage;
  for (size_t i = first; i < table.rows.size() && i < first + kTableRowsPerPage; ++i) {
    v.lines.push_back(table.rows[i]);
  }
  char text[32];
  std::snprintf(text, sizeof text, "PAGE %d/%d", page + 1, pages);
  v.pageLine = text;
  return v;
}

int SaveResultFile(std::string& written) {
  const Instrument& g = *GInstrument;
  std::vector<std::string> lines = ResultCsvLines();
  if (lines.empty()) lines = ResultBlockLines();
  if (lines.empty()) return kMsgNoResultData;
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  // The folder the FILE menu shows on INT (where users look for their files); the next free
  // name as the FILE menu numbers data files.
  const FileState& f = g.files;
  const std::string folder = !f.folder[kDriveInt].empty() ? f.folder[kDriveInt]
                             : !f.userFolder.empty()      ? f.userFolder
                                                          : g.config.folders[kFolderTrace];
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  for (int n = 0; n < kMaxDataFiles; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "D%04d.CSV", n);
    std::error_code error;
    if (std::filesystem::exists(folder + name, error)) continue;
    written = folder + name;
    return WriteFileBytes(written, std::vector<uint8_t>(text.begin(), text.end()));
  }
  return kMsgNoResultData;
}

void BindResultWindowKeys() {
  BindNode(kNodeParameterSetting, ParameterSettingHandler, nullptr, HasSettings);
  BindNode(kNodeSelect, SelectHandler);
  BindNode(kNodeDefaults, DefaultsHandler);
  BindNode(kNodeNextPage, NextPageHandler);
  BindNode(kNodeCloseWindow, CloseWindowHandler);
  BindNode(kNodeSwitchDisplay, SwitchDisplayHandler, nullptr, SwitchDisplayState);
  BindNode(kNodeResult, nullptr, nullptr, HasResult);
  BindNode(kNodeResultSave, ResultSaveHandler, nullptr, HasResult);
  BindNode(kNodeResultPrint, ResultPrintHandler, nullptr, HasResult);
}

}  // namespace vq
