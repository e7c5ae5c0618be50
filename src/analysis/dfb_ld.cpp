// DFB-LD: the -X dB width and centre, the SMSR, the RMS width, the band power and the OSNR, in
// that order; the first failing part ends the analysis.
#include <algorithm>

#include "analysis/analysis_common.h"
#include "analysis/light_source.h"
#include "analysis/markers.h"
#include "analysis/wdm.h"
#include "instrument.h"

namespace vq {

namespace {

int DfbLdParts(int trace) {
  AnalysisState& a = GInstrument->analysis;
  LightSourceState& l = a.light;
  const DfbLdSettings& s = l.working.dfb;
  DfbLdResult& r = l.dfb;
  r = {};
  const TraceAxis axis = AxisOfTrace(trace);

  WidthResult width;
  if (const int code = RunWidthPart(trace, s.width, width)) return code;
  r.widthNm = width.widthNm;
  r.widthThz = width.widthThz;
  r.centreNm = width.centreNm;

  // The width part left the range and the work buffer of this trace.
  if (!SmsrOn({a.work.data(), a.work.size()}, a.range.start, a.range.end, axis, s.smsr.mode,
              s.smsr.mask, s.smsrModeDiff, a.turning, r.smsr)) {
    return SearchFailureCode();
  }
  r.peakNm = IndexToWavelength(axis, r.smsr.mainIndex);
  r.peakLevel = r.smsr.mainLevel;

  if (s.rms.algo == kAlgoRms || s.rms.algo == kAlgoPeakRms) {
    WidthResult rms;
    if (const int code = RunWidthPart(trace, s.rms, rms)) return code;
    r.rmsWidthNm = rms.widthNm;
    r.rmsWidthThz = rms.widthThz;
  }

  // Band power around the -X dB centre, within the analysis range; a failure leaves it 0.
  const SearchRange whole = a.range;
  const int32_t lo = WavelengthToIndex(axis, r.centreNm - s.powerSpan / 2);
  const int32_t hi = WavelengthToIndex(axis, r.centreNm + s.powerSpan / 2);
  a.range.start = std::max(lo, whole.start);
  a.range.end = std::min(hi, whole.end);
  if (PowerOnRange(trace, 0.0, true, r.powerMw) != 0) r.powerMw = 0;
  a.range = whole;

  return DfbLdOsnr(trace, r.smsr.mainIndex, s.osnr, r.osnrDb);
}

}  // namespace

int RunDfbLd() {
  AnalysisState& a = GInstrument->analysis;
  LightSourceState& l = a.light;
  l.working = l.settings;
  const int trace = SearchTrace();
  const bool switched = SwitchLevelUnitToDbm();
  if (const int code = DfbLdParts(trace)) {
    if (switched) SwitchLevelUnitToDensity();
    return code;
  }
  PlaceSmsrMarkers(trace, l.dfb.smsr);
  a.resultKind = kResultDfbLd;
  a.resultTrace = static_cast<uint16_t>(trace);
  return 0;
}

}  // namespace vq
