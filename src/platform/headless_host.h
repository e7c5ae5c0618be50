// A host without a window: for the command-line tool and the tests. Dialogs answer from a script.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"

namespace vq {

struct PostedMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

struct ShownBox {
  std::string text;
  std::string caption;
  BoxIcon icon = BoxIcon::None;
};

struct MenuItemState {
  bool present = true;
  bool enabled = true;
};

class HeadlessHost : public Host {
 public:
  HeadlessHost();

  // Host
  bool CreateMainWindow(const std::string& title) override;
  void ShowMainWindow() override { shown = true; }
  void DestroyMainWindow() override { destroyed = true; }
  void PostQuit(int exitCode) override;
  void BringToForeground() override { ++foregroundRequests; }
  Size DesktopSize() override { return desktop; }
  int StatusBarHeight() override { return statusBarHeight; }
  void FitWindowToClient(int clientWidth, int clientHeight) override;
  void SetStatusParts(const std::array<int, 4>& rightEdges) override { statusParts = rightEdges; }
  void SetStatusText(int part, const std::string& text) override;
  void SetStatusIcon(StatusIcon icon) override { statusIcon = icon; }
  void EnableMenuItem(int command, bool enabled) override { menu[command].enabled = enabled; }
  void RemoveMenuItem(int command) override { menu[command].present = false; }
  void Present(const Surface& frame) override;
  void PostWake() override;
  void StartTimer(int id, int periodMs) override { timers[id] = periodMs; }
  void StopTimer(int id) override { timers.erase(id); }
  void Sleep(int ms) override;
  void KeepScreenAlive() override { ++keepAlives; }
  BoxAnswer MessageBox(const std::string& text, const std::string& caption, BoxButtons buttons,
                       BoxIcon icon = BoxIcon::None) override;
  void RunConnectionDialog(const ConnectFields& shown,
                           const std::function<bool(const ConnectFields&)>& onConnect) override;
  void ShowAbout(const std::string& title, const std::vector<std::string>& lines) override;
  bool AskFolderSetting(FolderChoice& choice) override;
  int PrintImage(const std::vector<uint8_t>& bmp, const std::string& documentName) override;
  void SetCursorShape(CursorShape shape) override { cursor = shape; }
  // File transfer: the window runs `transferScript`, the dialogs answer from their queues.
  void RunFileTransferWindow() override;
  OverwriteChoice AskOverwrite(const std::string& text, const std::string& path) override;
  bool AskNewFolderName(std::string& name) override;
  bool BrowseForFolder(const std::string& title, std::string& folder) override;

  // Messages posted from any thread, taken by the loop in order.
  void Post(uint32_t message, uintptr_t wParam, intptr_t lParam);
  bool TakePosted(PostedMessage& out);
  // Waits until a message is posted or the time passes; true when one is waiting.
  bool WaitForPosted(int timeoutMs);

  // Settings a test or the tool makes before start-up.
  Size desktop{1280, 1024};
  int statusBarHeight = 22;
  bool failWindowCreation = false;
  bool realSleep = true;
  std::deque<BoxAnswer> boxAnswers;  // answers for the coming message boxes (default Ok)
  std::string printPath;             // PrintImage writes a PDF here; empty = no printer (-1)
  // The answers of the coming Folder Setting dialogs: the choice on OK, nothing for Cancel.
  std::deque<std::optional<FolderChoice>> folderAnswers;
  // The Connection dialog's presses: the boxes for each Connect, nothing for Cancel; the dialog
  // is cancelled when the script runs out.
  std::deque<std::optional<ConnectFields>> connectAnswers;
  // File transfer: what the open window does (nothing when empty); the coming "Overwrite?"
  // answers (`overwriteDefault` when the queue is empty); the names typed in "New Folder" and the
  // folders chosen in the browser (nothing = Cancel, also when the queue is empty).
  std::function<void()> transferScript;
  std::deque<OverwriteChoice> overwriteAnswers;
  OverwriteChoice overwriteDefault = OverwriteChoice::Yes;
  std::deque<std::optional<std::string>> folderNameAnswers;
  std::deque<std::optional<std::string>> browseAnswers;

  // What happened.
  std::string title;
  bool created = false;
  bool shown = false;
  bool destroyed = false;
  bool quit = false;
  int exitCode = 0;
  int foregroundRequests = 0;
  std::atomic<int> presents{0};  // the busy thread may present too
  int64_t sleptMs = 0;
  Size clientSize;
  std::array<int, 4> statusParts{};
  std::array<std::string, 4> statusTexts;
  StatusIcon statusIcon = StatusIcon::None;
  std::atomic<int> keepAlives{0};
  std::map<int, MenuItemState> menu;
  std::map<int, int> timers;
  std::vector<ShownBox> boxes;
  std::vector<std::vector<std::string>> aboutDialogs;
  std::vector<FolderChoice> folderDialogs;    // what each Folder Setting dialog showed
  std::vector<ConnectFields> connectDialogs;  // what each Connection dialog showed on opening
  std::vector<std::string> printedDocuments;
  CursorShape cursor = CursorShape::Arrow;
  // File transfer: windows opened, and each "Overwrite?" question as "text|path".
  int transferWindows = 0;
  std::vector<std::string> overwriteQuestions;
  int folderNameDialogs = 0;
  std::vector<std::string> browseTitles;

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<PostedMessage> queue_;
};

}  // namespace vq
