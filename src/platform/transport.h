// One TCP byte stream to the analyzer, in place of the Windows Sockets calls. The instrument link
// frames commands and replies over it; tests put a scripted transport in its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vq {

// Result codes of the link's raw operations (0 = done).
enum LinkCode : int {
  kLinkDone = 0,
  kLinkSetupFailed = 1,   // no socket, or the connection was not confirmed within the probe limit
  kLinkNotConnected = 2,  // the name did not resolve, the connect failed at once, or not connected
  kLinkSendFailed = 3,
  kLinkReceiveFailed = 4,
  kLinkTooLong = 5,  // the reply grew beyond the reply buffer
  kLinkTimeout = 6,
  kLinkClosed = 7,  // the analyzer closed the connection
};

// Deadlines are times of MonotonicMs(); kNoDeadline waits for ever.
constexpr int64_t kNoDeadline = -1;

class Transport {
 public:
  virtual ~Transport() = default;

  // Connects to a dotted IPv4 address or a name (its first IPv4 address) and confirms the
  // connection by sending one space: kLinkDone, kLinkSetupFailed or kLinkNotConnected.
  virtual int Connect(const std::string& host, uint16_t port) = 0;
  // Sends every byte, waiting in poll() while the socket is full: kLinkDone, kLinkNotConnected,
  // kLinkSendFailed (the transport is closed after these two) or kLinkTimeout.
  virtual int Send(const char* data, size_t size, int64_t deadlineMs) = 0;
  // Waits until bytes arrive, the peer closes or the deadline passes, then reads what is there
  // (up to `capacity`, one block, never byte by byte): kLinkDone with got > 0, kLinkClosed,
  // kLinkReceiveFailed or kLinkTimeout.
  virtual int Receive(char* buffer, size_t capacity, int64_t deadlineMs, size_t& got) = 0;
  // Discards whatever has already arrived, without waiting.
  virtual void Drain() = 0;
  virtual void Close() = 0;

  // Run between the probe's attempts while Connect waits (up to about 5 s): keeps the screen
  // alive.
  std::function<void()> keepAlive;
};

// The POSIX socket transport (non-blocking, waits in poll() with the time that remains).
std::unique_ptr<Transport> MakeSocketTransport();

}  // namespace vq
