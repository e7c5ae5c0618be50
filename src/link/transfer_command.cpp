// The FileTransfer menu command (40073): a connection of its own when none is open, the File
// Transfer window, and the disconnection when the window closes.
#include "instrument.h"
#include "link/connection.h"
#include "link/file_transfer.h"
#include "link/link.h"
#include "link/remote_actions.h"

namespace vq {

namespace {

constexpr int kTransferRefused = 4;  // "File Transfer Function can't execute. ..."

void RunWindow() {
  Instrument& g = *GInstrument;
  SetCommandFormat(0);
  if (g.link.connectOpener != kCmdFileTransfer) {
    // A Connect session: the viewer's sweep display stops, and so does the analyzer.
    EndRemoteSweep();
    RemoteAction(kActSweepStop);
  }
  // A window whose analyzer list cannot be read closes at once.
  if (OpenTransfer()) g.host->RunFileTransferWindow();
  CloseTransfer();
}

}  // namespace

void FileTransferCommand() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  if (link.connected != 1) {
    ConnectCommand(kCmdFileTransfer);
    ShowLinkStatus(link.connected == 1);
  }
  if (link.connected != 1) return;
  g.frame.modalActive = 1;
  if (link.analyzerSystemError != 0) {
    link.lastError = kTransferRefused;
    g.host->MessageBox(ConnectionErrorText(kTransferRefused), "Connection", BoxButtons::Ok,
                       BoxIcon::Error);
  } else {
    RunWindow();
  }
  g.frame.modalActive = 0;
  if (link.connectOpener == kCmdFileTransfer) Disconnect(2);
}

}  // namespace vq
