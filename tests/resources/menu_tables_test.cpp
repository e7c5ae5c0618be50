// Cross-reference checks of the menu table and the soft-key page table.
#include "resources/menu_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "menu/softkey_column.h"

namespace vq {
namespace {

using Targets = std::array<int16_t, kSoftKeysPerPage>;
constexpr int kNinth = kSoftKeysPerPage - 1;

// Pages that no key opens: the wait page of the link and the help page.
const std::set<int> kPagesOfTheirOwn = {133, 188};

struct Tables {
  std::map<int, MenuNodeDef> nodes;
  std::map<int, Targets> targets;
  std::map<int, std::string> titles;

  const MenuNodeDef* Node(int id) const {
    const auto it = nodes.find(id);
    return it == nodes.end() ? nullptr : &it->second;
  }
  bool IsAction(int id, NodeAction action) const {
    const MenuNodeDef* n = Node(id);
    return n && n->action == action;
  }
};

Tables Load() {
  Tables t;
  for (const MenuNodeDef& d : MenuNodeDefs()) t.nodes.emplace(d.id, d);
  for (const PageDef& p : PageDefs()) {
    t.targets.emplace(p.page, p.targets);
    t.titles.emplace(p.page, p.title);
  }
  return t;
}

std::string Lines(const std::vector<std::string>& faults) {
  std::string text;
  for (const std::string& f : faults) text += f + "\n";
  return text;
}

std::string At(int page, int slot) {
  return "page " + std::to_string(page) + " key " + std::to_string(slot + 1) + ": ";
}

// Everything a user can get stuck on: keys that lead nowhere, pages no key reaches (other than
// `unreached`), lower pages without a way back, nesting deeper than the page stack.
std::vector<std::string> NavigationFaults(const Tables& t, std::set<int> unreached = {}) {
  std::vector<std::string> faults;
  std::set<int> topPages, lowerPages;
  std::deque<std::pair<int, int>> queue;  // page, stack depth
  for (const auto& [id, n] : t.nodes) {
    if (n.action == NodeAction::LowerPage) lowerPages.insert(n.page);
    if (n.action == NodeAction::TopMenu) queue.emplace_back(n.page, 0);
  }
  std::map<int, int> depth;
  while (!queue.empty()) {
    const auto [page, d] = queue.front();
    queue.pop_front();
    if (depth.count(page) && depth[page] >= d) continue;
    depth[page] = d;
    if (d == 0) topPages.insert(page);
    if (d > kMaxPageDepth) {
      faults.push_back("page " + std::to_string(page) + " nests deeper than the page stack");
      continue;
    }
    const auto it = t.targets.find(page);
    if (it == t.targets.end()) continue;  // reported below with the node that leads here
    for (int slot = 0; slot < kSoftKeysPerPage; ++slot) {
      const MenuNodeDef* n = t.Node(it->second[slot]);
      if (!n) continue;
      if (n->action == NodeAction::LowerPage) queue.emplace_back(n->page, d + 1);
      if (n->action == NodeAction::MorePage) queue.emplace_back(n->page, d);
    }
  }

  for (const auto& [id, n] : t.nodes) {
    const bool opensPage = n.action == NodeAction::TopMenu || n.action == NodeAction::LowerPage ||
                           n.action == NodeAction::MorePage;
    if (opensPage && (!t.targets.count(n.page) || t.titles.at(n.page).empty())) {
      faults.push_back("node " + std::to_string(id) + " opens page " + std::to_string(n.page) +
                       ", which has no title");
    }
  }
  for (const auto& [page, targets] : t.targets) {
    for (int slot = 0; slot < kSoftKeysPerPage; ++slot) {
      const int id = targets[slot];
      if (id != 0 && !t.Node(id))
        faults.push_back(At(page, slot) + "undefined node " + std::to_string(id));
      if (slot != kNinth && t.IsAction(id, NodeAction::MorePage)) {
        faults.push_back(At(page, slot) + "a MORE key belongs on the ninth key");
      }
    }
    const bool top = topPages.count(page), lower = lowerPages.count(page);
    const bool returns = t.IsAction(targets[kNinth], NodeAction::Return);
    if (!depth.count(page) && !kPagesOfTheirOwn.count(page) && !unreached.count(page)) {
      faults.push_back("page " + std::to_string(page) + " is reached by no panel key");
    }
    if (top && lower) faults.push_back("page " + std::to_string(page) + " is top and lower page");
    if (lower && !returns) faults.push_back(At(page, kNinth) + "a lower page needs a RETURN");
    if (top && returns) faults.push_back(At(page, kNinth) + "a top page has nothing to return to");
  }
  return faults;
}

TEST(MenuTables, IdsKindsAndTargetsResolve) {
  std::set<int> ids, pages;
  for (const MenuNodeDef& d : MenuNodeDefs()) {
    EXPECT_TRUE(d.id > 0 && d.id < kMenuNodeCount) << "node " << d.id;
    EXPECT_TRUE(ids.insert(d.id).second) << "node " << d.id << " is listed twice";
  }
  for (const PageDef& p : PageDefs()) {
    EXPECT_TRUE(p.page >= 0 && p.page < kSoftKeyPageCount) << "page " << p.page;
    EXPECT_TRUE(pages.insert(p.page).second) << "page " << p.page << " is listed twice";
  }

  const Tables t = Load();
  for (const auto& [id, n] : t.nodes) {
    // A function of kind 2 would run instead of being stored when a USER key is registered.
    if (n.action == NodeAction::None) {
      EXPECT_NE(n.kind, kKindNavigation) << "function " << id;
    } else {
      EXPECT_TRUE(n.kind == kKindNavigation || n.kind == kKindRefused) << "node " << id;
    }
    EXPECT_EQ(n.variant == KeyVariant::LowerPage, n.action == NodeAction::LowerPage)
        << "node " << id << ": the bevelled corner marks exactly the keys to a lower page";
  }

  // Keys with a press rule of their own are entered directly: a navigation key there would
  // never show its page.
  for (const PressRuleRow& r : SoftKeyPressRules()) {
    const MenuNodeDef* n = t.Node(r.node);
    EXPECT_TRUE(n == nullptr || n->action == NodeAction::None) << "node " << r.node;
  }
  // Pages that only a key put there by a debug switch opens are checked with the switches on.
  std::set<int> patchedIn;
  for (const StartupPatch& p : StartupPatches()) {
    if (const MenuNodeDef* n = t.Node(p.target); n && n->page >= 0) patchedIn.insert(n->page);
  }
  const std::vector<std::string> faults = NavigationFaults(t, patchedIn);
  EXPECT_TRUE(faults.empty()) << Lines(faults);
}

TEST(MenuTables, UserPagesFormARing) {
  const Tables t = Load();
  // Node 480 + k opens USER page k (the engine fills it from registration slots 9k to 9k + 7);
  // the first is the USER key's page and each page's ninth key opens the next.
  std::set<int> userPages;
  for (int k = 0; k < 4; ++k) {
    const MenuNodeDef* n = t.Node(480 + k);
    ASSERT_TRUE(n && n->action == NodeAction::MorePage) << "node " << 480 + k;
    ASSERT_TRUE(t.targets.count(n->page)) << "USER page " << k;
    userPages.insert(n->page);
    EXPECT_EQ(t.titles.at(n->page), "USER");
    const Targets& keys = t.targets.at(n->page);
    for (int slot = 0; slot < kNinth; ++slot) EXPECT_EQ(keys[slot], 0) << At(n->page, slot);
    EXPECT_EQ(keys[kNinth], 480 + (k + 1) % 4) << "USER page " << k;
  }
  EXPECT_EQ(userPages.size(), 4u);
  EXPECT_EQ(t.Node(480)->page, t.Node(16)->page);
}

TEST(MenuTables, MoreKeysCycleThroughPagesOfOneTitle) {
  const Tables t = Load();
  int cycles = 0;
  for (const auto& [first, targets] : t.targets) {
    const MenuNodeDef* more = t.Node(targets[kNinth]);
    if (!more || more->action != NodeAction::MorePage) continue;
    if (std::string_view(more->line1).substr(0, 7) != "MORE 1/") continue;
    ++cycles;
    // Walk the ring from its first page: MORE 1/n, 2/n, ... n/n, back to the first page.
    std::vector<int> ring = {first};
    while (ring.size() <= 4) {
      const int next = t.Node(t.targets.at(ring.back())[kNinth])->page;
      if (next == first) break;
      ASSERT_TRUE(t.targets.count(next)) << "page " << next;
      ASSERT_TRUE(t.IsAction(t.targets.at(next)[kNinth], NodeAction::MorePage)) << "page " << next;
      ring.push_back(next);
    }
    const size_t n = ring.size();
    ASSERT_TRUE(n >= 2 && n <= 4) << "the MORE keys from page " << first << " do not close";
    for (size_t i = 0; i < n; ++i) {
      const std::string label = "MORE " + std::to_string(i + 1) + "/" + std::to_string(n);
      EXPECT_EQ(t.Node(t.targets.at(ring[i])[kNinth])->line1, label) << "page " << ring[i];
      EXPECT_EQ(t.titles.at(ring[i]), t.titles.at(first)) << "page " << ring[i];
    }
  }
  // LEVEL, SETUP, MARKER, PEAK SEARCH, TRACE, SYSTEM and USER.
  EXPECT_EQ(cycles, 7);
}

TEST(MenuTables, LabelsAndTitlesFitTheirBoxes) {
  // A label is drawn 2 pixels into its key box, 8 pixels a character; the title box of the
  // column shows ten characters per line.
  constexpr size_t kVisibleLabel = (kSoftKeyBoxWidth - 2) / 8;
  constexpr size_t kVisibleTitle = 10;
  static_assert(kVisibleLabel <= kLabelChars);
  const std::set<std::string_view> backLabels = {"RETURN", "CANCEL"};
  for (const MenuNodeDef& d : MenuNodeDefs()) {
    EXPECT_FALSE(std::string_view(d.line1).empty()) << "node " << d.id;
    EXPECT_LE(std::string_view(d.line1).size(), kVisibleLabel) << "node " << d.id;
    EXPECT_LE(std::string_view(d.line2).size(), kVisibleLabel) << "node " << d.id;
    if (d.action == NodeAction::Return) {
      EXPECT_TRUE(backLabels.count(d.line1)) << "node " << d.id;
    }
  }
  for (const PageDef& p : PageDefs()) {
    const std::string_view title(p.title);
    EXPECT_LT(title.size(), 32u) << "page " << p.page;
    const size_t split = title.find('\n');
    EXPECT_LE(title.substr(0, split).size(), kVisibleTitle) << "page " << p.page;
    if (split != std::string_view::npos) {
      EXPECT_LE(title.substr(split + 1).size(), kVisibleTitle) << "page " << p.page;
    }
  }
}

TEST(MenuTables, StartUpPatchesKeepEveryPageReachable) {
  Tables t = Load();
  for (const StartupPatch& p : StartupPatches()) {
    ASSERT_TRUE(t.targets.count(p.page)) << "page " << p.page;
    ASSERT_NE(t.Node(p.target), nullptr) << "node " << p.target;
    t.targets.at(p.page)[p.slot] = static_cast<int16_t>(p.target);
  }
  // With every debug switch on, the pages still resolve and the new keys lead somewhere.
  const std::vector<std::string> faults = NavigationFaults(t);
  EXPECT_TRUE(faults.empty()) << Lines(faults);
}

}  // namespace
}  // namespace vq
