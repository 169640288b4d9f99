// The two collectors fed byte streams: junk, restarts, 0xE7 inside data, bursts, overlong
// and broken input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"

using namespace analyzer;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Cmd(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0) {
  const CommandFrame f = BuildCommandFrame(cls, command, p1, p2);
  return {f.begin(), f.end()};
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct Seen {
  FrameKind kind;
  bool ok;
  Bytes bytes;
};

template <class Collector>
std::vector<Seen> FeedAll(Collector& c, const Bytes& in) {
  std::vector<Seen> out;
  for (uint8_t b : in) {
    const CollectedFrame f = c.Feed(b);
    if (f) out.push_back({f.kind, f.checksumOk, Bytes(f.bytes.begin(), f.bytes.end())});
  }
  return out;
}

Bytes Histogram(uint8_t channel, uint16_t fill) {
  std::vector<uint16_t> bins(HistogramBinCount(channel), fill);
  return BuildHistogramFrame(channel, bins);
}

}  // namespace

TEST(FullCollectorTest, StreamsOfFrames) {
  const Bytes ack = Cmd(0xAA, 0x11, 0xFF);
  const Bytes key = Cmd(0xCC, 0xFF);
  const Bytes header = BuildRunHeader(3400, 1800);
  // Bins whose bytes are 0xE7 and 0x7E: neither may end or restart the frame.
  const Bytes wbc = Histogram(1, 0xE77E);
  const Bytes plt = Histogram(3, 0x7EE7);
  const Bytes rbc = Histogram(2, 0x0102);
  Bytes damaged = ack;
  damaged[6] ^= 0x10;

  struct Case {
    std::string name;
    Bytes input;
    std::vector<std::pair<FrameKind, bool>> expect;
    Bytes lastFrame;  // bytes of the last frame handed out, when given
  };
  const Case cases[] = {
      {"single command", ack, {{FrameKind::Command, true}}, ack},
      {"junk before start is dropped", Cat({{0x00, 0x13, 0xE7, 0x55}, ack}), {{FrameKind::Command, true}}, ack},
      {"second 7E restarts", Cat({{0x7E}, ack}), {{FrameKind::Command, true}}, ack},
      {"many 7E restart", Cat({{0x7E, 0x7E, 0x7E}, ack}), {{FrameKind::Command, true}}, ack},
      {"run header", header, {{FrameKind::RunHeader, true}}, header},
      {"histogram with E7 and 7E in bins", wbc, {{FrameKind::Histogram, true}}, wbc},
      {"plt histogram", plt, {{FrameKind::Histogram, true}}, plt},
      {"burst of sensor frames", Cat({Cmd(0xCC, 0x83, 1), Cmd(0xCC, 0x84, 0), Cmd(0xCC, 0x85, 1)}),
       {{FrameKind::Command, true}, {FrameKind::Command, true}, {FrameKind::Command, true}}, Cmd(0xCC, 0x85, 1)},
      {"back to back kinds", Cat({key, header, wbc, ack}),
       {{FrameKind::Command, true}, {FrameKind::RunHeader, true}, {FrameKind::Histogram, true}, {FrameKind::Command, true}}, ack},
      {"damaged command is handed out unchecked-bad", damaged, {{FrameKind::Command, false}}, damaged},
      {"truncated command then a whole one", Cat({Bytes(ack.begin(), ack.begin() + 6), ack}),
       {{FrameKind::Command, true}}, ack},
      {"truncated histogram then a resend", Cat({Bytes(rbc.begin(), rbc.begin() + 300), rbc}),
       {{FrameKind::Histogram, true}}, rbc},
      {"truncated header then a command", Cat({Bytes(header.begin(), header.begin() + 7), key}),
       {{FrameKind::Command, true}}, key},
      {"unknown class is skipped", Cat({{0x7E, 0x42, 0x01, 0x02}, ack}), {{FrameKind::Command, true}}, ack},
      {"histogram of unknown channel is skipped", Cat({{0x7E, 0x00, 0xBB, 0x00, 0x09, 0xE7}, key}),
       {{FrameKind::Command, true}}, key},
  };
  for (const Case& c : cases) {
    FullCollector col;
    const std::vector<Seen> seen = FeedAll(col, c.input);
    ASSERT_EQ(seen.size(), c.expect.size()) << c.name;
    for (size_t i = 0; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].kind, c.expect[i].first) << c.name << " #" << i;
      EXPECT_EQ(seen[i].ok, c.expect[i].second) << c.name << " #" << i;
    }
    if (!c.lastFrame.empty() && !seen.empty()) {
      EXPECT_EQ(seen.back().bytes, c.lastFrame) << c.name;
    }
    EXPECT_EQ(col.Count(), seen.empty() ? col.Count() : 0u) << c.name;
  }
}

