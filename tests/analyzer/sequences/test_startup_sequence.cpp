// The start-up board sequence driven through the board model (frames in, frames out) and through
// scripted byte streams, with the manual clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <functional>

#include "algorithm/Zentil.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/startup_sequence.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "fixture.h"
#include "platform/sys/clock.h"
#include "tools/boardsim/board_model.h"

using namespace analyzer;

namespace {

// Connects a sequence to the board model: every frame sent is answered at once.
class Bench {
 public:
  explicit Bench(StartupStoreValues values = {}, bool withDb = true)
      : values_(values), seq(host, values_, withDb ? &conn : nullptr) {
    boardsim::BoardOptions o;
    o.noise = false;
    model = boardsim::BoardModel(o);
    seq.SetAlgorithm([this](AlgorithmResult& r, AlgorithmInput& in) {
      std::memset(&r, 0, sizeof r);
      ++algorithmCalls;
      lastInput = in;
      const BlankValues v = blanks.empty() ? BlankValues{} : blanks.front();
      if (!blanks.empty() && blanks.size() > 1) blanks.pop_front();
      r.WBC = v.wbc, r.RBC = v.rbc, r.HCT = v.hct, r.PLT = v.plt;
      return algorithmStatus;
    });
  }
  // Feeds the replies to everything sent since the last call, until the board is quiet.
  void Run(int maxFrames = 200) {
    while (answered_ < host.sent.size() && maxFrames-- > 0) {
      const CommandFrame f = host.sent[answered_++];
      if (!answerBoard) continue;
      std::vector<std::vector<uint8_t>> replies;
      for (const auto& e : model.OnFrame(f, true)) replies.push_back(e.bytes);
      if (shape) shape(answered_ - 1, replies);
      for (const auto& r : replies) Feed(r);
    }
  }
  void Feed(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) seq.OnSerialByte(b, 4);
  }
  void Start() {
    seq.Begin();
    Run();
  }
  void Skip() { answered_ = host.sent.size(); }  // leave what was sent unanswered

  StartupStoreValues values_;
  RecordingHost host;
  CADOConn conn;
  StartupSequence seq;
  boardsim::BoardModel model;
  std::deque<BlankValues> blanks;
  AlgorithmStatus algorithmStatus = AlgorithmStatus::Computed;
  AlgorithmInput lastInput{};
  int algorithmCalls = 0;
  bool answerBoard = true;
  // Changes the board's replies to the frame sent as number `index` (from 0).
  std::function<void(size_t index, std::vector<std::vector<uint8_t>>& replies)> shape;

 private:
  size_t answered_ = 0;
};

std::vector<std::string> Seq(std::initializer_list<const char*> names) { return {names.begin(), names.end()}; }

const std::vector<std::string> kToParameters = Seq({"AA FF", "AA A3", "AA A4", "AA A5", "AA A6", "AA A7", "AA 60",
                                                    "AA 61", "AA 62", "AA 63", "AA 7B", "AA 80", "AA 81", "AA 82",
                                                    "AA 83", "AA 84", "AA 85", "AA 86", "AA 87", "AA B0", "AA B1",
                                                    "AA B2", "AA B3", "AA 88", "AA 89", "EF 07"});
const std::vector<std::string> kBlankCount = Seq({"AA 04", "BB 04", "BB 01", "BB 02", "BB 03", "AA 00", "BB 04",
                                                  "BB 01", "BB 02", "BB 03", "AA 11"});

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string LastStartupResult() {
  return RawScalar("select Result from SysLog where Event='Startup' order by Date desc, Time desc limit 1");
}

class StartupSequenceTest : public ::testing::Test {
 protected:
  SequenceFolder folder;
};

