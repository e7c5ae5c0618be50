// The template lines on the graph, their "U", "L", "T" labels, "PASS"/"FAIL", and the TEMPLATE
// EDIT table over the graph area.
#pragma once

#include <string>
#include <vector>

namespace vq {

// Draws all of it in the dynamic layer.
void DrawTemplateLayer();
// The edit table's text lines as drawn (heading, mode line, column heading, the rows shown).
std::vector<std::string> TemplateEditLines();
// "PASS", "FAIL", or "" when no judgement is shown.
std::string JudgementText();

}  // namespace vq
