// The soft-key menu engine: menu nodes, soft-key pages, the page stack and key dispatch.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/menu_state.h"

namespace vq {

// Loads the menu and page tables into the context.
void InitMenus();
// Rewrites the page slots of the start-up patch table; after the subsystems have bound their
// handlers.
void ApplyStartupPatches();
// Enters the SWEEP top menu, as the analyzer does when it starts.
void StartMenus();
// The state most nodes share: disabled while a stored program runs.
int16_t CommonKeyState();

int32_t KeyCommand(int source, int command);
int32_t PressSoftKey(int slot);
int32_t PressPanelKey(MenuId node, int source);
void GoToMenu(MenuId target, int keep, int16_t key);
int32_t ExecuteMenu(MenuId target);
void ShowSoftKeyPage(int32_t page, int32_t depth);
void PopSoftKeyPage();
void SetSoftKeyTarget(MenuId target, int32_t page, int slot);
void SetSoftKeyPressed(int slot, int pressed);
int ClassifyKey(int key);

// The node's state query result (0 enabled, 2 disabled).
int16_t NodeState(MenuId node);
// Shows a USER page (nodes 480 to 483) with the functions registered into it.
int32_t ShowUserPage(MenuId id);
// Gives a node its handler, label painter (nullptr: the standard one) and state query.
void BindNode(MenuId id, MenuHandler handler, LabelPainter painter = nullptr,
              StateQuery state = CommonKeyState);
// Binds the USER panel key and the registration key.
void BindUserKeyNodes();
// Records that the setting record changed in the current menu (UNDO/LOCAL can take it back).
void NoteSettingChanged();
// Enters a node (mode 0) with the key word.
int32_t EnterNode(MenuId node, int16_t key);
// The title of a page as one text, line feed included.
std::string PageTitle(int32_t page);

}  // namespace vq
