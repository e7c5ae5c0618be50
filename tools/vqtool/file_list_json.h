// The FILE menu in vqtool: the `files` part of the state and the soft keys named by label.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace vq {

// The shown file list as JSON, or null when no file list is shown.
nlohmann::json FilesJson();

// The slot of the soft key of the current page whose label lines, joined by one blank, equal
// `label` (written with '_' for each blank); -1 when none, with the page's labels, written the
// same way and separated by blanks, in `labels`.
int FindSoftKey(const std::string& label, std::string& labels);

}  // namespace vq
