// Frame builders and checks against the exact bytes the board expects.
#include <gtest/gtest.h>

#include <vector>

#include "analyzer/command_catalogue.h"
#include "analyzer/frame.h"

using namespace analyzer;

namespace {
std::vector<uint8_t> V(const CommandFrame& f) { return {f.begin(), f.end()}; }
}  // namespace

TEST(CommandFrameTest, BuildsExactBytes) {
  struct Case {
    uint8_t cls, command, p1, p2;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {0xAA, 0xFF, 0, 0, {0x7E, 0xAA, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x55, 0xE7}},
      {0x5A, 0x01, 0, 0, {0x7E, 0x5A, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x5B, 0xE7}},
      {0xDD, 0x00, 0, 0, {0x7E, 0xDD, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xDD, 0xE7}},
      {0xAA, 0x90, 0, 0, {0x7E, 0xAA, 0x90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3A, 0xE7}},
      {0xAA, 0x01, 0x32, 0x32, {0x7E, 0xAA, 0x01, 0x32, 0x32, 0, 0, 0, 0, 0, 0, 0, 0xAB, 0xE7}},
      {0xEF, 0x03, 0x01, 0x0C, {0x7E, 0xEF, 0x03, 0x01, 0x0C, 0, 0, 0, 0, 0, 0, 0, 0xE1, 0xE7}},
      {0xCC, 0x81, 0, 0, {0x7E, 0xCC, 0x81, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x4D, 0xE7}},
      {0xEF, 0x08, 0x0F, 0xA0, {0x7E, 0xEF, 0x08, 0x0F, 0xA0, 0, 0, 0, 0, 0, 0, 0, 0x48, 0xE7}},
      {0xAA, 0x30, 0, 0, {0x7E, 0xAA, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x9A, 0xE7}},
  };
  for (const Case& c : cases) {
    const CommandFrame f = BuildCommandFrame(c.cls, c.command, c.p1, c.p2);
    EXPECT_EQ(V(f), c.bytes) << std::hex << int(c.cls) << " " << int(c.command);
    EXPECT_TRUE(CommandFrameValid(f));
  }
}

TEST(CommandFrameTest, ChecksumAndValidity) {
  const uint8_t two[] = {0x12, 0x34};
  EXPECT_EQ(XorChecksum(two, 2), 0x12);
  EXPECT_EQ(XorChecksum(two, 1), 0);
  EXPECT_EQ(XorChecksum(nullptr, 5), 0);

  CommandFrame f = BuildCommandFrame(0xAA, 0x11);
  f[5] ^= 0x01;  // one flipped bit anywhere in 1..11
  EXPECT_FALSE(CommandFrameValid(f));
  f = BuildCommandFrame(0xAA, 0x11);
  f[13] = 0x00;
  EXPECT_FALSE(CommandFrameValid(f));
  EXPECT_FALSE(CommandFrameValid(std::span<const uint8_t>(f.data(), 13)));
}

TEST(CommandFrameTest, SignedParameters) {
  struct Case { int value; uint8_t sign, magnitude; };
  const Case cases[] = {{0, 1, 0}, {5, 1, 5}, {-5, 0, 5}, {-1, 0, 1}, {300, 1, 44}, {-256, 0, 0}};
  for (const Case& c : cases) {
    const SignedParam p = SplitSigned(c.value);
    EXPECT_EQ(p.sign, c.sign) << c.value;
    EXPECT_EQ(p.magnitude, c.magnitude) << c.value;
  }
}

TEST(RunHeaderTest, LayoutAndReadings) {
  const std::vector<uint8_t> h = BuildRunHeader(3400, 1815);
  ASSERT_EQ(h.size(), 12u);  // L = 10: check at 10, end at 11
  EXPECT_EQ(h[0], 0x7E);
  EXPECT_EQ(h[1], 0xBB);
  EXPECT_EQ(h[2], 0x04);
  EXPECT_EQ(h[3], 0x00);
  EXPECT_EQ(h[4], 0x0A);
  EXPECT_EQ(h[10], XorChecksum(&h[1], 10));
  EXPECT_EQ(h[11], 0xE7);
  EXPECT_TRUE(RunHeaderValid(h));
  const RunHeader r = ParseRunHeader(h);
  EXPECT_EQ(r.hgbBlank, 3400);
  EXPECT_EQ(r.hgbSample, 1815);

  std::vector<uint8_t> bad = h;
  bad[7] ^= 0x40;
  EXPECT_FALSE(RunHeaderValid(bad));
  std::vector<uint8_t> longer = BuildRunHeader(1, 2, 40);
  EXPECT_EQ(longer.size(), 42u);
  EXPECT_TRUE(RunHeaderValid(longer));
}

