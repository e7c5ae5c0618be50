// The viewer's own commands: the menu bar (Print, Exit, About, Folder Setting, Connect and
// Disconnect) and the COPY panel key, which prints the screen as Print does.
#include "frame/viewer_commands.h"

#include <cctype>

#include "files/user_folders.h"
#include "instrument.h"
#include "link/connection.h"
#include "link/file_transfer.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "platform/messages.h"
#include "screen/renderer.h"

namespace vq {

namespace {

// Menu items whose dialogs and link functions are not part of this viewer yet: shown greyed.
// Connect and Disconnect follow the connection state.
constexpr int kUnavailableItems[] = {kCmdColourSetting};

bool Available(int command) {
  for (int c : kUnavailableItems) {
    if (c == command) return false;
  }
  const bool connected = GInstrument->link.connected == 1;
  if (command == kCmdConnect && connected) return false;
  if (command == kCmdDisconnect && !connected) return false;
  return command >= kCmdViewerFirst && command <= kCmdViewerLast;
}

void PrintWithModalFlag() {
  Instrument& g = *GInstrument;
  g.frame.modalActive = 1;
  PrintScreen();
  g.frame.modalActive = 0;
}

int32_t CopyHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  PrintWithModalFlag();
  return 1;
}

// Folder Setting: the INT folder and the EXT drive among the mounted removable drives; OK
// rewrites UserDirectory.ini and the shown file list follows.
void FolderSetting() {
  Instrument& g = *GInstrument;
  const std::vector<RemovableDrive> mounted = MountedRemovableDrives();
  FolderChoice choice;
  choice.userFolder = g.files.userFolder;
  if (choice.userFolder.size() >= 4 && choice.userFolder.back() == '/')
    choice.userFolder.pop_back();
  for (const RemovableDrive& d : mounted) {
    if (d.mount == g.files.extFolder) choice.selected = static_cast<int>(choice.drives.size());
    choice.drives.push_back(std::string(1, d.letter) + ": " + d.mount);
  }
  g.frame.modalActive = 1;
  const bool ok = g.host->AskFolderSetting(choice);
  g.frame.modalActive = 0;
  if (!ok) return;
  const bool drive = choice.selected >= 0 && choice.selected < static_cast<int>(mounted.size());
  const int code = ApplyUserFolders(choice.userFolder, drive ? mounted[choice.selected].letter : 0,
                                    drive ? mounted[choice.selected].mount : "");
  if (code != 0) ShowMessage(code);
  g.frame.redrawFlags = kRedrawAll;
}

void ConfirmExit() {
  Instrument& g = *GInstrument;
  g.frame.modalActive = 1;
  const BoxAnswer answer = g.host->MessageBox("Are you sure?", "Exit", BoxButtons::OkCancel);
  g.frame.modalActive = 0;
  if (answer == BoxAnswer::Ok) g.frame.exitRequest = 1;
}

}  // namespace

std::vector<std::string> AboutLines() {
  const std::string& product = GInstrument->config.productVersion;
  std::string version = "Version " + product.substr(0, 5);
  if (product.size() > 8 && std::isdigit(static_cast<unsigned char>(product[8]))) {
    version += product[8];
  }
  return {std::string(kModelName) + " Viewer", version, GInstrument->config.revisionText};
}

void SetUpViewerMenu() {
  Instrument& g = *GInstrument;
  if (!g.config.debug.palette) g.host->RemoveMenuItem(kCmdColourSetting);
  for (int c : kUnavailableItems) g.host->EnableMenuItem(c, false);
}

void ViewerMenuCommand(uintptr_t wParam) {
  Instrument& g = *GInstrument;
  const int command = static_cast<int>(wParam & 0xFFFF);
  if (!Available(command)) return;  // greyed items cannot be chosen
  g.frame.lastViewerCommand = command;
  // The idle step does no link polling while a menu command (and its dialog) runs.
  g.link.shellCommand = 1;
  switch (command) {
    case kCmdConnect:
      ConnectCommand(command);
      break;
    case kCmdDisconnect:
      DisconnectCommand();
      break;
    case kCmdAbout:
      g.frame.modalActive = 1;
      g.host->ShowAbout(std::string("About ") + kModelName + " Viewer Software", AboutLines());
      g.frame.modalActive = 0;
      break;
    case kCmdExit:
      ConfirmExit();
      break;
    case kCmdPrint:
      PrintWithModalFlag();
      break;
    case kCmdFolderSetting:
      FolderSetting();
      break;
    case kCmdFileTransfer:  // file transfer
      FileTransferCommand();
      break;
    default:
      break;
  }
  g.link.shellCommand = 0;
}

void BindCopyNode() {
  BindNode(kNodeCopy, CopyHandler);
}

}  // namespace vq
