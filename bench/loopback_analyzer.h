// An analyzer inside the benchmark process: a loopback listener on a free port whose thread
// serves one connection, answering each command line with what `answer` gives (nothing for an
// empty text), so a benchmark measures the viewer's side without a simulator process.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "link/reply_framing.h"

namespace vq {

class LoopbackAnalyzer {
 public:
  explicit LoopbackAnalyzer(std::function<std::string(const std::string&)> answer)
      : answer_(std::move(answer)) {
    listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listen_, 1);
    getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackAnalyzer() {
    thread_.join();
    close(listen_);
  }
  LoopbackAnalyzer(const LoopbackAnalyzer&) = delete;
  LoopbackAnalyzer& operator=(const LoopbackAnalyzer&) = delete;

  uint16_t port = 0;

 private:
  void Serve() {
    const int peer = accept(listen_, nullptr, nullptr);
    if (peer < 0) return;
    std::string stream, line;
    char buffer[65536];
    for (;;) {
      const ssize_t n = recv(peer, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      stream.append(buffer, static_cast<size_t>(n));
      while (TakeCommandLine(stream, line)) {
        line.erase(0, line.find_first_not_of(' '));  // the connection probe's blank
        const std::string reply = answer_(line);
        for (size_t sent = 0; sent < reply.size();) {
          const ssize_t m = send(peer, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
          if (m <= 0) break;
          sent += static_cast<size_t>(m);
        }
      }
    }
    close(peer);
  }

  std::function<std::string(const std::string&)> answer_;
  int listen_ = -1;
  std::thread thread_;
};

}  // namespace vq
