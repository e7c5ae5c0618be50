// Template files: the CSV text of one template line (the model line, "TEMPLATE,", its mode,
// its extrapolation, one line a point), the oldest "TEMPLATE,,," layout and trace files used as a
// template source.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/template_state.h"

namespace vq {

// Parses template file bytes into a line (points, mode, extrapolation): 0, or 137 "File is not a
// template file" with `out` unchanged.
int ParseTemplate(const uint8_t* bytes, size_t size, TemplateLine& out);
// Reads a file into template line 0 to 2: 0 or a message code; nothing changes on failure. On
// success GO/NO GO goes off with message 144 when it was on.
int ReadTemplateFile(const std::string& path, int line);
// The file text of a line, and its write: 0 or a message code (131 for a line without points);
// a failed write leaves a file that was there as it was.
std::string TemplateFileText(const TemplateLine& line);
int WriteTemplateFile(const std::string& path, int line);

// The template block of the state backup ("template.prm"): every line's points and settings and
// the judgement settings in kTemplateBlockBytes, then a 32-bit byte sum.
constexpr size_t kTemplateBlockBytes = 3200112;
std::vector<uint8_t> TemplateBlockBytes();
// Takes the block over when its size and byte sum are right and every value is within its range
// (the lines are rendered again); false and nothing changed otherwise.
bool RestoreTemplateBlock(const std::vector<uint8_t>& bytes);

}  // namespace vq
