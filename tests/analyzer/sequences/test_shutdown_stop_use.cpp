// The shutdown and stop-use sequences through the board model, with the manual clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/shutdown_sequence.h"
#include "analyzer/sequences/startup_store.h"
#include "analyzer/sequences/stop_use_sequence.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "fixture.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"
#include "tools/boardsim/board_model.h"

using namespace analyzer;

namespace {

struct ShutdownRecorder : ShutdownHost {
  void Send(const CommandFrame& f) override { sent.push_back(f); }
  void ShowStatus(const std::string& t) override { statuses.push_back(t); }
  void SetProgress(int p) override { progress.push_back(p); }
  void Message(const std::string& t, BoxIcon) override { messages.push_back(t); }
  void Close() override { ++closes; }
  std::vector<CommandFrame> sent;
  std::vector<std::string> statuses, messages;
  std::vector<int> progress;
  int closes = 0;
};

template <class Sequence>
void Answer(boardsim::BoardModel& model, const std::vector<CommandFrame>& sent, size_t& answered, Sequence& seq) {
  while (answered < sent.size()) {
    const CommandFrame f = sent[answered++];
    for (const auto& e : model.OnFrame(f, true))
      for (uint8_t b : e.bytes) seq.OnSerialByte(b, 4);
  }
}

std::string ShutdownResult() {
  return RawScalar("select Result from SysLog where Event='Shut Down' order by rowid desc limit 1");
}

class ShutdownTest : public ::testing::Test {
 protected:
  SequenceFolder folder;
  CADOConn conn;
  ShutdownRecorder host;
  boardsim::BoardModel model;
  size_t answered = 0;
};

TEST_F(ShutdownTest, BoardConfirmsPowerDown) {
  for (int lang : {0, 1}) {
    ResetProcessValues();
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    RawExec("delete from SysLog");
    RawExec("update Statistic set TotalTime = 100");
    SampleCounters.RunningMinutes = 25;
    ShutdownRecorder h;
    ShutdownSequence seq(h, &conn);
    seq.Begin();
    // Volumes and running time are saved before any reply.
    EXPECT_EQ(RawCount("select TotalTime from Statistic"), 125);
    EXPECT_NEAR(std::stod(RawScalar("select CleanerVol from SysSetting")), 1000.0 - 12.65, 0.01);
    // The Shut Down row is stored at once too; the board's confirmation leaves it as it is.
    EXPECT_EQ(RawScalar("select Result from SysLog where Event in ('Shut Down','关机')"), lang == 0 ? "正常" : "OK");
    size_t n = 0;
    boardsim::BoardModel m;
    Answer(m, h.sent, n, seq);
    ASSERT_EQ(h.sent.size(), 2u);
    EXPECT_EQ(h.sent[1][2], cmd::PowerDown);
    EXPECT_EQ(h.sent[1][3], lang == 0 ? 1 : 0);
    EXPECT_TRUE(m.poweredDown());
    EXPECT_EQ(h.closes, 1);
    EXPECT_EQ(h.progress.back(), 21);
    EXPECT_EQ(RawScalar("select Result from SysLog where Event in ('Shut Down','关机')"), lang == 0 ? "正常" : "OK");
    // The last step's timer does not close it a second time.
    sys::Clock::Advance(30 * 13000);
    seq.Poll(sys::Clock::TickMs());
    EXPECT_EQ(h.closes, 1);
  }
}

TEST_F(ShutdownTest, SilentBoardClosesAfterTheLastStepWithNoReplyRecorded) {
  ShutdownSequence seq(host, &conn);
  seq.Begin();
  for (int i = 0; i < 21; ++i) {
    sys::Clock::Advance(ShutdownSequence::StepPeriodMs(1));
    seq.Poll(sys::Clock::TickMs());
  }
  EXPECT_EQ(host.closes, 0);
  EXPECT_EQ(seq.step(), 22);
  sys::Clock::Advance(ShutdownSequence::StepPeriodMs(1));
  seq.Poll(sys::Clock::TickMs());
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(ShutdownResult(), "No reply from the analyzer");
  EXPECT_EQ(host.progress.back(), 23);
}

TEST_F(ShutdownTest, NeedleFaultIsLoggedAndBecomesTheOutcome) {
  model.RefuseNext(cmd::LeaveSampleMode, 0);
  ShutdownSequence seq(host, &conn);
  seq.Begin();
  Answer(model, host.sent, answered, seq);
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Sample test'"), "Needle malfunction");
  for (int i = 0; i < 22; ++i) {
    sys::Clock::Advance(ShutdownSequence::StepPeriodMs(1));
    seq.Poll(sys::Clock::TickMs());
  }
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(ShutdownResult(), "Needle malfunction");
}

TEST_F(ShutdownTest, DamagedConfirmationWarnsAndStillCloses) {
  ShutdownSequence seq(host, &conn);
  seq.Begin();
  for (uint8_t b : Frame(FrameClassCommand, cmd::LeaveSampleMode, kReplyDone)) seq.OnSerialByte(b, 4);
  for (uint8_t b : Frame(FrameClassCommand, cmd::PowerDown, kReplyDone, 0, true)) seq.OnSerialByte(b, 4);
  EXPECT_EQ(host.closes, 1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "Front end command check error!");
  EXPECT_EQ(ShutdownResult(), "Front end command check error!");
}

TEST_F(ShutdownTest, DamagedLeaveReplyIsStillAnsweredWithPowerDown) {
  // The board has left its working state even when the check byte of its answer was hit: the
  // power-down still follows.
  ShutdownSequence seq(host, &conn);
  seq.Begin();
  for (uint8_t b : Frame(FrameClassCommand, cmd::LeaveSampleMode, kReplyDone, 0, true)) seq.OnSerialByte(b, 4);
  ASSERT_EQ(host.sent.size(), 2u);
  EXPECT_EQ(host.sent[1][1], FrameClassCommand);
  EXPECT_EQ(host.sent[1][2], cmd::PowerDown);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.closes, 0);  // the power-down confirmation ends it
}

