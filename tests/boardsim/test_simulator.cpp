// The simulator over a real pseudo-terminal: the program's side opens the device path and
// talks to it as to the board.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "platform/serial/port.h"
#include "tools/boardsim/simulator.h"

using namespace analyzer;
using namespace boardsim;

namespace {

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Start().ok());
    serial::Settings s;
    s.baud = 115200;
    const serial::Status st = port_.Open(sim_.DevicePath(), s);
    ASSERT_TRUE(st.ok()) << st.text;
  }
  void TearDown() override {
    port_.Close();
    sim_.Stop();
  }

  void Send(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0) {
    const CommandFrame f = BuildCommandFrame(cls, command, p1, p2);
    ASSERT_TRUE(port_.Write(f.data(), f.size(), 1000).ok());
  }

  // Reads until a frame is complete or the time is up (real time: the simulator is a device).
  struct Got {
    FrameKind kind = FrameKind::None;
    bool ok = false;
    std::vector<uint8_t> bytes;
  };
  Got Next(int timeoutMs = 2000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      uint8_t b;
      const serial::IoResult r = port_.Read(&b, 1, 50);
      if (r.count == 0) continue;
      const CollectedFrame f = collector_.Feed(b);
      if (f) return {f.kind, f.checksumOk, std::vector<uint8_t>(f.bytes.begin(), f.bytes.end())};
    }
    return {};
  }

  Simulator sim_;
  serial::Port port_;
  FullCollector collector_;
};

}  // namespace

TEST_F(SimulatorTest, WholeCountCycle) {
  sim_.PressCountKey();
  Got key = Next();
  ASSERT_EQ(key.kind, FrameKind::Command);
  EXPECT_EQ(key.bytes[1], 0xCC);
  EXPECT_EQ(key.bytes[2], 0xFF);

  for (int count = 0; count < 2; ++count) {
    if (count == 0) Send(0xAA, 0x01, 50, 10);
    else Send(0xAA, 0x00);
    Got ack = Next();
    ASSERT_TRUE(ack.ok);
    EXPECT_EQ(ack.bytes[3], 0xFF);
    Send(0xBB, 0x04);
    Got header = Next();
    ASSERT_EQ(header.kind, FrameKind::RunHeader);
    EXPECT_TRUE(header.ok);
    for (uint8_t ch = 1; ch <= 3; ++ch) {
      Send(0xBB, ch);
      Got h = Next();
      ASSERT_EQ(h.kind, FrameKind::Histogram) << int(ch);
      EXPECT_TRUE(h.ok);
      EXPECT_EQ(h.bytes.size(), HistogramFrameLength(ch));
    }
  }
  Send(0xAA, 0x11);
  Got end = Next();
  ASSERT_TRUE(end.ok);
  EXPECT_EQ(end.bytes[2], 0x11);
  EXPECT_EQ(end.bytes[4], 40);  // the default aperture time raises no warning
  EXPECT_TRUE(sim_.WaitForReceived(9, 1000));
}

TEST_F(SimulatorTest, DamagedFrameAndResend) {
  sim_.CorruptNext(Target::Plt);
  Send(0xAA, 0x01, 50, 10);
  ASSERT_TRUE(Next().ok);
  Send(0xBB, 0x03);
  Got bad = Next();
  ASSERT_EQ(bad.kind, FrameKind::Histogram);
  EXPECT_FALSE(bad.ok);
  Send(0x5A, 0x01);
  Got good = Next();
  EXPECT_TRUE(good.ok);
}

TEST_F(SimulatorTest, SilentBoardAnswersNothingButStillListens) {
  sim_.SetSilent(true);
  Send(0xAA, 0xFF);
  EXPECT_TRUE(sim_.WaitForReceived(1, 1000));
  EXPECT_EQ(Next(150).kind, FrameKind::None);
  sim_.SetSilent(false);
  Send(0xAA, 0xFF);
  EXPECT_TRUE(Next().ok);
}

TEST_F(SimulatorTest, ReportsOnItsOwn) {
  sim_.SetBottleEmpty(Reagent::Lyse, true);
  Got lyse = Next();
  ASSERT_TRUE(lyse.ok);
  EXPECT_EQ((std::vector<uint8_t>{lyse.bytes[1], lyse.bytes[2], lyse.bytes[3]}), (std::vector<uint8_t>{0xCC, 0x83, 1}));
  sim_.ReportCouplerFault(4);
  Got coupler = Next();
  EXPECT_EQ((std::vector<uint8_t>{coupler.bytes[1], coupler.bytes[2], coupler.bytes[3]}),
            (std::vector<uint8_t>{0xDD, 0xA8, 4}));
  sim_.SetTemperature(5.0);
  Send(0xCC, 0x80);
  Got t = Next();
  EXPECT_LT((t.bytes[3] * 256 + t.bytes[4]) / 4095.0 * 300.0, 10.0);
}
