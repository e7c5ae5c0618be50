// The colour sets: color.ini, the current palette handed to the renderer, palette entries by key,
// and the Palette.txt export.
#pragma once

#include <string>
#include <string_view>

#include "platform/host.h"

namespace vq {

// Reads color.ini from the configuration folder into sets 0 to 4 (a missing file or a malformed
// value leaves the built-in colours) and applies the current set.
void LoadColourIni();
// Makes set the current one and hands its colours to the renderer.
void ApplyColourSet(int set);
// Stores one key's colour in a set (the renderer sees it at the next ApplyColourSet).
void SetPaletteEntry(int set, int key, const ColourLevels& levels);
ColourLevels PaletteLevels(int set, int key);
// The colour key has when set starts (the slot table's default for sets 0 to 4).
ColourLevels BuiltInLevels(int set, int key);

// A color.ini value: "r,g,b" with levels 0 to 5, optionally followed by a comma and more text.
bool ParseColourValue(std::string_view text, ColourLevels* levels);
// Writes every named slot of set into section "COLOR<set + 1>" of color.ini; false when a write
// failed.
bool WriteColourIni(int set);

// Writes "key=r,g,b" for keys 3 to 80 of the current set over the start of the file at path, an
// existing file keeping whatever lies beyond; 0 or a message code.
int ExportPalette(const std::string& path);
// Binds the PALETTE EXPORT soft key (on the ADVANCE page with the PALETTE debug switch): writes
// Palette.txt in the current directory.
void BindPaletteExportNode();

}  // namespace vq
