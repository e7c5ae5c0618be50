// The connection with one analyzer: the Connect and Disconnect commands of the viewer's menu, the
// Connection dialog and Connect.ini, the login, the identity check, the set-up commands, the
// disconnection and the link status in the status bar.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/host.h"

namespace vq {

// Error texts 1 to 4 of the "Connection" message box (0 gives the empty text).
const char* ConnectionErrorText(int error);

// Menu commands 40067 (Connect) and 40068 (Disconnect): the dialogs and what follows them.
void ConnectCommand(int opener);
void DisconnectCommand();
// One press of Connect in the Connection dialog: true when the dialog may close. A failure has
// closed the transport and shown its error text.
bool TryConnect(const ConnectFields& typed);

// 0 logged in, 2 the first exchange failed, 3 a later step failed or was answered wrongly.
int LoginToAnalyzer(const std::string& user, const std::string& password);
// 0 when the "*IDN?" reply names the served analyzer (identity and feature table stored), else 2.
int IdentifyAnalyzer(std::string_view reply);
// True when the version text is at least the reference ("03.00.00"), comparing the digits of the
// first eight positions; any other non-digit than a full stop in the version makes it older.
bool FirmwareAtLeast(std::string_view version, std::string_view reference);
void ResetFirmwareFeatureTable();
// The commands that put the analyzer under the viewer's control: the code of its last query.
int PrepareAnalyzer();

// Mode 1 the user's Disconnect and failures, 2 the end of a file-transfer connection, 0 at exit.
void Disconnect(int mode);
// Status bar: the link icon, "Status: CONNECT" or "Status: DISCONNECT", host and port.
void ShowLinkStatus(bool connected);
// Connect greyed and Disconnect enabled while connected, the reverse otherwise.
void SetConnectionMenu(bool connected);

// The rows of Connect.ini: read with their defaults, and written whole (failures ignored).
void ReadConnectIni();
void SaveConnectIni();
std::string ConnectIniPath();

// The analyzer account, kept in a file only the user may read ("Account.ini", mode 0600).
void ReadAccount();
bool SaveAccount();
std::string AccountPath();

// Start-up: the failure hook of guarded queries, the account, and Disconnect in mode 1.
void StartConnection();
// Exit: Disconnect in mode 0 when connected, and the viewer's own version text back.
void EndConnection();
// The system announces a power-state change: a connected viewer disconnects.
void PowerEvent();

}  // namespace vq
