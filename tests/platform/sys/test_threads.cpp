#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <future>

#include "platform/sys/clock.h"
#include "platform/sys/event.h"
#include "platform/sys/recursive_lock.h"
#include "platform/sys/single_instance.h"
#include "platform/sys/thread.h"
#include "platform/sys/wait_pump.h"
#include "temp_dir.h"

namespace {

using namespace std::chrono_literals;

class ThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { sys::Clock::UseManual(); }
  void TearDown() override { sys::Clock::UseReal(); }
};

TEST_F(ThreadTest, JoinWithTimeOutWaitsOnTheProgramClock) {
  sys::Event release(true);
  sys::Thread t;
  ASSERT_TRUE(t.Start([&] { release.Wait(); }));
  EXPECT_TRUE(t.IsRunning());
  std::atomic<bool> started{false};
  auto join = std::async(std::launch::async, [&] {
    started = true;
    return t.Join(5000);
  });
  while (!started) std::this_thread::yield();
  EXPECT_EQ(join.wait_for(30ms), std::future_status::timeout);
  sys::Clock::Advance(5000);
  if (join.wait_for(5s) != std::future_status::ready) {
    ADD_FAILURE() << "join did not time out";
    sys::Clock::Advance(1000000000);
  }
  EXPECT_FALSE(join.get()) << "the worker still runs";
  EXPECT_TRUE(t.IsRunning());
  release.Set();
  EXPECT_TRUE(t.Join());
  EXPECT_FALSE(t.IsRunning());
  EXPECT_TRUE(t.Join(0)) << "joining an ended thread again is harmless";
}

TEST_F(ThreadTest, OneRunAtATimeAndRestartAfterItEnds) {
  sys::Event release(true);
  std::atomic<int> runs{0};
  sys::Thread t;
  ASSERT_TRUE(t.Start([&] {
    ++runs;
    release.Wait();
  }));
  std::string error;
  EXPECT_FALSE(t.Start([&] { ++runs; }, &error));
  EXPECT_FALSE(error.empty());
  release.Set();
  ASSERT_TRUE(t.Join());
  ASSERT_TRUE(t.Start([&] { ++runs; }));
  ASSERT_TRUE(t.Join());
  EXPECT_EQ(runs.load(), 2);
}

TEST_F(ThreadTest, JoinOnAPumpedThreadServesThePump) {
  sys::Event release(true);
  sys::Thread worker;
  ASSERT_TRUE(worker.Start([&] { release.Wait(); }));
  std::atomic<int> pumped{0};
  std::thread ui([&] {
    sys::SetThreadWaitPump([&] {
      if (++pumped == 3) release.Set();  // the worker waits for something only the UI does
    });
    EXPECT_TRUE(worker.Join());
    sys::SetThreadWaitPump(nullptr);
  });
  ui.join();
  EXPECT_GE(pumped.load(), 3);
}

TEST(ThreadLifetime, DroppingARunningThreadDoesNotBlockOrCrash) {
  auto release = std::make_shared<sys::Event>(true);
  auto done = std::make_shared<std::atomic<bool>>(false);
  {
    sys::Thread t;
    ASSERT_TRUE(t.Start([release, done] {
      release->Wait();
      *done = true;
    }));
  }
  release->Set();
  for (int i = 0; i < 5000 && !*done; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(done->load());
}

TEST(RecursiveLock, SameThreadReentersOtherThreadWaits) {
  sys::RecursiveLock lock;
  sys::ScopedLock outer(lock);
  {
    sys::ScopedLock inner(lock);  // would deadlock with a plain mutex
    EXPECT_TRUE(lock.TryLock());
    lock.Unlock();
  }
  auto other = std::async(std::launch::async, [&] { return lock.TryLock(); });
  EXPECT_FALSE(other.get());
}

// The lock is taken in a child process that holds it until told to quit.
TEST(SingleInstance, SecondProcessLearnsItIsNotFirst) {
  testutil::TempDir dir;
  int toChild[2], fromChild[2];
  ASSERT_EQ(pipe(toChild), 0);
  ASSERT_EQ(pipe(fromChild), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    sys::SingleInstance first;
    char r = first.Acquire("Quorvex", dir.path()) == sys::SingleInstance::Result::kFirst ? 'F' : 'N';
    if (write(fromChild[1], &r, 1) != 1) _exit(2);
    char c;
    if (read(toChild[0], &c, 1) != 1) _exit(3);
    _exit(0);  // the lock goes with the process
  }
  char r = 0;
  ASSERT_EQ(read(fromChild[0], &r, 1), 1);
  EXPECT_EQ(r, 'F');

  sys::SingleInstance second;
  EXPECT_EQ(second.Acquire("Quorvex", dir.path()), sys::SingleInstance::Result::kNotFirst);
  EXPECT_FALSE(second.Held());

  char c = 'q';
  ASSERT_EQ(write(toChild[1], &c, 1), 1);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_EQ(second.Acquire("Quorvex", dir.path()), sys::SingleInstance::Result::kFirst);
  EXPECT_TRUE(second.Held());
  // Another holder in this process (another open of the file) is refused as well.
  sys::SingleInstance third;
  EXPECT_EQ(third.Acquire("Quorvex", dir.path()), sys::SingleInstance::Result::kNotFirst);
  second.Release();
  EXPECT_EQ(third.Acquire("Quorvex", dir.path()), sys::SingleInstance::Result::kFirst);
  for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);
}

TEST(SingleInstance, UnusableFolderIsAnErrorNotASecondInstance) {
  sys::SingleInstance s;
  EXPECT_EQ(s.Acquire("Quorvex", "/no/such/folder"), sys::SingleInstance::Result::kError);
  EXPECT_NE(s.Error().find("/no/such/folder"), std::string::npos) << s.Error();
}

}  // namespace
