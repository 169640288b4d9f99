// The link settings as the settings screens save them: the port range, addresses, and which
// changes drop the connection, and saves while the link runs.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/lis_link_state.h"
#include "core/write_log.h"
#include "link_fixture.h"
#include "lis/hl7_messages.h"
#include "lis/link_settings.h"
#include "platform/sys/profile.h"
#include "tests/support/io_faults.h"
#include "tests/support/program_folder.h"

using namespace lis;

TEST(LinkSettings, PortAcceptsOneTo65535) {
  const struct {
    const char* text;
    int port;
  } cases[] = {{"1", 1}, {"5000", 5000}, {"65535", 65535}, {"65536", 0}, {"0", 0},
               {"", 0},  {"-1", 0},      {"12a", 0},       {"99999", 0}, {"123456", 0}};
  for (const auto& c : cases) EXPECT_EQ(ParsePort(c.text), c.port) << c.text;
}

TEST(LinkSettings, AddressesReadAsFourBytes) {
  const struct {
    const char* text;
    uint8_t bytes[4];
  } cases[] = {{"192.168.1.20", {192, 168, 1, 20}}, {"0.0.0.0", {0, 0, 0, 0}}, {"256.1.1.1", {0, 0, 0, 0}},
               {"1.2.3", {0, 0, 0, 0}},             {"1.2.3.4.5", {0, 0, 0, 0}}, {"a.b.c.d", {0, 0, 0, 0}}};
  for (const auto& c : cases) {
    uint8_t b[4] = {9, 9, 9, 9};
    ParseAddress(c.text, b);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b[i], c.bytes[i]) << c.text;
  }
  const uint8_t a[4] = {10, 0, 0, 254};
  EXPECT_EQ(AddressText(a), "10.0.0.254");
}

TEST(LinkSettings, ASaveThatCannotBeWrittenChangesNothing) {
  support::ScratchProgramFolder folder("lis_settings_fail", false);
  const std::string before = "[LIS]\nSERVER=10.0.0.5\nPORT=5000\nTYPE=1\nDOUBLE=0\nWARNING=0\n";
  folder.write("Setting.ini", before);
  NetworkSettings s = LoadNetworkSettings();
  LisLinkState.ServerPort = 5000;
  LisLinkState.LisConnected = 1;
  s.port = 6000;
  s.bidirectional = true;
  // The replacement of the file fails at each of its steps: the file, the port in force and the
  // connection stay as they were, and the failure is said.
  for (sys::IoOp op : {sys::IoOp::Open, sys::IoOp::Write, sys::IoOp::Sync, sys::IoOp::Rename}) {
    bool written = true;
    {
      support::IoFaults faults;
      faults.Add({op, "Setting.ini", 1, support::IoFaults::Error(ENOSPC), -1});
      EXPECT_FALSE(SaveNetworkSettings(s, &written)) << support::IoOpName(op);
    }
    EXPECT_FALSE(written) << support::IoOpName(op);
    EXPECT_EQ(support::FileBytes(SettingsFilePath()), before) << support::IoOpName(op);
    EXPECT_EQ(LisLinkState.ServerPort, 5000) << support::IoOpName(op);
    EXPECT_EQ(LisLinkState.LisConnected.load(), 1) << support::IoOpName(op);
  }
  bool written = false;
  EXPECT_TRUE(SaveNetworkSettings(s, &written));
  EXPECT_TRUE(written);
  EXPECT_EQ(sys::ProfileReadString(SettingsFilePath(), "LIS", "PORT", ""), "6000");
}

