// A plain blocking TCP client on 127.0.0.1 for tests that talk to vqsim directly: every read
// has a deadline, so a silent peer never hangs a test.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vq {

class LoopbackClient {
 public:
  explicit LoopbackClient(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~LoopbackClient() {
    if (fd_ >= 0) close(fd_);
  }
  LoopbackClient(const LoopbackClient&) = delete;
  LoopbackClient& operator=(const LoopbackClient&) = delete;

  bool connected() const { return fd_ >= 0; }

  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  // What one wait for a reply brought: the bytes, the size of each read, and how it ended.
  struct Reply {
    std::string bytes;
    std::vector<size_t> reads;
    bool closed = false;    // the peer closed the connection
    bool timedOut = false;  // `complete` never held within the time
  };

  // Reads until `complete(bytes so far)` holds, the peer closes, or `timeoutMs` pass.
  Reply ReadUntil(const std::function<bool(std::string_view)>& complete, int timeoutMs = 5000) {
    Reply r;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!complete(r.bytes)) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          limit - std::chrono::steady_clock::now());
      pollfd p{fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
        r.timedOut = true;
        break;
      }
      char block[65536];
      const ssize_t n = recv(fd_, block, sizeof block, 0);
      if (n <= 0) {
        r.closed = true;
        break;
      }
      r.bytes.append(block, static_cast<size_t>(n));
      r.reads.push_back(static_cast<size_t>(n));
    }
    return r;
  }

  // One reply line, CR LF included; empty when none came.
  std::string ReadLine(int timeoutMs = 5000) {
    return ReadUntil([](std::string_view b) { return b.ends_with("\r\n"); }, timeoutMs).bytes;
  }

  // Sends `command` with CR LF and reads the reply line.
  std::string Query(const std::string& command, int timeoutMs = 5000) {
    if (!Send(command + "\r\n")) return {};
    return ReadLine(timeoutMs);
  }

 private:
  int fd_ = -1;
};

}  // namespace vq
