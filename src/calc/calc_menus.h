// The CALCULATE menus of traces C, F and G.
#pragma once

#include <string>

namespace vq {

// Binds the CALCULATE keys and sets the recalculation call of the trace layer.
void BindCalcMenus();

// The values of the CALCULATE entries by the labels of their keys ("K", "THRESH" of the chosen
// operation's kind, "FITTING ALGO", "OPERATION AREA", "MODE DIFF"), as the automation sets them.
// False with a one-line reason for an unknown label or a bad value; `code` is the chosen
// operation (for THRESH).
bool SetCalcSettingByLabel(const std::string& label, const std::string& value, int code,
                           std::string& error);

// The CALCULATE key that chooses a calculation code (the trace's attribute), or 0 for none.
int OperationKeyOf(int code);

// The value names of the choice keys.
const char* OperationAreaName(int area);

}  // namespace vq
