// Runs the built vqsim as a child process on a free port of 127.0.0.1, and always stops and
// reaps it: SIGTERM first, SIGKILL when it does not end in time.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vq {

class VqsimProcess {
 public:
  // Starts `vqsim --port 0 ARGS...` and reads the port from its first line. port() is 0 when it
  // did not come up; firstLine() then shows what it printed.
  explicit VqsimProcess(const std::vector<std::string>& args = {}) {
    std::vector<std::string> all = {VQ_SIM_PATH, "--port", "0"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    stdout_ = out[0];
    if (pid_ > 0) ReadFirstLine();
  }
  ~VqsimProcess() { Stop(); }
  VqsimProcess(const VqsimProcess&) = delete;
  VqsimProcess& operator=(const VqsimProcess&) = delete;

  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  const std::string& firstLine() const { return firstLine_; }

  // Ends the simulator: the wait status from waitpid, or -1 when it was not running.
  int Stop() {
    int status = -1;
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > limit) {
          kill(pid_, SIGKILL);
          waitpid(pid_, &status, 0);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      pid_ = -1;
    }
    if (stdout_ >= 0) close(stdout_);
    stdout_ = -1;
    port_ = 0;
    return status;
  }

 private:
  void ReadFirstLine() {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (firstLine_.find('\n') == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          limit - std::chrono::steady_clock::now());
      pollfd p{stdout_, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char block[256];
      const ssize_t n = read(stdout_, block, sizeof block);
      if (n <= 0) break;
      firstLine_.append(block, static_cast<size_t>(n));
    }
    int port = 0;
    if (std::sscanf(firstLine_.c_str(), "listening on 127.0.0.1:%d", &port) == 1) port_ = port;
    if (port_ == 0) Stop();
  }

  pid_t pid_ = -1;
  int stdout_ = -1;
  int port_ = 0;
  std::string firstLine_;
};

}  // namespace vq
