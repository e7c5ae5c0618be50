// The TEMPLATE and TEMPLATE EDIT menus.
#pragma once

#include <string>

namespace vq {

constexpr int kTemplatePage = 87;
constexpr int kTemplateEditPage = 88;

// Binds the keys of both pages and the judgement after new trace data.
void BindTemplateMenus();

}  // namespace vq
