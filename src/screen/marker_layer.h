// Markers on the graphs, the marker row above them and the condition and data area.
#pragma once

#include <string>
#include <vector>

#include "analysis/marker_texts.h"

namespace vq {

// The level format of each trace, by the scale of the graph that shows it.
TraceLevelFormats DisplayedLevelFormats();

// The marker row (static layer, drawn with the background and with the data area).
void DrawMarkerRow();

// The condition and data area shows the spectral width result when that is the result shown,
// else the marker list while a fixed marker is on, else the measurement conditions.
enum class DataAreaContent { Conditions, MarkerList, ResultBlock };
DataAreaContent DataAreaShows();
std::vector<std::string> DataAreaLines();  // as drawn, trailing blanks kept
void DrawDataArea();

// Over the traces (dynamic layer): the line markers, the width result's level lines and its
// three markers, the fixed markers and the moving marker, each on the graph of its trace. Keeps
// the markers' screen positions (0, 0 while a marker is not shown).
void DrawMarkerLayer();

}  // namespace vq
