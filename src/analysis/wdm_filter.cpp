// WDM FIL-PK and WDM FIL-BTM: the channels of a multichannel filter and, per channel, its peak
// (bottom), X dB width and centre, stop band, pass (elimination) band, ripple and cross talk.
#include <algorithm>
#include <cmath>

#include "analysis/analysis_common.h"
#include "analysis/filter.h"
#include "analysis/markers.h"
#include "analysis/search.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

// Detection ALGO values of the two items.
enum PkDetection { kPkPeak, kPkMean, kPkGridFit, kPkGrid };
enum BtmDetection { kBtmBottom, kBtmNotchPeak, kBtmNotchBottom, kBtmGridFit, kBtmGrid };

struct Channel {
  int32_t extreme, lo, hi;  // the peak (bottom) and the channel's bounds
  double nominalNm;
};

// What a run works on.
struct Run {
  std::span<const double> w;
  int32_t s, e;
  TraceAxis axis;
  bool bottom;
  const WdmFilterSettings& set;
};

double Db(double mw) {
  return LinearToDbm(mw);
}

// The extreme of w over lo..hi (first of equals), lo and hi clipped to the range.
int32_t ExtremeIn(const Run& r, int32_t lo, int32_t hi) {
  lo = std::max(lo, r.s);
  hi = std::min(hi, r.e);
  int32_t best = lo;
  for (int32_t i = lo + 1; i <= hi; ++i) {
    if (r.bottom ? r.w[i] < r.w[best] : r.w[i] > r.w[best]) best = i;
  }
  return best;
}

// The pass level of a notch: the higher of the highest points on either side of it in the
// channel's bounds (the notch itself where a side is empty).
double NotchTopDb(const Run& r, const Channel& c) {
  double top = r.w[c.extreme];
  for (int32_t i = c.lo; i <= c.hi; ++i) top = std::max(top, r.w[i]);
  return Db(top);
}

// The window of plus and minus half a band around a wavelength, as data indices clipped to lo..hi
// (lo > hi when it holds no point).
void Window(const Run& r, double nm, double band, int32_t lo, int32_t hi, int32_t& a, int32_t& b) {
  a = std::max(WavelengthToIndexInside(r.axis, nm - band / 2, true), lo);
  b = std::min(WavelengthToIndexInside(r.axis, nm + band / 2, false), hi);
}

// The channel wavelength of the detection ALGO (as a fractional index).
double ChannelIndex(const Run& r, const Channel& c) {
  const uint16_t algo = r.set.algo;
  // The -3 dB rule: the drop is MODE DIFF, but at most 3 dB.
  const double drop = std::min(r.set.modeDiff, 3.0);
  if (!r.bottom) {
    return algo == kPkMean ? CentreIndexAtDrop(r.w, c.extreme, c.lo, c.hi, drop) : c.extreme;
  }
  if (algo == kBtmNotchPeak || algo == kBtmNotchBottom) {
    const double level =
        algo == kBtmNotchPeak ? NotchTopDb(r, c) - drop : Db(r.w[c.extreme]) + drop;
    const Crossings x = LevelCrossings(r.w, c.extreme, c.lo, c.hi, level, true);
    return x.Centre();
  }
  return c.extreme;
}

double WidthThz(const Run& r, const Crossings& x) {
  return std::abs(TraceFrequency(r.axis, IndexToWavelength(r.axis, x.left)) -
                  TraceFrequency(r.axis, IndexToWavelength(r.axis, x.right)));
}

