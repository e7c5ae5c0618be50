// The 64 memory slots: binary trace files "<memory folder>MEM%03d.WV8" and the slot table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vq {

constexpr int kMsgUnsuitableMemory = 107;

std::string MemorySlotPath(int slot);
// SAVE, RECALL and CLEAR of the MEMORY menu; 0 or a message code.
int SaveMemorySlot(int slot, int trace);
int RecallMemorySlot(int slot, int trace);
int ClearMemorySlot(int slot);
// Reads the slot files at start.
void ScanMemorySlots();
// The file menu's MEMORY item: a slot written to a file (binary as is, or as a CSV trace file),
// and a file read into a slot; 0 or a message code (107 empty slot, 132 not a trace file).
int WriteMemorySlotToFile(int slot, const std::string& path, bool csv);
int FileToMemorySlot(const uint8_t* bytes, size_t size, int slot);
// Binds the MEMORY keys.
void BindMemoryMenu();

}  // namespace vq
