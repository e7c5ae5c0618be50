// Calculation tests: spectra in the traces and the measured record on their window.
#pragma once

#include <vector>

#include "analysis/spectrum_fixture.h"
#include "calc/trace_calc.h"

namespace vq {

class CalcTest : public SpectrumTest {
 protected:
  // Trace `trace` takes the levels and the measured record takes its window.
  void SetMeasuredTrace(int trace, double start, double span, const std::vector<double>& mw) {
    SetTrace(trace, start, span, mw);
    g().conditions.measured = g().traces.traces[trace].condition;
  }
  const Trace& T(int trace) { return g().traces.traces[trace]; }
  static constexpr int kA = 0, kB = 1, kC = 2, kD = 3, kE = 4, kF = 5, kG = 6;
};

}  // namespace vq
