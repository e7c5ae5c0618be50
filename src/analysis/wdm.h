// The WDM and EDFA-NF analyses: channel detection, channel wavelength and level, noise areas,
// the noise fit, the per-channel results, the display types and the output slope.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/search.h"
#include "state/wdm_state.h"

namespace vq {

// The OSNR part of DFB-LD: the WDM channel detection and noise algorithm on a trace with THRESH =
// the main mode's level + 100 dB and DISPLAY MASK -100 dBm; the SNR (dB) of the channel whose
// peak index is mainIndex. 0, or 103 when the run fails or no channel has that index (the
// channel table is then emptied).
int DfbLdOsnr(int trace, int32_t mainIndex, const WdmNoiseSettings& settings, double& osnrDb);

// ---- The steps, on explicit data ----

// Channel detection: the peaks of w[s..e] selected as the multi search selects them, with the
// threshold raised to the DISPLAY MASK when that is on, into `table` in wavelength order.
// 0 (the table may be empty), or -1 when there is no peak at all.
int DetectChannels(std::span<const double> w, int32_t s, int32_t e, double threshDb,
                   double modeDiff, double displayMask, TurningPointList& list,
                   MultiSearchResult& table);

// The noise (or ASE fitting) area of each channel, left and right of its wavelength (nm).
struct NoiseArea {
  double left = 0.0, right = 0.0;
};
// By the noise algorithm, from the channels' centre indices and peak indices in order, the noise
// trace (for PIT), the trace's step (nm) and the default area of its resolution.
std::vector<NoiseArea> NoiseAreas(int algo, double noiseArea, std::span<const double> centres,
                                  std::span<const int32_t> peaks, std::span<const double> noise,
                                  double step, double defaultArea);
// The default noise area (nm) of a resolution (nm).
double DefaultNoiseArea(double resolutionNm);

// A fitted noise curve over d = wavelength - channel wavelength (nm).
struct NoiseCurve {
  int algo = kFitLinear;
  int terms = 0;                 // coefficients used
  std::array<double, 6> coef{};  // in powers of d / scale
  double scale = 1.0;
};
// NoiseFit: fits the samples of the two windows lo..maskLo and maskHi..hi (the points strictly
// inside the mask excluded) of `samples`, indices converted to d with the axis. GAUSS takes the
// points whose dB level is at least channelDb - 100, the others every point not exactly 0.
// False when there are too few points or the system is singular.
bool NoiseFit(std::span<const double> samples, int32_t lo, int32_t maskLo, int32_t maskHi,
              int32_t hi, const TraceAxis& axis, double centreNm, double channelDb, int algo,
              NoiseCurve& curve);
// The curve's level (mW) at d nm from the channel; LORENZ at or below 0 gives 3.40282e+38.
double NoiseCurveAt(const NoiseCurve& curve, double d);

// The LINEAR noise line: the samples interpolated at the fractional indices xl and xr (clipped to
// s..e), joined linearly, taken at index x.
double LinearNoiseAt(std::span<const double> samples, int32_t s, int32_t e, double xl, double xr,
                     double x);

// The least-squares slope of the channel levels (dB) over their peak indices, per point; 0 with
// fewer than two channels.
double LevelSlopePerPoint(std::span<const WdmChannel> channels);

// ---- On the context ----

// WDM on the active trace (with DUAL TRACE, A and B) with the settings of the analysis state:
// the channel table, fixed markers on the channels, the result kind. 0 or 103.
int RunWdmAnalysis();
// EDFA-NF on traces A (input) and B (output). 0 or 103.
int RunEdfaNfAnalysis();
// MAX/MIN RESET: new drift references from the shown WDM table, extremes cleared.
void ResetWdmDrift();

// The OUTPUT SLOPE text of the marker area ("DELTA=%8.3fdB/nm", or per THz on a frequency axis);
// empty when OUTPUT SLOPE is off or no WDM result is shown.
std::string WdmSlopeText();

// Presentation (wdm_view.cpp).
struct ResultTable;
struct ResultRecord;
struct SettingRow;
ResultTable WdmResultTable();
std::vector<std::string> WdmCsvLines();
ResultRecord WdmRecord();
ResultTable EdfaResultTable();
std::vector<std::string> EdfaCsvLines();
ResultRecord EdfaRecord();
std::span<const SettingRow> WdmSettingRows();
std::span<const SettingRow> EdfaSettingRows();

}  // namespace vq
