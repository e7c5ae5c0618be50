// Search and analysis settings addressed by the labels the screen shows them with, for automation
// ("THRESH LEVEL", "K", "MODE FIT", "MODE DIFF", "SORT BY", ...).
#pragma once

#include <string>
#include <string_view>

namespace vq {

// For the searches rather than a width item.
constexpr int kSearchSettings = -1;

// Sets the setting `label` of width item `item` (0 to 4), or of the searches, to `value`: a
// number within the setting's entry limits, or a choice as its key writes it ("ON", "OFF",
// "PEAK", "BOTTOM", "WL", "LVL"). False with a one-line reason in `error`; nothing changes then.
bool SetByLabel(int item, std::string_view label, std::string_view value, std::string& error);

}  // namespace vq
