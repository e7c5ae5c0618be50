// The single-instance rule: an advisory lock on a file named by the window title.
#pragma once

#include <string>

namespace vq {

// Holds the lock while alive.
class SingleInstanceLock {
 public:
  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // Takes the lock on "<dir>/<name>.lock", dir being $XDG_RUNTIME_DIR, else /tmp (or the given
  // directory when not empty). False when another process holds it (or the file cannot be made).
  bool Acquire(const std::string& name, const std::string& dir = "");
  void Release();
  bool Held() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace vq
