// The Connect and Disconnect commands with their dialogs, Disconnect itself, the clean-up after a
// failed guarded query, and the connection state in the menu and the status bar.
#include "link/connection.h"

#include <cstdlib>

#include "instrument.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "link/sync.h"
#include "menu/menu_engine.h"
#include "platform/messages.h"

namespace vq {

namespace {

constexpr const char* kConnectionErrors[] = {
    "",
    "Connection Error.                    ",
    "Connection Error.\r\nVQ7000B Remote interface setting or firmware version error.  ",
    "Connection failed.\r\nUser account data mismatch.    ",
    "File Transfer Function can't execute.      \r\n(System error occured on VQ7000B)",
};
constexpr int kIdentifySeconds = 5;
constexpr size_t kHostChars = 31;       // what is read from the host box
constexpr size_t kShortHostChars = 16;  // a host text this long or longer is dropped
constexpr size_t kPortChars = 15;
constexpr size_t kAccountChars = 31;

void ShowConnectionError(int error) {
  Instrument& g = *GInstrument;
  g.link.lastError = error;
  g.host->MessageBox(ConnectionErrorText(error), "Connection", BoxButtons::Ok, BoxIcon::Error);
}

void ClearConnectRows() {
  for (std::string& value : GInstrument->link.rowValues) value.clear();
}

// The viewer leaves the analyzer's system-error state and draws everything anew.
void ReturnToNormalState() {
  Instrument& g = *GInstrument;
  g.link.analyzerSystemError = 0;
  g.link.remoteStateWord = 0;
  g.frame.redrawFlags = kRedrawAll;
}

// A guarded query failed: the transport is closed and the flag cleared; the rest of the
// disconnection follows and the user is told.
void QueryFailed(int) {
  Disconnect(1);
  RestoreMeasurementArea();
  ShowConnectionError(1);
}

// The "Initialized" dialog: OK puts the analyzer under the viewer's control.
void RunInitialized() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  g.host->SetStatusIcon(StatusIcon::Link);
  StopLinkTimer(kTimerLinkBusy);
  link.busy = 0;
  const BoxAnswer answer =
      g.host->MessageBox(std::string(kModelName) + " setting will be load to " + kModelName +
                             " Viewer.\r\nAre you sure?",
                         "Initialized", BoxButtons::OkCancel);
  if (answer != BoxAnswer::Ok) {
    ClearConnectRows();
    LinkClose();
    ShowLinkStatus(false);
    return;
  }
  if (PrepareAnalyzer() != kLinkDone) return;  // the failed query has cleaned up
  // The analyzer's settings and traces pulled into the viewer; a failure leaves the link open
  // without switching menu and status (the next failed query or Disconnect cleans up).
  if (link.analyzerSystemError == 0) {
    if (FirstSynchronisation() != kLinkDone) return;
    StartMenus();
  }
  // The offset-adjustment timer comes with the remote mirroring.
  SaveConnectIni();
  link.pollPeriodMs = std::atoi(link.rowValues[kRowPolling].c_str());
  link.tracePollPeriodMs = std::atoi(link.rowValues[kRowTracePolling].c_str());
  SetConnectionMenu(true);
  ShowLinkStatus(true);
  StartLinkTimer(kTimerLinkSweepCheck, kSweepCheckMs);
  // The offset-adjustment timer of the mirror starts; CheckAnalyzerFeatures runs in the first
  // synchronisation's feature checks.
  StartOffsetTimer();
}

}  // namespace

const char* ConnectionErrorText(int error) {
  return error >= 1 && error <= 4 ? kConnectionErrors[error] : kConnectionErrors[0];
}

bool TryConnect(const ConnectFields& typed) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  const std::string host = typed.host.substr(0, kHostChars);
  link.rowValues[kRowHost] = host.size() < kShortHostChars ? host : "";
  link.rowValues[kRowPort] = typed.port.substr(0, kPortChars);
  link.host = link.rowValues[kRowHost];
  link.port = static_cast<uint16_t>(std::atol(link.rowValues[kRowPort].c_str()));
  const std::string user = typed.user.substr(0, kAccountChars);
  const std::string password = typed.password.substr(0, kAccountChars);

  int error = 0;
  if (LinkOpen(link.host, link.port) != kLinkDone) {
    error = 1;
  } else if (const int login = LoginToAnalyzer(user, password); login != 0) {
    error = login;
  } else {
    link.blockReplyMode = 0;
    if (LinkExchange("*IDN?", link.reply, kIdentifySeconds) != kLinkDone) error = 1;
  }
  if (error == 0) {
    link.userName = user;
    link.password = password;
    SaveAccount();
    if (IdentifyAnalyzer(link.reply.Text()) != 0) error = 2;
  }
  if (error != 0) {
    LinkClose();
    ShowConnectionError(error);
    return false;
  }
  link.lastError = 0;
  if (link.connectOpener != kCmdFileTransfer) {
    link.pullInProgress = 1;
    RunInitialized();
  } else if (PrepareAnalyzer() == kLinkDone) {
    SaveConnectIni();
  }
  g.frame.redrawFlags |= kRedrawStatusColumn;
  link.pullInProgress = 0;
  return true;
}