TEST_F(StartupSequenceTest, HappyPathWithBlankTestSendsTheWholeSequenceAndEnds) {
  StartupStoreValues v;
  v.IsKJKB = 1;
  v.eng.Needle[0] = -5;
  v.eng.Needle[1] = 5;
  v.eng.ZYDW[0] = 17;
  v.eng.FPRESSURE = 0x1234;
  v.eng.WBCTIME = 55;
  Bench b(v);
  b.Start();
  auto expected = Concat(kToParameters, Seq({"AA 90"}));
  expected = Concat(expected, kBlankCount);
  expected.push_back("AA A9");
  EXPECT_EQ(b.host.Commands(), expected);
  EXPECT_EQ(b.host.progress, (std::vector<int>{3, 3, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 19, 20}));
  EXPECT_EQ(b.host.ends, 1);
  EXPECT_EQ(b.seq.state(), StartupSequence::State::Ended);
  EXPECT_EQ(BoardParametersSent, 1);
  EXPECT_EQ(StartupBlankEvaluated, 1);
  EXPECT_EQ(b.algorithmCalls, 1);
  EXPECT_EQ(LastStartupResult(), "Normal");
  EXPECT_TRUE(b.host.messages.empty());
  // Parameters as sent.
  const auto& s = b.host.sent;
  EXPECT_EQ(s[1][3], 0);  // -5: sign 0, magnitude 5
  EXPECT_EQ(s[1][4], 5);
  EXPECT_EQ(s[2][3], 1);  // +5
  EXPECT_EQ(s[2][4], 5);
  EXPECT_EQ(s[3][3], 1);  // 0
  EXPECT_EQ(s[3][4], 0);
  EXPECT_EQ(s[11][3], 17);
  EXPECT_EQ(s[23][3], 0x12);
  EXPECT_EQ(s[23][4], 0x34);
  EXPECT_EQ(s[27][3], 55);  // AA 04 with WBCTIME, RBCTIME
  EXPECT_EQ(s[27][4], 10);
  EXPECT_FLOAT_EQ(b.lastInput.WbcCountTime, 5.0f);  // 55 / 10 in whole seconds
  EXPECT_FLOAT_EQ(b.lastInput.RbcCountTime, 5.0f);
  EXPECT_EQ(b.model.alarmMode(), AppSettings.ReagentAlarmType);
  // The blank histograms came from the second pass of the board's blank count.
  float sum = 0;
  for (float x : BlankHistograms.wbc) sum += x;
  EXPECT_GT(sum, 0.0f);
}

TEST_F(StartupSequenceTest, WithoutBlankTestTheParametersLeadStraightToTheLog) {
  Bench b;
  b.Start();
  EXPECT_EQ(b.host.Commands(), Concat(kToParameters, Seq({"AA A9"})));
  EXPECT_EQ(LastStartupResult(), "Normal");
  EXPECT_EQ(StartupBlankEvaluated, 0);
  EXPECT_EQ(b.host.ends, 1);
}

TEST_F(StartupSequenceTest, StartupCleanIsBookedOnlyWhenTheBoardCompletesIt) {
  struct Case {
    bool refuse;
    float cleanerAfter;
  } cases[] = {{false, 1000.0f - 1.77f}, {true, 1000.0f}};
  for (const Case& c : cases) {
    ResetProcessValues();
    RawExec("delete from SysLog");
    StartupStoreValues v;
    v.IsKJQX = 1;
    Bench b(v);
    // The board answers the clean with a status other than done: AA 05 01.
    if (c.refuse) b.model.AnswerNext(cmd::StartupProcedure, 0x01);
    b.seq.Begin();
    b.Run();
    EXPECT_NEAR(Reagents().volumes().CleanerVol, c.cleanerAfter, 1e-3) << c.refuse;
    EXPECT_EQ(b.host.Last(), "AA A9");
    EXPECT_TRUE(b.seq.cleanStarted());
  }
}

TEST_F(StartupSequenceTest, CleanDueWithoutCleanserEndsInTheLogWithTheShortage) {
  StartupStoreValues v;
  v.IsKJQX = 1;
  Reagents().volumes().CleanserAvailable = 0;
  Bench b(v);
  b.Start();
  EXPECT_EQ(b.host.Commands(), Concat(kToParameters, Seq({"AA A9"})));
  EXPECT_NE(LastStartupResult().find("not enough"), std::string::npos) << LastStartupResult();
}

