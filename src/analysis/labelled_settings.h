// The search settings addressed by the labels their keys show ("MODE DIFF", "THRESH", "SORT BY",
// the line markers and "SEARCH/ANA L1-L2"), for automation.
#pragma once

#include <string>
#include <string_view>

namespace vq {

// Sets the search setting `label` to `value`: a number within the setting's entry limits, or a
// choice as its key writes it ("ON", "OFF", "WL", "LVL"). False with a one-line reason in
// `error`; nothing changes then.
bool SetSearchSettingByLabel(std::string_view label, std::string_view value, std::string& error);
// Whether the label names a setting of the search range (line markers, "SEARCH/ANA L1-L2"),
// which the analyses honour too.
bool IsSearchRangeLabel(std::string_view label);

}  // namespace vq