TEST(FullCollectorTest, HistogramOneByteShortOrLongIsNotTaken) {
  const Bytes wbc = Histogram(2, 100);
  // One byte short: the E7 lands at 521, inside the announced length; nothing is taken.
  Bytes shortFrame(wbc.begin(), wbc.end() - 2);
  shortFrame.push_back(0xE7);
  FullCollector col;
  EXPECT_TRUE(FeedAll(col, shortFrame).empty());
  // One byte long: byte 521 is not E7, the frame is dropped; the next frame is still read.
  Bytes longFrame(wbc.begin(), wbc.end() - 1);
  longFrame.push_back(0x00);
  longFrame.push_back(0xE7);
  FullCollector col2;
  const auto seen = FeedAll(col2, Cat({longFrame, Cmd(0xAA, 0x00, 0xFF)}));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, FrameKind::Command);
}

TEST(FullCollectorTest, DroppedFrameStaysUnfinishedUntilTheNextFrame) {
  // A histogram with one data byte sent twice: 523 bytes for 522 announced. The collector
  // drops it, and says so until a frame is taken or it is cleared.
  Bytes doubled = Histogram(2, 100);
  doubled.insert(doubled.begin() + 300, doubled[300]);
  FullCollector col;
  EXPECT_TRUE(FeedAll(col, doubled).empty());
  EXPECT_TRUE(col.Unfinished());
  EXPECT_EQ(FeedAll(col, Cmd(0xAA, 0x00, 0xFF)).size(), 1u);
  EXPECT_FALSE(col.Unfinished());
  FeedAll(col, doubled);
  col.Clear();
  EXPECT_FALSE(col.Unfinished());
  // Junk before any frame start is no broken frame; a frame start alone is one.
  FeedAll(col, {0x00, 0xE7, 0x42});
  EXPECT_FALSE(col.Unfinished());
  FeedAll(col, {0x7E, 0xAA});
  EXPECT_TRUE(col.Unfinished());
  // A whole frame leaves nothing unfinished.
  col.Clear();
  FeedAll(col, Cmd(0xCC, 0xFF));
  EXPECT_FALSE(col.Unfinished());
}

TEST(FullCollectorTest, RunHeaderLengths) {
  struct Case { uint16_t length; bool taken; };
  const Case cases[] = {{10, true}, {12, true}, {200, true}, {998, true}, {999, false}, {9, false}, {65535, false}};
  for (const Case& c : cases) {
    Bytes h;
    if (c.length >= 10) {
      h = BuildRunHeader(100, 200, c.length);
    } else {
      h = {0x7E, 0xBB, 0x04, 0x00, static_cast<uint8_t>(c.length), 0, 0, 1, 0, 2, 0xE7};
    }
    if (c.length == 65535) h = {0x7E, 0xBB, 0x04, 0xFF, 0xFF, 0, 0x0D, 0x48, 0x07, 0x17, 0xE7};
    FullCollector col;
    const auto seen = FeedAll(col, Cat({h, Cmd(0xCC, 0xFF)}));
    const bool headerTaken = !seen.empty() && seen[0].kind == FrameKind::RunHeader;
    EXPECT_EQ(headerTaken, c.taken) << c.length;
    // Whatever happened to the header, the count key after it gets through.
    ASSERT_FALSE(seen.empty()) << c.length;
    EXPECT_EQ(seen.back().kind, FrameKind::Command) << c.length;
    EXPECT_LE(col.Count(), FullCollector::kCapacity);
  }
}

