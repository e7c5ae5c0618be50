// The simulator's event loop: one poll() over the listening socket and the connection, with the
// time to the next paced reply piece as its only time-out, so nothing ever spins.
#include "sim_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>

#include "link/reply_framing.h"
#include "platform/clock.h"
#include "sim_faults.h"

namespace vq {

namespace {

constexpr size_t kReadBlock = 65536;
constexpr size_t kMaxPendingInput = 4 * 1024 * 1024;  // a line longer than this is thrown away

volatile sig_atomic_t gStopRequested = 0;

void RequestStop(int) {
  gStopRequested = 1;
}

struct Connection {
  int fd = -1;
  std::string input;              // received bytes not yet taken as lines
  std::deque<ReplyPiece> output;  // pieces still to send, the front one partly sent
  size_t sentOfFront = 0;
  int64_t frontDueMs = 0;  // when the front piece may go out
  SimSession session;
};

void Close(Connection& c, bool verbose) {
  if (c.fd < 0) return;
  // Read what is left so that close() ends the stream with FIN, not with a reset.
  char scrap[4096];
  while (recv(c.fd, scrap, sizeof scrap, MSG_DONTWAIT) > 0) {
  }
  shutdown(c.fd, SHUT_RDWR);
  close(c.fd);
  if (verbose) std::fprintf(stderr, "vqsim: connection closed\n");
  c = Connection{};
}

void Accept(int listener, Connection& c, bool verbose) {
  const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;
  if (c.fd >= 0) {
    close(fd);  // one viewer at a time
    if (verbose) std::fprintf(stderr, "vqsim: second connection refused\n");
    return;
  }
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // paced pieces leave at once
  c.fd = fd;
  if (verbose) std::fprintf(stderr, "vqsim: connection accepted\n");
}

void Enqueue(Connection& c, std::vector<ReplyPiece> pieces) {
  for (ReplyPiece& p : pieces) {
    if (c.output.empty()) c.frontDueMs = MonotonicMs() + p.delayMs;
    c.output.push_back(std::move(p));
  }
}

// Takes whole lines off the input and answers them, one at a time: a line waits while the reply
// of the one before is still going out, as on the analyzer.
void HandleInput(SimAnalyzer& sim, Connection& c, std::FILE* log) {
  std::string line;
  while (c.fd >= 0 && c.output.empty() && TakeSimCommandLine(c.input, line)) {
    if (line.find_first_not_of(" \t") == std::string::npos) continue;  // blank, or a late LF
    if (log != nullptr) {
      std::fprintf(log, "%s\n", LoggedLine(line).c_str());
      std::fflush(log);
    }
    Enqueue(c, PlanReply(HandleLine(sim, c.session, line), c.session));
  }
}

// Reads what has arrived; false when the peer closed or the connection failed.
bool ReadInput(Connection& c) {
  char block[kReadBlock];
  for (;;) {
    const ssize_t n = recv(c.fd, block, sizeof block, 0);
    if (n > 0) {
      c.input.append(block, static_cast<size_t>(n));
      if (c.input.size() > kMaxPendingInput) c.input.clear();
      continue;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

// Sends the due pieces; false when the connection is to be closed.
bool WriteOutput(Connection& c) {
  while (!c.output.empty() && MonotonicMs() >= c.frontDueMs) {
    ReplyPiece& front = c.output.front();
    while (c.sentOfFront < front.bytes.size()) {
      const ssize_t n = send(c.fd, front.bytes.data() + c.sentOfFront,
                             front.bytes.size() - c.sentOfFront, MSG_NOSIGNAL);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;  // poll says when there is room
      }
      c.sentOfFront += static_cast<size_t>(n);
    }
    const bool closeAfter = front.closeAfter;
    c.output.pop_front();
    c.sentOfFront = 0;
    if (closeAfter) return false;
    if (!c.output.empty()) c.frontDueMs = MonotonicMs() + c.output.front().delayMs;
  }
  return true;
}

}  // namespace

int OpenListener(int port, int& boundPort, std::string& error) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
    close(fd);
    return -1;
  }
  boundPort = ntohs(address.sin_port);
  return fd;
}

int Serve(SimAnalyzer& sim, int listener, std::FILE* log) {
  // The stop signals stay blocked except inside ppoll(), so none slips in between the check of
  // the flag and the wait.
  sigset_t stopSignals, waitMask;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  sigdelset(&waitMask, SIGTERM);
  sigdelset(&waitMask, SIGINT);
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  const bool verbose = sim.options.verbose;
  Connection c;
  while (gStopRequested == 0) {
    pollfd fds[2] = {{listener, POLLIN, 0}, {c.fd, 0, 0}};
    timespec wait{};
    timespec* timeout = nullptr;  // no paced piece waiting: sleep until something happens
    if (c.fd >= 0) {
      fds[1].events = POLLIN;
      if (!c.output.empty()) {
        const int64_t due = c.frontDueMs - MonotonicMs();
        if (due > 0) {
          wait.tv_sec = due / 1000;
          wait.tv_nsec = (due % 1000) * 1000000;
          timeout = &wait;
        } else {
          fds[1].events |= POLLOUT;
        }
      }
    }
    const int ready = ppoll(fds, c.fd >= 0 ? 2 : 1, timeout, &waitMask);
    if (ready < 0 && errno != EINTR) {
      std::fprintf(stderr, "vqsim: poll failed: %s\n", std::strerror(errno));
      Close(c, verbose);
      return 1;
    }
    if (ready < 0) continue;  // a signal: the loop condition decides
    if (c.fd >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && !ReadInput(c)) {
      HandleInput(sim, c, log);  // the lines that came just before the close count too
      Close(c, verbose);
    }
    if (c.fd >= 0 && !WriteOutput(c)) Close(c, verbose);
    if (c.fd >= 0) HandleInput(sim, c, log);
    if (c.fd >= 0 && !WriteOutput(c)) Close(c, verbose);
    if ((fds[0].revents & POLLIN) != 0) Accept(listener, c, verbose);
  }
  // The lines that arrived before the stop still count: a viewer's last commands are logged.
  if (c.fd >= 0) {
    ReadInput(c);
    HandleInput(sim, c, log);
  }
  Close(c, verbose);
  return 0;
}

}  // namespace vq