TEST_F(ShutdownTest, JunkNeverOverrunsTheFrameBufferAndOtherPortsAreRefused) {
  ShutdownSequence seq(host, &conn);
  seq.Begin();
  EXPECT_EQ(seq.OnSerialByte(0x7E, 5), -1);
  for (int i = 0; i < 10000; ++i) seq.OnSerialByte(static_cast<uint8_t>(i * 7), 4);
  for (uint8_t b : Frame(FrameClassCommand, cmd::LeaveSampleMode, kReplyDone)) seq.OnSerialByte(b, 4);
  EXPECT_EQ(host.sent.back()[2], cmd::PowerDown);
}

TEST_F(ShutdownTest, StatusDotsCycleAndCarryOver) {
  ShutdownDotsCount = 5;
  ShutdownSequence seq(host, &conn);
  seq.Begin();
  for (int i = 0; i < 3; ++i) {
    sys::Clock::Advance(1000);
    seq.Poll(sys::Clock::TickMs());
  }
  ASSERT_GE(host.statuses.size(), 4u);
  EXPECT_EQ(host.statuses[1], "Performing the shut-down procedure.....");
  EXPECT_EQ(host.statuses[2], "Performing the shut-down procedure......");
  EXPECT_EQ(host.statuses[3], "Performing the shut-down procedure.");
  EXPECT_EQ(ShutdownDotsCount, 2);
}

TEST_F(ShutdownTest, SystemLogLosesOneRowAtShutdown) {
  std::string sql = "insert into SysLog values";
  for (int i = 0; i < 1200; ++i) sql += std::string(i ? "," : "") + "('2025-01-01','10:00:00','Logon','x')";
  RawExec(sql);
  ShutdownSequence seq(host, &conn);
  seq.Begin();
  Answer(model, host.sent, answered, seq);
  EXPECT_EQ(RawCount("select count(*) from SysLog"), 1200);
}

// ---- Stop use ------------------------------------------------------------------------------

