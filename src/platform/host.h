// The host: what the core asks of the window system (Qt in the viewer, headless in tools/tests).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/surface.h"

namespace vq {

struct Size {
  int width = 0;
  int height = 0;
};

// Right edges of the four status bar parts.
constexpr std::array<int, 4> kStatusPartEdges = {23, 182, 362, 472};

// What the Folder Setting dialog shows and answers: the INT folder, and the EXT drive among the
// removable drives offered ("E: /media/usb" as the list shows them).
struct FolderChoice {
  std::string userFolder;
  std::vector<std::string> drives;
  int selected = -1;
};

// The four boxes of the Connection dialog, as typed.
struct ConnectFields {
  std::string host;
  std::string port;
  std::string user;
  std::string password;
};

// File transfer: the "Overwrite?" dialog's buttons, numbered as the answers they give.
enum class OverwriteChoice { Yes = 0, YesAll = 1, No = 2, Cancel = 3 };

class Host {
 public:
  virtual ~Host() = default;

  // Window life. CreateMainWindow makes the (hidden) window with its menu bar; false = failure.
  virtual bool CreateMainWindow(const std::string& title) = 0;
  virtual void ShowMainWindow() = 0;
  virtual void DestroyMainWindow() = 0;  // after ShutDown; the core then handles WM_DESTROY
  virtual void PostQuit(int exitCode) = 0;
  virtual void BringToForeground() = 0;

  // Screen geometry: the desktop, and the window sized for an 800 by 600 client area above the
  // status bar, moved so that it starts inside the work area.
  virtual Size DesktopSize() = 0;
  virtual int StatusBarHeight() = 0;
  virtual void FitWindowToClient(int clientWidth, int clientHeight) = 0;

  // Status bar and menu bar.
  virtual void SetStatusParts(const std::array<int, 4>& rightEdges) = 0;
  virtual void SetStatusText(int part, const std::string& text) = 0;
  // The connection icon of part 0: none, the normal link icon, or the busy icon.
  virtual void SetStatusIcon(StatusIcon icon) = 0;
  virtual void EnableMenuItem(int command, bool enabled) = 0;
  virtual void RemoveMenuItem(int command) = 0;

  // The composed screen is handed over after each pass that drew something.
  virtual void Present(const Surface& frame) = 0;

  // Loop services. PostWake may be called from any thread: it makes a blocked loop run again.
  virtual void PostWake() = 0;
  virtual void StartTimer(int id, int periodMs) = 0;
  virtual void StopTimer(int id) = 0;
  virtual void Sleep(int ms) = 0;
  // Called every 50 ms or so while the GUI thread waits for the analyzer: shows what was
  // presented meanwhile (the busy thread's spinner, the status bar) without running any other
  // event.
  virtual void KeepScreenAlive() = 0;

  // Dialogs.
  virtual BoxAnswer MessageBox(const std::string& text, const std::string& caption,
                               BoxButtons buttons, BoxIcon icon = BoxIcon::None) = 0;
  // The modal Connection dialog: host, port (at most 5 digits), user name and masked password (at
  // most 11 characters each) with Connect and Cancel. Each Connect press hands the boxes to
  // onConnect; the dialog stays open while it returns false (it has shown its error) and closes
  // when it returns true or on Cancel.
  virtual void RunConnectionDialog(const ConnectFields& shown,
                                   const std::function<bool(const ConnectFields&)>& onConnect) = 0;
  virtual void ShowAbout(const std::string& title, const std::vector<std::string>& lines) = 0;
  // The Folder Setting dialog: shows the INT folder and the EXT drives (`selected` the current
  // one, -1 none); on OK true with the chosen folder and drive in the same fields.
  virtual bool AskFolderSetting(FolderChoice& choice) = 0;
  // Prints a BMP image on one page with the margin rule of PrintPlacement; 0 or -1.
  virtual int PrintImage(const std::vector<uint8_t>& bmp, const std::string& documentName) = 0;

  virtual void SetCursorShape(CursorShape shape) = 0;

  // File transfer: the window and its dialogs (the window's controls call link/file_transfer.h).
  // The modal "VQ7000B Viewer [File Transfer]" window; returns when it has closed.
  virtual void RunFileTransferWindow() = 0;
  // "Overwrite?" with its text ("This file already exist.") and the local path: "Yes(&Y)",
  // "Yes All(&A)", "No(&N)" or "Cancel".
  virtual OverwriteChoice AskOverwrite(const std::string& text, const std::string& path) = 0;
  // "New Folder": "Name:" (at most 50 characters), "Execute" and "Cancel"; true with the name.
  virtual bool AskNewFolderName(std::string& name) = 0;
  // The folder browser with its title ("Selects PC folder"), starting at `folder`; true with
  // the chosen folder in it.
  virtual bool BrowseForFolder(const std::string& title, std::string& folder) = 0;
};

// Where a printed screen image goes on the page: the margin is 10/33 of the page width, the image
// is as wide as the page less the margin, keeps its aspect ratio, and starts at half the margin
// less the printer's physical offset.
struct PrintRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
PrintRect PrintPlacement(int pageWidth, int physicalOffsetX, int imageWidth, int imageHeight);

}  // namespace vq
