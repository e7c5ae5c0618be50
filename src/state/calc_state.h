// State of the trace calculation: the work arrays of the operations and fits, the last fit's
// coefficients, and the recalculation call that the trace layer uses after a copy.
#pragma once

#include <array>
#include <cstdint>

#include "state/analysis_state.h"
#include "state/trace_state.h"

namespace vq {

constexpr int kMaxFitCoefficients = 6;  // the 5TH POLY

struct CalcState {
  std::array<double, kMaxPoints> first{};   // the first source on the destination's axis
  std::array<double, kMaxPoints> second{};  // the second source
  TurningPointList turning{};               // the peaks of a fit's work array
  std::array<double, kMaxPoints> fitD{};    // the points of a fit: d (nm) and level (mW)
  std::array<double, kMaxPoints> fitLevel{};
  // The last curve, peak curve or marker fit: algorithm, ascending coefficients in powers of
  // d = wavelength - reference (nm), the reference wavelength; `fitted` false when it failed.
  int16_t fitAlgorithm = -1;
  int16_t coefficientCount = 0;
  std::array<double, kMaxFitCoefficients> coefficients{};
  double referenceWavelength = 0.0;
  bool fitted = false;
  // Set at start-up by the calculation menus: recomputes every calculated trace (the trace layer
  // calls it after a trace copy; it cannot include the calculation).
  void (*recalculate)() = nullptr;
};

}  // namespace vq