TEST_F(StartupSequenceTest, ResetIsRetriedEightTimesThenTheStartupGivesUp) {
  Bench b;
  b.answerBoard = false;
  b.Start();
  for (int i = 0; i < 8; ++i) {
    sys::Clock::Advance(StartupSequence::kResetPeriodMs);
    b.seq.Poll(sys::Clock::TickMs());
  }
  EXPECT_EQ(b.host.reopens, 8);
  EXPECT_EQ(b.host.traceCopies, 1);
  EXPECT_EQ(b.host.Commands().size(), 9u);  // the first reset and eight retries
  EXPECT_EQ(b.host.ends, 0);
  sys::Clock::Advance(StartupSequence::kResetPeriodMs);
  b.seq.Poll(sys::Clock::TickMs());
  EXPECT_EQ(b.host.Last(), "AA A9");
  EXPECT_EQ(LastStartupResult(), "No reply from the analyzer");
  sys::Clock::Advance(StartupSequence::kAlarmModeTimeoutMs);
  b.seq.Poll(sys::Clock::TickMs());
  EXPECT_EQ(b.host.ends, 1);
  EXPECT_EQ(b.host.messages.back(), "Reagent volume alarm mode setting failure! please restart instrument!");
}

TEST_F(StartupSequenceTest, EveryWaitingStepEndsWhenTheBoardFallsSilent) {
  // The board stops answering after the n-th frame; the start-up must still end.
  StartupStoreValues v;
  v.IsKJKB = 1;
  const size_t total = Concat(Concat(kToParameters, Seq({"AA 90"})), kBlankCount).size();
  for (size_t n = 1; n < total; ++n) {
    ResetProcessValues();
    RawExec("delete from SysLog");
    Bench b(v);
    b.seq.Begin();
    while (b.host.sent.size() < n) {
      const size_t before = b.host.sent.size();
      b.Run(1);
      if (b.host.sent.size() == before) break;
    }
    b.Skip();
    b.answerBoard = false;
    for (int i = 0; i < 12 && b.host.ends == 0; ++i) {
      sys::Clock::Advance(StartupSequence::kLongReplyTimeoutMs);
      b.seq.Poll(sys::Clock::TickMs());
    }
    EXPECT_EQ(b.host.ends, 1) << "silent after frame " << n;
    EXPECT_FALSE(LastStartupResult().empty()) << n;
  }
}

TEST_F(StartupSequenceTest, MechanicsFaultsAreReportedAndTheLaterOneIsTheResult) {
  Bench b;
  b.model.RefuseNext(cmd::CheckNeedle, 0);
  b.model.RefuseNext(cmd::AllValves, 0);
  b.Start();
  EXPECT_EQ(b.host.Commands(), Concat(kToParameters, Seq({"AA A9"})));
  ASSERT_EQ(b.host.messages.size(), 2u);
  EXPECT_EQ(b.host.messages[0], "Sampling needle detection error!");
  EXPECT_EQ(b.host.messages[1], "Valves detection error!");
  EXPECT_EQ(LastStartupResult(), "Valves detection error");
}

TEST_F(StartupSequenceTest, DamagedFramesEndTheStartupWithTheirFailure) {
  struct Case {
    boardsim::Target target;
    int skip;  // good frames of that kind first
    const char* box;
    const char* result;
  } cases[] = {
      {boardsim::Target::Ack, 6, "Sampling needle detection command checksum error!", "Sampling needle detection error"},
      {boardsim::Target::Ack, 11, "Checksum error", "Checksum error"},
      {boardsim::Target::RunHeader, 0, "血红蛋白数据校验错误！", "Blank test error"},
      {boardsim::Target::Plt, 0, "血小板数据校验错误！", "Blank test error"},
  };
  for (const Case& c : cases) {
    ResetProcessValues();
    RawExec("delete from SysLog");
    StartupStoreValues v;
    v.IsKJKB = 1;
    Bench b(v);
    b.seq.Begin();
    // Let `skip` frames through before the damaged one.
    int passed = 0;
    while (passed < c.skip) {
      const size_t before = b.host.sent.size();
      b.Run(1);
      ++passed;
      if (b.host.sent.size() == before) break;
    }
    b.model.CorruptNext(c.target);
    b.Run();
    ASSERT_FALSE(b.host.messages.empty()) << c.box;
    EXPECT_EQ(b.host.messages.front(), c.box);
    EXPECT_EQ(LastStartupResult(), c.result);
    EXPECT_EQ(b.host.Last(), "AA A9");
  }
}