TEST(FullCollectorTest, OverlongInputStaysBounded) {
  FullCollector col;
  // A frame start followed by endless data that never completes anything.
  col.Feed(0x7E);
  col.Feed(0x00);
  col.Feed(0xBB);
  col.Feed(0x00);
  col.Feed(0x01);
  for (int i = 0; i < 100000; ++i) {
    const CollectedFrame f = col.Feed(static_cast<uint8_t>(i * 7 + 1));
    EXPECT_LE(col.Count(), FullCollector::kCapacity);
    (void)f;
  }
  // Random-looking bytes with many 7E and E7 in them never overflow either.
  uint32_t x = 12345;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1103515245u + 12345u;
    uint8_t b = static_cast<uint8_t>(x >> 16);
    if ((x >> 8) % 17 == 0) b = 0x7E;
    if ((x >> 8) % 19 == 0) b = 0xE7;
    col.Feed(b);
    ASSERT_LE(col.Count(), FullCollector::kCapacity);
  }
  // And the collector is still in working order afterwards.
  col.Clear();
  EXPECT_EQ(FeedAll(col, Cmd(0xAA, 0x90, 0xFF)).size(), 1u);
}

TEST(FullCollectorTest, FrameBytesStayValidUntilNextFeed) {
  FullCollector col;
  const Bytes ack = Cmd(0xAA, 0x40, 0xFF);
  CollectedFrame last;
  for (uint8_t b : ack) last = col.Feed(b);
  ASSERT_TRUE(last);
  EXPECT_EQ(last.cls(), 0xAA);
  EXPECT_EQ(last.command(), 0x40);
  EXPECT_EQ(last.status(), 0xFF);
  EXPECT_EQ(Bytes(last.bytes.begin(), last.bytes.end()), ack);
  EXPECT_FALSE(col.Feed(0x7E));
  EXPECT_EQ(col.Count(), 1u);  // the handed-out frame is gone, the new start kept
}

TEST(ShortCollectorTest, Streams) {
  const Bytes ack = Cmd(0xAA, 0x30, 0xFF);
  Bytes damaged = ack;
  damaged[12] ^= 0xFF;
  struct Case {
    std::string name;
    Bytes input;
    std::vector<bool> okays;
  };
  const Case cases[] = {
      {"one frame", ack, {true}},
      {"stray byte before a reply is dropped", Cat({{0x13}, ack}), {true}},
      {"stray 7E before a reply", Cat({{0x7E}, ack}), {true}},
      {"damaged frame", damaged, {false}},
      {"broken frame then a whole one", Cat({Bytes(ack.begin(), ack.begin() + 9), ack}), {true}},
      {"burst", Cat({Cmd(0xCC, 0x83, 1), Cmd(0xCC, 0x84, 1), Cmd(0xCC, 0x85, 0)}), {true, true, true}},
      {"no end byte", Cat({Bytes(ack.begin(), ack.end() - 1), {0x00}}), {}},
  };
  for (const Case& c : cases) {
    ShortCollector col;
    const auto seen = FeedAll(col, c.input);
    ASSERT_EQ(seen.size(), c.okays.size()) << c.name;
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].ok, c.okays[i]) << c.name;
    EXPECT_LE(col.Count(), kCommandFrameSize);
  }
}

TEST(ShortCollectorTest, NeverWritesPastFourteenBytes) {
  ShortCollector col;
  for (int i = 0; i < 5000; ++i) {
    col.Feed(i % 13 == 0 ? 0x7E : static_cast<uint8_t>(i));
    ASSERT_LE(col.Count(), kCommandFrameSize);
  }
}
