// The count cycle driven by the board model: whole samples, third counts, damaged frames,
// time-outs and the link supervision, on the manual program clock.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "core/zentil_binding.h"
#include "measurement/count_cycle.h"
#include "measurement/result_intake.h"
#include "measurement/run_result.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "program_folder.h"
#include "tools/boardsim/board_model.h"

using namespace measurement;
using analyzer::CommandFrame;

namespace {

std::vector<uint8_t> Bytes(const CommandFrame& f) { return std::vector<uint8_t>(f.begin(), f.end()); }

std::string Name(const CommandFrame& f) {
  char b[16];
  std::snprintf(b, sizeof b, "%02X %02X", f[1], f[2]);
  return b;
}

// A screen that passes every frame to the board model and feeds the model's answers back, one
// frame at a time, after the handler that sent the command has returned.
class ModelHost : public CountCycleHost {
 public:
  boardsim::BoardModel board{boardsim::BoardOptions{0, 0, false, 1}};
  CountCycle cycle{*this};
  std::vector<CommandFrame> sent;
  std::deque<std::vector<uint8_t>> pendingToScreen;
  std::vector<std::string> errors;
  std::vector<CycleStatus> statuses;
  std::vector<EndOfTestReport> ends;
  std::vector<bool> processed;  // thirdCount of each result processing
  int timeouts = 0, reopens = 0;
  bool writeFailed = false;
  KeyDecision decision = KeyDecision::Start;
  int bloodMode = 0;
  // Scripted quick values per count (WBC, RBC, PLT); without a script all counts agree.
  std::vector<CountValues> script;

  bool damageEndReply = false;  // every reply to AA 11 arrives damaged

  void SendFrame(const CommandFrame& f) override {
    sent.push_back(f);
    if (damageEndReply && f[1] == 0xAA && f[2] == 0x11) board.CorruptNext(boardsim::Target::Ack, 100);
    for (auto& e : board.OnFrame(f, analyzer::CommandFrameValid(f))) pendingToScreen.push_back(e.bytes);
  }
  bool LastWriteFailed() override { return writeFailed; }
  void ReopenPort() override { ++reopens; }
  int BloodMode() override { return bloodMode; }
  bool ReadCountTimes(uint8_t* w, uint8_t* r) override {
    *w = 50;
    *r = 60;
    return true;
  }
  KeyDecision OnKeyPress() override { return decision; }
  void ShowStatus(CycleStatus s) override { statuses.push_back(s); }
  void ShowChecksumError(const std::string& m) override { errors.push_back(m); }
  CountValues ComputeQuickValues(int count, const HistogramBuffers&, const CountInputs&) override {
    if (count - 1 < static_cast<int>(script.size())) return script[count - 1];
    return CountValues{5.0f, 4.5f, 200.0f, ZentilStatus::Computed};
  }
  void ProcessRunResult(bool third) override { processed.push_back(third); }
  void OnEndOfTest(const EndOfTestReport& r) override { ends.push_back(r); }
  void OnTimeout() override { ++timeouts; }
  std::vector<bool> noAnswers;  // each notice that the analyzer does not answer, and its end
  void OnNoAnswer(bool waiting) override { noAnswers.push_back(waiting); }

  // Delivers what the board has sent so far (and what that causes) to the cycle.
  void Pump() {
    while (!pendingToScreen.empty()) {
      std::vector<uint8_t> bytes = std::move(pendingToScreen.front());
      pendingToScreen.pop_front();
      cycle.OnBytes(bytes.data(), bytes.size());
    }
  }
  void Deliver(const std::vector<uint8_t>& bytes) {
    cycle.OnBytes(bytes.data(), bytes.size());
    Pump();
  }
  void EnterSampleMode() {
    cycle.SendCommand(0xAA, 0x90);
    Pump();
  }
  void PressKey() {
    for (auto& e : board.PressCountKey()) pendingToScreen.push_back(e.bytes);
    Pump();
  }
  // The board stops answering; the key frame is sent by hand.
  void PressKeyOnSilentBoard() {
    board.SetSilent(true);
    Deliver(Bytes(analyzer::BuildCommandFrame(0xCC, 0xFF)));
  }
  std::vector<std::string> SentNames(size_t from = 0) const {
    std::vector<std::string> v;
    for (size_t i = from; i < sent.size(); ++i) v.push_back(Name(sent[i]));
    return v;
  }
};

class CountCycleTest : public ::testing::Test {
 protected:
  void SetUp() override { sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3}); }
  void TearDown() override { sys::Clock::UseReal(); }
  MeasurementFolder folder{false};  // trace files land here
  ModelHost host;
};

const std::vector<std::string> kOneCount = {"BB 04", "BB 01", "BB 02", "BB 03"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> v;
  for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
  return v;
}

}  // namespace

TEST_F(CountCycleTest, TwoAgreeingCountsMakeOneSample) {
  host.EnterSampleMode();
  ASSERT_TRUE(host.cycle.ready());
  const size_t from = host.sent.size();
  host.PressKey();
  EXPECT_EQ(host.SentNames(from),
            Join({{"AA 01"}, kOneCount, {"AA 00"}, kOneCount, {"AA 11", "CC 80"}}));
  const CommandFrame& start = host.sent[from];
  EXPECT_EQ(start[3], 50);  // count times from the engineering settings
  EXPECT_EQ(start[4], 60);
  EXPECT_EQ(host.processed, std::vector<bool>{false});
  ASSERT_EQ(host.ends.size(), 1u);
  EXPECT_FLOAT_EQ(host.ends[0].apertureSeconds, 4.0f);
  EXPECT_EQ(host.cycle.state(), CycleState::Idle);
  EXPECT_FALSE(host.cycle.resultPending());
  EXPECT_FALSE(host.cycle.countTimerRunning());
  EXPECT_TRUE(host.cycle.ready());  // the temperature reply
  EXPECT_EQ(host.cycle.hgbBlank(), host.board.lastCount().hgbBlank);
  // The histograms of both counts were kept rounded.
  EXPECT_EQ(host.cycle.count(1).wbc[60], host.board.lastCount().wbc[60]);
  EXPECT_EQ(host.cycle.count(2).plt[20], host.board.lastCount().plt[20]);
  EXPECT_EQ(host.statuses.front(), CycleStatus::Ready);
  EXPECT_EQ(host.statuses[1], CycleStatus::Testing);
}

