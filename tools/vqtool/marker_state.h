// The markers, the analysis result and the marker-area texts in the state of `vqtool render`.
#pragma once

#include <nlohmann/json.hpp>

namespace vq {

// "moving" (null while off), "fixed" (the fixed markers that are on) and "line" (L1, L2 in nm;
// L3, L4 in dBm).
struct ResultRecord;

// The named fields of a result into `j` (counts and numbers as integers), and its channels as
// "channels".
void AddResultRecord(const ResultRecord& record, nlohmann::json& j);
nlohmann::json MarkersJson();
// The analysis item and result kind; for a spectral width result its values, its three markers
// and the lines of its block.
nlohmann::json AnalysisJson();
// The two lines of the marker row as drawn.
nlohmann::json MarkerRowJson();
// What the condition and data area shows and its lines as drawn.
nlohmann::json DataAreaJson();

}  // namespace vq
