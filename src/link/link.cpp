// The instrument link: open and close, commands with their terminator, replies collected until
// complete within the time-out, and the guarded query that drops a failed connection.
#include "link/link.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <string>

#include "instrument.h"
#include "link/remote_actions.h"
#include "link/reply_framing.h"
#include "menu/messages.h"
#include "platform/clock.h"

namespace vq {
namespace {

constexpr int kSliceMs = 50;             // the screen is kept alive this often while a reply waits
constexpr int64_t kSendLimitMs = 10000;  // a lone command that cannot leave within this fails

// The line on the wire: the command and the terminator of the mode.
std::string CommandLine(std::string_view command) {
  std::string line(command);
  AppendTerminator(line, GInstrument->link.terminatorMode);
  return line;
}

// A send that found the socket gone or broken has closed it.
void NoteSendFailure(int code) {
  if (code == kLinkNotConnected || code == kLinkSendFailed) GInstrument->link.open = 0;
}

// Collects the reply into `reply` until it is complete (0), too long (5), malformed (4), closed
// (7) or the deadline has passed with nothing waiting (6). The wait is poll() in 50 ms slices;
// between them the screen is kept alive.
int CollectReply(Transport& transport, LinkReply& reply, int64_t deadline) {
  Instrument& g = *GInstrument;
  int64_t lastAlive = MonotonicMs();
  for (;;) {
    const int64_t now = MonotonicMs();
    if (now - lastAlive >= kSliceMs) {
      g.host->KeepScreenAlive();
      lastAlive = now;
    }
    int64_t sliceEnd = now + kSliceMs;
    if (deadline != kNoDeadline) sliceEnd = std::min(sliceEnd, deadline);
    // One byte more than the room left tells a reply that is too long.
    const size_t room = kReplyBufferBytes - reply.size;
    size_t got = 0;
    const int code = transport.Receive(reply.bytes.data() + reply.size, room + 1, sliceEnd, got);
    if (code == kLinkTimeout) {
      if (deadline != kNoDeadline && MonotonicMs() >= deadline) return kLinkTimeout;
      continue;
    }
    if (code != kLinkDone) return code;
    if (got > room) {
      reply.bytes[reply.size] = '\0';  // the prefix that fitted stays readable
      return kLinkTooLong;
    }
    reply.size += got;
    const std::string_view received = reply.Text();
    if (g.link.blockReplyMode == 1 && received.starts_with('#')) {
      const BlockFraming state = BlockReplyState(received);
      if (state == BlockFraming::Malformed) return kLinkReceiveFailed;
      if (state == BlockFraming::Complete) return kLinkDone;
    } else if (TextReplyComplete(received, g.link.terminatorMode)) {
      reply.bytes[reply.size] = '\0';
      return kLinkDone;
    }
  }
}

}  // namespace

int LinkOpen(const std::string& host, uint16_t port) {
  Instrument& g = *GInstrument;
  LinkClose();
  g.link.transport = g.link.makeTransport ? g.link.makeTransport() : MakeSocketTransport();
  g.link.transport->keepAlive = [] { GInstrument->host->KeepScreenAlive(); };
  const int code = g.link.transport->Connect(host, port);
  if (code == kLinkDone) g.link.open = 1;
  return code;
}

void LinkClose() {
  Instrument& g = *GInstrument;
  assert(g.link.exchangeDepth == 0 && "the link closes only between exchanges");
  if (g.link.transport) {
    // What the analyzer still had to say is read first, so that the close is orderly.
    g.link.transport->Drain();
    g.link.transport->Close();
    g.link.transport.reset();
  }
  g.link.open = 0;
}

int LinkSend(std::string_view command) {
  Instrument& g = *GInstrument;
  assert(g.link.exchangeDepth == 0 && "nothing is sent while an exchange waits");
  ShowBusyIndicator();
  if (!g.link.transport) return kLinkNotConnected;
  const std::string line = CommandLine(command);
  int code = g.link.transport->Send(line.data(), line.size(), MonotonicMs() + kSendLimitMs);
  if (code == kLinkTimeout) {
    // The analyzer has stopped reading: the connection is of no further use.
    g.link.transport->Close();
    code = kLinkSendFailed;
  }
  NoteSendFailure(code);
  return code;
}

int LinkExchange(std::string_view command, LinkReply& reply, int timeoutSeconds) {
  Instrument& g = *GInstrument;
  assert(g.link.exchangeDepth == 0 && "link exchanges never nest");
  ShowBusyIndicator();
  const int64_t start = MonotonicMs();
  const int64_t deadline =
      timeoutSeconds > 0 ? start + static_cast<int64_t>(timeoutSeconds) * 1000 : kNoDeadline;
  if (reply.bytes.size() < kReplyBufferBytes + 2) reply.bytes.assign(kReplyBufferBytes + 2, 0);
  reply.size = 0;
  reply.bytes[0] = '\0';
  if (!g.link.transport) return kLinkNotConnected;
  Transport& transport = *g.link.transport;

  ++g.link.exchangeDepth;
  // Whatever arrived unasked (a late reply, a stray terminator) is no part of this reply.
  transport.Drain();
  const std::string line = CommandLine(command);
  int code = transport.Send(line.data(), line.size(), deadline);
  if (code == kLinkDone) code = CollectReply(transport, reply, deadline);
  NoteSendFailure(code);
  if (code == kLinkDone || code == kLinkReceiveFailed || code == kLinkTooLong) {
    transport.Drain();  // a terminator behind a block must not reach the next exchange
  }
  --g.link.exchangeDepth;
  return code;
}

int LinkQuery(std::string_view command, int timeoutSeconds) {
  Instrument& g = *GInstrument;
  const int code = LinkExchange(command, g.link.reply, timeoutSeconds);
  if (code == kLinkDone) return code;
  LinkClose();
  g.link.connected = 0;
  if (g.link.onQueryFailed) g.link.onQueryFailed(code);
  return code;
}

int SetCommandFormat(int format) {
  Instrument& g = *GInstrument;
  if (format == g.link.commandFormat) return 0;
  // Each format has its own command that leaves the other one.
  const int code = LinkSend(format == 0 ? "CFORM 1" : ":SYST:COMM:CFOR 0");
  g.link.commandFormat = static_cast<int16_t>(format);
  return code;
}

int CheckCommand(std::string_view command, int format) {
  Instrument& g = *GInstrument;
  const int remembered = g.link.commandFormat;
  SetCommandFormat(format);
  bool accepted = false;
  if (format != 1) {
    // The event status register read before and after the command: an accepted command leaves
    // a reply of more than "0" and its terminator.
    const std::string probe = "*CLS ; *ESR? ; " + std::string(command) + " ; *ESR?";
    accepted = LinkQuery(probe, 1) == kLinkDone && g.link.reply.size > 3;
  } else if (LinkQuery("SPOLL?", 1) == kLinkDone) {
    // A failed first query has dropped the connection: nothing more is sent.
    LinkSend(command);
    if (LinkQuery("SPOLL?", 1) == kLinkDone) {
      const long status = std::strtol(g.link.reply.bytes.data(), nullptr, 10);
      accepted = (status & 8) == 0;  // bit 3: the command was not understood
    }
  }
  SetCommandFormat(remembered);
  return accepted ? 1 : 0;
}

int QueryErrorQueue() {
  Instrument& g = *GInstrument;
  g.link.blockReplyMode = 0;
  SetCommandFormat(0);
  const int code = LinkQuery(":SYST:ERR?", g.link.longTimeouts ? 15 : 10);
  if (code != kLinkDone) return code;
  const long number = std::strtol(g.link.reply.bytes.data(), nullptr, 10);
  if (number == 0) return 0;
  if (number >= 223 && number <= 236) {
    EnterAnalyzerSystemError();
    g.link.remoteSweep = kActSweepStop;
    EndRemoteSweep();
    LinkSend(":ABOR");
  } else if (number >= 50 && number <= 53 && g.link.longTimeouts &&
             (g.conditions.sweepState == 1 || g.conditions.sweepState == 2)) {
    EndRemoteSweep();
    LinkSend(":ABOR");
  }
  ShowMessage(static_cast<int32_t>(number));
  return 0;
}

void EnterAnalyzerSystemError() {
  Instrument& g = *GInstrument;
  g.link.analyzerSystemError = 1;
  g.link.remoteStateWord = 2;
}

}  // namespace vq
