// The Qt host: the core's window, loop, timers and dialogs on Qt Widgets.
#pragma once

#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/host.h"

class QPrinter;
class QString;

namespace vq {
// The core's texts (titles, messages, labels) are the instrument's 8-bit Latin-1 text.
QString FromInstrumentText(const std::string& text);
}  // namespace vq

namespace vq {

class MainWindow;

class QtHost final : public Host {
 public:
  QtHost();
  ~QtHost() override;

  bool CreateMainWindow(const std::string& title) override;
  void ShowMainWindow() override;
  void DestroyMainWindow() override;
  void PostQuit(int exitCode) override;
  void BringToForeground() override;

  Size DesktopSize() override;
  int StatusBarHeight() override;
  void FitWindowToClient(int clientWidth, int clientHeight) override;

  void SetStatusParts(const std::array<int, 4>& rightEdges) override;
  void SetStatusText(int part, const std::string& text) override;
  void SetStatusIcon(StatusIcon icon) override;
  void EnableMenuItem(int command, bool enabled) override;
  void RemoveMenuItem(int command) override;

  void Present(const Surface& frame) override;

  void PostWake() override;
  void StartTimer(int id, int periodMs) override;
  void StopTimer(int id) override;
  void Sleep(int ms) override;
  void KeepScreenAlive() override;

  BoxAnswer MessageBox(const std::string& text, const std::string& caption, BoxButtons buttons,
                       BoxIcon icon = BoxIcon::None) override;
  void RunConnectionDialog(const ConnectFields& shown,
                           const std::function<bool(const ConnectFields&)>& onConnect) override;
  void ShowAbout(const std::string& title, const std::vector<std::string>& lines) override;
  bool AskFolderSetting(FolderChoice& choice) override;
  int PrintImage(const std::vector<uint8_t>& bmp, const std::string& documentName) override;

  void SetCursorShape(CursorShape shape) override;

  // File transfer: the window and its dialogs (transfer_host.cpp).
  void RunFileTransferWindow() override;
  OverwriteChoice AskOverwrite(const std::string& text, const std::string& path) override;
  bool AskNewFolderName(std::string& name) override;
  bool BrowseForFolder(const std::string& title, std::string& folder) override;

  // Runs the Qt event loop as the message loop; returns the code given to PostQuit.
  int RunLoop();

  // Hands a message to the core's window procedure, then lets the idle step run if work waits.
  intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Files dropped on the window.
  void Drop(std::vector<std::string> paths);
  // Starts the idle timer when the core has pending work.
  void KickIdle();

  bool WindowDestroyed() const { return destroyed_; }
  MainWindow* Window() const { return window_.get(); }

 private:
  bool CoreAttached() const;
  void IdleTick();
  QWidget* DialogParent() const;

  std::unique_ptr<MainWindow> window_;
  bool destroyed_ = false;
  QTimer idle_;  // zero interval: one IdleStep per pass of the event loop while work waits
  std::map<int, std::unique_ptr<QTimer>> timers_;
  std::unique_ptr<QPrinter> printer_;  // kept so that the chosen printer and settings stay
  int coreDepth_ = 0;  // calls into the core on the stack (a modal dialog may be open in one)
};

}  // namespace vq