void MeasureChannel(const Run& r, const Channel& c, WdmFilterChannel& out) {
  const WdmFilterSettings& s = r.set;
  const double step = r.axis.Step();
  const double extremeDb = Db(r.w[c.extreme]);
  out.peakIndex = c.extreme;
  out.peakNm = IndexToWavelength(r.axis, c.extreme);
  out.peakDbm = extremeDb;
  out.nominalNm = c.nominalNm;
  // A notch's levels are measured up from its bottom (BOTTOM) or down from its pass level (PEAK).
  const double topDb = r.bottom ? NotchTopDb(r, c) : extremeDb;
  const bool fromTop = r.bottom && s.notchType == 0;
  // C. X dB width and centre; the centre also places the test bands of E, F and G.
  const double widthLevel = !r.bottom ? extremeDb - s.widthThresh
                            : fromTop ? topDb - s.widthThresh
                                      : extremeDb + s.widthThresh;
  const Crossings width = LevelCrossings(r.w, c.extreme, c.lo, c.hi, widthLevel, r.bottom);
  out.widthNm = width.Width() * step;
  out.widthThz = WidthThz(r, width);
  out.centreNm = IndexToWavelength(r.axis, width.Centre());
  // D. Stop band: the crossings THRESH LEVEL (negative: below) from the peak, or from the pass
  // level of a notch, so that -10 dB is the band where the filter suppresses by 10 dB.
  const Crossings stop = LevelCrossings(r.w, c.extreme, c.lo, c.hi, topDb + s.stopThresh, r.bottom);
  out.stopNm = stop.Width() * step;
  out.stopThz = WidthThz(r, stop);
  // E. Pass (elimination) band: the crossings X dB from the extreme inside the test band around
  // the centre. A side without a crossing in the band ends at the band's edge, so a flat top wider
  // than the test band gives the test band, not 0.
  int32_t a = 0, b = 0;
  Window(r, out.centreNm, s.passBand, c.lo, c.hi, a, b);
  out.passNm = out.passThz = 0;
  if (a <= b) {
    const int32_t from = std::clamp(c.extreme, a, b);
    const double level = r.bottom ? extremeDb + s.passThresh : extremeDb - s.passThresh;
    const Crossings pass = LevelCrossings(r.w, from, a, b, level, r.bottom, true);
    out.passNm = pass.Width() * step;
    out.passThz = WidthThz(r, pass);
  }
  // F. Ripple: the level spread inside the ripple test band around the centre.
  Window(r, out.centreNm, s.rippleBand, c.lo, c.hi, a, b);
  out.rippleDb = 0;
  if (a <= b) {
    const auto [mn, mx] = std::minmax_element(r.w.begin() + a, r.w.begin() + b + 1);
    out.rippleDb = Db(*mx) - Db(*mn);
  }
  // G. Cross talk: the neighbour's level at SPACING either side against the channel's own level,
  // each taken inside its test band as the worst case: the highest point (the lowest for a notch).
  // A neighbour whose band lies outside S..E keeps -210.0.
  auto level = [&](double nm, double& db) {
    Window(r, nm, s.crossBand, r.s, r.e, a, b);
    if (a > b) return false;
    db = Db(r.w[ExtremeIn(r, a, b)]);
    return true;
  };
  out.crossLeftDb = out.crossRightDb = -210.0;
  double own = 0, side = 0;
  if (level(out.centreNm, own)) {
    const double first = IndexToWavelength(r.axis, r.s), last = IndexToWavelength(r.axis, r.e);
    constexpr double kNmTolerance = 1e-9;
    if (out.centreNm - s.spacing >= first - kNmTolerance && level(out.centreNm - s.spacing, side)) {
      out.crossLeftDb = side - own;
    }
    if (out.centreNm + s.spacing <= last + kNmTolerance && level(out.centreNm + s.spacing, side)) {
      out.crossRightDb = side - own;
    }
  }
}

// The grid wavelengths inside the range, in increasing wavelength.
std::vector<double> GridInside(const Run& r) {
  const double f0 = WavelengthToFrequency(IndexToWavelength(r.axis, r.e));
  const double f1 = WavelengthToFrequency(IndexToWavelength(r.axis, r.s));
  const double first = IndexToWavelength(r.axis, r.s), last = IndexToWavelength(r.axis, r.e);
  std::vector<double> grid;
  const int lo = static_cast<int>(std::floor((f0 - GridFrequency(0)) / 0.1)) - 1;
  const int hi = static_cast<int>(std::ceil((f1 - GridFrequency(0)) / 0.1)) + 1;
  for (int n = hi; n >= lo; --n) {
    const double nm = FrequencyToWavelength(GridFrequency(n));
    if (nm >= first && nm <= last) grid.push_back(nm);
  }
  return grid;
}

