// The worker's wake-up beside a device: a signal from another thread ends a wait at once, input
// on the device is reported, a wait with neither times out, and a signal wakes one wait only.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/sys/wake_event.h"

namespace {

TEST(WakeEvent, SignalInputAndTimeOut) {
  sys::WakeEvent wake;
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);

  EXPECT_EQ(wake.WaitWith(pipeFds[0], 20), sys::WakeEvent::kTimedOut);

  // A signal given before the wait is kept for it, and cleared by it.
  wake.Signal();
  wake.Signal();
  EXPECT_EQ(wake.WaitWith(pipeFds[0], 1000), sys::WakeEvent::kWoken);
  EXPECT_EQ(wake.Wait(20), sys::WakeEvent::kTimedOut);

  // A signal from another thread ends a wait without a limit.
  std::thread t([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    wake.Signal();
  });
  EXPECT_EQ(wake.WaitWith(pipeFds[0], -1), sys::WakeEvent::kWoken);
  t.join();

  // Input on the device, and both at once.
  ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
  EXPECT_EQ(wake.WaitWith(pipeFds[0], 1000), sys::WakeEvent::kDeviceReady);
  wake.Signal();
  EXPECT_EQ(wake.WaitWith(pipeFds[0], 1000), sys::WakeEvent::kDeviceReady | sys::WakeEvent::kWoken);

  // The far end gone counts as ready, so the reader learns of it.
  char c;
  ASSERT_EQ(::read(pipeFds[0], &c, 1), 1);
  ::close(pipeFds[1]);
  EXPECT_EQ(wake.WaitWith(pipeFds[0], 1000), sys::WakeEvent::kDeviceReady);
  ::close(pipeFds[0]);
}

}  // namespace
