// A scripted analyzer in place of the socket: each command line gets its scripted answer as
// chunks (bytes that arrive, a close, a receive error, a stall), and every byte sent is recorded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "instrument.h"
#include "platform/clock.h"
#include "platform/transport.h"

namespace vq {

struct Chunk {
  enum Kind { Data, Close, Error, Stall };
  Kind kind = Data;
  std::string bytes;  // Data: what arrives in one packet
  int stallMs = -1;   // Stall: how long nothing arrives; -1 = never again
};

inline Chunk Arrive(std::string bytes) {
  return {Chunk::Data, std::move(bytes), -1};
}
inline Chunk CloseHere() {
  return {Chunk::Close, {}, -1};
}
inline Chunk FailHere() {
  return {Chunk::Error, {}, -1};
}
inline Chunk StallFor(int ms) {
  return {Chunk::Stall, {}, ms};
}

struct TransportScript {
  // Set before the link opens.
  int connectCode = kLinkDone;
  int sendCode = kLinkDone;  // a failing send closes the transport as the socket does
  // Answers by command line (without its terminator), taken in order for repeated commands.
  std::map<std::string, std::deque<std::vector<Chunk>>> answers;
  // Bytes that have arrived unasked before the next command (a late reply).
  std::string unasked;

  // What happened.
  std::string host;
  uint16_t port = 0;
  std::string sent;                   // every byte sent, terminators included
  std::vector<std::string> commands;  // the command lines, in order
  std::string drained;                // bytes discarded by drains
  bool closed = false;

  void Answer(const std::string& command, std::vector<Chunk> chunks) {
    answers[command].push_back(std::move(chunks));
  }
};

class ScriptedTransport final : public Transport {
 public:
  explicit ScriptedTransport(TransportScript& script) : s_(script) {}

  int Connect(const std::string& host, uint16_t port) override {
    s_.host = host;
    s_.port = port;
    return s_.connectCode;
  }

  int Send(const char* data, size_t size, int64_t) override {
    if (s_.closed) return kLinkNotConnected;
    if (s_.sendCode != kLinkDone) {
      s_.closed = true;
      return s_.sendCode;
    }
    s_.sent.append(data, size);
    // Unread bytes of the last answer stay waiting; the new answer queues behind them.
    if (!s_.unasked.empty()) incoming_.push_front(Arrive(std::exchange(s_.unasked, {})));
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    s_.commands.push_back(line);
    auto found = s_.answers.find(line);
    if (found != s_.answers.end() && !found->second.empty()) {
      for (Chunk& c : found->second.front()) incoming_.push_back(std::move(c));
      found->second.pop_front();
    }
    return kLinkDone;
  }

  int Receive(char* buffer, size_t capacity, int64_t deadlineMs, size_t& got) override {
    got = 0;
    for (;;) {
      if (peerClosed_) return kLinkClosed;
      if (incoming_.empty()) {
        // Nothing more will come: the deadline decides.
        if (deadlineMs == kNoDeadline) {
          ADD_FAILURE() << "an exchange without a limit waits for a reply the script lacks";
          return kLinkReceiveFailed;
        }
        SleepUntil(deadlineMs);
        return kLinkTimeout;
      }
      Chunk& c = incoming_.front();
      switch (c.kind) {
        case Chunk::Data: {
          got = std::min(capacity, c.bytes.size());
          std::copy_n(c.bytes.data(), got, buffer);
          c.bytes.erase(0, got);
          if (c.bytes.empty()) incoming_.pop_front();
          return kLinkDone;
        }
        case Chunk::Close:
          peerClosed_ = true;
          return kLinkClosed;
        case Chunk::Error:
          incoming_.pop_front();
          return kLinkReceiveFailed;
        case Chunk::Stall: {
          if (stallEnd_ < 0) stallEnd_ = c.stallMs < 0 ? kNoDeadline : MonotonicMs() + c.stallMs;
          if (stallEnd_ == kNoDeadline && deadlineMs == kNoDeadline) {
            ADD_FAILURE() << "an exchange without a limit waits on an endless stall";
            return kLinkReceiveFailed;
          }
          const bool stallOutlasts =
              stallEnd_ == kNoDeadline || (deadlineMs != kNoDeadline && deadlineMs < stallEnd_);
          SleepUntil(stallOutlasts ? deadlineMs : stallEnd_);
          if (stallOutlasts) return kLinkTimeout;
          stallEnd_ = -1;
          incoming_.pop_front();
          break;
        }
      }
    }
  }

  // Whatever has arrived: the waiting data up to the next stall, close or error.
  void Drain() override {
    if (!s_.unasked.empty()) s_.drained += std::exchange(s_.unasked, {});
    while (!incoming_.empty() && incoming_.front().kind == Chunk::Data) {
      s_.drained += incoming_.front().bytes;
      incoming_.pop_front();
    }
  }

  void Close() override { s_.closed = true; }

 private:
  static void SleepUntil(int64_t deadlineMs) {
    const int64_t left = deadlineMs - MonotonicMs();
    if (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(left));
  }

  TransportScript& s_;
  std::deque<Chunk> incoming_;
  bool peerClosed_ = false;
  int64_t stallEnd_ = -1;
};

// Makes the link's next LinkOpen use `script` (the link makes its transport through a plain
// function, so the script in use sits in one slot).
inline TransportScript*& ActiveScript() {
  static TransportScript* script = nullptr;
  return script;
}

inline void UseScriptedTransport(TransportScript& script) {
  ActiveScript() = &script;
  GInstrument->link.makeTransport = [] {
    return std::unique_ptr<Transport>(std::make_unique<ScriptedTransport>(*ActiveScript()));
  };
}

}  // namespace vq