struct StopRecorder : StopUseHost {
  void Send(const CommandFrame& f) override { sent.push_back(f); }
  void SetPrompt(const std::string& t) override { prompt = t; }
  void EnableOk(bool e) override { ok = e; }
  void EnableCancel(bool e) override { cancel = e; }
  void Message(const std::string& t, BoxIcon) override { messages.push_back(t); }
  void ShutdownPc() override { ++shutdowns; }
  void Close() override { ++closes; }
  std::vector<CommandFrame> sent;
  std::vector<std::string> messages;
  std::string prompt;
  bool ok = false, cancel = false;
  int shutdowns = 0, closes = 0;
};

class StopUseTest : public ::testing::Test {
 protected:
  SequenceFolder folder;
  CADOConn conn;
  StopRecorder host;
  boardsim::BoardModel model;
  size_t answered = 0;
};

TEST_F(StopUseTest, ThreeStepsThenSavesAndSwitchesOff) {
  RawExec("update SysSetting set AutoCleanTime=200");
  RawExec("update Statistic set TotalTime = 10");
  Soak.DeviceTestTimes = 37;
  Soak.SetSoakTimes = 200;
  Soak.TestsSinceAutoClean = 9;
  SampleCounters.RunningMinutes = 5;
  StopUseSequence seq(host, &conn, true);
  seq.Begin();
  EXPECT_EQ(seq.autoCleanTime(), 200);
  EXPECT_EQ(host.prompt, "Please take out the tubes from diluent,cleanser and lyse container,then click OK");
  for (int step = 0; step < 3; ++step) {
    seq.OnOk();
    EXPECT_FALSE(host.ok);
    EXPECT_FALSE(host.cancel);
    seq.OnCancel();  // refused while the board works
    EXPECT_EQ(host.closes, 0);
    if (step == 2) {
      EXPECT_EQ(RawScalar("select SoakDaysStartDate from SysSetting"), "2026-3-5 9:30:0");
      EXPECT_EQ(RawCount("select DeviceTestTimes from SysSetting"), 37);
      EXPECT_EQ(Soak.TestsSinceAutoClean, 0);
    }
    Answer(model, host.sent, answered, seq);
    EXPECT_EQ(seq.step(), step + 1);
    EXPECT_FALSE(host.cancel);  // Cancel stays off once the procedure has begun
  }
  EXPECT_EQ(host.sent.size(), 3u);
  EXPECT_EQ(host.shutdowns, 1);
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(RawCount("select TotalTime from Statistic"), 15);
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Shut Down'"), "OK");
}

TEST_F(StopUseTest, CancelBeforeTheFirstOkSendsNothing) {
  StopUseSequence seq(host, &conn, true);
  seq.Begin();
  seq.OnCancel();
  EXPECT_EQ(host.closes, 1);
  EXPECT_TRUE(host.sent.empty());
}

TEST_F(StopUseTest, MissingAcknowledgementEndsInAMessageAndTheScreenCanBeLeft) {
  StopUseSequence seq(host, &conn, true);
  seq.Begin();
  seq.OnOk();
  sys::Clock::Advance(StopUseSequence::kReplyTimeoutMs);
  seq.Poll(sys::Clock::TickMs());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.ok);
  EXPECT_TRUE(host.cancel);
  EXPECT_EQ(seq.step(), 0);
  seq.OnCancel();
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(host.shutdowns, 0);
}

TEST_F(StopUseTest, WithoutAPortOkOnlyTellsTheOperator) {
  StopUseSequence seq(host, &conn, false);
  seq.Begin();
  seq.OnOk();
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(host.messages.size(), 1u);
  seq.OnCancel();
  EXPECT_EQ(host.closes, 1);
}