TEST_F(CountCycleTest, DisagreeingCountsAskForAThird) {
  host.script = {{5.0f, 4.5f, 200.0f, ZentilStatus::Computed}, {5.5f, 4.5f, 200.0f, ZentilStatus::Computed}};
  host.board.SetApertureTenths(31);
  host.EnterSampleMode();
  const size_t from = host.sent.size();
  host.PressKey();
  EXPECT_EQ(host.SentNames(from),
            Join({{"AA 01"}, kOneCount, {"AA 00"}, kOneCount, {"AA 00"}, kOneCount, {"AA 11", "CC 80"}}));
  EXPECT_TRUE(host.cycle.marks().channel[CountWbc]);
  EXPECT_FALSE(host.cycle.marks().channel[CountPlt]);
  EXPECT_EQ(host.processed, std::vector<bool>{true});
  ASSERT_EQ(host.ends.size(), 1u);
  EXPECT_FLOAT_EQ(host.ends[0].apertureSeconds, 3.1f);  // (31 + 31 + 31) / 3
  EXPECT_TRUE(host.ends[0].thirdCount);
}

// The quick values and the result computed with the built library, noting how many loads the
// binding had made before each call.
class LibraryHost : public ModelHost {
 public:
  std::vector<uint64_t> loadsAtCall;
  std::vector<uint64_t> loadsAtPltRequest;  // when each count's last histogram is asked for
  std::vector<ZentilStatus> statuses;
  void SendFrame(const CommandFrame& f) override {
    if (Name(f) == "BB 03") loadsAtPltRequest.push_back(ZentilLoadCount());
    ModelHost::SendFrame(f);
  }
  CountValues ComputeQuickValues(int count, const HistogramBuffers& h, const CountInputs& in) override {
    const CountValues v = CountCycleHost::ComputeQuickValues(count, h, in);
    loadsAtCall.push_back(ZentilLoadCount());
    statuses.push_back(v.status);
    if (count - 1 < static_cast<int>(script.size())) return script[count - 1];
    return v;
  }
  void ProcessRunResult(bool third) override {
    ModelHost::ProcessRunResult(third);
    const CountValues v = ComputeCountValues(CountInputs{}, cycle.histograms());
    loadsAtCall.push_back(ZentilLoadCount());
    statuses.push_back(v.status);
  }
};

TEST_F(CountCycleTest, TheEndOfACountLoadsTheLibraryOnceForItsQuickValuesAndItsResult) {
  SetZentilLibraryPath(BuiltZentilPath());
  const struct {
    const char* what;
    std::vector<CountValues> script;  // empty: the counts agree
    // Loads made by each call since the sample's first call: the first count's end is a use of
    // its own; the second count's end computes its quick values and, when the counts agree, the
    // result with one load; a third count's end is a use of its own.
    std::vector<uint64_t> loadsAfterFirst;
  } cases[] = {
      {"two counts", {}, {0, 1, 1}},
      {"a third count",
       {{5.0f, 4.5f, 200.0f, ZentilStatus::Computed}, {5.5f, 4.5f, 200.0f, ZentilStatus::Computed}},
       {0, 1, 2}},
  };
  for (const auto& c : cases) {
    LibraryHost h;
    h.script = c.script;
    h.EnterSampleMode();
    h.PressKey();
    ASSERT_EQ(h.processed.size(), 1u) << c.what;
    ASSERT_EQ(h.loadsAtCall.size(), c.loadsAfterFirst.size()) << c.what;
    for (size_t i = 0; i < h.loadsAtCall.size(); ++i) {
      EXPECT_EQ(h.loadsAtCall[i] - h.loadsAtCall[0], c.loadsAfterFirst[i]) << c.what << ", call " << i;
      EXPECT_EQ(h.statuses[i], ZentilStatus::Computed) << c.what << ", call " << i;
    }
    // Each count's load was made before its last histogram was asked for, so none waits at the
    // count's end: the first call of each count's end finds the loads as they were then.
    ASSERT_EQ(h.loadsAtPltRequest.size(), c.script.empty() ? 2u : 3u) << c.what;
    for (size_t i = 0; i < h.loadsAtPltRequest.size(); ++i)
      EXPECT_EQ(h.loadsAtPltRequest[i], h.loadsAtCall[i]) << c.what << ", count " << i + 1;
  }
  SetZentilLibraryPath("");
}

TEST_F(CountCycleTest, CountsWhoseQuickValuesCannotBeComputedTakeAThird) {
  // Without the library nothing shows that counts 1 and 2 agree: the safe side of the rule.
  SetZentilLibraryPath(folder.file("no-such-library.so"));
  LibraryHost h;
  h.EnterSampleMode();
  h.PressKey();
  EXPECT_EQ(h.processed, std::vector<bool>{true});
  EXPECT_EQ(h.statuses.front(), ZentilStatus::LibraryMissing);
  SetZentilLibraryPath("");
}

TEST_F(CountCycleTest, DamagedHistogramIsAskedForAgain) {
  host.EnterSampleMode();
  host.board.CorruptNext(boardsim::Target::Wbc, 2);
  const size_t from = host.sent.size();
  host.PressKey();
  EXPECT_EQ(host.SentNames(from),
            Join({{"AA 01", "BB 04", "BB 01", "5A 01", "5A 01", "BB 02", "BB 03", "AA 00"}, kOneCount,
                  {"AA 11", "CC 80"}}));
  EXPECT_EQ(host.cycle.resendRequests(), 2);
  EXPECT_TRUE(host.errors.empty());
  const std::string trace = FileBytes(folder.file("checksum.txt"));
  EXPECT_EQ(trace.substr(0, 4), "\r\nR ");
  EXPECT_NE(trace.find("WBCchkHigh="), std::string::npos);
}