TEST_F(StartupSequenceTest, EmptyReagentDuringTheBlankHaltsIt) {
  StartupStoreValues v;
  v.IsKJKB = 1;
  Bench b(v);
  b.seq.Begin();
  while (b.host.Last() != "BB 01") b.Run(1);
  // The diluent runs out while the board counts.
  b.Feed(Frame(FrameClassStatus, status::DiluentSensor, 1));
  EXPECT_EQ(b.host.Last(), "AA FF");
  b.Run();
  EXPECT_EQ(LastStartupResult(), "Startup blank test halted");
  EXPECT_EQ(b.host.Last(), "AA A9");
  EXPECT_EQ(Reagents().volumes().DiluentAvailable, 0);
}

TEST_F(StartupSequenceTest, HighBlankIsRetestedTwiceThenRecorded) {
  StartupStoreValues v;
  v.IsKJKB = 1;
  Bench b(v);
  b.blanks = {BlankValues{0.5f, 0, 0, 0}};  // always high
  b.Start();
  EXPECT_EQ(b.algorithmCalls, 3);
  EXPECT_EQ(b.seq.endOfCountCount(), 3);
  EXPECT_EQ(LastStartupResult(), "High blank value when startup");
  EXPECT_EQ(StartupBlankEvaluated, 1);
  int retests = 0;
  for (const auto& s : b.host.statuses) retests += s == "Retesting Blank...";
  EXPECT_EQ(retests, 2);
}

TEST_F(StartupSequenceTest, MissingAlgorithmLibraryIsABlankError) {
  StartupStoreValues v;
  v.IsKJKB = 1;
  Bench b(v);
  b.algorithmStatus = AlgorithmStatus::LibraryMissing;
  b.Start();
  EXPECT_EQ(LastStartupResult(), "Blank test error");
  EXPECT_EQ(StartupBlankEvaluated, 0);
  ASSERT_FALSE(b.host.messages.empty());
  EXPECT_EQ(b.host.messages.front(), "Load Zentil.dll failed!");
  EXPECT_EQ(b.host.ends, 1);
}

