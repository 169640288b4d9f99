#pragma once
// The LIS link against the LIS simulator on loopback: a program folder with a fresh data
// store, the link's threads pointed at the simulator and connected. SimulatedLisLink is the
// simulator and the link alone, for the fixtures of other subsystems' screens that send.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/app_settings.h"
#include "core/lis_link_state.h"
#include "lis/lis_link.h"
#include "lis/stored_send.h"
#include "tests/support/program_folder.h"
#include "tools/lissim/server.h"

// Real time: the link is a real socket.
template <class Pred>
inline bool WaitForReal(Pred p, int ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!p()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The simulator and the network link's threads connected to it, without pauses between the
// messages of a walk. `replyWaitMs` shortens the wait for each acknowledgement (0 keeps it).
struct SimulatedLisLink {
  lissim::Server sim;
  bool started = false;
  bool Start(int replyWaitMs = 0) {
    if (!sim.Start()) return false;
    started = true;
    LisLinkState.ServerAddress = "127.0.0.1";
    LisLinkState.ServerPort = sim.Port();
    LisLinkState.NetworkReady = 1;
    LisLinkState.ApplyPending = 0;
    LisLinkState.LinkKind = 1;
    LisLinkState.Bidirectional = 1;
    LisLinkState.LisQueryMode = -1;
    lis::SetLisLinkPollMs(20);
    lis::SetWalkPauseMs(0);
    if (replyWaitMs > 0) lis::SetReplyWaitMs(replyWaitMs);
    lis::StartLisThreads();
    return WaitForReal([] { return LisLinkState.LisConnected.load() == 1; });
  }
  // Safe when Start was not called.
  void Stop() {
    if (!started) return;
    started = false;
    lis::StopLisThreads();
    sim.Stop();
    lis::SetLisLinkPollMs(1000);
    lis::SetWalkPauseMs(50);
    lis::SetReplyWaitMs(10000);
    LisLinkState.LinkKind = 0;
    LisLinkState.LisConnected = 0;
  }
};

class LinkFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings.LanguageIndex = 1;
    ASSERT_TRUE(link.Start());
  }
  void TearDown() override { link.Stop(); }
  static bool WaitConnected(int ms = 5000) {
    return WaitFor([] { return LisLinkState.LisConnected.load() == 1; }, ms);
  }
  template <class Pred>
  static bool WaitFor(Pred p, int ms = 5000) {
    return WaitForReal(p, ms);
  }

  support::ScratchProgramFolder folder{"lis_link"};
  SimulatedLisLink link;
  lissim::Server& sim = link.sim;
};
