// The faults that change how or what a reply is sent.
#include "sim_faults.h"

namespace vq {

namespace {

constexpr int kSplitPauseMs = 100;  // between the CR and the LF of split-crlf
constexpr int kDripPauseMs = 5;     // between the 3-byte pieces of drip
constexpr size_t kDripPiece = 3;

// A text line of digits and commas, terminator included, one byte over the viewer's limit.
std::string OversizedReply() {
  std::string text;
  text.reserve(kViewerReplyLimit + 1);
  while (text.size() < kViewerReplyLimit - 1) text += "0,";
  text.resize(kViewerReplyLimit - 1);
  return text + "\r\n";
}

}  // namespace

std::vector<ReplyPiece> PlanReply(LineOutcome outcome, SimSession& session) {
  std::string& reply = outcome.reply;
  if (session.closeNow) return {{"", 0, true}};  // close-mid-sweep: no reply, the link drops
  if (outcome.fault == nullptr) {
    if (reply.empty()) return {};
    return {{std::move(reply)}};
  }
  switch (outcome.fault->kind) {
    case FaultKind::Stall:
      session.stalled = true;
      return {};
    case FaultKind::CloseMidReply:
      return {{reply.substr(0, (reply.size() + 1) / 2), 0, true}};
    case FaultKind::Oversize:
      return {{OversizedReply()}};
    case FaultKind::BadBlockHeader:
      return {{"#A12345678\r\n"}};  // a letter where the digit count belongs
    case FaultKind::SplitCrlf: {
      if (!reply.ends_with("\r\n")) break;
      reply.pop_back();
      return {{std::move(reply)}, {"\n", kSplitPauseMs}};
    }
    case FaultKind::Drip: {
      std::vector<ReplyPiece> pieces;
      for (size_t at = 0; at < reply.size(); at += kDripPiece)
        pieces.push_back({reply.substr(at, kDripPiece), at == 0 ? 0 : kDripPauseMs});
      return pieces;
    }
    case FaultKind::WrongIdn:
    case FaultKind::BadLogin:
    case FaultKind::CloseMidSweep:
    case FaultKind::HostileNames:
      break;  // these change what is answered, not how
  }
  if (reply.empty()) return {};
  return {{std::move(reply)}};
}

}  // namespace vq
