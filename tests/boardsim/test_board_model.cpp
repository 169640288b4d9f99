// The simulated board's answers, frame by frame, and the fault injections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "tools/boardsim/board_model.h"

using namespace analyzer;
using namespace boardsim;

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> Ask(BoardModel& m, uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0) {
  std::vector<Bytes> out;
  for (const Emission& e : m.OnFrame(BuildCommandFrame(cls, command, p1, p2), true)) out.push_back(e.bytes);
  return out;
}

Bytes Cmd(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0, uint8_t p3 = 0, uint8_t p4 = 0) {
  const uint8_t p[4] = {p1, p2, p3, p4};
  const CommandFrame f = BuildCommandFrame(cls, command, std::span<const uint8_t>(p, 4));
  return {f.begin(), f.end()};
}

}  // namespace

TEST(BoardModelTest, AnswersOfTheCatalogue) {
  struct Case {
    std::string name;
    uint8_t cls, command, p1, p2;
    std::vector<Bytes> replies;
  };
  const Case cases[] = {
      {"reset", 0xAA, 0xFF, 0, 0, {Cmd(0xAA, 0xFF, 0xFF)}},
      {"sample mode", 0xAA, 0x90, 0, 0, {Cmd(0xAA, 0x90, 0xFF)}},
      {"leave sample mode", 0xAA, 0x91, 0, 0, {Cmd(0xAA, 0x91, 0xFF)}},
      {"needle offset", 0xAA, 0xA3, 1, 5, {Cmd(0xAA, 0xA3, 0xFF)}},
      {"mechanics", 0xAA, 0x60, 0, 0, {Cmd(0xAA, 0x60, 0xFF)}},
      {"hardware parameter", 0xAA, 0x80, 7, 0, {Cmd(0xAA, 0x80, 0xFF)}},
      {"prime", 0xAA, 0x30, 0, 0, {Cmd(0xAA, 0x30, 0xFF)}},
      {"alarm mode", 0xAA, 0xA9, 1, 0, {Cmd(0xAA, 0xA9, 0xFF)}},
      {"power down", 0xAA, 0xA1, 1, 0, {Cmd(0xAA, 0xA1, 0xFF)}},
      {"reagent query", 0xAA, 0xAA, 0, 0,
       {Cmd(0xAA, 0xAA, 0xFF), Cmd(0xCC, 0x83, 0), Cmd(0xCC, 0x84, 0), Cmd(0xCC, 0x85, 0)}},
      {"temperature 25", 0xCC, 0x80, 0, 0, {Cmd(0xCC, 0x80, 0x01, 0x55)}},  // 341 = 25 degrees
      {"pressure", 0xCC, 0x81, 0, 0, {Cmd(0xCC, 0x81, 0x01, 0x2C)}},
      {"version", 0xCC, 0x82, 0, 0, {Cmd(0xCC, 0x82, 0, 0, 21)}},
      {"60V output on", 0xEF, 0x00, 1, 0, {Cmd(0xEF, 0x00, 1, 0xEF)}},
      {"motor move echoed", 0xEF, 0x03, 1, 12, {Cmd(0xEF, 0x03, 1, 12)}},
      {"liquid level", 0xEF, 0x07, 1, 3, {Cmd(0xEF, 0x07, 1, 3)}},
      {"checksum notice", 0xDD, 0x00, 0, 0, {}},
      {"unknown command", 0xAA, 0x08, 0, 0, {}},
  };
  for (const Case& c : cases) {
    BoardModel m;
    EXPECT_EQ(Ask(m, c.cls, c.command, c.p1, c.p2), c.replies) << c.name;
  }
}