TEST_F(CountCycleTest, TenResendsThenTheMessageAndTheTimeOut) {
  host.EnterSampleMode();
  host.board.CorruptNext(boardsim::Target::Plt, 11);
  host.PressKey();
  EXPECT_EQ(host.cycle.resendRequests(), 10);
  EXPECT_EQ(host.errors, std::vector<std::string>{"PLT data checksum error！"});
  EXPECT_EQ(host.cycle.state(), CycleState::Histograms);
  EXPECT_TRUE(host.processed.empty());

  sys::Clock::Advance(CountCycle::kCountTimeoutMs - 1);
  host.cycle.Tick();
  EXPECT_EQ(host.timeouts, 0);
  sys::Clock::Advance(1);
  const size_t from = host.sent.size();
  host.cycle.Tick();
  EXPECT_EQ(host.timeouts, 1);
  ASSERT_EQ(host.SentNames(from), std::vector<std::string>{"AA FF"});
  EXPECT_EQ(host.cycle.state(), CycleState::Aborted);
  host.Pump();  // the board's reset reply
  EXPECT_EQ(host.cycle.state(), CycleState::Idle);
  EXPECT_TRUE(host.cycle.ready());
}

TEST_F(CountCycleTest, DamagedStartAcknowledgementWaitsForTheTimeOut) {
  host.EnterSampleMode();
  host.board.CorruptNext(boardsim::Target::Ack, 100);  // from here every acknowledgement is damaged
  host.PressKey();
  // The start acknowledgement used up the allowance: stuck until the time-out.
  EXPECT_EQ(host.cycle.state(), CycleState::Starting);
  EXPECT_EQ(host.errors, std::vector<std::string>{"execute instruction checksum error！"});
}

TEST_F(CountCycleTest, EndOfTestReplyDamagedBeyondTheAllowance) {
  host.EnterSampleMode();
  host.damageEndReply = true;
  host.PressKey();
  EXPECT_EQ(host.processed.size(), 1u);
  EXPECT_EQ(host.cycle.resendRequests(), 10);
  EXPECT_EQ(host.errors, std::vector<std::string>{"Test finish instruction checksum error！"});
  EXPECT_EQ(host.cycle.state(), CycleState::Idle);
  EXPECT_FALSE(host.cycle.countTimerRunning());  // no time-out after a finished test
  ASSERT_EQ(host.ends.size(), 1u);               // the test ends (the screen's buttons come back)
  EXPECT_FALSE(host.ends[0].readings);           // with no aperture readings from a damaged reply
  sys::Clock::Advance(CountCycle::kCountTimeoutMs);
  host.cycle.Tick();
  EXPECT_EQ(host.timeouts, 0);
  EXPECT_TRUE(host.cycle.ready());
}

TEST_F(CountCycleTest, KeyOnlyWhenReadyAndAccepted) {
  host.PressKey();  // not in sample mode
  EXPECT_TRUE(host.sent.empty());
  host.EnterSampleMode();
  host.cycle.SetRinseRunning(true);
  size_t from = host.sent.size();
  host.PressKey();
  EXPECT_EQ(host.sent.size(), from);
  host.cycle.SetRinseRunning(false);
  host.decision = KeyDecision::Ignore;
  host.PressKey();
  EXPECT_EQ(host.sent.size(), from);
  EXPECT_TRUE(host.cycle.ready());

  host.decision = KeyDecision::DispenseDiluent;
  host.bloodMode = 2;
  host.PressKey();
  EXPECT_EQ(host.SentNames(from), std::vector<std::string>{"AA A2"});
  EXPECT_TRUE(host.cycle.ready());  // AA A2 FF
  EXPECT_EQ(host.statuses.back(), CycleStatus::Ready);

  host.decision = KeyDecision::Start;
  from = host.sent.size();
  host.PressKey();
  EXPECT_EQ(host.SentNames(from).front(), "AA 02");  // pre-diluted start
  EXPECT_EQ(host.SentNames(from).back(), "CC 80");
}

TEST_F(CountCycleTest, StartAcknowledgementOfAnotherModeIsNotTaken) {
  host.EnterSampleMode();
  host.PressKeyOnSilentBoard();
  EXPECT_EQ(host.cycle.state(), CycleState::Starting);
  const size_t from = host.sent.size();
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0x03, 0xFF)));
  EXPECT_EQ(host.sent.size(), from);
  EXPECT_EQ(host.cycle.state(), CycleState::Starting);
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0x04, 0xFF)));
  EXPECT_EQ(host.SentNames(from), std::vector<std::string>{"BB 04"});
  EXPECT_EQ(host.cycle.state(), CycleState::Header);
}

TEST_F(CountCycleTest, BufferNeverOverrunsAndShortHeadersAreNotRead) {
  host.EnterSampleMode();
  host.PressKeyOnSilentBoard();
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0x01, 0xFF)));
  ASSERT_EQ(host.cycle.state(), CycleState::Header);
  // Junk that keeps starting frames and ends in 0xE7, longer than any buffer.
  std::vector<uint8_t> junk;
  for (int i = 0; i < 5000; ++i) junk.push_back(i % 7 == 0 ? 0x7E : static_cast<uint8_t>(0xBB + i));
  junk.push_back(0xE7);
  host.Deliver(junk);
  EXPECT_LE(host.cycle.pendingBytes(), analyzer::FullCollector::kCapacity);
  // A run header announcing a length too short to hold its readings: dropped unread.
  const uint16_t before = host.cycle.hgbBlank();
  host.Deliver({0x7E, 0xBB, 0x04, 0x00, 0x03, 0xE7});
  EXPECT_EQ(host.cycle.hgbBlank(), before);
  EXPECT_EQ(host.cycle.state(), CycleState::Header);
  // A good header is still taken after all that.
  host.Deliver(analyzer::BuildRunHeader(3000, 0));
  EXPECT_EQ(host.cycle.state(), CycleState::Histograms);
  EXPECT_EQ(host.cycle.hgbBlank(), 3000);
  EXPECT_EQ(host.cycle.hgbSample(), 1);  // 0 is read as 1
}

