// The soft keys every subsystem binds at start-up sit on keys the menu table lists.
#include <gtest/gtest.h>

#include <string_view>

#include "menu/menu_engine.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

using MenuBindingsTest = StartedInstrumentTest;

// A node id mistyped in a subsystem's own list would bind a handler to an empty node: the key
// would never be shown, and the intended key would stay greyed.
TEST_F(MenuBindingsTest, EveryBoundNodeIsAListedKey) {
  int bound = 0;
  for (int id = 1; id < kMenuNodeCount; ++id) {
    const MenuNode& n = g().menu.nodes[id];
    if (!n.handler && !n.painter) continue;
    ++bound;
    EXPECT_FALSE(std::string_view(n.line1).empty()) << "node " << id << " is not in the table";
  }
  EXPECT_GT(bound, 40) << "the subsystems bound their keys";
  // A function key whose handler is bound becomes live; one left unbound stays greyed.
  EXPECT_EQ(NodeState(kNodeFile), kKeyEnabled);
  EXPECT_EQ(NodeState(kNodeReserved), kKeyDisabled);
}

}  // namespace
}  // namespace vq