TEST_F(StopUseTest, SensorReportsAndDamagedFrames) {
  StopUseSequence seq(host, &conn, true);
  seq.Begin();
  seq.OnOk();
  struct Case {
    std::vector<uint8_t> frame;
    const char* message;  // null: nothing shown
  } cases[] = {
      {Frame(FrameClassStatus, status::DiluentSensor, 0), nullptr},
      {Frame(FrameClassStatus, status::DiluentSensor, 1), "Diluent not enough!"},
      {Frame(FrameClassCommand, cmd::PrimeAll, kReplyDone, 0, true), "前端命令校验错！"},
  };
  for (const Case& c : cases) {
    host.messages.clear();
    for (uint8_t b : c.frame) seq.OnSerialByte(b, 4);
    if (c.message) {
      ASSERT_EQ(host.messages.size(), 1u);
      EXPECT_EQ(host.messages[0], c.message);
    } else {
      EXPECT_TRUE(host.messages.empty());
    }
  }
  EXPECT_EQ(seq.step(), 0);  // the damaged acknowledgement did not advance
}

TEST_F(StopUseTest, ShortageIsALogLineBeforeTheBoxInChineseOnly) {
  // The diluent report of the stop-use screen, and a lyse report through the shared sensor
  // handling (the reserve switched off: an empty report means exhausted at once).
  const float reviseVol = Reagents().volumes().ReviseVol;
  Reagents().volumes().ReviseVol = 0;
  struct Case {
    int language;
    std::vector<uint8_t> frame;
    const char* text;
    bool logged;
  } cases[] = {
      {0, Frame(FrameClassStatus, status::DiluentSensor, 1), "稀释液余量不足！", true},
      {1, Frame(FrameClassStatus, status::DiluentSensor, 1), "Diluent not enough!", false},
      {0, Frame(FrameClassStatus, status::LyseSensor, 1), "溶血剂余量不足！", true},
      {2, Frame(FrameClassStatus, status::LyseSensor, 1), "Lisante insuficiente!", false},
  };
  for (const Case& c : cases) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    StopUseSequence seq(host, &conn, true);
    seq.Begin();
    seq.OnOk();
    host.messages.clear();
    std::vector<std::string> logged;
    std::vector<size_t> boxesBeforeLog;
    sys::SetDebugOutputToStderr(false);
    sys::SetDebugOutputCapture([&](const std::string& l) {
      logged.push_back(l);
      boxesBeforeLog.push_back(host.messages.size());
    });
    for (uint8_t b : c.frame) seq.OnSerialByte(b, 4);
    sys::SetDebugOutputCapture(nullptr);
    sys::SetDebugOutputToStderr(true);
    ASSERT_EQ(host.messages.size(), 1u) << c.text;
    EXPECT_EQ(host.messages[0], c.text);
    int lines = 0;
    for (size_t i = 0; i < logged.size(); ++i) {
      if (logged[i].find(c.text) == std::string::npos) continue;
      ++lines;
      EXPECT_EQ(boxesBeforeLog[i], 0u) << c.text;  // written before the box
    }
    EXPECT_EQ(lines, c.logged ? 1 : 0) << c.text;
  }
  AppSettings.LanguageIndex = 1;
  Reagents().volumes().ReviseVol = reviseVol;
}

}  // namespace

namespace {

enum class BoardAnswer { Once, Twice, Other, None };
const BoardAnswer kAnswers[] = {BoardAnswer::Once, BoardAnswer::Twice, BoardAnswer::Other, BoardAnswer::None};
const char* AnswerName(BoardAnswer a) {
  return a == BoardAnswer::Once ? "once" : a == BoardAnswer::Twice ? "twice" : a == BoardAnswer::Other ? "another" : "none";
}

// Feeds the board model's answer to `frame` as told; `other` is the acknowledgement given in
// place of it.
template <class Sequence>
void AnswerAs(boardsim::BoardModel& model, const CommandFrame& frame, BoardAnswer answer, uint8_t other, Sequence& seq) {
  std::vector<std::vector<uint8_t>> replies;
  for (const auto& e : model.OnFrame(frame, true)) replies.push_back(e.bytes);
  if (answer == BoardAnswer::Twice) replies.insert(replies.end(), replies.begin(), replies.end());
  if (answer == BoardAnswer::None) replies.clear();
  if (answer == BoardAnswer::Other) replies = {Frame(FrameClassCommand, other, kReplyDone)};
  for (const auto& r : replies)
    for (uint8_t b : r) seq.OnSerialByte(b, 4);
}

}  // namespace

