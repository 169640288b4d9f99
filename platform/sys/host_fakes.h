#pragma once
// Recording stand-ins for the host actions, for tests: each records its calls and returns a
// result the test chooses. Install with ScopedHostFakes, which puts the real ones back.
#include <mutex>
#include <vector>

#include "platform/sys/host.h"

namespace sys {

class FakePowerControl : public PowerControl {
 public:
  HostResult PowerOff(std::string* error) override {
    std::lock_guard<std::mutex> g(mu);
    ++calls;
    if (result == HostResult::kFailed && error) *error = "fake power off failure";
    return result;
  }
  std::mutex mu;
  int calls = 0;
  HostResult result = HostResult::kDone;
};

class FakeSystemClockControl : public SystemClockControl {
 public:
  HostResult SetLocalTime(const LocalTime& t, std::string* error) override {
    std::lock_guard<std::mutex> g(mu);
    calls.push_back(t);
    if (result == HostResult::kFailed && error) *error = "fake clock failure";
    return result;
  }
  std::mutex mu;
  std::vector<LocalTime> calls;
  HostResult result = HostResult::kDone;
};

class FakeNetworkConfigControl : public NetworkConfigControl {
 public:
  HostResult Apply(const NetworkAddress& a, std::string* error) override {
    std::lock_guard<std::mutex> g(mu);
    calls.push_back(a);
    if (result == HostResult::kFailed && error) *error = "fake network failure";
    return result;
  }
  std::mutex mu;
  std::vector<NetworkAddress> calls;
  HostResult result = HostResult::kDone;
};

// Installs the three fakes for the life of the object.
struct ScopedHostFakes {
  ScopedHostFakes() {
    SetPowerControl(&power);
    SetSystemClockControl(&clock);
    SetNetworkConfigControl(&network);
  }
  ~ScopedHostFakes() {
    SetPowerControl(nullptr);
    SetSystemClockControl(nullptr);
    SetNetworkConfigControl(nullptr);
  }
  ScopedHostFakes(const ScopedHostFakes&) = delete;
  ScopedHostFakes& operator=(const ScopedHostFakes&) = delete;
  FakePowerControl power;
  FakeSystemClockControl clock;
  FakeNetworkConfigControl network;
};

}  // namespace sys
