// Settings files (the 73147-byte image and its sibling and predecessor layouts) and the state
// backup kept in the setting folder across runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vq {

constexpr size_t kSettingsFileBytes = 73147;     // current model and sibling
constexpr size_t kOldSettingsFileBytes = 66747;  // predecessor
constexpr int kMsgNotSettingsFile = 135;

// The settings image of the current state.
std::vector<uint8_t> BuildSettingsImage();
// Writes the settings file; 0 or a message code. A failed write never replaces a good file.
int WriteSettingsFile(const std::string& path);
// Takes a settings image into the state; 0, or kMsgNotSettingsFile with nothing changed.
int ReadSettingsImage(const uint8_t* bytes, size_t size);
// Reads a settings file and, on success, clears the traces, hands every record the setting
// record and refreshes markers, analysis and screen (a file menu READ or a drop); 0 or a code.
int LoadSettingsFile(const std::string& path);

// The state backup: saved at exit, restored at start; both silent.
void SaveStateBackup(const std::string& folder);
void RestoreStateBackup(const std::string& folder);

// The firmware version text of the instrument the state belongs to: the connected analyzer's,
// else the viewer's own.
std::string InstrumentVersionText();
// The bytes of "Setting.prm" for the current state: the version text in a 10-byte field, the
// settings image from byte 10 without its last byte, the 32-bit byte sum of all that.
std::vector<uint8_t> StateBackupBytes();
// Takes those bytes into the state: 0 when all was taken, 1 when they belong to another
// firmware and only the viewer's own display pieces were taken, kMsgNotSettingsFile (nothing
// changed) when they are short or their sum is wrong.
int RestoreStateImage(const uint8_t* bytes, size_t size);

}  // namespace vq