TEST_F(CountCycleTest, WatchdogAsksAgainForAFrameBrokenOff) {
  host.EnterSampleMode();
  host.PressKeyOnSilentBoard();
  host.Deliver({0x7E, 0xAA, 0x01});  // broken off
  const size_t from = host.sent.size();
  for (int i = 0; i < 3; ++i) {
    sys::Clock::Advance(CountCycle::kWatchdogMs);
    host.cycle.Tick();
  }
  EXPECT_EQ(host.reopens, 1);
  EXPECT_EQ(host.SentNames(from), std::vector<std::string>{"5A 01"});
  EXPECT_EQ(host.cycle.pendingBytes(), 0u);
}

TEST_F(CountCycleTest, HistogramWithADoubledByteIsAskedForAgainByTheWatchdog) {
  // The frame arrives one byte longer than it announces and is dropped by the collector; the
  // link then falls quiet. Two quiet watchdog ticks later the port is reopened, the frame is
  // asked for again and the sample completes, long before the count time-out.
  const boardsim::Target targets[] = {boardsim::Target::Wbc, boardsim::Target::Rbc, boardsim::Target::Plt};
  for (const boardsim::Target t : targets) {
    ModelHost h;
    h.EnterSampleMode();
    h.board.DoubleByteNext(t);
    h.PressKey();
    ASSERT_EQ(h.cycle.state(), CycleState::Histograms) << static_cast<int>(t);
    const size_t from = h.sent.size();
    for (int tick = 1; tick <= 3; ++tick) {
      sys::Clock::Advance(CountCycle::kWatchdogMs);
      h.cycle.Tick();
      // The first tick still saw the frame's bytes, the second the first quiet one.
      EXPECT_EQ(h.reopens, tick == 3 ? 1 : 0) << static_cast<int>(t) << " tick " << tick;
    }
    ASSERT_GT(h.sent.size(), from);
    EXPECT_EQ(Name(h.sent[from]), "5A 01");
    h.Pump();
    EXPECT_EQ(h.timeouts, 0);
    EXPECT_EQ(h.processed, std::vector<bool>{false}) << static_cast<int>(t);
    ASSERT_EQ(h.ends.size(), 1u) << static_cast<int>(t);
    EXPECT_EQ(h.cycle.state(), CycleState::Idle);
    // The watchdog's request does not use up the allowance for damaged frames.
    EXPECT_EQ(h.cycle.resendRequests(), 0);
  }
}

// A histogram request that is not answered by its frame is sent again within a few seconds,
// whether the line is quiet, answers the watchdog's 5A 01 with another frame (the board repeats
// a key report), or floods junk; after the allowance the count ends with the time-out's
// message, far below the 120 s count time-out.
namespace {

enum class Withheld { Quiet, WrongAnswerToResend, JunkFlood };

// Runs the clock on in 500 ms steps for `ms`, feeding junk on every step when asked.
void RunClock(ModelHost& h, int64_t ms, bool junk) {
  for (int64_t t = 0; t < ms; t += 500) {
    if (junk) h.Deliver({0x7E, 0x13, 0x00, 0x55, 0x7E, 0xCC, 0x21, 0x42});
    sys::Clock::Advance(500);
    h.cycle.Tick();
  }
}

}  // namespace

TEST_F(CountCycleTest, HistogramRequestNotAnsweredIsSentAgainThenTheCountEnds) {
  struct Case {
    const char* name;
    Withheld how;
  } cases[] = {{"quiet line", Withheld::Quiet},
               {"5A 01 answered by a repeated key report", Withheld::WrongAnswerToResend},
               {"junk flood", Withheld::JunkFlood}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelHost h;
    h.EnterSampleMode();
    h.PressKeyOnSilentBoard();
    h.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0x01, 0xFF)));
    h.Deliver(analyzer::BuildRunHeader(3000, 2000));
    ASSERT_EQ(h.SentNames().back(), "BB 01");
    const size_t from = h.sent.size();
    if (c.how == Withheld::WrongAnswerToResend) {
      // The WBC frame is broken off; the watchdog asks for it and gets the key report again.
      const std::vector<uint16_t> bins(256, 9);
      std::vector<uint8_t> wbc = analyzer::BuildHistogramFrame(analyzer::ChannelWbc, bins);
      wbc.resize(100);
      h.Deliver(wbc);
      RunClock(h, 3 * CountCycle::kWatchdogMs, false);
      ASSERT_EQ(h.SentNames(from), std::vector<std::string>{"5A 01"});
      h.Deliver(Bytes(analyzer::BuildCommandFrame(0xCC, 0xFF)));
    }
    const size_t before = h.sent.size();
    EXPECT_TRUE(h.noAnswers.empty());
    RunClock(h, CountCycle::kRequestRetryMs, c.how == Withheld::JunkFlood);
    EXPECT_EQ(h.SentNames(before), std::vector<std::string>{"BB 01"});
    EXPECT_EQ(h.timeouts, 0);
    // The screen is told within seconds that the analyzer does not answer.
    EXPECT_EQ(h.noAnswers, std::vector<bool>{true});
    // Still nothing: asked twice more, then the count waits for its own time-out (120 s after
    // the key), which ends it.
    RunClock(h, 3 * CountCycle::kRequestRetryMs, c.how == Withheld::JunkFlood);
    EXPECT_EQ(h.SentNames(before), (std::vector<std::string>{"BB 01", "BB 01", "BB 01"}));
    EXPECT_EQ(h.timeouts, 0);
    RunClock(h, CountCycle::kCountTimeoutMs - 4 * CountCycle::kRequestRetryMs, c.how == Withheld::JunkFlood);
    EXPECT_EQ(h.SentNames(before), (std::vector<std::string>{"BB 01", "BB 01", "BB 01", "AA FF"}));
    EXPECT_EQ(h.timeouts, 1);
    EXPECT_EQ(h.cycle.state(), CycleState::Aborted);
    EXPECT_EQ(h.noAnswers, std::vector<bool>{true});
  }
}