TEST_F(StartupSequenceTest, BlankThresholdsAreStrict) {
  struct Case {
    BlankValues v;
    bool high;
  } cases[] = {
      {{0.2f, 0, 0, 0}, false},      {{0.2001f, 0, 0, 0}, true}, {{0, 0.03f, 0, 0}, false},
      {{0, 0.0301f, 0, 0}, true},    {{0, 0, 0.5f, 0}, false},   {{0, 0, 0.51f, 0}, true},
      {{0, 0, 0, 10.0f}, false},     {{0, 0, 0, 10.1f}, true},
      {{-100000.0f, -100000.0f, -100000.0f, -100000.0f}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BlankIsHigh(c.v), c.high) << c.v.wbc << " " << c.v.rbc << " " << c.v.hct << " " << c.v.plt;
}

TEST_F(StartupSequenceTest, RealLibraryJudgesTheSimulatorsBlankAsNormal) {
  StartupStoreValues v;
  v.IsKJKB = 1;
  Bench b(v);
  AlgorithmStatus status = AlgorithmStatus::LibraryMissing;
  BlankValues got{};
  b.seq.SetAlgorithm([&](AlgorithmResult& r, AlgorithmInput& in) {
    status = CallZentilLibrary(r, in, std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so");
    got = {r.WBC, r.RBC, r.HCT, r.PLT};
    return status;
  });
  b.Start();
  ASSERT_EQ(status, AlgorithmStatus::Computed);
  EXPECT_FALSE(BlankIsHigh(got)) << got.wbc << " " << got.rbc << " " << got.hct << " " << got.plt;
  EXPECT_EQ(LastStartupResult(), "Normal");
}

TEST_F(StartupSequenceTest, AltF4FinishesDuringMechanicsButNotDuringTheBlank) {
  {
    Bench b;
    b.seq.Begin();
    while (b.host.Last() != "AA 61") b.Run(1);
    EXPECT_TRUE(b.seq.OnAltF4());
    EXPECT_EQ(b.host.Last(), "AA A9");
    EXPECT_FALSE(b.seq.OnAltF4());
  }
  ResetProcessValues();
  StartupStoreValues v;
  v.IsKJKB = 1;
  Bench b(v);
  b.seq.Begin();
  while (b.host.Last() != "BB 04") b.Run(1);
  EXPECT_FALSE(b.seq.OnAltF4());
}

TEST_F(StartupSequenceTest, CouplerFaultRestartsWithAResetOrShutsDown) {
  for (bool ok : {true, false}) {
    ResetProcessValues();
    Bench b;
    b.host.answerOk = ok;
    b.seq.Begin();
    while (b.host.Last() != "AA 62") b.Run(1);
    b.Skip();
    b.Feed(Frame(FrameClassFault, fault::CouplerFault, 3));
    EXPECT_EQ(b.host.Last(), "AA FF");
    EXPECT_EQ(b.host.shutdowns, ok ? 0 : 1);
    EXPECT_EQ(b.host.messages.back(),
              "The optical coupler of carriage error,click \"OK\" after servicing,shut down by click \"Cancel\"");
    b.Run();
    EXPECT_EQ(b.host.Last(), "AA A9");  // the sequence ran again from the reset
  }
}

TEST_F(StartupSequenceTest, ReceiveBufferResynchronisesAndRefusesOtherPorts) {
  Bench b;
  b.seq.Begin();
  EXPECT_EQ(b.seq.OnSerialByte(0x7E, 0), -1);
  EXPECT_EQ(b.seq.OnSerialByte(0x7E, 5), -1);
  // Junk, a long run of bytes that form no frame, and a stray start byte before the reply.
  std::vector<uint8_t> junk(5000, 0x11);
  junk.insert(junk.begin(), 0x7E);
  b.Feed(junk);
  b.Feed({0x01, 0x02, 0x7E});
  b.Feed(Frame(FrameClassCommand, cmd::Reset, kReplyDone));
  EXPECT_EQ(b.host.Last(), "AA A3");
}

TEST_F(StartupSequenceTest, AlarmModeRefusedStillEndsTheScreenWithAQuestionBox) {
  Bench b;
  b.model.AnswerNext(cmd::SetReagentAlarmMode, 0x00);  // AA A9 00: the mode was not taken
  b.Start();
  EXPECT_EQ(b.host.Last(), "AA A9");
  EXPECT_EQ(b.host.ends, 1);
  ASSERT_FALSE(b.host.messages.empty());
  EXPECT_EQ(b.host.messages.back(), "Reagent volume alarm mode setting failure! please restart instrument!");
  EXPECT_EQ(b.host.progress.back(), 20);
  // Nothing more happens after the end, not even the alarm-mode timer.
  sys::Clock::Advance(StartupSequence::kAlarmModeTimeoutMs);
  b.seq.Poll(sys::Clock::TickMs());
  EXPECT_EQ(b.host.ends, 1);
}

TEST_F(StartupSequenceTest, LzlonParameters) {
  struct Case {
    int on, val;
    uint8_t p1, p2;
  } cases[] = {{1, 3, 1, 3}, {-1, 4, 0, 0xFC}, {-1, -4, 0, 4}, {0, 7, 0, 0}, {2, 7, 0, 0}};
  for (const Case& c : cases) {
    uint8_t p1 = 9, p2 = 9;
    LzlonParams(c.on, c.val, &p1, &p2);
    EXPECT_EQ(p1, c.p1) << c.on << " " << c.val;
    EXPECT_EQ(p2, c.p2) << c.on << " " << c.val;
  }
  Bench b;
  b.seq.SetLzlon(1, 3);
  b.Start();
  const CommandFrame& ef = b.host.sent[25];
  ASSERT_EQ(CommandName(ef), "EF 07");
  EXPECT_EQ(ef[3], 1);
  EXPECT_EQ(ef[4], 3);
}

TEST_F(StartupSequenceTest, LzlonIsReadFromSettingsOrWrittenThere) {
  const std::string ini = folder.file("Setting.ini");
  int32_t on = 5, val = 5;
  ReadLzlonSettings(ini, &on, &val);  // no file: nothing changes
  EXPECT_EQ(on, 5);
  {
    FILE* f = std::fopen(ini.c_str(), "w");
    std::fputs("[Setting]\nSOFTWAREVERSION=0\n", f);
    std::fclose(f);
  }
  ReadLzlonSettings(ini, &on, &val);
  EXPECT_EQ(on, 1);
  EXPECT_EQ(val, 0);
  {
    FILE* f = std::fopen(ini.c_str(), "w");
    std::fputs("[Setting]\nLZLON=-1\nLZLVAL=6\n", f);
    std::fclose(f);
  }
  ReadLzlonSettings(ini, &on, &val);
  EXPECT_EQ(on, -1);
  EXPECT_EQ(val, 6);
}

TEST_F(StartupSequenceTest, AbnormalShutdownRowComesFromTheLatestRows) {
  struct Case {
    const char* rows;
    bool abnormal;
  } cases[] = {
      {"", false},  // a first start
      {"('2026-03-01','08:00:00','Startup','Normal'),('2026-03-01','18:00:00','Shut Down','OK')", false},
      {"('2026-03-01','08:00:00','Startup','Normal')", true},
      {"('2026-03-01','08:00:00','Startup','Normal'),('2026-03-01','18:00:00','Shut Down','OK'),"
       "('2026-03-02','08:00:00','Startup','Normal')",
       true},
      {"('2026-03-01','08:00:00','开机','正常'),('2026-03-01','18:00:00','关机','正常')", false},
  };
  for (const Case& c : cases) {
    ResetProcessValues();
    RawExec("delete from SysLog");
    if (*c.rows) RawExec(std::string("insert into SysLog values") + c.rows);
    Bench b;
    b.seq.WriteStartupLog();
    EXPECT_EQ(RawCount("select count(*) from SysLog where Result='Abnormal'"), c.abnormal ? 1 : 0) << c.rows;
    if (c.abnormal) {
      EXPECT_EQ(RawScalar("select Date from SysLog where Result='Abnormal'"),
                RawScalar("select max(Date) from SysLog where Event='Startup' and Time<>'09:30:00'"));
    }
  }
}

TEST_F(StartupSequenceTest, StartupLogTrimsTheSystemLogAndRunsOnce) {
  RawExec("delete from SysLog");
  std::string sql = "insert into SysLog values";
  for (int i = 0; i < 1200; ++i)
    sql += (i ? "," : "") + std::string("('2025-01-01','") + StrPrintf("%.2d:%.2d:%.2d", i / 3600, i / 60 % 60, i % 60) +
           "','Logon','x')";
  RawExec(sql);
  Bench b;
  b.seq.WriteStartupLog();
  EXPECT_EQ(RawCount("select count(*) from SysLog"), 999 + 1);
  EXPECT_EQ(RawScalar("select min(Time) from SysLog where Event='Logon'"), "00:03:21");
  b.seq.WriteStartupLog();
  EXPECT_EQ(RawCount("select count(*) from SysLog"), 1000);
}

}  // namespace

namespace {

// The stored volumes and reserves in hundredths of a mL, as a restart reads them.
struct StoredHundredths {
  long dil, lyse, cle, lyseReserve, cleReserve;
  bool operator==(const StoredHundredths&) const = default;
};
std::ostream& operator<<(std::ostream& o, const StoredHundredths& s) {
  return o << s.dil << "/" << s.lyse << "/" << s.cle << " reserves " << s.lyseReserve << "/" << s.cleReserve;
}
StoredHundredths ReadStored() {
  auto h = [](const char* column) {
    return std::lround(std::stod(RawScalar(std::string("select ") + column + " from SysSetting")) * 100.0);
  };
  return {h("DiluentVol"), h("LyseVol"), h("CleanerVol"), h("LyseReviseVol"), h("CleanerReviseVol")};
}
StoredHundredths InMemory() {
  const ReagentVolumes& v = Reagents().volumes();
  auto h = [](float x) { return std::lround(x * 100.0); };
  return {h(v.DiluentVol), h(v.LyseVol), h(v.CleanerVol), h(v.LyseReviseVol), h(v.CleanerReviseVol)};
}
// The program is killed and started again: nothing of the account survives but the store.
void RestartFromTheStore() {
  ResetProcessValues();
  CADOConn conn;
  StartupStoreValues values;
  PrepareStartupStore(conn, values);
  conn.Disconnect();
}

}  // namespace

TEST_F(StartupSequenceTest, EveryBookingIsInTheStoreWhenTheProgramIsKilled) {
  RawExec("update SysSetting set DiluentVol=1000, LyseVol=100, CleanerVol=200, ReagentAlarmType=0, IsKJQX=1, IsKJKB=1,"
          " ReviseVol=0, LyseReviseVol=0, CleanerReviseVol=0");
  StartupStoreValues v;
  CADOConn prep;
  PrepareStartupStore(prep, v);
  prep.Disconnect();
  // The model, from the consumption table: the start-up clean (35.57, 0, 1.77) and one blank
  // count (17.97, 0.57, 1.19).
  StoredHundredths model{100000 - 3557 - 1797, 10000 - 57, 20000 - 177 - 119, 0, 0};
  {
    Bench b(v);
    b.Start();
    ASSERT_EQ(b.host.ends, 1);
    EXPECT_EQ(LastStartupResult(), "Normal");
  }
  EXPECT_EQ(model.dil, 94646);  // 946.46 mL, as worked out by hand
  EXPECT_EQ(ReadStored(), model);
  // Eight samples on the test screen, each booked when it ends.
  for (int i = 0; i < 8; ++i) {
    Reagents().Book(ReagentOperation::SampleWholeOrPeripheral);
    model.dil -= 1797, model.lyse -= 57, model.cle -= 119;
    EXPECT_EQ(ReadStored(), model) << "sample " << i + 1;
  }
  RestartFromTheStore();
  EXPECT_EQ(InMemory(), model);
}

namespace {

enum class Answer { Once, Twice, Other, None };
const char* AnswerName(Answer a) {
  switch (a) {
    case Answer::Once: return "once";
    case Answer::Twice: return "twice";
    case Answer::Other: return "another command";
    case Answer::None: return "none";
  }
  return "";
}

uint8_t ByteOf(const std::string& name, int i) { return static_cast<uint8_t>(std::stoi(name.substr(i * 3, 2), nullptr, 16)); }

}  // namespace

// Each step of a start-up with clean and blank test, the board answering it once, twice, with
// the acknowledgement of another command, or not at all. Only the answer to the command just
// sent moves the start-up on; consumption is booked once per operation the board did; a step
// left unanswered ends in the start-up log with the failure.
TEST_F(StartupSequenceTest, OnlyTheAnswerToTheCommandSentMovesTheStartupOn) {
  const std::vector<std::string> normal =
      Concat(Concat(Concat(kToParameters, Seq({"AA 05", "AA 90"})), kBlankCount), Seq({"AA A9"}));
  auto indexOf = [&](const char* name) {
    return static_cast<size_t>(std::find(normal.begin(), normal.end(), name) - normal.begin());
  };
  const size_t clean = indexOf("AA 05"), parameters = indexOf("EF 07"), endOfCount = indexOf("AA 11");
  const size_t alarm = normal.size() - 1;
  for (size_t step = 0; step < normal.size(); ++step) {
    for (Answer answer : {Answer::Once, Answer::Twice, Answer::Other, Answer::None}) {
      SCOPED_TRACE(normal[step] + " answered " + AnswerName(answer));
      ResetProcessValues();
      RawExec("delete from SysLog");
      StartupStoreValues v;
      v.IsKJQX = 1;
      v.IsKJKB = 1;
      Bench b(v);
      b.shape = [&](size_t index, std::vector<std::vector<uint8_t>>& replies) {
        if (index != step) return;
        if (answer == Answer::Twice) {
          const auto copy = replies;
          replies.insert(replies.end(), copy.begin(), copy.end());
        } else if (answer == Answer::None) {
          replies.clear();
        } else if (answer == Answer::Other) {
          // The acknowledgement of a later command with another command byte.
          uint8_t other = 0x7B;
          for (size_t j = step + 1; j < normal.size(); ++j)
            if (ByteOf(normal[j], 1) != ByteOf(normal[step], 1)) {
              other = ByteOf(normal[j], 1);
              break;
            }
          replies = {Frame(FrameClassCommand, other, kReplyDone)};
        }
      };
      b.Start();
      for (int i = 0; i < 20 && b.host.ends == 0; ++i) {
        sys::Clock::Advance(StartupSequence::kLongReplyTimeoutMs);
        b.seq.Poll(sys::Clock::TickMs());
        b.Run();
      }
      EXPECT_EQ(b.host.ends, 1);
      const bool answered = answer == Answer::Once || answer == Answer::Twice;
      std::vector<std::string> expected = normal;
      std::string result = "Normal";
      if (!answered && step == 0) {
        expected.insert(expected.begin(), "AA FF");  // the reset is sent again and answered
      } else if (!answered && step != alarm) {
        expected.assign(normal.begin(), normal.begin() + static_cast<long>(step) + 1);
        expected.push_back("AA A9");
        result = "No reply from the analyzer";
      }
      EXPECT_EQ(b.host.Commands(), expected);
      EXPECT_EQ(LastStartupResult(), result);
      const bool done = answered || step == 0 || step == alarm;
      EXPECT_EQ(BoardParametersSent, done || step > parameters ? 1 : 0);
      // The model of consumption in hundredths: the clean (35.57, 0, 1.77) when the board did
      // it, the blank (17.97, 0.57, 1.19) when its result was computed.
      const bool cleaned = done || step > clean, blank = done || step > endOfCount;
      EXPECT_EQ(b.algorithmCalls, blank ? 1 : 0);
      const ReagentVolumes& vol = Reagents().volumes();
      EXPECT_EQ(std::lround(vol.DiluentVol * 100.0), 1000000 - (cleaned ? 3557 : 0) - (blank ? 1797 : 0));
      EXPECT_EQ(std::lround(vol.LyseVol * 100.0), 100000 - (blank ? 57 : 0));
      EXPECT_EQ(std::lround(vol.CleanerVol * 100.0), 100000 - (cleaned ? 177 : 0) - (blank ? 119 : 0));
    }
  }
}

// The row that closes a run without its shutdown row carries that run's last time, so the
// system log, read by date and time, lists it after the run it closes and before the new start,
// and the trim does not take it first.
TEST_F(StartupSequenceTest, TheAbnormalShutdownRowSortsAfterTheRunItCloses) {
  RawExec("delete from SysLog");
  RawExec("insert into SysLog values('2026-03-01','18:00:00','Shut Down','OK'),"
          "('2026-03-02','08:00:00','Startup','Normal'),('2026-03-02','08:05:10','Logon','Admin'),"
          "('2026-03-02','11:42:07','Sample test','Needle malfunction')");
  Bench b;
  b.seq.WriteStartupLog();
  EXPECT_EQ(RawScalar("select group_concat(Event||'/'||Result, ', ') from "
                      "(select * from SysLog order by Date, Time, rowid)"),
            "Shut Down/OK, Startup/Normal, Logon/Admin, Sample test/Needle malfunction, Shut Down/Abnormal, "
            "Startup/Normal");
  EXPECT_EQ(RawScalar("select Date||' '||Time from SysLog where Result='Abnormal'"), "2026-03-02 11:42:07");
}

// A refusal (DD) of a step that has no fault handling of its own leaves the step waiting: the
// start-up ends in the time-out and the log, instead of hanging without a timer.
TEST_F(StartupSequenceTest, ARefusalOfAStepWithoutFaultHandlingEndsInTheTimeOut) {
  for (uint8_t command : {cmd::Needle1, cmd::Zydw1, cmd::APressure, cmd::StartupProcedure, cmd::EnterSampleMode}) {
    SCOPED_TRACE(static_cast<int>(command));
    ResetProcessValues();
    RawExec("delete from SysLog");
    StartupStoreValues v;
    v.IsKJQX = 1;
    v.IsKJKB = 1;
    Bench b(v);
    b.model.RefuseNext(command, kReplyDone);
    b.Start();
    for (int i = 0; i < 5 && b.host.ends == 0; ++i) {
      sys::Clock::Advance(StartupSequence::kLongReplyTimeoutMs);
      b.seq.Poll(sys::Clock::TickMs());
      b.Run();
    }
    EXPECT_EQ(b.host.ends, 1);
    EXPECT_EQ(LastStartupResult(), "No reply from the analyzer");
  }
}
