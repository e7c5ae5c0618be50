// The file list of the FILE menu, drawn over the graph area (dynamic layer).
#pragma once

#include <string>
#include <vector>

namespace vq {

// The text lines of the list as drawn: folder line, headings, the shown rows, the count and
// free-space line, the name entry line and the status line (for tests and the tools).
std::vector<std::string> FileListLines();
void DrawFileList();

}  // namespace vq