// The library loaded for a count's end once its WBC histogram came is unloaded again when the
// count ends without its other histograms.
TEST_F(CountCycleTest, CountThatEndsBeforeItsLastHistogramLeavesTheLibraryUnloaded) {
  // A copy of its own: this program is linked with the built library, which stays loaded.
  const std::string library = folder.file("libZentilCopy.so");
  std::filesystem::copy_file(BuiltZentilPath(), library);
  auto loaded = [&] {
    void* h = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h != nullptr) dlclose(h);
    return h != nullptr;
  };
  SetZentilLibraryPath(library);
  ASSERT_FALSE(loaded());
  ModelHost h;
  h.EnterSampleMode();
  h.PressKeyOnSilentBoard();
  h.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0x01, 0xFF)));
  h.Deliver(analyzer::BuildRunHeader(3000, 2000));
  h.Deliver(analyzer::BuildHistogramFrame(analyzer::ChannelWbc, std::vector<uint16_t>(256, 9)));
  ASSERT_EQ(h.SentNames().back(), "BB 02");
  EXPECT_TRUE(loaded());
  RunClock(h, CountCycle::kCountTimeoutMs, false);
  ASSERT_EQ(h.timeouts, 1);
  EXPECT_FALSE(loaded());
  SetZentilLibraryPath("");
}

TEST_F(CountCycleTest, HistogramSentAgainOnRequestCompletesTheSample) {
  host.EnterSampleMode();
  host.board.DropNext(boardsim::Target::Rbc);  // the first RBC frame never reaches the PC
  host.PressKey();
  ASSERT_EQ(host.cycle.state(), CycleState::Histograms);
  const size_t from = host.sent.size();
  for (int64_t t = 0; t < CountCycle::kRequestRetryMs && host.sent.size() == from; t += 500) {
    sys::Clock::Advance(500);
    host.cycle.Tick();
  }
  EXPECT_EQ(host.SentNames(from), std::vector<std::string>{"BB 02"});
  host.Pump();
  EXPECT_EQ(host.processed, std::vector<bool>{false});
  EXPECT_EQ(host.ends.size(), 1u);
  EXPECT_EQ(host.timeouts, 0);
  EXPECT_EQ(host.cycle.count(1).rbc[80], host.board.lastCount().rbc[80]);
}

// Between counts a key report cut on the line is asked for again, and the count starts.
TEST_F(CountCycleTest, KeyReportCutInIdleIsAskedForAgain) {
  host.EnterSampleMode();
  ASSERT_TRUE(host.cycle.ready());
  std::vector<uint8_t> key;
  for (auto& e : host.board.PressCountKey()) key = e.bytes;  // the board remembers it as its last frame
  key.resize(6);
  const size_t from = host.sent.size();
  host.Deliver(key);
  EXPECT_TRUE(host.cycle.NeedsTicks());
  for (int i = 0; i < 3; ++i) {
    sys::Clock::Advance(CountCycle::kWatchdogMs);
    host.cycle.Tick();
  }
  ASSERT_FALSE(host.SentNames(from).empty());
  EXPECT_EQ(host.SentNames(from).front(), "5A 01");
  host.Pump();
  EXPECT_EQ(host.SentNames(from)[1], "AA 01");
  EXPECT_EQ(host.processed.size(), 1u);
  // Nothing on its way any more: between counts the watchdog stops.
  for (int i = 0; i < 3; ++i) {
    sys::Clock::Advance(CountCycle::kWatchdogMs);
    host.cycle.Tick();
  }
  EXPECT_FALSE(host.cycle.NeedsTicks());
}

// A fault report ends a running count through the time-out path; between counts it arms
// nothing, so a later command never wakes a stale deadline.
TEST_F(CountCycleTest, FaultTimeoutOnlyEndsARunningCount) {
  host.EnterSampleMode();
  host.cycle.StartFaultTimeout(500);
  EXPECT_FALSE(host.cycle.countTimerRunning());
  sys::Clock::Advance(5000);
  host.cycle.SendCommand(0xAA, 0x91);  // any later command (here: leave sample mode)
  host.Pump();
  host.cycle.Tick();
  EXPECT_EQ(host.timeouts, 0);
  EXPECT_NE(host.SentNames().back(), "AA FF");

  host.cycle.SendCommand(0xAA, 0x90);
  host.Pump();
  host.PressKeyOnSilentBoard();
  host.cycle.StartFaultTimeout(500);
  sys::Clock::Advance(499);
  host.cycle.Tick();
  EXPECT_EQ(host.timeouts, 0);
  sys::Clock::Advance(1);
  host.cycle.Tick();
  EXPECT_EQ(host.timeouts, 1);
  EXPECT_EQ(host.SentNames().back(), "AA FF");
}

TEST_F(CountCycleTest, FailedWriteIsSentAgain) {
  host.EnterSampleMode();
  host.writeFailed = true;
  host.PressKeyOnSilentBoard();
  const size_t from = host.sent.size();
  sys::Clock::Advance(CountCycle::kResendCheckMs);
  host.cycle.Tick();
  ASSERT_EQ(host.sent.size(), from + 2);
  EXPECT_EQ(host.sent[from], CommandFrame{});
  EXPECT_EQ(Name(host.sent[from + 1]), "AA 01");
}

