// The analysis windows over the graph (dynamic layer): the setting window, the channel table of a
// multichannel result, and a single-result block too wide for the data area.
#pragma once

namespace vq {

// Whether the shown single result fits the data area (69 characters a line); wider blocks are
// drawn in a window over the graph.
bool ResultBlockFitsDataArea();
void DrawAnalysisWindows();

}  // namespace vq
