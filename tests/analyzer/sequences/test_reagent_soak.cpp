// Priming bookings and refusals, bottle volume checks and stores, and the soak reminder dates
// on the test clock.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/bottle_volumes.h"
#include "analyzer/sequences/prime_operation.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/soak_reminder.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "fixture.h"
#include "platform/sys/clock.h"
#include "tools/boardsim/board_model.h"

using namespace analyzer;

namespace {

struct PrimeRecorder : PrimeHost {
  void Send(const CommandFrame& f) override { sent.push_back(f); }
  void SetStatus(const std::string& t) override { status = t; }
  void Message(const std::string& t, BoxIcon) override { messages.push_back(t); }
  std::vector<CommandFrame> sent;
  std::string status;
  std::vector<std::string> messages;
};

class PrimeTest : public ::testing::Test {
 protected:
  void Feed(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) op.OnSerialByte(b, 4);
  }
  void AnswerAll() {
    while (answered < host.sent.size())
      for (const auto& e : model.OnFrame(host.sent[answered++], true)) Feed(e.bytes);
  }
  SequenceFolder folder;
  PrimeRecorder host;
  PrimeOperation op{host, true};
  boardsim::BoardModel model;
  size_t answered = 0;
};

TEST_F(PrimeTest, EachPrimeIsBookedOnItsAcknowledgement) {
  struct Case {
    PrimeChoice choice;
    uint8_t command;
    float diluent, lyse, cleanser;  // used
  } cases[] = {
      {PrimeChoice::All, 0x30, 24.74f, 10.12f, 6.14f},
      {PrimeChoice::Diluent, 0x31, 24.74f, 0, 0},
      {PrimeChoice::Lyse, 0x32, 5.83f, 10.12f, 0},
      {PrimeChoice::Cleanser, 0x33, 0, 0, 6.14f},
  };
  for (const Case& c : cases) {
    const ReagentVolumes before = Reagents().volumes();
    ASSERT_TRUE(op.Press(c.choice));
    EXPECT_EQ(host.sent.back()[2], c.command);
    EXPECT_FALSE(op.TryExit());
    EXPECT_EQ(host.messages.back(), "Operation not finished!");
    EXPECT_FALSE(op.Press(PrimeChoice::All));  // a second press while outstanding does nothing
    AnswerAll();
    EXPECT_TRUE(op.idle());
    EXPECT_EQ(host.status, "Operation finished!");
    const ReagentVolumes& v = Reagents().volumes();
    EXPECT_NEAR(before.DiluentVol - v.DiluentVol, c.diluent, 1e-3);
    EXPECT_NEAR(before.LyseVol - v.LyseVol, c.lyse, 1e-3);
    EXPECT_NEAR(before.CleanerVol - v.CleanerVol, c.cleanser, 1e-3);
  }
}

TEST_F(PrimeTest, ShortageRefusesBeforeSendingInVolumeModeOnly) {
  Reagents().volumes().DiluentVol = 30.0f;
  EXPECT_FALSE(op.Press(PrimeChoice::Diluent));
  EXPECT_FALSE(op.Press(PrimeChoice::All));
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(host.messages.back(), "Diluent not enough");
  EXPECT_TRUE(op.Press(PrimeChoice::Cleanser));
  AnswerAll();
  Reagents().volumes().ReagentAlarmType = 1;
  EXPECT_TRUE(op.Press(PrimeChoice::Diluent));
}

TEST_F(PrimeTest, OnlyTheOutstandingAcknowledgementEndsIt) {
  ASSERT_TRUE(op.Press(PrimeChoice::Lyse));
  Feed(Frame(FrameClassStatus, status::LyseSensor, 0));  // a sensor report
  EXPECT_FALSE(op.idle());
  Feed(Frame(FrameClassCommand, cmd::CleanChambers, kReplyDone));  // another command's acknowledgement
  EXPECT_FALSE(op.idle());
  Feed(Frame(FrameClassCommand, cmd::PrimeLyse, kReplyDone, 0, true));  // damaged
  EXPECT_FALSE(op.idle());
  EXPECT_EQ(host.messages.back(), "Checksum error");
  EXPECT_NE(host.status, "Operation finished!");
  EXPECT_EQ(host.sent.back()[1], FrameClassFault);  // DD 00 asks the board again
  Feed(Frame(FrameClassCommand, cmd::PrimeLyse, kReplyDone));
  EXPECT_TRUE(op.idle());
  EXPECT_EQ(host.status, "Operation finished!");
}

TEST_F(PrimeTest, RefusalsAreResentAFewTimesOnly) {
  model.RefuseNext(cmd::PrimeAll, kReplyDone, 100);
  ASSERT_TRUE(op.Press(PrimeChoice::All));
  AnswerAll();
  EXPECT_EQ(host.sent.size(), 1u + PrimeOperation::kMaxResends);
  EXPECT_TRUE(op.idle());
  EXPECT_EQ(host.messages.back(), "The analyzer refused the operation, please check the instrument!");
  const ReagentVolumes& v = Reagents().volumes();
  EXPECT_FLOAT_EQ(v.DiluentVol, 10000.0f);  // nothing was primed
}

