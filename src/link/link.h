// The instrument link: one TCP connection to the analyzer, commands framed with the terminator,
// replies collected until complete, failures as the link codes of platform/transport.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "state/link_state.h"

namespace vq {

// Opens the connection: 0, 1 or 2. Leaves the transport open on the probe's code-1 paths; the
// caller's error path closes it.
int LinkOpen(const std::string& host, uint16_t port);
// Closes whatever is open; harmless when nothing is.
void LinkClose();
// Sends one command with the terminator, waiting for nothing back: 0, 2 or 3.
int LinkSend(std::string_view command);
// Drains, sends the command, and collects the reply (text or block by BlockReplyMode) into
// `reply` within `timeoutSeconds` of the start (0 = no limit): 0 or 2 to 7.
int LinkExchange(std::string_view command, LinkReply& reply, int timeoutSeconds);
// LinkExchange into the shared reply buffer; any failure has already dropped the connection.
int LinkQuery(std::string_view command, int timeoutSeconds);

// Switches the analyzer's command format (0 standard, 1 older): the send code, or 0 when the
// link already believes it is in that format.
int SetCommandFormat(int format);
// 1 when the analyzer accepted the command in that format, 0 otherwise.
int CheckCommand(std::string_view command, int format);
// Reads the analyzer's error queue and acts on a system error: the LinkQuery code.
int QueryErrorQueue();
// The analyzer reported a system error: its state word becomes 2 until the disconnection.
void EnterAnalyzerSystemError();

// One-shot link timers 11 to 14 on the host's timers.
void StartLinkTimer(int id, int periodMs);
void StopLinkTimer(int id);
bool LinkTimerExpired(int id);
// WM_TIMER with a link timer's identifier: the timer stops itself and is marked expired.
void LinkTimerFired(int id);

// Busy icon in status part 0 before each send; the idle step shows the normal icon again once
// timer 13 has expired.
void ShowBusyIndicator();
void BusyIndicatorStep();

}  // namespace vq