TEST(BoardModelTest, CountCycleAndEndOfCount) {
  BoardModel m;
  EXPECT_EQ(Ask(m, 0xAA, 0x01, 50, 10), std::vector<Bytes>{Cmd(0xAA, 0x01, 0xFF)});
  const auto header = Ask(m, 0xBB, 0x04);
  ASSERT_EQ(header.size(), 1u);
  EXPECT_TRUE(RunHeaderValid(header[0]));
  const RunHeader h = ParseRunHeader(header[0]);
  EXPECT_NEAR(h.hgbBlank, 3400, 20);
  EXPECT_LT(h.hgbSample, h.hgbBlank);
  for (uint8_t ch = 1; ch <= 3; ++ch) {
    const auto hist = Ask(m, 0xBB, ch);
    ASSERT_EQ(hist.size(), 1u);
    EXPECT_TRUE(HistogramFrameValid(hist[0])) << int(ch);
    EXPECT_EQ(hist[0][4], ch);
  }
  EXPECT_EQ(Ask(m, 0xAA, 0x00), std::vector<Bytes>{Cmd(0xAA, 0x00, 0xFF)});
  EXPECT_EQ(m.countNumber(), 2);
  EXPECT_EQ(Ask(m, 0xAA, 0x00), std::vector<Bytes>{Cmd(0xAA, 0x00, 0xFF)});
  m.SetApertureTenths(31);
  // Three counts: the aperture time of each in bytes 4, 5 and 6.
  EXPECT_EQ(Ask(m, 0xAA, 0x11), std::vector<Bytes>{Cmd(0xAA, 0x11, 0xFF, 31, 31, 31)});
  // Two counts: byte 6 stays 0.
  Ask(m, 0xAA, 0x03, 50, 10);
  Ask(m, 0xAA, 0x00);
  EXPECT_EQ(Ask(m, 0xAA, 0x11), std::vector<Bytes>{Cmd(0xAA, 0x11, 0xFF, 31, 31, 0)});
}

TEST(BoardModelTest, BlankCountGivesBlankData) {
  BoardModel m;
  m.SetProfile(Profile::Leukocytosis);
  for (uint8_t start : {uint8_t{0x04}, uint8_t{0x00}}) {  // the blank count and its second pass
    EXPECT_EQ(Ask(m, 0xAA, start, 50, 10), std::vector<Bytes>{Cmd(0xAA, start, 0xFF)});
    const std::vector<uint16_t> wbc = ParseHistogramBins(Ask(m, 0xBB, 0x01)[0]);
    unsigned total = 0;
    for (uint16_t v : wbc) total += v;
    EXPECT_LT(total, 60u) << int(start);
    const RunHeader h = ParseRunHeader(Ask(m, 0xBB, 0x04)[0]);
    EXPECT_EQ(h.hgbBlank, h.hgbSample);  // no haemoglobin in a blank
  }
  // A sample count afterwards uses the chosen profile again.
  Ask(m, 0xAA, 0x01, 50, 10);
  unsigned total = 0;
  for (uint16_t v : ParseHistogramBins(Ask(m, 0xBB, 0x01)[0])) total += v;
  EXPECT_GT(total, 5000u);
}