// Each of the two shutdown steps answered once, twice, with the other step's acknowledgement
// or not at all: the power-down goes out once and only after AA 91 was acknowledged, the screen
// closes once, and one Shut Down row tells what happened.
TEST_F(ShutdownTest, OnlyTheAnswerToTheCommandSentMovesTheShutdownOn) {
  const uint8_t steps[] = {cmd::LeaveSampleMode, cmd::PowerDown};
  for (int step = 0; step < 2; ++step) {
    for (BoardAnswer answer : kAnswers) {
      SCOPED_TRACE(std::string(step == 0 ? "AA 91" : "AA A1") + " answered " + AnswerName(answer));
      ResetProcessValues();
      RawExec("delete from SysLog");
      ShutdownRecorder h;
      boardsim::BoardModel m;
      ShutdownSequence seq(h, &conn);
      seq.Begin();
      for (size_t i = 0; i < h.sent.size(); ++i) {
        const BoardAnswer a = static_cast<int>(i) == step ? answer : BoardAnswer::Once;
        AnswerAs(m, h.sent[i], a, steps[1 - step], seq);
      }
      for (int i = 0; i < ShutdownSequence::kLastStep && h.closes == 0; ++i) {
        sys::Clock::Advance(ShutdownSequence::StepPeriodMs(1));
        seq.Poll(sys::Clock::TickMs());
      }
      const bool answered = answer == BoardAnswer::Once || answer == BoardAnswer::Twice;
      std::vector<std::string> expected = {"AA 91"};
      if (step == 1 || answered) expected.push_back("AA A1");
      std::vector<std::string> sent;
      for (const auto& f : h.sent) sent.push_back(CommandName(f));
      EXPECT_EQ(sent, expected);
      EXPECT_EQ(h.closes, 1);
      EXPECT_EQ(RawCount("select count(*) from SysLog where Event='Shut Down'"), 1);
      EXPECT_EQ(ShutdownResult(), answered ? "OK" : "No reply from the analyzer");
      EXPECT_EQ(h.progress.back(), answered ? 21 : 23);
    }
  }
}

// The three drains of the stop-use procedure, each answered once, twice, with another
// command's acknowledgement or not at all: the procedure moves one step per acknowledgement
// of the drain just sent, and an unanswered drain ends in the no-reply message.
TEST_F(StopUseTest, OnlyTheAcknowledgementOfTheDrainSentMovesTheProcedureOn) {
  for (int step = 0; step < 3; ++step) {
    for (BoardAnswer answer : kAnswers) {
      SCOPED_TRACE("drain " + std::to_string(step + 1) + " answered " + AnswerName(answer));
      ResetProcessValues();
      RawExec("delete from SysLog");
      StopRecorder h;
      boardsim::BoardModel m;
      StopUseSequence seq(h, &conn, true);
      seq.Begin();
      for (int i = 0; i <= step; ++i) {
        seq.OnOk();
        ASSERT_EQ(h.sent.size(), static_cast<size_t>(i + 1));
        AnswerAs(m, h.sent.back(), i == step ? answer : BoardAnswer::Once, cmd::PrimeDiluent, seq);
      }
      const bool answered = answer == BoardAnswer::Once || answer == BoardAnswer::Twice;
      EXPECT_EQ(seq.step(), answered ? step + 1 : step);
      EXPECT_EQ(seq.waiting(), !answered);
      EXPECT_EQ(h.shutdowns, answered && step == 2 ? 1 : 0);
      EXPECT_EQ(RawCount("select count(*) from SysLog where Event='Shut Down'"), answered && step == 2 ? 1 : 0);
      if (!answered) {
        sys::Clock::Advance(StopUseSequence::kReplyTimeoutMs);
        seq.Poll(sys::Clock::TickMs());
        EXPECT_FALSE(seq.waiting());
        EXPECT_EQ(h.messages.size(), 1u);
        EXPECT_TRUE(h.ok);
        EXPECT_TRUE(h.cancel);
        EXPECT_EQ(seq.step(), step);
      }
    }
  }
}

