// Resend requests per count, repeats of refused commands, and the check trace lines.
#include <gtest/gtest.h>

#include <vector>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/resend.h"

using namespace analyzer;

TEST(ResendCounterTest, TenRequestsPerCountThenTheMessage) {
  ResendCounter c;
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(c.TryRequest()) << i;
  EXPECT_FALSE(c.TryRequest());  // the eleventh failure shows the message, sends nothing
  EXPECT_FALSE(c.TryRequest());
  EXPECT_EQ(c.Used(), 10);
  c.Reset();  // the count key starts a new count
  EXPECT_TRUE(c.TryRequest());
}

TEST(RefusalRepeaterTest, RepeatsAreBoundedAndAnAckEndsTheRun) {
  RefusalRepeater r(3);
  EXPECT_TRUE(r.OnRefusal(0x30));
  EXPECT_TRUE(r.OnRefusal(0x30));
  EXPECT_TRUE(r.OnRefusal(0x30));
  EXPECT_FALSE(r.OnRefusal(0x30));  // a board that keeps refusing is not asked for ever
  EXPECT_TRUE(r.OnRefusal(0x40));   // another command starts its own run
  r.OnAcknowledged();
  EXPECT_TRUE(r.OnRefusal(0x40));
  EXPECT_EQ(r.Repeats(), 1);
}

TEST(ChecksumTraceTest, LinesAndMessagesPerFrame) {
  const CommandFrame good = BuildCommandFrame(0xAA, 0x01, 0xFF);
  std::vector<uint8_t> ack(good.begin(), good.end());
  ack[12] ^= 0x01;
  std::vector<uint8_t> header = BuildRunHeader(3400, 1800);
  header[10] ^= 0x01;
  std::vector<uint16_t> bins(128, 5);
  std::vector<uint8_t> plt = BuildHistogramFrame(3, bins);
  const uint8_t odd = plt[263], even = plt[264];
  plt[263] ^= 0xFF;

  struct Case {
    std::vector<uint8_t> input;
    CheckedFrame which;
    std::string line;
    std::string message;
  };
  char expectAck[32], expectHeader[32], expectPlt[64];
  std::snprintf(expectAck, sizeof expectAck, "QDsuccessChksum=%02x", ack[12] ^ 0x01);
  std::snprintf(expectHeader, sizeof expectHeader, "HGBchksum=%02x", header[10] ^ 0x01);
  std::snprintf(expectPlt, sizeof expectPlt, "PLTchkHigh=%02x PLTchkLow=%02x", odd, even);
  const Case cases[] = {
      {ack, CheckedFrame::StartAck, expectAck, "execute instruction checksum error！"},
      {header, CheckedFrame::RunHeader, expectHeader, "HGB data checksum error！"},
      {plt, CheckedFrame::PltHistogram, expectPlt, "PLT data checksum error！"},
  };
  for (const Case& c : cases) {
    FullCollector col;
    CollectedFrame f;
    for (uint8_t b : c.input) f = col.Feed(b);
    ASSERT_TRUE(f);
    EXPECT_FALSE(f.checksumOk);
    CheckedFrame which;
    ASSERT_TRUE(CheckedFrameOf(f, &which));
    EXPECT_EQ(which, c.which);
    EXPECT_EQ(ChecksumLogLine(which, f), c.line);
    EXPECT_EQ(ChecksumMessage(which, 1), c.message);
    EXPECT_FALSE(ChecksumMessage(which, 0).empty());
  }
  // Frames that are not part of a count's checks.
  FullCollector col;
  CollectedFrame f;
  for (uint8_t b : BuildCommandFrame(0xCC, 0x80, 1, 2)) f = col.Feed(b);
  EXPECT_FALSE(CheckedFrameOf(f, nullptr));
}
