// Analysis tests: a context whose traces take spectra built from analytic line shapes.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "instrument.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"

namespace vq {

class SpectrumTest : public InstrumentTest {
 protected:
  // Trace `trace` takes n points from `start` over `span` nm, levels given in mW.
  void SetTrace(int trace, double start, double span, const std::vector<double>& mw) {
    Trace& t = g().traces.traces[trace];
    const int n = static_cast<int>(mw.size());
    t.condition.start = start;
    t.condition.span = span;
    t.condition.stop = start + span;
    t.condition.centre = start + span / 2;
    t.condition.samplingPoints = t.condition.storedPoints = n;
    t.condition.measurementWavelength = 2;  // vacuum: frequencies without the air correction
    std::fill(t.level.begin(), t.level.end(), 0.0);
    std::copy(mw.begin(), mw.end(), t.level.begin());
    g().conditions.setting.noiseMask = -101;
  }

  // The same from levels in dBm.
  void SetTraceDbm(int trace, double start, double span, const std::vector<double>& dbm) {
    std::vector<double> mw;
    for (double d : dbm) mw.push_back(DbmToLinear(d));
    SetTrace(trace, start, span, mw);
  }

  // n points of f(wavelength) in mW.
  static std::vector<double> Sample(int n, double start, double span,
                                    const std::function<double(double)>& f) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i) v[i] = f(start + span * i / (n - 1));
    return v;
  }
};

}  // namespace vq