namespace {

std::vector<std::string> ShutdownRows() {
  std::vector<std::string> rows;
  const std::string all = RawScalar(
      "select group_concat(Result, '|') from (select Result from SysLog where Event='Shut Down' order by rowid)");
  size_t start = 0;
  while (!all.empty()) {
    const size_t bar = all.find('|', start);
    rows.push_back(all.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return rows;
}

}  // namespace

// The Shut Down row is stored when the screen opens, so a power cut while the board powers down
// leaves an orderly shutdown recorded; the outcome then updates that row.
TEST_F(ShutdownTest, TheShutDownRowIsStoredAtOnceAndTheOutcomeUpdatesIt) {
  enum class End { Confirmed, NoReply, NeedleFault, DamagedConfirmation };
  struct Case {
    End end;
    const char* result;
    int sampleTestRows;
  } cases[] = {
      {End::Confirmed, "OK", 0},
      {End::NoReply, "No reply from the analyzer", 0},
      {End::NeedleFault, "Needle malfunction", 1},
      {End::DamagedConfirmation, "Front end command check error!", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    ResetProcessValues();
    RawExec("delete from SysLog");
    RawExec("insert into SysLog values('2026-03-05','08:00:00','Startup','Normal')");
    ShutdownRecorder h;
    ShutdownSequence seq(h, &conn);
    const sys::LocalTime opened = sys::Clock::Now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%d-%02d-%02d %02d:%02d:%02d", opened.year, opened.month, opened.day,
                  opened.hour, opened.minute, opened.second);
    seq.Begin();
    EXPECT_EQ(ShutdownRows(), std::vector<std::string>{"OK"});
    EXPECT_EQ(RawScalar("select Date||' '||Time from SysLog where Event='Shut Down'"), stamp);
    {
      // The power goes now: the next start finds the shutdown row and adds no abnormal one.
      sys::Clock::Advance(60000);
      RecordingHost startHost;
      StartupSequence next(startHost, {}, &conn);
      RawExec("create table SysLogCopy as select * from SysLog");
      next.WriteStartupLog();
      EXPECT_EQ(RawCount("select count(*) from SysLog where Result='Abnormal'"), 0);
      RawExec("delete from SysLog");
      RawExec("insert into SysLog select * from SysLogCopy");
      RawExec("drop table SysLogCopy");
      StartupLogWritten = 0;
    }
    switch (c.end) {
      case End::Confirmed:
        for (uint8_t b : Frame(FrameClassCommand, cmd::LeaveSampleMode, kReplyDone)) seq.OnSerialByte(b, 4);
        for (uint8_t b : Frame(FrameClassCommand, cmd::PowerDown, kReplyDone)) seq.OnSerialByte(b, 4);
        break;
      case End::NoReply:
        break;
      case End::NeedleFault:
        for (uint8_t b : Frame(FrameClassFault, cmd::LeaveSampleMode, 0)) seq.OnSerialByte(b, 4);
        break;
      case End::DamagedConfirmation:
        for (uint8_t b : Frame(FrameClassCommand, cmd::LeaveSampleMode, kReplyDone)) seq.OnSerialByte(b, 4);
        for (uint8_t b : Frame(FrameClassCommand, cmd::PowerDown, kReplyDone, 0, true)) seq.OnSerialByte(b, 4);
        break;
    }
    for (int i = 0; i < ShutdownSequence::kLastStep && h.closes == 0; ++i) {
      sys::Clock::Advance(ShutdownSequence::StepPeriodMs(1));
      seq.Poll(sys::Clock::TickMs());
    }
    EXPECT_EQ(h.closes, 1);
    EXPECT_EQ(ShutdownRows(), std::vector<std::string>{c.result});
    EXPECT_EQ(RawScalar("select Date||' '||Time from SysLog where Event='Shut Down'"), stamp);
    EXPECT_EQ(RawCount("select count(*) from SysLog where Event='Sample test' and Result='Needle malfunction'"),
              c.sampleTestRows);
  }
}

// Every way a run ends saves its running minutes once and leaves one Shut Down row per
// shutdown: the termination signal that the power-off sends after the shutdown or the stop-use
// screen adds neither minutes nor a row of its own.
TEST_F(ShutdownTest, RunningTimeIsSavedOncePerRunHoweverItEnds) {
  enum class Way { ShutdownThenSignal, StopUseThenSignal, StopUseThenLaterShutdown, SignalOnly };
  struct Case {
    Way way;
    const char* name;
    int totalTime;
    std::vector<std::string> rows;
  } cases[] = {
      {Way::ShutdownThenSignal, "shutdown, then the signal", 125, {"OK"}},
      {Way::StopUseThenSignal, "stop-use, then the signal", 125, {"OK"}},
      // The PC stays on; 30 more minutes, then an orderly shutdown: only the new minutes added.
      {Way::StopUseThenLaterShutdown, "stop-use, later a shutdown", 155, {"OK", "OK"}},
      {Way::SignalOnly, "the signal alone", 125, {"Ended by the system"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProcessValues();
    RawExec("delete from SysLog");
    RawExec("update Statistic set TotalTime = 100");
    SampleCounters.RunningMinutes = 25;
    auto shutdown = [&] {
      ShutdownRecorder h;
      boardsim::BoardModel m;
      size_t n = 0;
      ShutdownSequence seq(h, &conn);
      seq.Begin();
      Answer(m, h.sent, n, seq);
      EXPECT_EQ(h.closes, 1);
    };
    auto stopUse = [&] {
      StopRecorder h;
      boardsim::BoardModel m;
      size_t n = 0;
      StopUseSequence seq(h, &conn, true);
      seq.Begin();
      for (int i = 0; i < 3; ++i) {
        seq.OnOk();
        Answer(m, h.sent, n, seq);
      }
      EXPECT_EQ(h.shutdowns, 1);
    };
    switch (c.way) {
      case Way::ShutdownThenSignal: shutdown(); SaveOnTermination(conn); break;
      case Way::StopUseThenSignal: stopUse(); SaveOnTermination(conn); break;
      case Way::StopUseThenLaterShutdown:
        stopUse();
        SampleCounters.RunningMinutes += 30;
        shutdown();
        break;
      case Way::SignalOnly: SaveOnTermination(conn); break;
    }
    EXPECT_EQ(RawCount("select TotalTime from Statistic"), c.totalTime);
    EXPECT_EQ(ShutdownRows(), c.rows);
  }
}

// A termination signal before the start-up has read the store (during the core start-up)
// must not write the placeholders of the counters and volumes over the stored values; once
// they were read, it saves them.
TEST_F(ShutdownTest, TerminationBeforeTheStoreWasReadOverwritesNoCountersOrVolumes) {
  for (bool read : {false, true}) {
    SCOPED_TRACE(read ? "after the start-up read the store" : "before");
    ResetProcessValues();
    RawExec("delete from SysLog");
    RawExec("update SysSetting set DiluentVol=1000, LyseVol=100, CleanerVol=200");
    RawExec("update Statistic set TotalTime=100, SampleCountToday=7, SampleCountAll=900");
    Reagents().volumes() = ReagentVolumes{};  // -10000, -1000, -1000 before loading
    if (read) {
      CADOConn prep;
      StartupStoreValues v;
      PrepareStartupStore(prep, v);
      prep.Disconnect();
      Reagents().Book(ReagentOperation::PrimeDiluent);  // 24.74 mL
      SampleCounters.SampleCountAll += 1;
    }
    SaveOnTermination(conn);
    EXPECT_EQ(RawScalar("select printf('%.2f/%.2f/%.2f', DiluentVol, LyseVol, CleanerVol) from SysSetting"),
              read ? "975.26/100.00/200.00" : "1000.00/100.00/200.00");
    EXPECT_EQ(RawCount("select SampleCountAll from Statistic"), read ? 901 : 900);
    EXPECT_EQ(RawCount("select TotalTime from Statistic"), 100);
    EXPECT_EQ(ShutdownRows(), std::vector<std::string>{"Ended by the system"});
  }
}
