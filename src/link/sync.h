// Synchronisation with the analyzer: its settings and traces pulled into the viewer on connecting,
// files opened while connected pushed to it, and the viewer's settings handed back at the end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vq {

constexpr int kPullNotABlock = 4;  // a "fileread?" answered without a block
constexpr size_t kPushLimitBytes = 1048576;

// Run by "Initialized"'s OK: 0, or the link code (or 4) of the step that failed.
int FirstSynchronisation();
// Reads NAME from the analyzer's user area into the user folder, loads it as a settings file
// (kind 3) or into `trace` (kind 0) and deletes it on the analyzer: 0, a link code, or 4.
int PullAnalyzerFile(const std::string& name, int kind, int trace);
int PullModelIni();
int PullResolutionTable();
void QuietAnalyzerAutomatics();
void RefreshTraceAttributes();
// Takes the analyzer's settings again after it chose its own (an automatic sweep): 1 on success.
int RePullSettings();

// Sends a local settings file (trace -1) or trace file (loaded into `trace`) to the analyzer and
// makes it load it: 1 when sent, 0 when not. Mirror 1: a file the user just opened; 0: the
// hand-back at disconnection.
constexpr int kPushSettings = -1;
int PushFileToAnalyzer(const std::string& path, int mirror, int trace = kPushSettings);
// The settings hand-back of a disconnection: the viewer's settings written, pushed, deleted.
void HandBackSettings();
// After a disconnection: the measurement-area mode the viewer had before connecting.
void RestoreMeasurementArea();
// Start-up: the file menus reach the push through the link state's hook.
void StartSynchronisation();

// The filewrite header of a push of `size` bytes under the remote name.
std::string FileWriteHeader(const std::string& remoteName, size_t size);
// The data bytes of a definite-length block reply (empty for anything else).
std::string_view BlockData(std::string_view reply);
// Levels received in dB become linear: 0 at or below -210 dB, 3.40282e38 at or above 210 dB.
void DecibelsToLinear(double* values, size_t count);

}  // namespace vq