TEST(BoardModelTest, InjectedFaults) {
  {  // a corrupted histogram; the resend request brings the intact frame
    BoardModel m;
    m.CorruptNext(Target::Wbc);
    Ask(m, 0xAA, 0x01, 50, 10);
    const auto bad = Ask(m, 0xBB, 0x01);
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_FALSE(HistogramFrameValid(bad[0]));
    const auto again = Ask(m, 0x5A, 0x01);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_TRUE(HistogramFrameValid(again[0]));
    Bytes fixed = bad[0];
    fixed[fixed.size() - 2] ^= 0x5A;
    EXPECT_EQ(fixed, again[0]);  // only the check byte was damaged
  }
  {  // eleven damaged acknowledgements in a row
    BoardModel m;
    m.CorruptNext(Target::Ack, 11);
    auto r = Ask(m, 0xAA, 0x01, 50, 10);
    for (int i = 0; i < 10; ++i) {
      ASSERT_EQ(r.size(), 1u);
      EXPECT_FALSE(CommandFrameValid(r[0]));
      r = Ask(m, 0x5A, 0x01);
    }
    EXPECT_FALSE(CommandFrameValid(r[0]));
    EXPECT_TRUE(CommandFrameValid(Ask(m, 0x5A, 0x01)[0]));
  }
  {  // a dropped run header, then sent on request
    BoardModel m;
    m.DropNext(Target::RunHeader);
    Ask(m, 0xAA, 0x01, 50, 10);
    EXPECT_TRUE(Ask(m, 0xBB, 0x04).empty());
    const auto again = Ask(m, 0x5A, 0x01);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_TRUE(RunHeaderValid(again[0]));
  }
  {  // a WBC histogram with one byte sent twice, then sent whole on request
    BoardModel m;
    m.DoubleByteNext(Target::Wbc);
    Ask(m, 0xAA, 0x01, 50, 10);
    Ask(m, 0xBB, 0x04);
    const auto longer = Ask(m, 0xBB, 0x01);
    ASSERT_EQ(longer.size(), 1u);
    ASSERT_EQ(longer[0].size(), 523u);  // announced 522
    // The byte at the middle comes twice; without the second copy the frame is valid.
    EXPECT_EQ(longer[0][261], longer[0][262]);
    Bytes repaired = longer[0];
    repaired.erase(repaired.begin() + 262);
    EXPECT_TRUE(HistogramFrameValid(repaired));
    const auto again = Ask(m, 0x5A, 0x01);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0], repaired);
    // The RBC histogram after it is not touched.
    EXPECT_EQ(Ask(m, 0xBB, 0x02)[0].size(), 522u);
  }
  {  // silence
    BoardModel m;
    m.SetSilent(true);
    EXPECT_TRUE(Ask(m, 0xAA, 0xFF).empty());
    EXPECT_TRUE(m.PressCountKey().empty());
    m.SetSilent(false);
    EXPECT_EQ(Ask(m, 0xAA, 0xFF).size(), 1u);
  }
  {  // a count refused with a fault code, and a refused prime
    BoardModel m;
    m.FailNextCount(4);
    EXPECT_EQ(Ask(m, 0xAA, 0x02, 50, 10), std::vector<Bytes>{Cmd(0xDD, 0x02, 4)});
    EXPECT_EQ(Ask(m, 0xAA, 0x02, 50, 10), std::vector<Bytes>{Cmd(0xAA, 0x02, 0xFF)});
    m.RefuseNext(0x30, 0xFF, 2);
    EXPECT_EQ(Ask(m, 0xAA, 0x30), std::vector<Bytes>{Cmd(0xDD, 0x30, 0xFF)});
    EXPECT_EQ(Ask(m, 0xAA, 0x30), std::vector<Bytes>{Cmd(0xDD, 0x30, 0xFF)});
    EXPECT_EQ(Ask(m, 0xAA, 0x30), std::vector<Bytes>{Cmd(0xAA, 0x30, 0xFF)});
    m.RefuseNext(0x60, 0x01);
    EXPECT_EQ(Ask(m, 0xAA, 0x60), std::vector<Bytes>{Cmd(0xDD, 0x60, 0x01)});
  }
  {  // acknowledgements with another status than done; the command then changes nothing
    BoardModel m;
    m.AnswerNext(0x05, 0x01);
    m.AnswerNext(0xA9, 0x00, 2);
    EXPECT_EQ(Ask(m, 0xAA, 0x05), std::vector<Bytes>{Cmd(0xAA, 0x05, 0x01)});
    EXPECT_EQ(Ask(m, 0xAA, 0x05), std::vector<Bytes>{Cmd(0xAA, 0x05, 0xFF)});
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Ask(m, 0xAA, 0xA9, 1), std::vector<Bytes>{Cmd(0xAA, 0xA9, 0x00)});
    EXPECT_EQ(m.alarmMode(), 0);
    EXPECT_EQ(Ask(m, 0xAA, 0xA9, 1), std::vector<Bytes>{Cmd(0xAA, 0xA9, 0xFF)});
    EXPECT_EQ(m.alarmMode(), 1);
    m.AnswerNext(0xA1, 0x00);
    Ask(m, 0xAA, 0xA1);
    EXPECT_FALSE(m.poweredDown());
  }
  {  // reports the board makes on its own
    BoardModel m;
    EXPECT_EQ(m.PressCountKey()[0].bytes, Cmd(0xCC, 0xFF));
    EXPECT_EQ(m.CouplerFault(3)[0].bytes, Cmd(0xDD, 0xA8, 3));
    EXPECT_EQ(m.SetBottleEmpty(Reagent::Cleanser, true)[0].bytes, Cmd(0xCC, 0x84, 1));
    const auto q = Ask(m, 0xAA, 0xAA);
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[2], Cmd(0xCC, 0x84, 1));
    m.SetTemperature(45.0);
    const auto t = Ask(m, 0xCC, 0x80);
    EXPECT_GT((t[0][3] * 256 + t[0][4]) / 4095.0 * 300.0, 40.0);
  }
  {  // a damaged frame from the PC is not answered
    BoardModel m;
    EXPECT_TRUE(m.OnFrame(BuildCommandFrame(0xAA, 0xFF), false).empty());
  }
}
