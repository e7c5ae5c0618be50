// The message loop of the headless host: the same blocking rule as the viewer's.
#include "frame/headless_loop.h"

#include <algorithm>
#include <map>

#include "frame/frame.h"
#include "platform/clock.h"

namespace vq {

bool PumpUntilIdle(HeadlessHost& host, int maxSteps) {
  for (int step = 0; step < maxSteps; ++step) {
    PostedMessage m;
    if (host.TakePosted(m)) {
      WindowProc(m.message, m.wParam, m.lParam);
      continue;
    }
    if (host.quit || LoopMayBlock()) return true;
    IdleStep();
  }
  return false;
}

namespace {

// The loop with the timers until the quit message or the end time (kNoEnd: none).
constexpr int64_t kNoEnd = -1;

void RunLoopUntil(HeadlessHost& host, int64_t endMs) {
  std::map<int, int64_t> due;  // timer id -> next time it fires
  while (!host.quit) {
    PumpUntilIdle(host, 1000);
    if (host.quit) break;
    const int64_t now = MonotonicMs();
    if (endMs != kNoEnd && now >= endMs) break;
    int64_t next = endMs == kNoEnd ? now + 1000 : std::min(now + 1000, endMs);
    for (auto it = due.begin(); it != due.end();) {
      it = host.timers.count(it->first) ? std::next(it) : due.erase(it);
    }
    // A timer may stop or start timers (the link's one-shot timers do): walk a copy.
    const std::map<int, int> timers = host.timers;
    for (const auto& [id, period] : timers) {
      if (!host.timers.count(id)) continue;
      auto [it, added] = due.try_emplace(id, now + period);
      if (it->second <= now) {
        WindowProc(WM_TIMER, static_cast<uintptr_t>(id), 0);
        it->second = now + period;
      }
      next = std::min(next, it->second);
    }
    // Block only when the rule allows; otherwise the next round runs idle steps at once.
    if (LoopMayBlock()) host.WaitForPosted(static_cast<int>(std::max<int64_t>(0, next - now)));
  }
}

}  // namespace

int RunHeadlessLoop(HeadlessHost& host) {
  RunLoopUntil(host, kNoEnd);
  return host.exitCode;
}

void RunHeadlessLoopFor(HeadlessHost& host, int ms) {
  RunLoopUntil(host, MonotonicMs() + ms);
}

}  // namespace vq