TEST(LinkSettings, OnlyAnAddressModeOrPortChangeDropsTheLink) {
  support::ScratchProgramFolder folder("lis_settings", false);
  folder.write("Setting.ini", "[LIS]\nSERVER=10.0.0.5\nPORT=5000\nTYPE=1\nDOUBLE=0\nWARNING=0\n[COMMUNITY]\nType=1\n");
  NetworkSettings s = LoadNetworkSettings();
  EXPECT_EQ(s.server[0], 10);
  EXPECT_EQ(s.server[3], 5);
  EXPECT_EQ(s.port, 5000);
  EXPECT_TRUE(s.automaticAddress);
  // Unchanged, or only DOUBLE: the connection stays.
  LisLinkState.LisConnected = 1;
  LisLinkState.NetworkReady = 1;
  LisLinkState.ApplyPending = 0;
  s.bidirectional = true;
  EXPECT_FALSE(SaveNetworkSettings(s));
  EXPECT_EQ(LisLinkState.LisConnected.load(), 1);
  EXPECT_EQ(LisLinkState.Bidirectional, 1);
  EXPECT_EQ(sys::ProfileReadString(SettingsFilePath(), "LIS", "DOUBLE", ""), "1");
  // The port only: dropped, and the address settings wait to be applied again.
  s = LoadNetworkSettings();
  s.port = 5001;
  EXPECT_TRUE(SaveNetworkSettings(s));
  EXPECT_EQ(LisLinkState.LisConnected.load(), 0);
  EXPECT_EQ(LisLinkState.NetworkReady.load(), 0);
  EXPECT_EQ(LisLinkState.ApplyPending.load(), 1);
  EXPECT_EQ(LisLinkState.ServerPort, 5001);
  EXPECT_EQ(sys::ProfileReadString(SettingsFilePath(), "LIS", "PORT", ""), "5001");
  EXPECT_EQ(LisLinkState.ServerAddress, "10.0.0.5");
  // The link kind.
  EXPECT_EQ(LoadLinkKind(), 1);
  SaveLinkKind(0);
  EXPECT_EQ(LoadLinkKind(), 0);
  EXPECT_EQ(LisLinkState.LinkKind, 0);
  LisLinkState.NetworkReady = 0;
  LisLinkState.ApplyPending = 1;
}

TEST(LinkSettings, SerialIndicesAndTheirValues) {
  const struct {
    int index;
    unsigned baud, bits;
    wchar_t parity;
    unsigned stop;
  } cases[] = {{0, 9600, 5, L'N', 1}, {1, 19200, 6, L'E', 2}, {3, 57600, 8, L'M', 1}, {4, 115200, 8, L'S', 1},
               {5, 230400, 8, L'N', 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(BaudOf(c.index), c.baud);
    EXPECT_EQ(DataBitsOf(c.index), c.bits);
    EXPECT_EQ(ParityOf(c.index), c.parity);
    EXPECT_EQ(StopBitsOf(c.index), c.stop);
  }
}

TEST(LinkSettings, SavesWhileTheLinkRunsAreInForceBeforeItReconnects) {
  support::ScratchProgramFolder folder("lis_settings_live");
  SimulatedLisLink a;
  ASSERT_TRUE(a.Start());
  lissim::Server b;
  ASSERT_TRUE(b.Start());
  const int ports[2] = {a.sim.Port(), b.Port()};
  const lissim::Server* sims[2] = {&a.sim, &b};
  NetworkSettings s;
  const uint8_t loopback[4] = {127, 0, 0, 1};
  for (int i = 0; i < 4; ++i) s.server[i] = loopback[i];
  s.automaticAddress = true;
  s.port = ports[0];
  SaveNetworkSettings(s);
  s = LoadNetworkSettings();
  ASSERT_TRUE(WaitForReal([] { return LisLinkState.LisConnected.load() == 1; }));

  // Messages and alarms go out meanwhile, as in use.
  std::atomic<bool> stop{false};
  std::thread traffic([&] {
    while (!stop) {
      WriteLog("alarm while saving");
      SendLisMessage(BuildAlarmMessage(MakeAlarmRecord("x", "")), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  int current = 0;
  for (int i = 1; i <= 1200; ++i) {
    s.alarms = (i % 2) == 0;
    s.bidirectional = (i % 3) == 0;
    const bool switchServer = (i % 200) == 0;
    if (switchServer) s.port = ports[1 - current];
    EXPECT_EQ(SaveNetworkSettings(s), switchServer);
    s = LoadNetworkSettings();  // as the screen shows the saved values again
    if (!switchServer) continue;
    current = 1 - current;
    const int before = sims[1 - current]->Connections();
    // The link comes back on the new server, never on the old one.
    ASSERT_TRUE(WaitForReal([&] { return sims[current]->Connections() > 0 && LisLinkState.LisConnected.load() == 1; }));
    EXPECT_EQ(sims[1 - current]->Connections(), before) << "save " << i;
  }
  stop = true;
  traffic.join();
  EXPECT_EQ(LisLinkState.Addresses().port, ports[current]);
  EXPECT_EQ(LisLinkState.AlarmSending.load(), 1);
  LisLinkState.AlarmSending = 0;
  a.Stop();
  b.Stop();
}
