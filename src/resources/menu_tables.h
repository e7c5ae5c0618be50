// The menu nodes and soft-key pages as data: labels, navigation and page contents.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "app/menu_engine.h"

namespace vq {

// A node of the menu table as the tables describe it; the rows not listed are empty nodes.
// Handlers, painters and state queries of functions are bound by their subsystems.
struct MenuNodeDef {
  MenuId id;
  NodeAction action;
  int16_t page;  // for the navigation actions; -1 otherwise
  int16_t kind;
  KeyVariant variant;
  const char* line1;
  const char* line2;
};

// A page of the soft-key page table; pages not listed are empty (no keys, no title).
struct PageDef {
  int16_t page;
  std::array<int16_t, kSoftKeysPerPage> targets;
  const char* title;  // "\n" splits it into two lines; at most 31 characters
};

std::span<const MenuNodeDef> MenuNodeDefs();
std::span<const PageDef> PageDefs();

}  // namespace vq
