// Tests of the single-instance lock within one process and across processes.
#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/instrument_fixture.h"

namespace vq {
namespace {

namespace fs = std::filesystem;

constexpr char kTitle[] = "VQ7000B OPTICAL SPECTRUM ANALYZER";

class SingleInstanceTest : public ::testing::Test {
 protected:
  // Exit code of a child that tries to take the lock: 0 taken, 1 refused. With keep, the child
  // ends holding it, without a Release.
  int ChildAcquire(bool keep) {
    const pid_t child = fork();
    if (child == 0) {
      static SingleInstanceLock lock;
      const bool taken = lock.Acquire(kTitle, dir_);
      if (!keep) lock.Release();
      _exit(taken ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempFolder home;
  const fs::path dir_ = fs::path(home.Path()).parent_path();
};

TEST_F(SingleInstanceTest, SecondLockFailsUntilTheFirstIsReleased) {
  SingleInstanceLock second;
  {
    SingleInstanceLock first;
    ASSERT_TRUE(first.Acquire(kTitle, dir_));
    EXPECT_EQ(first.Path(), (dir_ / (std::string(kTitle) + ".lock")).string());
    EXPECT_FALSE(second.Acquire(kTitle, dir_));
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_FALSE(first.Held());
    ASSERT_TRUE(second.Acquire(kTitle, dir_));
    EXPECT_FALSE(first.Acquire(kTitle, dir_));
    second.Release();
    ASSERT_TRUE(first.Acquire(kTitle, dir_));
  }  // the destructor releases
  EXPECT_TRUE(second.Acquire(kTitle, dir_));

  // Without a folder the lock goes to $XDG_RUNTIME_DIR.
  second.Release();
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string previous = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  EXPECT_TRUE(second.Acquire(kTitle));
  EXPECT_EQ(second.Path(), (dir_ / (std::string(kTitle) + ".lock")).string());
  EXPECT_EQ(ChildAcquire(false), 1);
  saved ? setenv("XDG_RUNTIME_DIR", previous.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(SingleInstanceTest, LockHoldsAcrossProcessesAndDiesWithItsHolder) {
  {
    SingleInstanceLock parent;
    ASSERT_TRUE(parent.Acquire(kTitle, dir_));
    EXPECT_EQ(ChildAcquire(false), 1);
  }
  EXPECT_EQ(ChildAcquire(true), 0);
  SingleInstanceLock after;
  EXPECT_TRUE(after.Acquire(kTitle, dir_));
}

}  // namespace
}  // namespace vq
