// The single-instance lock: flock on a file in the runtime folder, released with the process.
#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace vq {

SingleInstanceLock::~SingleInstanceLock() {
  Release();
}

bool SingleInstanceLock::Acquire(const std::string& name, const std::string& dir) {
  Release();
  std::string folder = dir;
  if (folder.empty()) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    folder = runtime && *runtime ? runtime : "/tmp";
  }
  std::string fileName = name;
  std::replace(fileName.begin(), fileName.end(), '/', '_');  // a title is not a path
  path_ = folder + "/" + fileName + ".lock";
  // O_CLOEXEC so that programs we start do not inherit (and keep) the lock.
  const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void SingleInstanceLock::Release() {
  // The file stays: removing it would let a third process lock a new file while a second one
  // still waits on the old.
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace vq
