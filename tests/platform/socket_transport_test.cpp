// The socket transport against a listening socket of the test on 127.0.0.1.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/transport.h"

namespace vq {
namespace {

// A listening socket on an ephemeral loopback port.
struct Listener {
  Listener() {
    fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(fd, 4) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
      port = ntohs(a.sin_port);
    }
  }
  ~Listener() { close(fd); }
  int fd = -1;
  uint16_t port = 0;
};

std::string ReadSome(int fd, size_t want) {
  std::string got;
  char buffer[256];
  while (got.size() < want) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

TEST(SocketTransport, ConnectsWithTheProbeAndReadsWhatArrivesUntilThePeerCloses) {
  Listener listener;
  ASSERT_NE(listener.port, 0);
  std::unique_ptr<Transport> t = MakeSocketTransport();
  ASSERT_EQ(t->Connect("127.0.0.1", listener.port), kLinkDone);
  const int peer = accept(listener.fd, nullptr, nullptr);
  ASSERT_GE(peer, 0);
  EXPECT_EQ(ReadSome(peer, 1), " ") << "the probe is one space";

  ASSERT_EQ(t->Send("*IDN?\r\n", 7, MonotonicMs() + 1000), kLinkDone);
  EXPECT_EQ(ReadSome(peer, 7), "*IDN?\r\n");

  // Nothing waiting: the deadline ends the wait.
  char buffer[64];
  size_t got = 0;
  const int64_t start = MonotonicMs();
  EXPECT_EQ(t->Receive(buffer, sizeof buffer, start + 100, got), kLinkTimeout);
  EXPECT_GE(MonotonicMs() - start, 100);

  // Stale bytes are drained; later bytes are read in one block.
  ASSERT_EQ(send(peer, "stale", 5, 0), 5);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  t->Drain();
  std::thread writer([peer] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    send(peer, "ab\r\n", 4, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    shutdown(peer, SHUT_WR);
  });
  EXPECT_EQ(t->Receive(buffer, sizeof buffer, MonotonicMs() + 2000, got), kLinkDone);
  EXPECT_EQ(std::string(buffer, got), "ab\r\n");
  EXPECT_EQ(t->Receive(buffer, sizeof buffer, kNoDeadline, got), kLinkClosed);
  writer.join();
  close(peer);
  t->Close();
  EXPECT_EQ(t->Send("x", 1, MonotonicMs() + 100), kLinkNotConnected);
}

TEST(SocketTransport, UnresolvableNamesAndRefusedPortsFailAtOnce) {
  std::unique_ptr<Transport> t = MakeSocketTransport();
  int64_t start = MonotonicMs();
  EXPECT_EQ(t->Connect("no-such-analyzer.invalid", 10001), kLinkNotConnected);
  EXPECT_EQ(t->Connect("", 10001), kLinkNotConnected);
  EXPECT_EQ(t->Connect("::1", 10001), kLinkNotConnected) << "IPv4 only";
  // A port nobody listens on: refused, never 5 s of probing.
  uint16_t closedPort = 0;
  {
    Listener gone;
    closedPort = gone.port;
  }
  start = MonotonicMs();
  const int code = t->Connect("127.0.0.1", closedPort);
  EXPECT_TRUE(code == kLinkSetupFailed || code == kLinkNotConnected) << code;
  EXPECT_LT(MonotonicMs() - start, 1000);
}

}  // namespace
}  // namespace vq