TEST(RunHeaderTest, ZeroReadingsAreReplaced) {
  const RunHeader r = ParseRunHeader(BuildRunHeader(0, 0));
  EXPECT_EQ(r.hgbBlank, 65535);
  EXPECT_EQ(r.hgbSample, 1);
  EXPECT_EQ(r.rawBlank, 0);
}

TEST(HistogramFrameTest, LayoutChecksAndBins) {
  struct Case { uint8_t channel; size_t length, bins; };
  const Case cases[] = {{1, 522, 256}, {2, 522, 256}, {3, 266, 128}};
  for (const Case& c : cases) {
    std::vector<uint16_t> bins(c.bins);
    for (size_t i = 0; i < bins.size(); ++i) bins[i] = static_cast<uint16_t>(i * 257 + c.channel);
    const std::vector<uint8_t> f = BuildHistogramFrame(c.channel, bins);
    ASSERT_EQ(f.size(), c.length);
    EXPECT_EQ(HistogramFrameLength(c.channel), c.length);
    EXPECT_EQ((std::vector<uint8_t>{f[0], f[1], f[2], f[3], f[4]}),
              (std::vector<uint8_t>{0x7E, 0x00, 0xBB, 0x00, c.channel}));
    uint8_t odd = 0, even = 0;
    for (size_t i = 1; i <= c.length - 5; i += 2) odd ^= f[i];
    for (size_t i = 2; i <= c.length - 4; i += 2) even ^= f[i];
    EXPECT_EQ(f[c.length - 3], odd);
    EXPECT_EQ(f[c.length - 2], even);
    EXPECT_EQ(f.back(), 0xE7);
    EXPECT_TRUE(HistogramFrameValid(f));
    EXPECT_EQ(ParseHistogramBins(f), bins);
    EXPECT_EQ(ParseHistogramFloats(f)[1], float(257 + c.channel));

    // A flipped bit at an odd or an even index breaks exactly that check.
    std::vector<uint8_t> b = f;
    b[9] ^= 1;
    HistogramChecks k = ComputeHistogramChecks(b);
    EXPECT_NE(k.odd, b[c.length - 3]);
    EXPECT_EQ(k.even, b[c.length - 2]);
    EXPECT_FALSE(HistogramFrameValid(b));
    b = f;
    b[10] ^= 1;
    k = ComputeHistogramChecks(b);
    EXPECT_EQ(k.odd, b[c.length - 3]);
    EXPECT_NE(k.even, b[c.length - 2]);
  }
  EXPECT_EQ(HistogramFrameLength(4), 0u);
}

TEST(CatalogueTest, KnownCommandsAndHelpers) {
  ASSERT_NE(FindCommand(0xAA, 0xFF), nullptr);
  EXPECT_EQ(FindCommand(0xAA, 0x01)->paramCount, 2);
  EXPECT_EQ(FindCommand(0xAA, 0x08), nullptr);
  EXPECT_NE(FindCommand(0xBB, 0x04), nullptr);
  EXPECT_NE(FindCommand(0xEF, 0x13), nullptr);
  EXPECT_EQ(FindCommand(0xEF, 0x0A), nullptr);  // 0x0A to 0x0D are not used

  EXPECT_EQ(StartCommandForBloodMode(0), 0x01);
  EXPECT_EQ(StartCommandForBloodMode(1), 0x03);
  EXPECT_EQ(StartCommandForBloodMode(2), 0x02);

  for (uint8_t c : {0x10, 0x20, 0x21, 0x30, 0x31, 0x32, 0x33, 0x40, 0x50, 0x51})
    EXPECT_TRUE(IsResentOnRefusal(c)) << int(c);
  for (uint8_t c : {0x52, 0x53, 0x60, 0x90, 0xFF}) EXPECT_FALSE(IsResentOnRefusal(c)) << int(c);

  EXPECT_EQ(NeedlePositionCommand(1), 0x09);
  EXPECT_EQ(NeedlePositionCommand(2), 0x10);
  EXPECT_EQ(NeedlePositionCommand(5), 0x13);
  EXPECT_EQ(NeedlePositionCommand(6), 0);

  EXPECT_NEAR(TemperatureFromRaw(136), 9.96, 0.01);
  EXPECT_NEAR(TemperatureFromRaw(546), 40.0, 0.01);
  EXPECT_GT(TemperatureFromRaw(547), 40.0);
}
