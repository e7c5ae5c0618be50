// Limits of the parameters that change at run time: the model limit blocks and the span lists.
#include <array>

#include "instrument.h"
#include "menu/param_entry.h"

namespace vq {

namespace {

// 0 (zero span), the 1-2-5 values from 10^firstExp below the maximum, then the maximum.
void BuildSpanList(std::array<double, kSpanListCapacity>& out, int firstExp, double maximum) {
  size_t n = 0;
  out[n++] = 0;
  for (int i = 0; n < out.size() - 2 && OneTwoFive(firstExp, i) < maximum * (1 - 1e-12); ++i) {
    out[n++] = OneTwoFive(firstExp, i);
  }
  out[n++] = maximum;
  out[n] = -1.0;
}

// The listed zoom span values that do not exceed the maximum.
void CapList(std::array<double, kSpanListCapacity>& out, const double* listed, double maximum) {
  size_t n = 0;
  for (; *listed >= 0 && *listed <= maximum && n < out.size() - 1; ++listed) out[n++] = *listed;
  out[n] = -1.0;
}

}  // namespace

void PrepareModelLimits(int variant) {
  EntryState& e = GInstrument->entry;
  const auto& block = kModelLimits[variant];
  for (const ModelLimitUse& use : ModelLimitUses()) {
    ParamRecord& p = e.params[use.id];
    if (use.minIndex >= 0) p.minimum = block[use.minIndex];
    p.maximum = block[use.maxIndex];
  }
  BuildSpanList(e.spanLists[0], -1, e.params[2].maximum);
  BuildSpanList(e.spanLists[1], -2, e.params[3].maximum);
  CapList(e.spanLists[2], ZoomSpanWlList(), e.params[10].maximum);
  CapList(e.spanLists[3], ZoomSpanList(), e.params[11].maximum);
  const int spanIds[] = {2, 3, 10, 11};
  for (int i = 0; i < 4; ++i) e.params[spanIds[i]].preferred = e.spanLists[i].data();
}

int SetParameterLimits(int parameter, double minimum, double maximum) {
  if (parameter < 0 || parameter >= kParameterCount || !(minimum <= maximum)) return -1;
  ParamRecord& p = GInstrument->entry.params[parameter];
  p.minimum = minimum;
  p.maximum = maximum;
  return 0;
}

int SetPreferredValues(int parameter, const double* list) {
  if (parameter < 0 || parameter >= kParameterCount) return -1;
  GInstrument->entry.params[parameter].preferred = list;
  return 0;
}

}  // namespace vq
