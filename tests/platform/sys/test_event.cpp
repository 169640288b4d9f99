#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/sys/clock.h"
#include "platform/sys/event.h"
#include "platform/sys/wait_pump.h"

namespace {

using namespace std::chrono_literals;

class EventTest : public ::testing::Test {
 protected:
  void SetUp() override { sys::Clock::UseManual(); }
  void TearDown() override { sys::Clock::UseReal(); }
};

// Real time a waiter gets to reach its wait (or to return early by mistake).
constexpr auto kSettle = 30ms;

// The result of a waiter that should be done by now; a stuck one is released by moving the
// clock far ahead, so a fault fails the test instead of hanging it.
template <class T>
T GetOrUnstick(std::future<T>& f) {
  if (f.wait_for(5s) != std::future_status::ready) {
    ADD_FAILURE() << "waiter did not return";
    sys::Clock::Advance(1000000000);
  }
  return f.get();
}

TEST_F(EventTest, TimedWaitEndsOnlyWhenProgramTimeRunsOut) {
  sys::Event ev(true);
  std::atomic<bool> started{false};
  auto waiter = std::async(std::launch::async, [&] {
    started = true;
    return ev.Wait(10000);
  });
  while (!started) std::this_thread::yield();
  EXPECT_EQ(waiter.wait_for(kSettle), std::future_status::timeout);
  sys::Clock::Advance(9999);
  EXPECT_EQ(waiter.wait_for(kSettle), std::future_status::timeout);
  sys::Clock::Advance(1);
  EXPECT_FALSE(GetOrUnstick(waiter));
}

TEST_F(EventTest, SetReleasesAWaiterBeforeItsTimeOut) {
  sys::Event ev(false);
  auto waiter = std::async(std::launch::async, [&] { return ev.Wait(10000); });
  std::this_thread::sleep_for(kSettle);
  ev.Set();
  EXPECT_TRUE(waiter.get());
}

TEST_F(EventTest, ManualResetStaysSetAutoResetReleasesOnce) {
  struct Case {
    bool manual;
    bool secondWait;
  } cases[] = {{true, true}, {false, false}};
  for (const auto& c : cases) {
    sys::Event ev(c.manual, /*initiallySet=*/true);
    EXPECT_TRUE(ev.Wait(0));
    EXPECT_EQ(ev.Wait(0), c.secondWait) << "manual=" << c.manual;
    EXPECT_EQ(ev.IsSet(), c.secondWait);
    ev.Set();
    ev.Reset();
    EXPECT_FALSE(ev.Wait(0));
  }
}

TEST_F(EventTest, AutoResetLetsOneOfTwoWaitersThrough) {
  sys::Event ev(false);
  std::atomic<int> through{0};
  auto wait = [&] { if (ev.Wait(5000)) ++through; };
  std::thread a(wait), b(wait);
  std::this_thread::sleep_for(kSettle);
  ev.Set();
  for (int i = 0; i < 5000 && through.load() == 0; ++i) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(kSettle);  // time for a second (wrong) release to show
  EXPECT_EQ(through.load(), 1);
  sys::Clock::Advance(5000);
  a.join();
  b.join();
  EXPECT_EQ(through.load(), 1);
}

TEST_F(EventTest, WaitAnyNamesTheEventThatFired) {
  sys::Event stop(true), data(false);
  auto waiter = std::async(std::launch::async, [&] { return sys::Event::WaitAny({&stop, &data}, 1000); });
  std::this_thread::sleep_for(kSettle);
  data.Set();
  EXPECT_EQ(waiter.get(), 1);
  EXPECT_FALSE(data.IsSet());
  EXPECT_EQ(sys::Event::WaitAny({&stop, &data}, 0), -1);
  stop.Set();
  data.Set();
  EXPECT_EQ(sys::Event::WaitAny({&stop, &data}, 0), 0);
  EXPECT_EQ(sys::Event::WaitAny({}, 0), -1);
}

TEST_F(EventTest, ForeverWaitReturnsWhenSet) {
  sys::Event ev(true);
  auto waiter = std::async(std::launch::async, [&] { return ev.Wait(sys::kWaitForever); });
  sys::Clock::Advance(1000000);
  EXPECT_EQ(waiter.wait_for(kSettle), std::future_status::timeout);
  ev.Set();
  EXPECT_TRUE(waiter.get());
}

// The pump stands for a window thread serving messages sent to it while it waits.
TEST_F(EventTest, PumpServesWhileWaitingOnEveryKindOfWait) {
  struct Case {
    const char* name;
    std::function<void(sys::Event&)> wait;
  } cases[] = {
      {"event", [](sys::Event& done) { EXPECT_TRUE(done.Wait(sys::kWaitForever)); }},
      {"sleep", [](sys::Event& done) { sys::Clock::SleepMs(60000); }},
      {"wait_until", [](sys::Event& done) {
         std::mutex m;
         std::condition_variable_any cv;
         std::unique_lock<std::mutex> lk(m);
         sys::Clock::WaitForMs(cv, lk, 60000, [&] { return done.IsSet(); });
       }},
  };
  for (const auto& c : cases) {
    sys::Event done(true);
    std::atomic<int> pumped{0};
    std::atomic<bool> finished{false};
    std::thread ui([&] {
      sys::SetThreadWaitPump([&] {
        // Served the "sent message": the worker may now finish.
        if (++pumped == 3) done.Set();
      });
      c.wait(done);
      sys::SetThreadWaitPump(nullptr);
      finished = true;
    });
    // The wait ends through the pump (event, wait_until) or the clock (sleep).
    for (int i = 0; i < 5000 && pumped < 3; ++i) std::this_thread::sleep_for(1ms);
    EXPECT_GE(pumped.load(), 3) << c.name;
    sys::Clock::Advance(60000);
    ui.join();
    EXPECT_TRUE(finished.load()) << c.name;
  }
}

TEST(WaitPump, IsPerThreadAndRemovable) {
  int calls = 0;
  sys::SetThreadWaitPump([&] { ++calls; });
  EXPECT_TRUE(sys::HasThreadWaitPump());
  std::thread([] { EXPECT_FALSE(sys::HasThreadWaitPump()); }).join();
  EXPECT_TRUE(sys::RunThreadWaitPump());
  sys::Clock::SleepMs(10);  // real clock: a short sleep still serves
  EXPECT_GE(calls, 2);
  sys::SetThreadWaitPump(nullptr);
  EXPECT_FALSE(sys::RunThreadWaitPump());
}

}  // namespace
