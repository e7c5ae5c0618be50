// The shown result by its kind: block, channel table, CSV text, named fields; the setting rows of
// each item and setting them by label.
#include "analysis/result_view.h"

#include <cassert>
#include <charconv>
#include <cmath>

#include "analysis/filter.h"
#include "analysis/light_source.h"
#include "analysis/marker_texts.h"
#include "analysis/spectral_width.h"
#include "analysis/wdm.h"
#include "instrument.h"
#include "menu/param_entry.h"
#include "resources/param_table.h"

namespace vq {

namespace {

ResultRecord WidthRecord() {
  const AnalysisState& a = GInstrument->analysis;
  const WidthResult& r = a.width;
  ResultRecord record;
  record.fields = {{"width_nm", r.widthNm}, {"width_thz", r.widthThz}, {"center_nm", r.centreNm}};
  if (a.item == kItemThresh || a.item == kItemEnvelope || a.item == kItemPeakRms) {
    record.fields.push_back({"mode_count", static_cast<double>(r.modeCount)});
  }
  record.fields.push_back({"left_index", r.left});
  record.fields.push_back({"right_index", r.right});
  return record;
}

// The label as the window writes it, with or without its colon, blanks around it ignored.
bool LabelMatches(const char* rowLabel, std::string label) {
  std::string own = rowLabel;
  for (std::string* s : {&own, &label}) {
    while (!s->empty() && (s->back() == ' ' || s->back() == ':')) s->pop_back();
    while (!s->empty() && s->front() == ' ') s->erase(s->begin());
  }
  return own == label;
}

std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(s.begin());
  return s;
}

}  // namespace

std::vector<std::string> ResultBlockLines() {
  switch (GInstrument->analysis.resultKind) {
    case kResultSpectralWidth:
      return WidthResultLines();
    case kResultDfbLd:
    case kResultFpLd:
    case kResultLed:
    case kResultSmsr:
    case kResultPower:
    case kResultPmd:
    case kResultColor:
      return LightSourceResultLines();
    case kResultFilterPk:
    case kResultFilterBtm:
      return FilterResultLines();
    default:
      return {};
  }
}

ResultTable ResultTableLines() {
  switch (GInstrument->analysis.resultKind) {
    case kResultWdm:
      return WdmResultTable();
    case kResultEdfaNf:
      return EdfaResultTable();
    case kResultWdmFilPk:
    case kResultWdmFilBtm:
      return WdmFilterTable();
    default:
      return {};
  }
}

std::vector<std::string> ResultCsvLines() {
  switch (GInstrument->analysis.resultKind) {
    case kResultWdm:
      return WdmCsvLines();
    case kResultEdfaNf:
      return EdfaCsvLines();
    case kResultWdmFilPk:
    case kResultWdmFilBtm:
      return WdmFilterCsvLines();
    default:
      return {};
  }
}

ResultRecord CurrentResultRecord() {
  switch (GInstrument->analysis.resultKind) {
    case kResultSpectralWidth:
      return WidthRecord();
    case kResultDfbLd:
    case kResultFpLd:
    case kResultLed:
    case kResultSmsr:
    case kResultPower:
    case kResultPmd:
    case kResultColor:
      return LightSourceRecord();
    case kResultWdm:
      return WdmRecord();
    case kResultEdfaNf:
      return EdfaRecord();
    case kResultFilterPk:
    case kResultFilterBtm:
      return FilterRecord();
    case kResultWdmFilPk:
    case kResultWdmFilBtm:
      return WdmFilterRecord();
    default:
      return {};
  }
}

std::span<const SettingRow> SettingRowsOf(int item) {
  if (item >= kItemThresh && item <= kItemNotch) return WidthSettingRows(item);
  if ((item >= kItemDfbLd && item <= kItemPmd) || item == kItemColor) {
    return LightSourceSettingRows(item);
  }
  if (item == kItemWdm) return WdmSettingRows();
  if (item == kItemEdfaNf) return EdfaSettingRows();
  if (item >= kItemFilterPk && item <= kItemWdmFilBtm) return FilterSettingRows(item);
  return {};
}

bool SetSettingByLabel(int item, const std::string& label, const std::string& value,
                       std::string& error) {
  // "C.THRESH LEVEL" names the row of group "C." where several groups share a label.
  const bool grouped = label.size() > 2 && label[0] >= 'A' && label[0] <= 'Z' && label[1] == '.';
  const std::string group = grouped ? label.substr(0, 2) : "";
  const std::string own = grouped ? label.substr(2) : label;
  const char* heading = "";
  for (const SettingRow& row : SettingRowsOf(item)) {
    if (row.kind == SettingKind::Heading) heading = row.label;
    if (row.kind == SettingKind::Heading || !LabelMatches(row.label, own)) continue;
    if (grouped && std::string(heading).rfind(group, 0) != 0) continue;
    if (row.kind == SettingKind::Action) {
      error = label + " is an action, not a setting";
      return false;
    }
    if (row.kind == SettingKind::Choice) {
      for (size_t i = 0; i < row.choices.size(); ++i) {
        if (Trimmed(row.choices[i]) == Trimmed(value)) {
          row.set(static_cast<double>(i));
          return true;
        }
      }
      error = label + " takes one of";
      for (const char* choice : row.choices) error += " " + Trimmed(choice);
      return false;
    }
    double v = 0;
    const char* end = value.data() + value.size();
    const auto [stop, failure] = std::from_chars(value.data(), end, v);
    double clamped = v;
    const bool ok = failure == std::errc() && stop == end && std::isfinite(v) &&
                    (row.parameter < 0 || Clamp(clamped, row.parameter) == 1);
    if (!ok) {
      error = label + " takes a number";
      if (row.parameter >= 0) {
        const ParamRecord& limits = GInstrument->entry.params[row.parameter];
        error += " from " + Trimmed(FormatEntryValue(row.parameter, limits.minimum)) + " to " +
                 Trimmed(FormatEntryValue(row.parameter, limits.maximum));
      }
      error += ", not " + value;
      return false;
    }
    row.set(v);
    return true;
  }
  error = "no setting " + label + " for this item";
  return false;
}

}  // namespace vq
