#pragma once
// The LIS link against the LIS simulator on loopback: a program folder with a fresh data
// store, the link's threads pointed at the simulator and connected.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/app_settings.h"
#include "core/lis_link_state.h"
#include "lis/lis_link.h"
#include "lis/stored_send.h"
#include "tests/support/program_folder.h"
#include "tools/lissim/server.h"

class LinkFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings.LanguageIndex = 1;
    ASSERT_TRUE(sim.Start());
    LisLinkState.ServerAddress = "127.0.0.1";
    LisLinkState.ServerPort = sim.Port();
    LisLinkState.NetworkReady = 1;
    LisLinkState.ApplyPending = 0;
    LisLinkState.LinkKind = 1;
    LisLinkState.Bidirectional = 1;
    LisLinkState.LisQueryMode = -1;
    lis::SetLisLinkPollMs(20);
    lis::SetWalkPauseMs(0);
    lis::StartLisThreads();
    ASSERT_TRUE(WaitConnected());
  }
  void TearDown() override {
    lis::StopLisThreads();
    sim.Stop();
    lis::SetLisLinkPollMs(1000);
    lis::SetWalkPauseMs(50);
    LisLinkState.LinkKind = 0;
  }
  // Real time: the link is a real socket.
  static bool WaitConnected(int ms = 5000) {
    return WaitFor([] { return LisLinkState.LisConnected.load() == 1; }, ms);
  }
  template <class Pred>
  static bool WaitFor(Pred p, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!p()) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  support::ScratchProgramFolder folder{"lis_link"};
  lissim::Server sim;
};
