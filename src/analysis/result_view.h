// What the analyses show and export: the single-result block, the paged channel table, the CSV
// text, the result fields for automation and the rows of the analysis setting window.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vq {

// The channel table of a multichannel analysis (WDM, EDFA-NF, WDM FIL-PK, WDM FIL-BTM): header
// lines of setting values, column title lines, one row per channel; shown page by page.
struct ResultTable {
  std::vector<std::string> header;
  std::vector<std::string> columns;
  std::vector<std::string> rows;
};

// A result as named numbers, for `vqtool analyze --json`: the fields of a single result, or one
// record per channel.
struct ResultField {
  std::string name;
  double value;
};
struct ResultRecord {
  std::vector<ResultField> fields;
  bool multichannel = false;
  std::vector<std::vector<ResultField>> channels;
};

// One row of the analysis setting window: a group heading, or a parameter with its label (as the
// window shows it, e.g. "THRESH:"), how its value is entered, read, written and drawn, and its
// default. Choices are entered by their texts (value = index); numbers by the parameter's limits.
enum class SettingKind : uint8_t { Heading, Number, Choice, Action };
struct SettingRow {
  SettingKind kind;
  const char* label;
  int parameter = -1;                    // Number: the entry limits and steps
  std::span<const char* const> choices;  // Choice: the value texts, value 0 first
  double (*get)() = nullptr;
  void (*set)(double) = nullptr;  // Action: runs it (the value is ignored)
  double defaultValue = 0.0;
  const char* format = "%.2f";            // Number: how the window shows it
  int page = 0;                           // the window page that shows it
  std::string (*text)(double) = nullptr;  // Number: a text of its own for some values ("OFF")
};

// The block of the shown single result (title and rows), empty for none or a channel table.
std::vector<std::string> ResultBlockLines();
// The channel table of the shown multichannel result; empty for other kinds.
ResultTable ResultTableLines();
// The CSV text of the shown multichannel result, one line each; empty for other kinds.
std::vector<std::string> ResultCsvLines();
// The shown result as named numbers.
ResultRecord CurrentResultRecord();
// The setting rows of an analysis item (0 to 16).
std::span<const SettingRow> SettingRowsOf(int item);
// Sets a setting of an item by its label (with or without the trailing colon) to a number or a
// choice text; false with a one-line reason.
bool SetSettingByLabel(int item, const std::string& label, const std::string& value,
                       std::string& error);

}  // namespace vq
