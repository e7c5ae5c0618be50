// SMSR: the main mode, the side mode(s) of the four SMSR modes, the ratio and the distances.
#include <algorithm>
#include <cmath>

#include "analysis/light_source.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

// The index range of the mask around the main mode, clipped to S and E.
struct Mask {
  int32_t lo, hi;
  bool Covers(int32_t i) const { return i >= lo && i <= hi; }
};

// The highest qualified peak (first of equals) with an index in [from, to], other than the main
// mode and outside the mask; -1 when there is none.
int32_t HighestOutside(std::span<const double> w, const TurningPointList& list, int32_t main,
                       const Mask& mask, int32_t from, int32_t to) {
  int32_t best = -1;
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    const TurningPoint& t = list.entries[pos];
    if (t.state != kQualifiedPeak || t.index == main || mask.Covers(t.index)) continue;
    if (t.index < from || t.index > to) continue;
    if (best < 0 || w[t.index] > w[best]) best = t.index;
  }
  return best;
}

// The highest point of [from, to] outside the mask, at the middle of its plateau of equal values;
// -1 when every point lies inside the mask.
int32_t HighestPointOutside(std::span<const double> w, const Mask& mask, int32_t from, int32_t to) {
  int32_t best = -1;
  for (int32_t i = from; i <= to; ++i) {
    if (!mask.Covers(i) && (best < 0 || w[i] > w[best])) best = i;
  }
  if (best < 0) return -1;
  int32_t end = best;
  while (end + 1 <= to && !mask.Covers(end + 1) && w[end + 1] == w[best]) ++end;
  return (best + end) / 2;
}

// The nearest qualified peak left (step -1) or right (step 1) of the main mode; -1 when none.
int32_t NearestQualified(const TurningPointList& list, int32_t main, int step) {
  int32_t found = -1;
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    const TurningPoint& t = list.entries[pos];
    if (t.state != kQualifiedPeak) continue;
    if (step < 0 && t.index < main) found = t.index;
    if (step > 0 && t.index > main && found < 0) found = t.index;
  }
  return found;
}

// SMSR1 on one side ([from, to]) or both: the highest mode outside the mask, else the highest
// point outside it (MASK 0: the main mode itself).
int32_t MaskedSide(std::span<const double> w, const TurningPointList& list, int32_t main,
                   const Mask& mask, double maskNm, int32_t from, int32_t to) {
  const int32_t peak = HighestOutside(w, list, main, mask, from, to);
  if (peak >= 0) return peak;
  if (maskNm == 0) return main;
  const int32_t point = HighestPointOutside(w, mask, from, to);
  // A side whose points all lie inside the mask has no side mode: the main mode stands in (0 dB).
  return point >= 0 ? point : main;
}

}  // namespace

bool SmsrOn(std::span<const double> w, int32_t s, int32_t e, const TraceAxis& axis, uint16_t mode,
            double maskNm, double modeDiff, TurningPointList& list, SmsrResult& out) {
  out = {};
  out.mode = mode;
  const SearchResult peak = SingleSearchOn(w, s, e, true, list);
  int32_t side[2] = {peak.index, peak.index};
  if (list.highestPos < 0) {  // the qualification fails: flat data
    if (peak.level <= 0) return false;
    out.mainIndex = peak.index;
  } else {
    QualifyBuiltList(w, modeDiff, list);
    const int32_t pk = list.highestIndex;
    out.mainIndex = pk;
    const int32_t h =
        axis.span > 0
            ? static_cast<int32_t>(std::trunc((axis.points - 1) * maskNm / axis.span + 0.5))
            : 0;
    const Mask mask{std::max(pk - h, s), std::min(pk + h, e)};
    const bool maskCoversAll = pk - h <= s && pk + h >= e && maskNm > 0;
    switch (mode) {
      case kSmsr1:
        side[0] = maskCoversAll ? e : MaskedSide(w, list, pk, mask, maskNm, s, e);
        break;
      case kSmsr3:
        if (maskCoversAll) {
          side[0] = side[1] = e;
        } else {
          side[0] = MaskedSide(w, list, pk, mask, maskNm, s, pk - 1);
          side[1] = MaskedSide(w, list, pk, mask, maskNm, pk, e);
        }
        break;
      case kSmsr2: {
        const int32_t l = NearestQualified(list, pk, -1), r = NearestQualified(list, pk, 1);
        if (l >= 0 && r >= 0) {
          side[0] = w[r] > w[l] ? r : l;
        } else {
          side[0] = l >= 0 ? l : r >= 0 ? r : pk;
        }
        break;
      }
      default: {  // SMSR4
        const int32_t l = NearestQualified(list, pk, -1), r = NearestQualified(list, pk, 1);
        side[0] = l >= 0 ? l : pk;
        side[1] = r >= 0 ? r : pk;
        break;
      }
    }
  }
  out.mainLevel = w[out.mainIndex];
  const int sides = IsTwoSided(mode) ? 2 : 1;
  for (int k = 0; k < sides; ++k) {
    if (w[side[k]] <= 0) {
      // No light at the side mode: SMSR2 and SMSR4 fail; SMSR1 (and SMSR3, built on it) take E.
      if (mode == kSmsr2 || mode == kSmsr4) return false;
      side[k] = e;
    }
    const double level = w[side[k]];
    out.sideIndex[k] = side[k];
    out.sideLevel[k] = level;
    out.ratio[k] = level > 0 ? out.mainLevel / level : HUGE_VAL;  // shown at the dB ceiling
    out.offsetNm[k] = (side[k] - out.mainIndex) * axis.Step();
    out.offsetThz[k] = TraceFrequency(axis, IndexToWavelength(axis, side[k])) -
                       TraceFrequency(axis, IndexToWavelength(axis, out.mainIndex));
  }
  if (sides == 1) {
    out.sideIndex[1] = out.sideIndex[0];
    out.sideLevel[1] = out.sideLevel[0];
    out.ratio[1] = out.ratio[0];
    out.offsetNm[1] = out.offsetNm[0];
    out.offsetThz[1] = out.offsetThz[0];
  }
  return true;
}

}  // namespace vq