// Channel detection: the selected peaks (bottoms), or the grid. -1 when there is no light; an
// empty list when nothing qualifies.
int DetectChannels(const Run& r, std::vector<Channel>& channels) {
  AnalysisState& a = GInstrument->analysis;
  TurningPointList& list = a.turning;
  const SearchResult single = SingleSearchOn(r.w, r.s, r.e, !r.bottom, list);
  if (list.highestPos < 0) return single.level <= 0 ? -1 : 0;
  if (list.highestLevel <= 0) return -1;
  QualifyBuiltList(r.w, r.set.modeDiff, list);
  const bool grid = r.bottom ? r.set.algo == kBtmGrid : r.set.algo == kPkGrid;
  const bool gridFit = r.bottom ? r.set.algo == kBtmGridFit : r.set.algo == kPkGridFit;
  if (grid) {
    // One channel per grid wavelength; its extreme within plus and minus half the detection
    // TEST BAND, inside the bounds of the neighbouring grid wavelengths.
    const std::vector<double> nm = GridInside(r);
    const int n = static_cast<int>(nm.size());
    for (int k = 0; k < n && k < kWdmFilterChannels; ++k) {
      const int32_t lo = k > 0 ? WavelengthToIndex(r.axis, nm[k - 1]) : r.s;
      const int32_t hi = k + 1 < n ? WavelengthToIndex(r.axis, nm[k + 1]) : r.e;
      int32_t wa = 0, wb = 0;
      Window(r, nm[k], r.set.testBand, lo, hi, wa, wb);
      if (wa > wb) wa = wb = std::clamp(WavelengthToIndex(r.axis, nm[k]), lo, hi);
      channels.push_back({ExtremeIn(r, wa, wb), lo, hi, nm[k]});
    }
    return 0;
  }
  SelectMulti(r.w, list, !r.bottom, r.set.thresh, 0, single, a.multi);
  const int n = a.multi.count;
  for (int k = 0; k < n; ++k) {
    const int32_t lo = k > 0 ? a.multi.index[k - 1] : r.s;
    const int32_t hi = k + 1 < n ? a.multi.index[k + 1] : r.e;
    channels.push_back({a.multi.index[k], lo, hi, 0});
  }
  for (Channel& c : channels) {
    const double nm = IndexToWavelength(r.axis, ChannelIndex(r, c));
    // GRID FIT: each channel takes the grid wavelength nearest to its measured wavelength.
    c.nominalNm = gridFit ? NearestGridWavelength(nm) : nm;
  }
  return 0;
}

}  // namespace

int RunWdmFilter(bool bottom) {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  FilterState& f = a.filter;
  const int item = bottom ? kItemWdmFilBtm : kItemWdmFilPk;
  f.wdmWorking = bottom ? f.wdmBtm : f.wdmPk;
  f.channelCount = 0;
  const int trace = g.traces.state.activeTrace;
  ComputeSearchRange(trace, item);
  if (a.range.start > a.range.end) return SearchFailureCode();
  FillWorkBuffer(trace);
  const Run r{{a.work.data(), a.work.size()},
              a.range.start,
              a.range.end,
              AxisOfTrace(trace),
              bottom,
              f.wdmWorking};
  std::vector<Channel> channels;
  if (DetectChannels(r, channels) != 0) return SearchFailureCode();
  a.multi.count = 0;
  for (const Channel& c : channels) {
    MeasureChannel(r, c, f.channels[f.channelCount++]);
    a.multi.index[a.multi.count++] = c.extreme;
  }
  a.resultKind = bottom ? kResultWdmFilBtm : kResultWdmFilPk;
  a.resultTrace = static_cast<uint16_t>(trace);
  PlaceMultiMarkers(trace);
  return 0;
}

}  // namespace vq
