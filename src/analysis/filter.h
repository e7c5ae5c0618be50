// Filter analyses: FILTER-PK (band-pass), FILTER-BTM (band-stop), and the multichannel WDM FIL-PK
// and WDM FIL-BTM; their result texts, fields and setting rows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/result_view.h"

namespace vq {

// The level crossings of a channel around its extreme p within lo..hi, at the level L (dBm):
// walking outwards from p, the first point at or below L (at or above for a bottom) that is not
// p itself; when p itself lies on that side of L, the walk first has to pass the other side.
// Interpolated in mW. `found` is false when a side has no crossing or both coincide; then both
// crossings are p, unless `edgeIfMissing` asks for lo (hi) in place of a missing side.
struct Crossings {
  double left = 0, right = 0;
  bool found = false;
  double Centre() const { return (left + right) / 2; }
  double Width() const { return right - left; }
};
Crossings LevelCrossings(std::span<const double> w, int32_t p, int32_t lo, int32_t hi,
                         double levelDbm, bool bottom, bool edgeIfMissing = false);

// The analyses on the active trace with the current settings (copied to the working copies): 0 or
// the failure code; on success the result kind and the markers (the moving marker on the peak or
// bottom; fixed markers on the WDM filter channels).
int RunFilterPk();
int RunFilterBtm();
int RunWdmFilter(bool bottom);

// Presentation (filter_view.cpp).
std::vector<std::string> FilterResultLines();
ResultTable WdmFilterTable();
std::vector<std::string> WdmFilterCsvLines();
ResultRecord FilterRecord();
ResultRecord WdmFilterRecord();

// The setting rows of items 13 to 16 (filter_settings.cpp).
std::span<const SettingRow> FilterSettingRows(int item);

}  // namespace vq