TEST_F(PrimeTest, SilentBoardOrClosedPortLetsTheScreenBeLeft) {
  ASSERT_TRUE(op.Press(PrimeChoice::Diluent));
  sys::Clock::Advance(PrimeOperation::kReplyTimeoutMs);
  op.Poll(sys::Clock::TickMs());
  EXPECT_TRUE(op.TryExit());
  PrimeOperation closed(host, false);
  host.sent.clear();
  EXPECT_FALSE(closed.Press(PrimeChoice::Diluent));
  EXPECT_TRUE(host.sent.empty());
  EXPECT_TRUE(closed.TryExit());
}

// ---- Bottle volumes ------------------------------------------------------------------------

TEST(BottleVolumes, Validation) {
  struct Case {
    const char* d;
    const char* l;
    const char* c;
    int selector;
    BottleCheck result;
  } cases[] = {
      {"10", "1", "1", 0, BottleCheck::Ok},
      {"100", "0.5", "1.25", 0, BottleCheck::Ok},
      {"0", "1", "1", 0, BottleCheck::OutOfRange},
      {"100.01", "1", "1", 1, BottleCheck::OutOfRange},
      {"10", "500", "1", 1, BottleCheck::Ok},  // a disabled field out of range does not block
      {"10", "abc", "1", 1, BottleCheck::NotNumeric},  // a non-number does
      {"1,5", "1", "1", 1, BottleCheck::NotNumeric},
      {"1.5.2", "1", "1", 1, BottleCheck::NotNumeric},
      {"-5", "1", "1", 1, BottleCheck::OutOfRange},  // a number, below the range
      {"-0.5", "1", "1", 0, BottleCheck::OutOfRange},
      {"10", "-5", "1", 1, BottleCheck::Ok},  // a negative number in a disabled field
      {"-", "1", "1", 1, BottleCheck::NotNumeric},
      {"--5", "1", "1", 1, BottleCheck::NotNumeric},
      {"5-", "1", "1", 1, BottleCheck::NotNumeric},
      {"", "1", "1", 1, BottleCheck::NotNumeric},
      {" 2.5 ", "1", "1", 1, BottleCheck::Ok},
      {"10", "1", "0", 3, BottleCheck::OutOfRange},
  };
  for (const Case& c : cases) {
    const std::string texts[3] = {c.d, c.l, c.c};
    float litres[3];
    EXPECT_EQ(CheckBottleVolumes(texts, c.selector, litres), c.result) << c.d << " " << c.l << " " << c.c;
  }
}

TEST(BottleVolumes, StoringSetsOnlyTheChosenReagentAndFailureChangesNothing) {
  SequenceFolder folder;
  CADOConn conn;
  const float litres[3] = {10.0f, 2.0f, 3.0f};
  ASSERT_TRUE(StoreBottleVolumes(conn, 1, litres));
  EXPECT_FLOAT_EQ(Reagents().volumes().DiluentVol, 10000.0f);
  EXPECT_FLOAT_EQ(Reagents().volumes().LyseVol, 1000.0f);
  EXPECT_EQ(RawScalar("select NewDiluentVol||','||DiluentVol||','||DiluentReplDate from SysSetting"),
            "10.0,10000.0,2026-3-5");
  ASSERT_TRUE(StoreBottleVolumes(conn, 0, litres));
  EXPECT_EQ(RawScalar("select LyseReplDate||','||CleanerReplDate||','||CleanerVol from SysSetting"),
            "2026-3-5,2026-3-5,3000.0");
  const float cleanser[3] = {7.0f, 7.0f, 4.0f};  // only the cleanser's columns change
  ASSERT_TRUE(StoreBottleVolumes(conn, 3, cleanser));
  EXPECT_EQ(RawScalar("select NewCleanerVol||','||CleanerVol||','||NewLyseVol||','||LyseVol||','||NewDiluentVol "
                      "from SysSetting"),
            "4.0,4000.0,2.0,2000.0,10.0");
  // A store that fails keeps the volumes in memory.
  RawExec("create trigger noupdate before update on SysSetting begin select raise(abort, 'locked'); end");
  const float other[3] = {5.0f, 5.0f, 5.0f};
  EXPECT_FALSE(StoreBottleVolumes(conn, 2, other));
  EXPECT_FLOAT_EQ(Reagents().volumes().LyseVol, 2000.0f);
}

// ---- Soak reminder -------------------------------------------------------------------------

class SoakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSoakReminderPresenter([this](const std::string& t) { shown.push_back(t); });
  }
  void TearDown() override { SetSoakReminderPresenter(nullptr); }
  SequenceFolder folder;
  std::vector<std::string> shown;
};