void ConnectCommand(int opener) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  link.connectOpener = opener;
  ReadConnectIni();
  const ConnectFields shown{link.rowValues[kRowHost], link.rowValues[kRowPort], link.userName,
                            link.password};
  g.frame.modalActive = 1;
  g.host->RunConnectionDialog(shown, TryConnect);
  g.frame.modalActive = 0;
}

void DisconnectCommand() {
  Instrument& g = *GInstrument;
  g.frame.modalActive = 1;
  const BoxAnswer answer =
      g.host->MessageBox("Are you sure?", "Disconnrction", BoxButtons::OkCancel);
  g.frame.modalActive = 0;
  if (answer != BoxAnswer::Ok) return;
  Disconnect(1);
  RestoreMeasurementArea();
}

void Disconnect(int mode) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  if (link.connected == 1) {
    SetCommandFormat(0);
    LinkSend(":ABOR");
    // The viewer's settings handed back (not at the end of a file transfer).
    if (mode != 2) HandBackSettings();
    SetCommandFormat(1);
    LinkSend("TESTMODEEND");
    SetCommandFormat(0);
    LinkClose();
  }
  for (int id = kLinkTimerFirst; id < kLinkTimerFirst + kLinkTimerCount; ++id) StopLinkTimer(id);
  link.connected = 0;
  link.busy = 0;
  link.remoteSweep = 0;
  link.analyzerSweeping = 0;
  link.offsetAdjustPending = 0;
  // Mirroring and polling: the sweep ends, the greyed soft keys come back.
  link.sweepFlag = 0;
  link.restartSweep = 0;
  link.actionBusy = 0;
  link.offsetRunning = 0;
  link.sweepPending = 0;
  link.lastPoint = 0;
  link.offsetDueMs = -1;
  link.zeroing = 0;
  link.statusPollInFlight = 0;
  link.wake = 0;
  RestoreAnalyzerFeatures();
  if (link.remoteStateWord == 2) ReturnToNormalState();
  ClearConnectRows();
  ResetFirmwareFeatureTable();
  if (mode != 0) {
    g.conditions.sweepState = 0;
    ShowLinkStatus(false);
    SetConnectionMenu(false);
  }
}

void ShowLinkStatus(bool connected) {
  Instrument& g = *GInstrument;
  g.host->SetStatusIcon(connected ? StatusIcon::Link : StatusIcon::None);
  g.host->SetStatusText(1, std::string("Status: ") + (connected ? "CONNECT" : "DISCONNECT"));
  g.host->SetStatusText(2, g.link.rowValues[kRowHost]);
  g.host->SetStatusText(3, g.link.rowValues[kRowPort]);
}

void SetConnectionMenu(bool connected) {
  Host& host = *GInstrument->host;
  host.EnableMenuItem(kCmdConnect, !connected);
  host.EnableMenuItem(kCmdDisconnect, connected);
}

void StartConnection() {
  LinkState& link = GInstrument->link;
  link.onQueryFailed = QueryFailed;
  StartSynchronisation();
  ResetFirmwareFeatureTable();
  ReadAccount();
  Disconnect(1);
}

void EndConnection() {
  Instrument& g = *GInstrument;
  if (g.link.connected == 1) Disconnect(0);
  if (!g.link.productVersionAtStart.empty()) {
    g.config.productVersion = g.link.productVersionAtStart;
    g.link.productVersionAtStart.clear();
  }
}

void PowerEvent() {
  Instrument& g = *GInstrument;
  if (g.link.connected != 1) return;
  Disconnect(g.frame.lastViewerCommand == kCmdFileTransfer ? 2 : 1);
}

}  // namespace vq
