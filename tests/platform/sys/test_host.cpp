#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sys/debug_output.h"
#include "platform/sys/host.h"
#include "platform/sys/host_fakes.h"

namespace {

TEST(HostActions, CallsReachTheInstalledFakes) {
  sys::ScopedHostFakes fakes;
  EXPECT_EQ(sys::PowerOffPc(), sys::HostResult::kDone);
  EXPECT_EQ(fakes.power.calls, 1);

  sys::LocalTime t{2026, 2, 28, 23, 59, 30, 0, 0};
  EXPECT_EQ(sys::SetPcLocalTime(t), sys::HostResult::kDone);
  ASSERT_EQ(fakes.clock.calls.size(), 1u);
  EXPECT_EQ(fakes.clock.calls[0].day, 28);
  EXPECT_EQ(fakes.clock.calls[0].second, 30);

  sys::NetworkAddress fixed{false, "192.168.1.20", "255.255.255.0", "192.168.1.1", "eth0"};
  EXPECT_EQ(sys::ApplyPcNetworkAddress(fixed), sys::HostResult::kDone);
  EXPECT_EQ(sys::ApplyPcNetworkAddress(sys::NetworkAddress{}), sys::HostResult::kDone);
  ASSERT_EQ(fakes.network.calls.size(), 2u);
  EXPECT_EQ(fakes.network.calls[0].ip, "192.168.1.20");
  EXPECT_EQ(fakes.network.calls[0].adapter, "eth0");
  EXPECT_TRUE(fakes.network.calls[1].dhcp);

  fakes.power.result = sys::HostResult::kFailed;
  std::string error;
  EXPECT_EQ(sys::PowerOffPc(&error), sys::HostResult::kFailed);
  EXPECT_FALSE(error.empty());
}

TEST(HostActions, ImpossibleInputNeverReachesTheHost) {
  sys::ScopedHostFakes fakes;
  const sys::LocalTime badTimes[] = {
      {2026, 2, 29, 12, 0, 0, 0, 0},  // not a leap year
      {2026, 13, 1, 12, 0, 0, 0, 0}, {2026, 4, 31, 12, 0, 0, 0, 0}, {2026, 1, 1, 24, 0, 0, 0, 0},
      {2026, 1, 1, 12, 60, 0, 0, 0}, {2026, 1, 0, 12, 0, 0, 0, 0},
  };
  for (const auto& t : badTimes) {
    std::string error;
    EXPECT_EQ(sys::SetPcLocalTime(t, &error), sys::HostResult::kFailed) << t.month << "/" << t.day;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_TRUE(fakes.clock.calls.empty());
  EXPECT_TRUE(sys::IsValidLocalTime({2024, 2, 29, 0, 0, 0, 0, 0}));

  const sys::NetworkAddress badAddresses[] = {
      {false, "192.168.1", "255.255.255.0", "", ""},      {false, "192.168.1.256", "255.255.255.0", "", ""},
      {false, "0.0.0.0", "255.255.255.0", "", ""},        {false, "10.0.0.2", "255.0.255.0", "", ""},
      {false, "10.0.0.2", "0.0.0.0", "", ""},             {false, "10.0.0.2", "255.0.0.0", "10.0.0", ""},
  };
  for (const auto& a : badAddresses)
    EXPECT_EQ(sys::ApplyPcNetworkAddress(a), sys::HostResult::kFailed) << a.ip << " " << a.mask << " " << a.gateway;
  EXPECT_TRUE(fakes.network.calls.empty());
}

TEST(HostActions, RealOnesSkipAwayFromTheInstrument) {
  unsetenv("QUORVEX_INSTRUMENT_PC");
  ASSERT_FALSE(sys::RunsAsInstrumentPc());
  std::vector<std::string> lines;
  sys::SetDebugOutputToStderr(false);
  sys::SetDebugOutputCapture([&](const std::string& l) { lines.push_back(l); });
  EXPECT_EQ(sys::PowerOffPc(), sys::HostResult::kSkipped);
  EXPECT_EQ(sys::SetPcLocalTime({2026, 5, 1, 8, 0, 0, 0, 0}), sys::HostResult::kSkipped);
  EXPECT_EQ(sys::ApplyPcNetworkAddress(sys::NetworkAddress{}), sys::HostResult::kSkipped);
  sys::SetDebugOutputCapture(nullptr);
  sys::SetDebugOutputToStderr(true);
  ASSERT_EQ(lines.size(), 3u) << "every skip is logged";
  for (const auto& l : lines) EXPECT_NE(l.find("QUORVEX_INSTRUMENT_PC"), std::string::npos) << l;
}

TEST(HostActions, AdapterListLeavesOutLoopback) {
  for (const auto& name : sys::NetworkAdapterNames()) {
    EXPECT_NE(name, "lo");
    EXPECT_FALSE(name.empty());
  }
}

TEST(HostActions, MaskPrefixLengths) {
  struct Case {
    const char* mask;
    int prefix;
  } cases[] = {{"255.255.255.0", 24}, {"255.255.255.255", 32}, {"255.255.254.0", 23}, {"128.0.0.0", 1},
               {"0.0.0.0", 0},        {"255.0.255.0", -1},     {"255.255.255", -1},  {"255.255.255.0.", -1},
               {"a.b.c.d", -1},       {"0255.0.0.0", -1}};
  for (const auto& c : cases) EXPECT_EQ(sys::MaskPrefixLength(c.mask), c.prefix) << c.mask;
}

TEST(HostActions, NmcliCommandsForFixedAndAutomaticAddresses) {
  auto fixed = sys::NmcliCommands({false, "192.168.1.20", "255.255.255.0", "0.0.0.0", ""}, "lab");
  ASSERT_EQ(fixed.size(), 2u);
  EXPECT_EQ(fixed[0], (std::vector<std::string>{"nmcli", "connection", "modify", "lab", "ipv4.method", "manual",
                                                "ipv4.addresses", "192.168.1.20/24", "ipv4.gateway", ""}));
  EXPECT_EQ(fixed[1], (std::vector<std::string>{"nmcli", "connection", "up", "lab"}));
  auto dhcp = sys::NmcliCommands({true, "", "", "", ""}, "lab");
  EXPECT_EQ(dhcp[0][5], "auto");
}

}  // namespace
