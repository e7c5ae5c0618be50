// Reading trace files whole and loading them into the traces, the setting and measured records.
#include <algorithm>
#include <memory>

#include "calc/trace_calc.h"
#include "files/trace_files.h"
#include "instrument.h"

namespace vq {

namespace {

bool IsBinaryFormat(int format) {
  return format == kFormatQxBinary || format == kFormatQyBinary || format == kFormatBinary ||
         format == kFormatBackup;
}

// Steps of a load that concern the records: what does not belong to the loaded trace's scale,
// its calculation or its fit is kept from the setting record; the result becomes the setting,
// measured and pane record.
MeasCondition ApplyConditions(int trace, const MeasCondition& loaded) {
  Instrument& g = *GInstrument;
  const MeasCondition& kept = g.conditions.setting;
  MeasCondition c = loaded;
  const int a = c.traceAttribute;
  if (AttributeHas(a, kAttrSubScale)) {
    c.logScale = kept.logScale;
    c.baseLevel = kept.baseLevel;
  } else {
    c.subScaleLinear = kept.subScaleLinear;
    c.subScaleLog = kept.subScaleLog;
    c.subScaleDbKm = kept.subScaleDbKm;
    c.subScalePercent = kept.subScalePercent;
    c.subScaleMin = kept.subScaleMin;
    c.subScaleMinPercent = kept.subScaleMinPercent;
    c.offsetLevel = kept.offsetLevel;
    c.offsetLevelPerKm = kept.offsetLevelPerKm;
    c.fibreLength = kept.fibreLength;
    c.subScaleMode = kept.subScaleMode;
  }
  const AttributeInfo* row = FindAttribute(a);
  const CarriedValue carried = row ? row->carried : CarriedValue::None;
  if (carried != CarriedValue::ConstantK) c.calcConstantK = kept.calcConstantK;
  if (carried == CarriedValue::CurveFitThreshold) {
    c.peakCurveFitThreshold = kept.peakCurveFitThreshold;
  } else if (carried == CarriedValue::PeakFitThreshold) {
    c.curveFitThreshold = kept.curveFitThreshold;
  } else {
    c.curveFitThreshold = kept.curveFitThreshold;
    c.peakCurveFitThreshold = kept.peakCurveFitThreshold;
    c.operationArea = kept.operationArea;
    c.fittingAlgorithm = kept.fittingAlgorithm;
  }
  g.conditions.setting = c;
  g.conditions.measured = c;
  g.conditions.panes[g.traces.state.pane[trace] ? 1 : 0] = c;
  return c;
}

// The record and values into the trace, which is then displayed and fixed with the file's
// attribute as fixed-from attribute.
void ApplyTrace(int trace, const TraceFileData& data) {
  Instrument& g = *GInstrument;
  Trace& t = g.traces.traces[trace];
  t.condition = ApplyConditions(trace, data.condition);
  const size_t n = std::min(data.levels.size(), t.level.size());
  std::fill(std::copy_n(data.levels.begin(), n, t.level.begin()), t.level.end(), 0.0);
  if (data.source.size() == data.levels.size()) {
    std::fill(std::copy_n(data.source.begin(), n, t.source.begin()), t.source.end(), 0.0);
  } else {
    t.source = t.level;
  }
  SetAttribute(trace, data.attribute);
  SetDisplayState(trace, 0);
  FixTraceAs(trace, data.attribute);
  g.frame.redrawFlags = kRedrawAll;
}

}  // namespace

void NormaliseLoaded(TraceFileData& data) {
  if (data.condition.frequencyMode != 1) data.condition.frequencyMode = 0;
  NormaliseCondition(data.condition, data.levels);
}

int ReadTraceFile(const std::string& path, TraceFileData& out) {
  std::vector<uint8_t> bytes;
  if (const int code = ReadFileBytes(path, bytes)) return code;
  const int format = TraceFormatIndex(bytes.data(), bytes.size());
  if (format < 0) return kMsgNotTraceFile;
  const MeasCondition& base = GInstrument->conditions.setting;
  return IsBinaryFormat(format) ? ParseBinaryTrace(bytes.data(), bytes.size(), format, base, out)
                                : ParseCsvTrace(bytes.data(), bytes.size(), format, base, out);
}

int ReadAllTraceFile(const std::string& path, AllTraceFileData& out) {
  std::vector<uint8_t> bytes;
  if (const int code = ReadFileBytes(path, bytes)) return code;
  return ParseAllTraceCsv(bytes.data(), bytes.size(), GInstrument->conditions.setting, out);
}

int LoadTraceFile(const std::string& path, int trace) {
  if (trace < 0 || trace >= kTraceCount) return kMsgNotTraceFile;
  TraceFileData data;
  if (const int code = ReadTraceFile(path, data)) return code;
  ApplyTrace(trace, data);
  RecalculateTraces();  // calculated traces follow their new input
  return 0;
}

void LoadTraceData(const TraceFileData& data, int trace) {
  if (trace < 0 || trace >= kTraceCount) return;
  ApplyTrace(trace, data);
  RecalculateTraces();
}

int LoadAllTraceFile(const std::string& path) {
  Instrument& g = *GInstrument;
  auto all = std::make_unique<AllTraceFileData>();
  if (const int code = ReadAllTraceFile(path, *all)) return code;
  for (int t = 0; t < kTraceCount; ++t) {
    if (all->present[t]) ApplyTrace(t, all->traces[t]);
  }
  // The measured settings go into the setting, measured and pane records in trace A's place;
  // trace A keeps its own record and values.
  ApplyConditions(0, all->measured.condition);
  SetActiveTrace(all->active);
  for (int t = 0; t < kTraceCount; ++t) {
    if (all->present[t] && !all->hasData[t]) SetDisplayState(t, 1);
  }
  RecalculateTraces();
  g.frame.redrawFlags = kRedrawAll;
  return 0;
}

}  // namespace vq