// The board's acknowledgement of a command of the count is cut on the line to its first byte and
// a key report follows (so no frame is left half received for the link watchdog). The command
// is sent again after its deadline: the count goes on within seconds, and an end of test that is
// never answered ends as a finished test, never as a timed-out one.
namespace {

class CuttingHost : public ModelHost {
 public:
  uint8_t cutCommand = 0;  // AA cutCommand's replies are cut
  int cuts = 0;            // how many of them
  void SendFrame(const CommandFrame& f) override {
    const bool cut = cuts > 0 && f[1] == 0xAA && f[2] == cutCommand;
    if (cut) {
      --cuts;
      board.DropNext(boardsim::Target::Ack);
    }
    ModelHost::SendFrame(f);
    if (cut) {
      pendingToScreen.push_back({0x7E});
      pendingToScreen.push_back(Bytes(analyzer::BuildCommandFrame(0xCC, 0xFF)));
    }
  }
  int SentTimes(const std::string& name) const {
    int n = 0;
    for (const CommandFrame& f : sent) n += Name(f) == name ? 1 : 0;
    return n;
  }
};

}  // namespace

TEST_F(CountCycleTest, LostAcknowledgementOfACountCommandIsAskedForAgain) {
  // Deadlines by hand: 7 s for an answer, plus the longer count time (6.0 s) for a count.
  const struct {
    const char* name;
    uint8_t command;
    int64_t deadlineMs;
  } cases[] = {{"start", 0x01, 13000}, {"next count", 0x00, 13000}, {"end of test", 0x11, 7000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CuttingHost h;
    h.cutCommand = c.command;
    h.cuts = 1;
    h.EnterSampleMode();
    h.PressKey();
    char name[8];
    std::snprintf(name, sizeof name, "AA %02X", c.command);
    ASSERT_EQ(h.SentTimes(name), 1);
    RunClock(h, c.deadlineMs - 500, false);
    EXPECT_EQ(h.SentTimes(name), 1);
    RunClock(h, 500, false);
    EXPECT_EQ(h.SentTimes(name), 2);
    h.Pump();
    EXPECT_EQ(h.timeouts, 0);
    EXPECT_EQ(h.processed, std::vector<bool>{false});
    ASSERT_EQ(h.ends.size(), 1u);
    EXPECT_TRUE(h.ends[0].readings);
    EXPECT_FLOAT_EQ(h.ends[0].apertureSeconds, 4.0f);  // the same readings when asked again
    // The notice that the analyzer does not answer came at the deadline and went with the answer.
    EXPECT_EQ(h.noAnswers, (std::vector<bool>{true, false}));
    EXPECT_EQ(h.cycle.state(), CycleState::Idle);
    EXPECT_TRUE(h.cycle.ready());
    // Both counts kept are counts the board sent for this sample.
    EXPECT_EQ(h.cycle.count(2).wbc[60], h.board.lastCount().wbc[60]);
  }
}

TEST_F(CountCycleTest, CountCommandNeverAcknowledgedEndsTheCountButAStoredResultIsNotTimedOut) {
  const struct {
    const char* name;
    uint8_t command;
    int64_t deadlineMs;
    bool finished;  // the result was processed before the command
  } cases[] = {{"next count", 0x00, 13000, false}, {"end of test", 0x11, 7000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CuttingHost h;
    h.cutCommand = c.command;
    h.cuts = 100;
    h.EnterSampleMode();
    h.PressKey();
    // Sent, then sent again three times: the fourth deadline ends the test after the end-of-test
    // command; a count waits for its own time-out, 120 s after the key.
    RunClock(h, 4 * c.deadlineMs - 500, false);
    EXPECT_EQ(h.timeouts, 0);
    EXPECT_EQ(h.cycle.state(), c.finished ? CycleState::Finishing : CycleState::NextCount);
    EXPECT_EQ(h.SentTimes(c.finished ? "AA 11" : "AA 00"), 4);
    EXPECT_EQ(h.noAnswers, std::vector<bool>{true});
    RunClock(h, c.finished ? 500 : CountCycle::kCountTimeoutMs - 4 * c.deadlineMs + 500, false);
    h.Pump();
    if (c.finished) {
      EXPECT_EQ(h.timeouts, 0);
      EXPECT_EQ(h.processed, std::vector<bool>{false});
      ASSERT_EQ(h.ends.size(), 1u);
      EXPECT_FALSE(h.ends[0].readings);
      EXPECT_EQ(h.statuses.back(), CycleStatus::Ready);
      EXPECT_FALSE(h.cycle.resultPending());
      EXPECT_EQ(h.cycle.state(), CycleState::Idle);
      EXPECT_TRUE(h.cycle.ready());
    } else {
      EXPECT_EQ(h.timeouts, 1);
      EXPECT_TRUE(h.processed.empty());
      EXPECT_TRUE(h.ends.empty());
    }
    // Nothing more when the count's own time-out would have come.
    const int timeouts = h.timeouts;
    RunClock(h, CountCycle::kCountTimeoutMs, false);
    EXPECT_EQ(h.timeouts, timeouts);
  }
}

// A fault report after the end-of-test command ends the test without the reply: its result is
// stored already, so it is never booked as timed out.
TEST_F(CountCycleTest, FaultAfterTheEndOfTestCommandDoesNotTimeOutAStoredResult) {
  CuttingHost h;
  h.cutCommand = 0x11;
  h.cuts = 1;
  h.EnterSampleMode();
  h.PressKey();
  ASSERT_EQ(h.cycle.state(), CycleState::Finishing);
  h.cycle.StartFaultTimeout(500);
  RunClock(h, 500, false);
  h.Pump();
  EXPECT_EQ(h.timeouts, 0);
  ASSERT_EQ(h.ends.size(), 1u);
  EXPECT_FALSE(h.ends[0].readings);
  EXPECT_EQ(h.cycle.state(), CycleState::Idle);
}

// After a time-out the board's reset answer, whatever its status byte, or a temperature report,
// makes the cycle idle and ready for the count key again.
TEST_F(CountCycleTest, AnyResetAnswerOrATemperatureReportEndsTheAbort) {
  struct Case {
    const char* name;
    std::vector<uint8_t> answer;  // what the board sends after the abort
  } cases[] = {
      {"reset done, status FF", Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0xFF))},
      {"reset answer with status 00", Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0x00))},
      {"reset answer with status 01", Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0x01))},
      {"temperature report", Bytes(analyzer::BuildCommandFrame(0xCC, 0x80, 0x01, 0x55))},
      {"temperature report with a damaged check byte", {0x7E, 0xCC, 0x80, 0x01, 0x55, 0, 0, 0, 0, 0, 0, 0, 0x00, 0xE7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelHost h;
    h.EnterSampleMode();
    h.PressKeyOnSilentBoard();  // the start is never acknowledged
    sys::Clock::Advance(CountCycle::kCountTimeoutMs);
    h.cycle.Tick();
    ASSERT_EQ(h.cycle.state(), CycleState::Aborted);
    ASSERT_EQ(h.SentNames().back(), "AA FF");
    h.Deliver(c.answer);
    EXPECT_EQ(h.cycle.state(), CycleState::Idle);
    EXPECT_TRUE(h.cycle.ready());
    // The count key works again.
    h.board.SetSilent(false);
    const size_t from = h.sent.size();
    h.PressKey();
    ASSERT_FALSE(h.SentNames(from).empty());
    EXPECT_EQ(h.SentNames(from).front(), "AA 01");
    EXPECT_EQ(h.processed.size(), 1u);
  }
}

