// Peak search: the search range, the work buffer, turning points, the single search, MODE DIFF
// qualification, the next searches and the multi search; and the index/wavelength conversions
// that every analysis uses.
#pragma once

#include <cstdint>
#include <span>

#include "state/analysis_state.h"

namespace vq {

// Failure codes of searches and analyses (message codes).
constexpr int kNoDataInTrace = 103;         // "No data in active trace"
constexpr int kNoDataBetweenMarkers = 110;  // "No data between marker and marker"

// Level differences in dB closer than this count as equal: a level written as "-3.00" dBm and
// read back is a few 1e-16 dB off, and a 3.00 dB step must still count as 3.00 dB.
constexpr double kDbTolerance = 1e-9;

// The wavelength axis of a trace's data.
struct TraceAxis {
  double start = 0.0;                 // W0, nm
  double span = 0.0;                  // nm
  int32_t points = 0;                 // N
  int16_t measurementWavelength = 0;  // the record's air (1) / vacuum (2) attribute; 0 not set
  // The sampling step span / (N - 1); 0 for a trace without data.
  double Step() const { return points > 1 ? span / (points - 1) : 0.0; }
};
TraceAxis AxisOfTrace(int trace);

// wl(i) = W0 + step * i rounded to 0.0001 nm (half up); a trace without data gives W0.
double IndexToWavelength(const TraceAxis& axis, double index);
// The nearest index, clamped to 0 to N - 1; a trace without data gives 0.
int32_t WavelengthToIndex(const TraceAxis& axis, double wl);
// An index inside the limit wl: the first point at or above it (first), or the last at or below.
int32_t WavelengthToIndexInside(const TraceAxis& axis, double wl, bool first);
// The optical frequency (THz) of a wavelength of the trace, by the trace's own air/vacuum
// attribute.
double TraceFrequency(const TraceAxis& axis, double nm);

// ---- On explicit data (the work buffer, a range): the algorithms themselves ----

// Builds the alternating list of candidate peaks and bottoms of w[s..e]; false when the data is
// flat (the final entry is the only one).
bool BuildTurningPoints(std::span<const double> w, int32_t s, int32_t e, TurningPointList& list);
// The highest candidate peak (or lowest candidate bottom), first of equals; with no turning
// points, the middle of the range. Builds the list.
SearchResult SingleSearchOn(std::span<const double> w, int32_t s, int32_t e, bool peak,
                            TurningPointList& list);
// Marks the qualified peaks and bottoms of a built list; false when the list cannot be built.
bool ModeDiffQualification(std::span<const double> w, int32_t s, int32_t e, double modeDiff,
                           TurningPointList& list);
// The same on a list just built from w (by a single search on the same range), which it leaves
// with candidate states only; saves building it twice.
void QualifyBuiltList(std::span<const double> w, double modeDiff, TurningPointList& list);
// The next search of kind 1 to 6 from data index m on a qualified list; false when nothing matches.
bool NextSearchOn(std::span<const double> w, const TurningPointList& list, int kind, int32_t m,
                  SearchResult& result);
// Selects the listed peaks (bottoms) within threshDb of the extreme, ranks them, fills the table
// in wavelength or level order; `single` is the single-search result. Needs a qualified list.
void SelectMulti(std::span<const double> w, TurningPointList& list, bool peak, double threshDb,
                 int sortBy, const SearchResult& single, MultiSearchResult& table);

// ---- On the context: the active trace, the search settings, the stored range ----

// 110 when "SEARCH/ANA" "L1-L2" is on with line marker 1 or 2 on, else 103.
int SearchFailureCode();
// The search range of a trace (S, E, mode 2) for an analysis item, or for a search (kItemCount):
// the zoom area does not limit the multichannel analyses.
void ComputeSearchRange(int trace, int item = kItemCount);
// Copies the trace's levels into the work buffer and applies the display's noise mask.
void FillWorkBuffer(int trace);
// Range, work buffer and the single search of a trace: 0 or a failure code (an empty range).
int SingleSearch(int trace, bool peak);
// The same on a list just built from w (by a single search on the same range), which it leaves
// with candidate states only; saves building it twice.
void QualifyBuiltList(std::span<const double> w, double modeDiff, TurningPointList& list);
// The next search of kind 1 to 6 from data index m on the stored range: 0 or a failure code.
int NextSearch(int trace, int kind, int32_t m, double modeDiff);
// The multi search: fills the multi-search table; 0 or a failure code.
int MultiSearch(int trace, bool peak, double threshDb, double modeDiff, int sortBy);

}  // namespace vq
