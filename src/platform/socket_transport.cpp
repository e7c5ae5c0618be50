// The socket transport: one non-blocking IPv4 TCP socket; every wait is a poll() with the time
// that remains, so a slow analyzer costs no CPU.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/clock.h"
#include "platform/transport.h"

namespace vq {
namespace {

constexpr int kProbeAttempts = 100;
constexpr int kProbeIntervalMs = 50;
constexpr size_t kDrainChunk = 65536;

// Milliseconds poll() may wait until the deadline: -1 for none, 0 once it has passed.
int PollWaitMs(int64_t deadlineMs) {
  if (deadlineMs == kNoDeadline) return -1;
  const int64_t left = deadlineMs - MonotonicMs();
  if (left <= 0) return 0;
  return left > 1000000 ? 1000000 : static_cast<int>(left);
}

// The first IPv4 address of a dotted address or a name; false when there is none.
bool ResolveIpv4(const std::string& host, in_addr& address) {
  if (inet_pton(AF_INET, host.c_str(), &address) == 1) return true;
  addrinfo hints{};
  hints.ai_family = AF_INET;  // a name with only IPv6 addresses does not resolve here
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return true;
}

class SocketTransport final : public Transport {
 public:
  ~SocketTransport() override { Close(); }

  int Connect(const std::string& host, uint16_t port) override {
    Close();
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return kLinkSetupFailed;
    in_addr address{};
    if (host.empty() || !ResolveIpv4(host, address)) {
      Close();
      return kLinkNotConnected;
    }
    // Commands are short lines that want an answer: send each at once.
    const int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr = address;
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0 &&
        errno != EINPROGRESS) {
      Close();
      return kLinkNotConnected;
    }
    return Probe();
  }

  int Send(const char* data, size_t size, int64_t deadlineMs) override {
    if (fd_ < 0) return kLinkNotConnected;
    size_t sent = 0;
    while (sent < size) {
      const ssize_t n = send(fd_, data + sent, size - sent, MSG_NOSIGNAL);
      if (n > 0) {
        sent += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        // The socket is full: wait until it drains or the time is up.
        pollfd p{fd_, POLLOUT, 0};
        const int ready = poll(&p, 1, PollWaitMs(deadlineMs));
        if (ready == 0) return kLinkTimeout;
        if (ready < 0 && errno != EINTR) {
          Close();
          return kLinkSendFailed;
        }
        continue;
      }
      const int code = n < 0 && errno == ENOTCONN ? kLinkNotConnected : kLinkSendFailed;
      Close();
      return code;
    }
    return kLinkDone;
  }

  int Receive(char* buffer, size_t capacity, int64_t deadlineMs, size_t& got) override {
    got = 0;
    if (fd_ < 0) return kLinkReceiveFailed;
    for (;;) {
      pollfd p{fd_, POLLIN, 0};
      const int ready = poll(&p, 1, PollWaitMs(deadlineMs));
      if (ready < 0) {
        if (errno == EINTR) continue;
        return kLinkReceiveFailed;
      }
      if (ready == 0) return kLinkTimeout;
      const ssize_t n = recv(fd_, buffer, capacity, MSG_DONTWAIT);
      if (n > 0) {
        got = static_cast<size_t>(n);
        return kLinkDone;
      }
      if (n == 0) return kLinkClosed;
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
        if (PollWaitMs(deadlineMs) == 0) return kLinkTimeout;
        continue;
      }
      // A reset is the analyzer dropping the connection, as an orderly close is.
      if (errno == ECONNRESET || errno == EPIPE) return kLinkClosed;
      return kLinkReceiveFailed;
    }
  }

  void Drain() override {
    if (fd_ < 0) return;
    char scratch[kDrainChunk];
    while (recv(fd_, scratch, sizeof scratch, MSG_DONTWAIT) > 0) {
    }
  }

  void Close() override {
    if (fd_ < 0) return;
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    fd_ = -1;
  }

 private:
  // Confirms the connection with one space: up to 100 attempts 50 ms apart while the connection
  // is still being made; a refused or unreachable peer gives 1 at once. The socket stays open on
  // the failures; the caller closes it.
  int Probe() {
    for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
      const int64_t attemptEnd = MonotonicMs() + kProbeIntervalMs;
      pollfd p{fd_, POLLOUT, 0};
      int ready = poll(&p, 1, kProbeIntervalMs);
      if (ready < 0 && errno != EINTR) return kLinkSetupFailed;
      if (ready > 0) {
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
          return kLinkSetupFailed;
        }
        const ssize_t n = send(fd_, " ", 1, MSG_NOSIGNAL);
        if (n == 1) return kLinkDone;
        if (n < 0 && errno != ENOTCONN && errno != EAGAIN && errno != EWOULDBLOCK &&
            errno != EINTR) {
          return kLinkSetupFailed;
        }
      }
      // Still connecting: wait out the rest of this attempt's 50 ms.
      const int64_t left = attemptEnd - MonotonicMs();
      if (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(left));
    }
    return kLinkSetupFailed;
  }

  int fd_ = -1;
};

}  // namespace

std::unique_ptr<Transport> MakeSocketTransport() {
  return std::make_unique<SocketTransport>();
}

}  // namespace vq
