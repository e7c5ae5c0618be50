// Light-source analyses: SMSR, POWER, PMD, COLOR and the composite DFB-LD, FP-LD and LED.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/search.h"
#include "state/analysis_state.h"

namespace vq {

// COLOR has no item number and no key of its own: it runs by its name ("COLOR") under this
// number, past the numbered items and the searches' kItemCount.
constexpr int kItemColor = kItemCount + 1;

// ---- On explicit data: the algorithms themselves ----

// SMSR of `mode` on w[s..e] with the mask half width maskNm and MODE DIFF: false when there is
// no light or a side mode of level 0 ends SMSR2/SMSR4. Uses the trace axis for the mask width
// and the distances.
bool SmsrOn(std::span<const double> w, int32_t s, int32_t e, const TraceAxis& axis, uint16_t mode,
            double maskNm, double modeDiff, TurningPointList& list, SmsrResult& out);

// PMD on w[s..e]: the selected peaks (data indices in wavelength order) within threshDb of the
// highest, and the result; false when fewer than two modes qualify.
bool PmdOn(std::span<const double> w, int32_t s, int32_t e, const TraceAxis& axis, double threshDb,
           double modeDiff, TurningPointList& list, std::vector<int32_t>& selected, PmdResult& out);

// The colour-matching functions x-bar, y-bar, z-bar at a wavelength (380 to 780 nm).
struct Tristimulus {
  double x, y, z;
};
Tristimulus ColourMatchingAt(double nm);
// The dominant wavelength (nm) of chromaticity (x, y) against the equal-energy white point; 0
// for x = y = 0.
double DominantWavelength(double x, double y);

// ---- On the context: the active trace and the family's settings ----

// POWER over the current search range of a trace with an offset (dB); `reuse` keeps the work
// buffer as it is. 0 or the failure code.
int PowerOnRange(int trace, double offsetDb, bool reuse, double& totalMw);

// Each runs on the active trace with the settings (copied to the working copy): on success the
// result kind, the result trace and the markers; 0 or the failure code.
int RunSmsr();
int RunPower();
int RunPmd();
int RunColor();
int RunDfbLd();
int RunFpLd();
int RunLed();

// Shared by the composite analyses: fixed markers 1 to n on data indices (all others off); the
// SMSR markers; one width part of a composite analysis on a trace (0 or the failure code).
void PlaceFixedMarkers(int trace, std::span<const int32_t> indices);
void PlaceSmsrMarkers(int trace, const SmsrResult& r);
int RunWidthPart(int trace, const WidthPart& part, WidthResult& out);

// Presentation (light_source_texts.cpp): the result block of the shown light-source result,
// its named fields, and the setting rows of an item (light_source_settings.cpp).
std::vector<std::string> LightSourceResultLines();
struct ResultRecord;
ResultRecord LightSourceRecord();
struct SettingRow;
std::span<const SettingRow> LightSourceSettingRows(int item);

}  // namespace vq