// The reset after a time-out that the board never answers (lost, or damaged beyond the
// allowance) is sent again; after the allowance the cycle takes the count key again.
TEST_F(CountCycleTest, UnansweredResetIsSentAgainThenTheCycleIsIdle) {
  host.EnterSampleMode();
  host.PressKeyOnSilentBoard();
  sys::Clock::Advance(CountCycle::kCountTimeoutMs);
  host.cycle.Tick();
  ASSERT_EQ(host.cycle.state(), CycleState::Aborted);
  const size_t from = host.sent.size();
  for (int i = 0; i < CountCycle::kRequestRetries + 1; ++i) {
    sys::Clock::Advance(CountCycle::kRequestRetryMs);
    host.cycle.Tick();
  }
  EXPECT_EQ(host.SentNames(from), (std::vector<std::string>{"AA FF", "AA FF", "AA FF"}));
  EXPECT_EQ(host.cycle.state(), CycleState::Idle);
  EXPECT_TRUE(host.cycle.ready());
  EXPECT_EQ(host.timeouts, 1);
}

// The reset given up on is forgotten: its answer coming late during the next count is a reset
// the board was not asked for, which ends that count with the time-out's message; the
// histogram still owed for it is never taken for the sample after.
TEST_F(CountCycleTest, LateAnswerOfAResetGivenUpOnEndsTheNextCountWithItsMessage) {
  host.EnterSampleMode();
  host.PressKeyOnSilentBoard();
  sys::Clock::Advance(CountCycle::kCountTimeoutMs);
  host.cycle.Tick();
  RunClock(host, (CountCycle::kRequestRetries + 1) * CountCycle::kRequestRetryMs, false);
  ASSERT_EQ(host.cycle.state(), CycleState::Idle);
  ASSERT_TRUE(host.cycle.ready());
  ASSERT_EQ(host.timeouts, 1);
  // The next sample, answered by hand up to its WBC request.
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xCC, 0xFF)));
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0x01, 0xFF)));
  host.Deliver(analyzer::BuildRunHeader(3000, 2000));
  ASSERT_EQ(host.cycle.state(), CycleState::Histograms);
  const size_t from = host.sent.size();
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0xFF)));  // the late answer
  EXPECT_EQ(host.timeouts, 2);
  EXPECT_EQ(host.SentNames(from), std::vector<std::string>{"AA FF"});
  EXPECT_EQ(host.cycle.state(), CycleState::Aborted);
  host.Deliver(analyzer::BuildHistogramFrame(analyzer::ChannelWbc, std::vector<uint16_t>(256, 7)));
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0xFF)));  // the answer to this reset
  ASSERT_EQ(host.cycle.state(), CycleState::Idle);
  host.board.SetSilent(false);
  host.PressKey();
  ASSERT_EQ(host.processed.size(), 1u);
  EXPECT_EQ(host.cycle.count(1).wbc[60], host.board.lastCount().wbc[60]);
  EXPECT_NE(host.cycle.count(1).wbc[60], 7);
  EXPECT_EQ(host.timeouts, 2);
}

// A reset asked between counts (the screen's fault stop) holds the count key until its answer:
// a key report meanwhile starts nothing, so the answer never ends a count begun after it.
TEST_F(CountCycleTest, KeyWhileAResetIsUnansweredStartsNothing) {
  host.EnterSampleMode();
  host.board.SetSilent(true);
  host.cycle.SendCommand(0xAA, 0xFF);
  EXPECT_FALSE(host.cycle.ready());
  const size_t from = host.sent.size();
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xCC, 0xFF)));
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xCC, 0x80, 0x01, 0x55)));  // a temperature report
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xCC, 0xFF)));
  EXPECT_EQ(host.sent.size(), from);
  EXPECT_EQ(host.cycle.state(), CycleState::Idle);
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0xFF)));
  EXPECT_TRUE(host.cycle.ready());
  host.board.SetSilent(false);
  host.PressKey();
  EXPECT_EQ(host.SentNames(from).front(), "AA 01");
  EXPECT_EQ(host.processed.size(), 1u);
}

