// What the test screen does with a fault, a reply or a temperature, decided without a window.
#include <gtest/gtest.h>

#include "measurement/screen/board_reports.h"

using namespace measurement;

namespace {

const sys::LocalTime kNow{2026, 3, 7, 9, 5, 2, 0, 6};

TEST(BoardReportRules, Faults) {
  struct Case {
    uint8_t command, code;
    int language;
    const char* warning;
    const char* box;
    bool enableButtons;
    const char* resetWithLog;
    bool alarm;
    const char* sysLogSql;
    bool timeout;
  } cases[] = {
      // Step faults only say so in the message line.
      {0x60, 0, 1, "Needle missing steps", "", false, "", false, "", false},
      {0x60, 1, 1, "Needle excessive steps", "", false, "", false, "", false},
      // Carriage, syringe and needle faults give up the count and reset the board.
      {0x61, 0, 1, "", "Carriage detection error!", false, "Carriage detection error", false, "", false},
      {0x63, 0, 1, "", "Pressure syringe abnormal!", false, "Pressure syringe abnormal", false, "", false},
      {0x90, 0, 1, "", nullptr, true, "Needle malfunction", false, "", false},
      {0x91, 0, 1, "", nullptr, false, "Needle malfunction", false, "", false},
      // A fault code: a red line, a box, a row of the system log, and the count ends.
      {0x70, 3, 1, "", nullptr, false, "", true,
       "insert into SysLog values('2026-03-07','09:05:02','TYPE:03 ','Carriage abnormal')", true},
      {0x70, 1, 1, "", "The optical coupler of pressure syringe error!", false, "", true,
       "insert into SysLog values('2026-03-07','09:05:02','TYPE:01 ','The optical coupler of pressure syringe error')",
       true},
      // Any other fault ends the count without a word.
      {0x70, 0, 1, "", "", false, "", false, "", true},
      {0x70, 6, 1, "", "", false, "", false, "", true},
  };
  for (const Case& c : cases) {
    const FaultAction a = DecideFault(c.command, c.code, c.language, kNow);
    SCOPED_TRACE(testing::Message() << std::hex << int(c.command) << " " << int(c.code));
    EXPECT_EQ(a.warning, c.warning);
    if (c.box) {
      EXPECT_EQ(a.box, c.box);
    } else {
      EXPECT_FALSE(a.box.empty());
    }
    EXPECT_EQ(a.enableButtons, c.enableButtons);
    EXPECT_EQ(a.resetWithLog, c.resetWithLog);
    EXPECT_EQ(a.alarm, c.alarm);
    EXPECT_EQ(a.sysLogSql, c.sysLogSql);
    EXPECT_EQ(a.faultTimeout, c.timeout);
    EXPECT_FALSE(a.logLines) << "only the Chinese texts go to the log";
  }
  EXPECT_TRUE(DecideFault(0x61, 0, 0, kNow).logLines);
}

TEST(BoardReportRules, Replies) {
  struct Case {
    uint8_t command, status;
    bool exitPending, sensorMode;
    ReplyAction action;
  } cases[] = {
      {0x90, 0xFF, false, false, ReplyAction::SampleModeEntered},
      {0x40, 0xFF, false, false, ReplyAction::RinseDone},
      {0x54, 0xFF, true, true, ReplyAction::Woken},
      {0x40, 0x00, false, false, ReplyAction::None},  // not done yet
      {0x0C, 0xFF, false, false, ReplyAction::None},  // a reply the screen does not act on
      {0xFF, 0x00, true, false, ReplyAction::ResetExit},  // a reset counts whatever its status
      {0xFF, 0xFF, false, true, ReplyAction::ResetQueryReagents},
      {0xFF, 0xFF, false, false, ReplyAction::ResetDone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecideReply(c.command, c.status, c.exitPending, c.sensorMode), c.action) << int(c.command);
}

TEST(BoardReportRules, TemperatureWarningsOutside10To40Degrees) {
  EXPECT_EQ(TemperatureWarning(9.9, 1), "Temperature low");
  EXPECT_EQ(TemperatureWarning(10.0, 1), "");
  EXPECT_EQ(TemperatureWarning(40.0, 1), "");
  EXPECT_EQ(TemperatureWarning(40.1, 1), "Temperature high");
  EXPECT_EQ(TemperatureWarning(45.0, 0), "温度偏高");
}

TEST(BoardReportRules, AutoRinseIsAskedThreeTimesThenRunsWithoutAsking) {
  using Step = AutoRinseRule::Step;
  AutoRinseRule rule;
  EXPECT_EQ(rule.Next(0, 500), Step::None) << "no limit set";
  EXPECT_EQ(rule.Next(60, 59), Step::None);
  EXPECT_EQ(rule.Next(60, 60), Step::Ask);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rule.Next(60, 61 + i), Step::Ask) << i;
    rule.Declined();
  }
  EXPECT_EQ(rule.Next(60, 64), Step::Start) << "after three declines";
  rule.Started();
  EXPECT_EQ(rule.Next(60, 60), Step::Ask) << "a rinse that ran starts the count of declines again";
}

}  // namespace