TEST_F(SoakTest, DayCheckOnTheTestClock) {
  // The folder's clock stands at 2026-03-05 09:30:00.
  Soak.DeviceTestTimes = 5;
  struct Case {
    const char* start;
    int days;
    int expected;
  } cases[] = {
      {"2026-2-26 9:30:0", 7, 1},     // exactly 7 days
      {"2026-2-26 9:30:1", 7, 0},     // one second short: 6 days
      {"2026-3-5 9:30:0", 0, 1},
      {"2026-3-6 9:30:0", 0, 0},      // a start date in the future
      {"garbage", 0, 0},              // unreadable: not reached
      {"2026-2-31 9:30:0", 1, 0},     // no such day
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    shown.clear();
    EXPECT_EQ(CheckSoakReminder(c.start, c.days), c.expected) << c.start;
    EXPECT_EQ(shown.size(), static_cast<size_t>(c.expected)) << c.start;
  }
}

TEST_F(SoakTest, HalfSecondRoundsUp) {
  sys::LocalTime start{2026, 1, 1, 0, 0, 0, 0, 4};
  sys::LocalTime now{2026, 1, 7, 23, 59, 59, 600, 3};
  EXPECT_EQ(ElapsedSoakDays(start, now), 7);
  now.millisecond = 400;
  EXPECT_EQ(ElapsedSoakDays(start, now), 6);
}

TEST_F(SoakTest, LimitsCountAndUsers) {
  Soak.SetSoakTimes = 200;
  Soak.SetSoakDays = 7;
  Soak.SoakDaysStartDate = "2026-3-5 9:0:0";
  Soak.DeviceTestTimes = 199;
  EXPECT_FALSE(CheckSoakAfterSample());
  EXPECT_EQ(CountSoakSample(), "update SysSetting set DeviceTestTimes = 200");
  EXPECT_TRUE(CheckSoakAfterSample());
  EXPECT_TRUE(CheckSoakAfterSample());  // shown after every sample until a soak
  AppSettings.UserLevel = 3;
  EXPECT_FALSE(CheckSoakAfterSample());  // never for a Factory user
  AppSettings.UserLevel = 0;
  Soak.DeviceTestTimes = 0;
  Soak.SoakDaysStartDate = "2000-1-1 0:0:0";
  EXPECT_FALSE(CheckSoakAfterSample());  // nothing counted since the soak
  Soak.IsOpenSoakTips = 0;
  Soak.DeviceTestTimes = 500;
  EXPECT_EQ(CountSoakSample(), "");
  EXPECT_FALSE(CheckSoakAfterSample());
  EXPECT_EQ(Soak.DeviceTestTimes, 500u);
}

}  // namespace

// Each prime answered once, twice, with another prime's acknowledgement or not at all: it is
// booked once, ends only on its own acknowledgement, and an unanswered prime times out.
TEST_F(PrimeTest, OnlyTheAnswerToThePrimeSentEndsItAndBooksIt) {
  struct Case {
    PrimeChoice choice;
    long dil, lyse, cle;  // hundredths of a mL used
  } cases[] = {
      {PrimeChoice::All, 2474, 1012, 614},
      {PrimeChoice::Diluent, 2474, 0, 0},
      {PrimeChoice::Lyse, 583, 1012, 0},
      {PrimeChoice::Cleanser, 0, 0, 614},
  };
  enum Answer { Once, Twice, Other, None };
  for (const Case& c : cases) {
    for (Answer answer : {Once, Twice, Other, None}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(c.choice)) + " answer " + std::to_string(answer));
      ResetProcessValues();
      PrimeRecorder h;
      PrimeOperation p(h, true);
      ASSERT_TRUE(p.Press(c.choice));
      const uint8_t command = h.sent.back()[2];
      const uint8_t other = command == cmd::PrimeAll ? cmd::PrimeDiluent : cmd::PrimeAll;
      std::vector<std::vector<uint8_t>> replies;
      if (answer == Once || answer == Twice) replies.push_back(Frame(FrameClassCommand, command, kReplyDone));
      if (answer == Twice) replies.push_back(Frame(FrameClassCommand, command, kReplyDone));
      if (answer == Other) replies.push_back(Frame(FrameClassCommand, other, kReplyDone));
      for (const auto& r : replies)
        for (uint8_t b : r) p.OnSerialByte(b, 4);
      const bool answered = answer == Once || answer == Twice;
      EXPECT_EQ(p.idle(), answered);
      const ReagentVolumes& v = Reagents().volumes();
      EXPECT_EQ(std::lround(v.DiluentVol * 100.0), 1000000 - (answered ? c.dil : 0));
      EXPECT_EQ(std::lround(v.LyseVol * 100.0), 100000 - (answered ? c.lyse : 0));
      EXPECT_EQ(std::lround(v.CleanerVol * 100.0), 100000 - (answered ? c.cle : 0));
      if (!answered) {
        sys::Clock::Advance(PrimeOperation::kReplyTimeoutMs);
        p.Poll(sys::Clock::TickMs());
        EXPECT_TRUE(p.idle());
        EXPECT_EQ(h.messages.back(), "No reply from the analyzer");
        EXPECT_EQ(std::lround(Reagents().volumes().DiluentVol * 100.0), 1000000);
      }
      EXPECT_EQ(h.sent.size(), 1u);
    }
  }
}
