// How a reply goes out on the wire: whole, or shaped by a fault (cut, split, dripped, replaced).
#pragma once

#include <string>
#include <vector>

#include "sim_session.h"

namespace vq {

// One write of a reply: sent `delayMs` after the previous piece went out; the connection is
// closed behind it when `closeAfter` is set.
struct ReplyPiece {
  std::string bytes;
  int delayMs = 0;
  bool closeAfter = false;
};

// The viewer's reply limit: one byte more than this is an oversized reply.
constexpr size_t kViewerReplyLimit = 1253376;

// The pieces that carry the line's outcome; a stall fault marks the session stalled instead.
std::vector<ReplyPiece> PlanReply(LineOutcome outcome, SimSession& session);

}  // namespace vq