// A reset answer is acted on only after its check: a damaged one is asked for again.
TEST_F(CountCycleTest, DamagedResetAnswerIsAskedForAgain) {
  host.EnterSampleMode();
  host.PressKeyOnSilentBoard();
  sys::Clock::Advance(CountCycle::kCountTimeoutMs);
  host.cycle.Tick();
  ASSERT_EQ(host.cycle.state(), CycleState::Aborted);
  const size_t from = host.sent.size();
  host.Deliver({0x7E, 0xAA, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0xE7});
  EXPECT_EQ(host.SentNames(from), std::vector<std::string>{"5A 01"});
  EXPECT_EQ(host.cycle.state(), CycleState::Aborted);
  EXPECT_FALSE(host.cycle.ready());
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0xFF)));
  EXPECT_EQ(host.cycle.state(), CycleState::Idle);
  EXPECT_TRUE(host.cycle.ready());
}

// A reset answer the PC did not ask for (the board reset itself) ends a running count as a
// failed one: the time-out's message, the board reset again, and the replies the board still
// owed for that sample are not taken for the next one. In idle it changes nothing.
TEST_F(CountCycleTest, UnaskedResetEndsARunningCountAndNothingInIdle) {
  const std::vector<uint8_t> resetDone = Bytes(analyzer::BuildCommandFrame(0xAA, 0xFF, 0xFF));
  const std::vector<uint16_t> oldBins(256, 7);
  const std::vector<uint8_t> oldWbc = analyzer::BuildHistogramFrame(analyzer::ChannelWbc, oldBins);
  struct Case {
    const char* name;
    std::vector<std::vector<uint8_t>> before;  // what the board had answered when it reset
  } cases[] = {
      {"waiting for the start acknowledgement", {}},
      {"waiting for the run header", {Bytes(analyzer::BuildCommandFrame(0xAA, 0x01, 0xFF))}},
      {"waiting for the WBC histogram",
       {Bytes(analyzer::BuildCommandFrame(0xAA, 0x01, 0xFF)), analyzer::BuildRunHeader(3000, 2000)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelHost h;
    h.EnterSampleMode();
    h.PressKeyOnSilentBoard();
    for (const auto& b : c.before) h.Deliver(b);
    const size_t from = h.sent.size();
    h.Deliver(resetDone);
    EXPECT_EQ(h.timeouts, 1);
    EXPECT_EQ(h.SentNames(from), std::vector<std::string>{"AA FF"});
    EXPECT_EQ(h.cycle.state(), CycleState::Aborted);
    EXPECT_FALSE(h.cycle.countTimerRunning());
    // The histogram the board owed for the abandoned sample arrives late: not taken.
    h.Deliver(oldWbc);
    EXPECT_EQ(h.cycle.state(), CycleState::Aborted);
    h.Deliver(resetDone);  // the answer to our reset
    EXPECT_EQ(h.cycle.state(), CycleState::Idle);
    EXPECT_TRUE(h.cycle.ready());
    // The next sample is built from its own histograms.
    h.board.SetSilent(false);
    h.PressKey();
    ASSERT_EQ(h.processed.size(), 1u);
    EXPECT_EQ(h.cycle.count(1).wbc[60], h.board.lastCount().wbc[60]);
    EXPECT_NE(h.cycle.count(1).wbc[60], 7);
    EXPECT_EQ(h.timeouts, 1);
  }
  // Idle: no message, nothing sent, still ready.
  host.EnterSampleMode();
  const size_t from = host.sent.size();
  host.Deliver(resetDone);
  EXPECT_EQ(host.sent.size(), from);
  EXPECT_EQ(host.timeouts, 0);
  EXPECT_TRUE(host.cycle.ready());
  EXPECT_EQ(host.cycle.state(), CycleState::Idle);
}

// Outside the count the acknowledgements are taken without their check byte.
TEST_F(CountCycleTest, DamagedAcknowledgementsOutsideACountAreApplied) {
  // Sample mode: a damaged AA 90 FF still lets the count key start a count.
  host.board.CorruptNext(boardsim::Target::Ack);
  host.EnterSampleMode();
  EXPECT_TRUE(host.cycle.sampleMode());
  // Diluent: a damaged AA A2 FF still makes the screen ready.
  host.decision = KeyDecision::DispenseDiluent;
  host.bloodMode = 2;
  host.board.CorruptNext(boardsim::Target::Ack);
  host.PressKey();
  EXPECT_EQ(host.SentNames().back(), "AA A2");
  EXPECT_TRUE(host.cycle.ready());
  EXPECT_EQ(host.statuses.back(), CycleStatus::Ready);
  host.decision = KeyDecision::Start;
  const size_t from = host.sent.size();
  host.PressKey();
  EXPECT_EQ(host.SentNames(from).front(), "AA 02");
  EXPECT_EQ(host.processed.size(), 1u);
}

TEST_F(CountCycleTest, TemperatureReportDuringACountDoesNotMakeItReady) {
  host.EnterSampleMode();
  host.PressKeyOnSilentBoard();
  host.Deliver(Bytes(analyzer::BuildCommandFrame(0xCC, 0x80, 0x01, 0x55)));
  EXPECT_EQ(host.cycle.state(), CycleState::Starting);
  EXPECT_FALSE(host.cycle.ready());
}

TEST(Aperture, MeanInTenthsThenSeconds) {
  EXPECT_FLOAT_EQ(ApertureSeconds(30, 31, 0, false), 3.0f);
  EXPECT_FLOAT_EQ(ApertureSeconds(30, 31, 33, true), 3.1f);
  EXPECT_EQ(JudgeAperture(3.1f, 3.0f, 1.0f), ApertureWarning::Clogged);
  EXPECT_EQ(JudgeAperture(3.0f, 3.0f, 1.0f), ApertureWarning::None);
  EXPECT_EQ(JudgeAperture(0.9f, 3.0f, 1.0f), ApertureWarning::AirBubble);
}
