#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/sys/clock.h"

namespace {

class ManualClock : public ::testing::Test {
 protected:
  void SetUp() override { sys::Clock::UseManual({2026, 3, 31, 23, 59, 58, 0, 2}); }
  void TearDown() override { sys::Clock::UseReal(); }
};

TEST_F(ManualClock, StandsStillUntilAdvancedAndRollsTheCalendar) {
  const int64_t t0 = sys::Clock::TickMs();
  EXPECT_EQ(sys::Clock::TickMs(), t0);
  sys::Clock::Advance(2500);
  EXPECT_EQ(sys::Clock::TickMs(), t0 + 2500);
  const sys::LocalTime now = sys::Clock::Now();
  EXPECT_EQ(now.month, 4);
  EXPECT_EQ(now.day, 1);
  EXPECT_EQ(now.hour, 0);
  EXPECT_EQ(now.second, 0);
  EXPECT_EQ(now.millisecond, 500);
}

TEST_F(ManualClock, SleepReturnsOnlyAfterEnoughManualTime) {
  std::atomic<bool> woke{false};
  std::thread sleeper([&] {
    sys::Clock::SleepMs(120000);
    woke = true;
  });
  // Let the sleeper take its deadline before time moves.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  sys::Clock::Advance(60000);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(woke.load());
  sys::Clock::Advance(60000);
  sleeper.join();
  EXPECT_TRUE(woke.load());
}

TEST_F(ManualClock, ListenersHearEveryAdvance) {
  int heard = 0;
  int token = sys::Clock::AddAdvanceListener([&] { ++heard; });
  sys::Clock::Advance(10);
  sys::Clock::Advance(0);  // no movement, no call
  sys::Clock::Advance(10);
  sys::Clock::RemoveAdvanceListener(token);
  sys::Clock::Advance(10);
  EXPECT_EQ(heard, 2);
}

}  // namespace
