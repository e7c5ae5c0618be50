// The remote action table against the menu tables: every mirrored action is a key of the menus,
// and the rows whose rule is their own are the ones RemoteAction knows.
#include "link/remote_actions.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "resources/menu_tables.h"

namespace vq {
namespace {

TEST(RemoteActionTable, EveryRowIsAKeyOfTheMenusAndFoundFirst) {
  std::set<int> labelled;
  for (const MenuNodeDef& d : MenuNodeDefs()) {
    if (d.line1 != nullptr && std::string_view(d.line1) != "") labelled.insert(d.id);
  }
  ASSERT_EQ(RemoteActionTable().size(), 199u);
  ASSERT_EQ(AutomaticsTable().size(), 7u);
  // Actions without a key of their own: the older-format resolution commands that 69 chooses
  // (367, 1148, 1149) and the actions the viewer runs itself (53, 144, 473).
  const std::set<int> keyless = {53, 144, 367, 473, 1148, 1149};
  std::vector<int> missing;
  for (auto table : {RemoteActionTable(), AutomaticsTable()}) {
    for (const RemoteActionRow& row : table) {
      if (!labelled.contains(row.id) && !keyless.contains(row.id)) missing.push_back(row.id);
      // The automatics that share an identifier with the main table are found there first.
      EXPECT_EQ(FindRemoteAction(row.id)->id, row.id);
    }
  }
  EXPECT_EQ(missing, std::vector<int>{}) << "actions that are no key of the menu tables";
  EXPECT_EQ(FindRemoteAction(322)->command, std::string_view(""));  // nothing sent for 322
  EXPECT_EQ(FindRemoteAction(1), nullptr);
  // The keys of the SWEEP page are the sweep actions in their order.
  const PageDef* sweep = nullptr;
  for (const PageDef& p : PageDefs()) {
    if (p.page == 0) sweep = &p;
  }
  ASSERT_NE(sweep, nullptr);
  const int sweepKeys[] = {kActSweepAuto, kActSweepSingle, kActSweepRepeat, kActSweepStop,
                           kActSweepSegment};
  for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(sweep->targets[slot], sweepKeys[slot]);
  EXPECT_STREQ(FindRemoteAction(kActSweepSingle)->command, "INIT:SMOD SING;:INIT");
  EXPECT_STREQ(FindRemoteAction(38)->command, "SENS:WAV:CENT ");
}

}  // namespace
}  // namespace vq
