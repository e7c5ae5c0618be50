// "ANALYSIS" "EXECUTE": runs an analysis item and shows its result or its failure.
#pragma once

namespace vq {

// Whether an item can run in this viewer (its key is live).
bool AnalysisItemAvailable(int item);
// Selects the item and runs it on the active trace: on success its result is shown; on failure
// the result kind is none and the code's message is shown. 0 or the code; -1 for an item that
// is not available.
int ExecuteAnalysis(int item);

}  // namespace vq
