// One whole sample over a pseudo-terminal with the board simulator on the other end, on the
// manual clock: the count cycle runs the board through two counts, the built library computes,
// the values are flagged and the Person row, the X-B row and the raw test data land in a fresh
// data store of a temporary program folder.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "analyzer/serial_port.h"
#include "core/ado_conn.h"
#include "core/value_format.h"
#include "measurement/count_cycle.h"
#include "measurement/run_result.h"
#include "measurement/zentil_call.h"
#include "algorithm/Zentil.h"
#include "platform/sys/clock.h"
#include "program_folder.h"
#include "tools/boardsim/blood_profile.h"
#include "tools/boardsim/simulator.h"

using namespace measurement;

namespace {

const std::string kUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",
                                "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",    "fL",
                                "%",      "10^9/L", "fL",     "fL",     "%",  "%"};

class LinkScreen : public CountCycleHost {
 public:
  analyzer::CSerialPort port;
  CountCycle cycle{*this};
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<uint8_t> inbox;
  std::string folder;
  std::vector<RunResult> results;
  std::vector<EndOfTestReport> ends;
  std::vector<CountValues> quick;

  void SendFrame(const analyzer::CommandFrame& f) override { port.QueueWrite(f.data(), f.size()); }
  bool LastWriteFailed() override { return port.SendError(); }
  void OnCountValues(int, const CountValues& v) override { quick.push_back(v); }
  void ProcessRunResult(bool) override {
    RunInputs in;
    cycle.FillRunInputs(in);
    in.sampleNo = "1";
    in.bloodModeText = "Whole blood";
    for (int i = 0; i < 20; ++i) in.units[i] = kUnits[i];
    in.folder = folder;
    CADOConn conn;
    XbQcState xb = LoadXbQcState(conn);
    results.push_back(measurement::ProcessRunResult(conn, in, cycle.histograms(), xb));
  }
  void OnEndOfTest(const EndOfTestReport& r) override { ends.push_back(r); }
  int timeouts = 0;
  void OnTimeout() override { ++timeouts; }
  std::vector<std::string> errors;
  void ShowChecksumError(const std::string& m) override { errors.push_back(m); }

  // Opens the port to the simulator, starts its reader and waits until the board says it is ready.
  testing::AssertionResult Connect(const std::string& device) {
    const auto deliver = [this](uint8_t b, unsigned) {
      std::lock_guard<std::mutex> g(mutex);
      inbox.push_back(b);
      cv.notify_one();
    };
    if (port.OpenDevice(deliver, device, 4, 115200, 'N', 8, 1, 9, 512) != 1)
      return testing::AssertionFailure() << port.LastError();
    if (port.StartReader() != 1) return testing::AssertionFailure() << "the port's reader did not start";
    cycle.SendCommand(0xAA, 0x90);
    if (!RunUntil([&] { return cycle.ready(); }, 5000)) return testing::AssertionFailure() << "the board never got ready";
    return testing::AssertionSuccess();
  }

  // The user-interface thread's side: handles the bytes the port's worker delivered. While the
  // line is quiet the manual clock moves on, so the cycle's timers run.
  bool RunUntil(const std::function<bool()>& done, int limitMs, int stepMs = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
      std::deque<uint8_t> bytes;
      {
        std::unique_lock<std::mutex> lock(mutex);
        cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return !inbox.empty(); });
        bytes.swap(inbox);
      }
      if (bytes.empty()) sys::Clock::Advance(stepMs);
      for (uint8_t b : bytes) cycle.OnByte(b);
      cycle.Tick();
      if (std::chrono::steady_clock::now() > end) return false;
    }
    return true;
  }
};

// The program clock in manual mode for one test.
struct ManualClock {
  ManualClock() { sys::Clock::UseManual(); }
  ~ManualClock() { sys::Clock::UseReal(); }
};

}  // namespace

TEST(SampleOverLink, NormalProfileFromKeyToStoredRow) {
  MeasurementFolder folder;
  ManualClock clock;
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  SetZentilLibraryPath(BuiltZentilPath());

  boardsim::SimulatorOptions options;
  options.board.noise = false;  // two identical counts: no third count
  boardsim::Simulator sim(options);
  ASSERT_TRUE(sim.Start().ok());

  LinkScreen screen;
  screen.folder = folder.folder();
  ASSERT_TRUE(screen.Connect(sim.DevicePath()));
  sim.PressCountKey();
  const bool finished = screen.RunUntil([&] { return !screen.ends.empty(); }, 10000);
  screen.port.Close();
  sim.Stop();
  SetZentilLibraryPath("");
  ASSERT_TRUE(finished) << "state " << static_cast<int>(screen.cycle.state());

  ASSERT_EQ(screen.quick.size(), 2u);
  EXPECT_FALSE(screen.cycle.thirdCount());
  ASSERT_EQ(screen.results.size(), 1u);
  const RunResult& r = screen.results[0];
  ASSERT_EQ(r.status, ZentilStatus::Computed);
  EXPECT_EQ(r.save, SaveStatus::Inserted);
  const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
  EXPECT_NEAR(r.values.values[0], p.wbc, p.wbc * 0.15);
  EXPECT_NEAR(r.values.values[15], p.plt, p.plt * 0.2);
  EXPECT_EQ(Scalar("select count(*) from Person where SampleNo='1'"), "1");
  EXPECT_EQ(Scalar("select WBC from Person where SampleNo='1'"), r.storedTexts[0]);
  EXPECT_EQ(Scalar("select BloodType from Person where SampleNo='1'"), "Whole blood");
  EXPECT_EQ(FileBytes(folder.file("TDI.dat")).size(), 32u);
  EXPECT_EQ(FileBytes(folder.file("TD.dat")).size(), 2560u);
  EXPECT_FLOAT_EQ(screen.ends[0].apertureSeconds, 4.0f);
}

TEST(SampleOverLink, HistogramWithADoubledByteIsSentAgainAndTheSampleStored) {
  // A byte doubled on the line makes the RBC histogram of the first count one byte too long.
  // The link watchdog asks for it again after two quiet ticks (about 4 to 6 s), far below the
  // 120 s count time-out, and the sample is stored.
  MeasurementFolder folder;
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  SetZentilLibraryPath(BuiltZentilPath());
  boardsim::SimulatorOptions options;
  options.board.noise = false;
  boardsim::Simulator sim(options);
  ASSERT_TRUE(sim.Start().ok());
  LinkScreen screen;
  screen.folder = folder.folder();
  ASSERT_TRUE(screen.Connect(sim.DevicePath()));
  sim.DoubleByteNext(boardsim::Target::Rbc);
  sim.PressCountKey();
  const bool finished = screen.RunUntil([&] { return !screen.ends.empty(); }, 20000);
  screen.port.Close();
  sim.Stop();
  SetZentilLibraryPath("");
  ASSERT_TRUE(finished) << "state " << static_cast<int>(screen.cycle.state());

  // The PC asked for the frame again exactly once, right after its RBC request.
  const std::vector<analyzer::CommandFrame> got = sim.Received();
  int resends = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    if (got[i][1] != 0x5A) continue;
    ++resends;
    ASSERT_GT(i, 0u);
    EXPECT_EQ(got[i - 1][1], 0xBB);
    EXPECT_EQ(got[i - 1][2], 0x02);
  }
  EXPECT_EQ(resends, 1);
  ASSERT_EQ(screen.results.size(), 1u);
  EXPECT_EQ(screen.results[0].save, SaveStatus::Inserted);
  EXPECT_EQ(Scalar("select count(*) from Person where SampleNo='1' and WBC is not null"), "1");
  EXPECT_EQ(FileBytes(folder.file("TD.dat")).size(), 2560u);
}

// The board withholds a frame or cuts it on the line. While the line is quiet the program
// clock runs five times faster than real time, so a wait for the 120 s count time-out would
// take far longer than the limit: the frame must be asked for again within a few seconds.
TEST(SampleOverLink, WithheldOrCutFramesAreAskedForAgain) {
  struct Case {
    const char* name;
    std::function<void(boardsim::Simulator&)> damage;
    const char* askedTwice;  // the request the PC must send twice
  } cases[] = {
      {"WBC histogram withheld", [](boardsim::Simulator& s) { s.DropNext(boardsim::Target::Wbc); }, "BB 01"},
      {"count key report cut while idle", [](boardsim::Simulator& s) { s.DoubleByteNext(boardsim::Target::Status); },
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MeasurementFolder folder;
    ManualClock clock;
    UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
    SetZentilLibraryPath(BuiltZentilPath());
    boardsim::SimulatorOptions options;
    options.board.noise = false;
    boardsim::Simulator sim(options);
    ASSERT_TRUE(sim.Start().ok());
    LinkScreen screen;
    screen.folder = folder.folder();
    ASSERT_TRUE(screen.Connect(sim.DevicePath()));
    c.damage(sim);
    sim.PressCountKey();
    const bool finished = screen.RunUntil([&] { return !screen.ends.empty(); }, 10000, 100);
    screen.port.Close();
    sim.Stop();
    SetZentilLibraryPath("");
    ASSERT_TRUE(finished) << "state " << static_cast<int>(screen.cycle.state());
    EXPECT_EQ(screen.timeouts, 0);
    ASSERT_EQ(screen.results.size(), 1u);
    EXPECT_EQ(screen.results[0].save, SaveStatus::Inserted);
    if (c.askedTwice != nullptr) {
      int times = 0;
      for (const analyzer::CommandFrame& f : sim.Received()) {
        char name[8];
        std::snprintf(name, sizeof name, "%02X %02X", f[1], f[2]);
        if (name == std::string(c.askedTwice)) ++times;
      }
      EXPECT_EQ(times, 3);  // twice in the first count (asked again once), once in the second
    }
  }
}

TEST(SampleOverLink, BoardResetInTheMiddleOfACountEndsItWithTheMessage) {
  // The board resets itself while the PC waits for the WBC histogram of the first count; its
  // replies come late. The count must end as a failed one with the time-out's message, and the
  // next sample is built from the histograms the board sent for it.
  MeasurementFolder folder;
  ManualClock clock;
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  SetZentilLibraryPath(BuiltZentilPath());
  boardsim::SimulatorOptions options;
  options.board.replyDelayMs = 150;
  options.board.noise = false;  // every count of a sample alike; the samples told apart by profile
  boardsim::Simulator sim(options);
  ASSERT_TRUE(sim.Start().ok());
  LinkScreen screen;
  screen.folder = folder.folder();
  ASSERT_TRUE(screen.Connect(sim.DevicePath()));
  sim.PressCountKey();
  ASSERT_TRUE(screen.RunUntil([&] { return screen.cycle.state() == CycleState::Histograms; }, 10000));
  const analyzer::CommandFrame resetDone = analyzer::BuildCommandFrame(0xAA, 0xFF, 0xFF);
  sim.SendRaw(std::vector<uint8_t>(resetDone.begin(), resetDone.end()));
  const bool noticed = screen.RunUntil([&] { return screen.timeouts > 0; }, 10000);
  const bool idle = noticed && screen.RunUntil([&] { return screen.cycle.state() == CycleState::Idle && screen.cycle.ready(); }, 10000);
  EXPECT_TRUE(noticed) << "state " << static_cast<int>(screen.cycle.state());
  EXPECT_TRUE(idle);
  EXPECT_TRUE(screen.results.empty());
  bool finished = false;
  if (idle) {
    sim.SetProfile(boardsim::Profile::Leukocytosis);
    sim.PressCountKey();
    finished = screen.RunUntil([&] { return !screen.ends.empty(); }, 20000);
  }
  screen.port.Close();
  sim.Stop();
  SetZentilLibraryPath("");
  ASSERT_TRUE(finished);
  EXPECT_EQ(screen.timeouts, 1);
  ASSERT_EQ(screen.results.size(), 1u);
  EXPECT_EQ(screen.results[0].save, SaveStatus::Inserted);
  // Both counts kept are the board's counts of this sample, not of the abandoned one.
  boardsim::CountData last;
  sim.WithModel([&](boardsim::BoardModel& m) { last = m.lastCount(); });
  for (int n = 1; n <= 2; ++n) {
    for (int i = 0; i < 256; ++i) ASSERT_EQ(screen.cycle.count(n).wbc[i], last.wbc[i]) << n << " " << i;
    for (int i = 0; i < 256; ++i) ASSERT_EQ(screen.cycle.count(n).rbc[i], last.rbc[i]) << n << " " << i;
    for (int i = 0; i < 128; ++i) ASSERT_EQ(screen.cycle.count(n).plt[i], last.plt[i]) << n << " " << i;
  }
}

// ---- Every stored column of one counted sample, each worked out from the simulated count by the
// ---- rules: the library is called on its own with an input record built here from the bath
// ---- constants, the count time and the calibration factors; conversion, rounding, marks, texts,
// ---- the reference-range text, table order and the X-B row are then applied by hand.
namespace {

constexpr int kCountTenths = 105;  // 10.5 s asked; the analyzer computes with 10 s
const float kFactors[20] = {1.05f, 1, 1, 1, 1, 1, 1, 1.02f, 0.98f, 1, 1.01f, 1, 1, 1, 1, 0.95f, 1.03f, 1, 1, 1};
const sys::LocalTime kStamp{2027, 3, 4, 5, 6, 7, 0, 4};

// Display order: units, their conversion from the computed unit, the decimals slot.
const std::string kChosenUnits[20] = {"10^2/uL", "10^2/uL", "10^2/uL", "10^2/uL", "%",  "%",  "%",
                                      "10^12/L", "g/dL",    "L/L",     "fL",      "pg", "g/L", "fL",
                                      "%",       "10^9/L",  "fL",      "fL",      "mL/L", "%"};
const double kScale[20] = {10, 10, 10, 10, 1, 1, 1, 1, 0.1, 0.01, 1, 1, 1, 1, 1, 1, 1, 1, 10, 1};
const int kSlot[20] = {0, 0, 0, 0, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 12, 13};
const std::array<int32_t, 14> kDecimals = {1, 1, 2, 1, 3, 1, 1, 0, 2, 1, 0, 1, 2, 1};

// Table order: column name and display index.
const char* const kColumns[20] = {"WBC", "LYMA", "MONA", "GRAA",  "LYMP",  "MONP", "GRAP", "RBC", "HGB", "MCHC",
                                  "MCH", "MCV",  "RDWCV", "RDWSD", "HCT",  "PLT",  "MPV",  "PDW", "PCT", "PLCR"};
const int kDisplayOf[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 12, 11, 10, 14, 13, 9, 15, 16, 17, 18, 19};

class FullLinkScreen : public LinkScreen {
 public:
  sys::LocalTime stamp = kStamp;
  bool ReadCountTimes(uint8_t* w, uint8_t* r) override {
    *w = kCountTenths;
    *r = kCountTenths;
    return true;
  }
  void FillCountInputs(CountInputs& in) override {
    for (int i = 0; i < 20; ++i) in.calibration[i] = kFactors[i];
  }
  void ProcessRunResult(bool) override {
    sys::Clock::SetManualLocalTime(stamp);  // the moment the result is taken
    RunInputs in;
    cycle.FillRunInputs(in);
    in.sampleNo = "1";
    in.bloodModeText = "Whole blood";
    for (int i = 0; i < 20; ++i) in.units[i] = kChosenUnits[i];
    in.folder = folder;
    CADOConn conn;
    XbQcState xb = LoadXbQcState(conn);
    results.push_back(measurement::ProcessRunResult(conn, in, cycle.histograms(), xb));
  }
};

std::string Fixed(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}
std::string General(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}
float RoundHalfUp(float v, int d) {
  const double f = std::pow(10.0, d);
  return static_cast<float>(std::trunc(static_cast<double>(v) * f + 0.5) / f);
}
std::string Mark(float v, float nl, float nh, float pl, float ph) {
  std::string m;
  if (v < pl) m = "L-";
  else if (v < nl) m = "L";
  if (v > ph) m = "H+";
  else if (v > nh) m = "H";
  return m;
}
double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// The library on its own, given the input record the rules fill for whole blood from a count:
// the readings, the bath constants, the count time and the six calibration factors (display
// order of `factors`).
std::unique_ptr<AlgorithmResult> ReferenceResult(const boardsim::CountData& count, float seconds,
                                                 const float factors[20]) {
  static uint16_t blank, sample;
  blank = count.hgbBlank, sample = count.hgbSample;
  AlgorithmInput input;
  std::memset(&input, 0, sizeof input);
  input.HgbBlankReadings = &blank;
  input.HgbSampleReadings = &sample;
  input.HgbReadingCount = 1;
  input.WbcDilution = 280.0f;
  input.RbcDilution = 18109.0f;
  input.WbcRateDivisor = 25.6f;
  input.RbcRateDivisor = 10.4f;
  input.WbcCountTime = seconds;
  input.RbcCountTime = seconds;
  input.WbcFactor = factors[0];
  input.HgbFactor = factors[8];
  input.RbcFactor = factors[7];
  input.McvFactor = factors[10];
  input.PltFactor = factors[15];
  input.MpvFactor = factors[16];
  for (int i = 0; i < 256; ++i) input.WbcHistogram[i] = count.wbc[i];
  for (int i = 0; i < 256; ++i) input.RbcHistogram[i] = count.rbc[i];
  for (int i = 0; i < 128; ++i) input.PltHistogram[i] = count.plt[i];
  auto result = std::make_unique<AlgorithmResult>();
  std::memset(result.get(), 0, sizeof(AlgorithmResult));
  AlgorithmMain(result.get(), &input, nullptr);
  return result;
}

// The 20 values of a result in display order (PDW before PCT).
void DisplayValues(const AlgorithmResult& a, float out[20]) {
  const float v[20] = {a.WBC, a.LymCount, a.MidCount, a.GraCount, a.LymPercent, a.MidPercent, a.GraPercent,
                       a.RBC, a.HGB,      a.HCT,      a.MCV,      a.MCH,        a.MCHC,       a.RDWSD,
                       a.RDWCV, a.PLT,    a.MPV,      a.PDW,      a.PCT,        a.PLCR};
  std::memcpy(out, v, sizeof v);
}

// The codes of the raised histogram flags, each with a blank; none of a channel flagged low.
std::string WarningOf(const AlgorithmResult& a) {
  std::string warning;
  if (a.WbcLow == 0) {
    if (a.LF1) warning += "LF1 ";
    if (a.LF2) warning += "LF2 ";
    if (a.LF3) warning += "LF3 ";
    if (a.LF4) warning += "LF4 ";
  }
  if (a.PltLow == 0) {
    if (a.PF1) warning += "PF1 ";
    if (a.PF2) warning += "PF2 ";
  }
  return warning;
}

}  // namespace

TEST(SampleOverLink, EveryStoredColumnFollowsTheCountByTheRules) {
  MeasurementFolder folder;
  ManualClock clock;
  UnitDecimals = kDecimals;
  SetZentilLibraryPath(BuiltZentilPath());

  // The count the board sends, twice: noise off, so the final histograms are this count.
  const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
  const boardsim::CountData count = boardsim::GenerateCount(p, 10.0f, false, 1, false);

  // The library on its own, with the record filled by the rules for whole blood.
  const std::unique_ptr<AlgorithmResult> lib = ReferenceResult(count, 10.0f, kFactors);
  const AlgorithmResult& a = *lib;
  float computed[20];
  DisplayValues(a, computed);
  const uint16_t blank = count.hgbBlank, sample = count.hgbSample;

  // The library follows the profile (times the calibration factors); two values by hand.
  for (float v : computed) ASSERT_NE(v, kInvalidParamValue);
  ASSERT_EQ(a.WbcLines[0], 10);
  double pulses = 0;
  for (int i = 10; i < 256; ++i) pulses += count.wbc[i];
  const double m = std::log(1.0 / (1.0 - pulses / 10.0 * 0.000058)) / 0.000058;
  EXPECT_NEAR(computed[0], 0.001 * m * 280.0 / 25.6 * 1.05, 1e-3);
  EXPECT_NEAR(computed[0], p.wbc * 1.05, p.wbc * 0.05);
  EXPECT_NEAR(computed[8], std::log(static_cast<double>(blank) / sample) * 223.11 * 0.98, 1e-2);
  EXPECT_NEAR(computed[8], p.hgb * 0.98, 1.0);
  EXPECT_NEAR(computed[7], p.rbc * 1.02, p.rbc * 0.05);
  EXPECT_NEAR(computed[10], p.mcv * 1.01, 3.0);
  EXPECT_NEAR(computed[15], p.plt * 0.95, p.plt * 0.1);
  EXPECT_NEAR(computed[4], p.lymPct, 6.0);
  EXPECT_NEAR(computed[9], computed[7] * 0.1f * computed[10], 1e-3);

  // Converted and rounded values (display order), GRA# and GRA% again from the rounded ones.
  float shown[20];
  for (int i = 0; i < 20; ++i)
    shown[i] = RoundHalfUp(static_cast<float>(computed[i] * kScale[i]), kDecimals[kSlot[i]]);
  shown[3] = shown[0] - shown[1] - shown[2];
  shown[6] = 100.0f - shown[4] - shown[5];

  // Limits in display units: WBC panic high, HGB high, RBC low, PLT panic low, MCV a (0, 0)
  // range, RDW-CV no range; the rest wide around the value.
  float nl[20], nh[20], pl[20], ph[20];
  for (int i = 0; i < 20; ++i) {
    nl[i] = std::floor(shown[i] / 2);
    nh[i] = std::ceil(shown[i] * 2) + 1;
    pl[i] = -1000.0f;
    ph[i] = 100000.0f;
  }
  nl[0] = std::floor(shown[0]) - 20, nh[0] = std::floor(shown[0]) - 10, ph[0] = std::floor(shown[0]) - 5;
  nl[8] = 5, nh[8] = std::floor(shown[8]) - 1;
  nl[7] = std::floor(shown[7]) + 1, nh[7] = std::floor(shown[7]) + 2;
  nl[15] = std::floor(shown[15]) + 50, nh[15] = std::floor(shown[15]) + 100, pl[15] = std::floor(shown[15]) + 10;
  nl[9] = 0.25f, nh[9] = 0.75f;
  nl[10] = 0, nh[10] = 0;
  nl[14] = -10000000.0f, nh[14] = 10000000.0f;
  std::string normalSql = "insert into NormalLimits (Kind", panicSql = "insert into PathologyLimits (Kind";
  std::string normalValues = ") values (0", panicValues = ") values (0";
  for (int t = 0; t < 20; ++t) {
    const int i = kDisplayOf[t];
    normalSql += std::string(",") + kColumns[t] + "L," + kColumns[t] + "H";
    panicSql += std::string(",") + kColumns[t] + "L," + kColumns[t] + "H";
    normalValues += "," + General(nl[i]) + "," + General(nh[i]);
    panicValues += "," + General(pl[i]) + "," + General(ph[i]);
  }
  Exec("delete from NormalLimits");
  Exec(normalSql + normalValues + ")");
  Exec(panicSql + panicValues + ")");
  // X-B QC on; every parameter followed but MID# and RDW-SD.
  std::string xbSql = "insert into XBQCSet values (20, 1";
  for (int k = 0; k < 40; ++k) xbSql += ",0";
  for (int t = 0; t < 20; ++t) xbSql += (t == 2 || t == 13) ? ",0" : ",1";
  Exec("delete from XBQCSet");
  Exec(xbSql + ")");

  boardsim::SimulatorOptions options;
  options.board.noise = false;
  boardsim::Simulator sim(options);
  ASSERT_TRUE(sim.Start().ok());
  FullLinkScreen screen;
  screen.folder = folder.folder();
  ASSERT_TRUE(screen.Connect(sim.DevicePath()));
  sim.PressCountKey();
  ASSERT_TRUE(screen.RunUntil([&] { return !screen.ends.empty(); }, 20000))
      << "state " << static_cast<int>(screen.cycle.state());
  ASSERT_EQ(screen.results.size(), 1u);
  ASSERT_EQ(screen.results[0].save, SaveStatus::Inserted);

  // The expected row, column by column.
  std::map<std::string, std::string> expect;
  expect["SampleNo"] = "1";
  expect["TestDate"] = "2027-03-04";
  expect["TestTime"] = "05:06:07";
  for (const char* c : {"Name", "Sex", "AgeUnit", "MedicalNo", "BedNo", "Dept", "Sender", "Scrutator", "Checker"})
    expect[c] = "";
  expect["Age"] = "0";
  expect["Abnormal"] = "0";  // not written by a count: its default
  expect["BloodType"] = "Whole blood";
  expect["ReferValue"] = "General";
  std::string ranges[20];
  for (int i = 0; i < 20; ++i) {
    const int d = kDecimals[kSlot[i]];
    ranges[i] = (nl[i] < -999999.0f && nh[i] > 999999.0f) || nl[i] == nh[i] ? " "
                                                                               : Fixed(nl[i], d) + "-" + Fixed(nh[i], d);
  }
  std::string refText;
  for (int t = 0; t < 20; ++t) {
    const int i = kDisplayOf[t];
    const std::string mark = Mark(shown[i], nl[i], nh[i], pl[i], ph[i]);
    const std::string text = Fixed(shown[i], kDecimals[kSlot[i]]);
    expect[kColumns[t]] = mark.empty() ? text : text + " " + mark;
    refText += ranges[i] + ",";
  }
  // The limits chosen above give these marks; the rule of the marks is checked, not assumed.
  EXPECT_EQ(Mark(shown[0], nl[0], nh[0], pl[0], ph[0]), "H+");
  EXPECT_EQ(Mark(shown[8], nl[8], nh[8], pl[8], ph[8]), "H");
  EXPECT_EQ(Mark(shown[7], nl[7], nh[7], pl[7], ph[7]), "L");
  EXPECT_EQ(Mark(shown[15], nl[15], nh[15], pl[15], ph[15]), "L-");
  expect["Warning"] = WarningOf(a);
  expect["WBCUnit"] = "10^2/uL";
  expect["RBCUnit"] = "10^12/L";
  expect["HGBUnit"] = "g/dL";
  expect["MCHCUnit"] = "g/L";
  expect["HCTUnit"] = "L/L";
  expect["PLTUnit"] = "10^9/L";
  expect["PCTUnit"] = "mL/L";
  expect["RefText"] = refText;
  expect["CountInputs"] = "<null>";  // only a count the library could not compute keeps its inputs
  // Numbers, written with "%g": the library's WBC and the marker positions in fL.
  std::map<std::string, double> numbers = {
      {"OriginalWbc", Number(General(a.WBC))},
      {"WMARKER2", Number(General(static_cast<float>((a.WbcLines[1] + 1) * 1.5625)))},
      {"WMARKER3", Number(General(static_cast<float>((a.WbcLines[2] + 1) * 1.5625)))},
      {"PMARKER1", 2.0},
      {"PMARKER2", Number(General(static_cast<float>((a.PltUpper + 1) * 0.234375)))}};

  // Every column of the row has its expectation.
  auto checkRow = [](std::map<std::string, std::string>& texts, std::map<std::string, double>& values) {
    std::stringstream names(support::QueryText("select group_concat(name, ',') from pragma_table_info('Person')"));
    std::string column;
    size_t seen = 0;
    while (std::getline(names, column, ',')) {
      ++seen;
      const std::string stored = support::QueryText("select " + column + " from Person where SampleNo='1'", "<null>");
      if (values.count(column)) {
        EXPECT_NEAR(Number(stored), values[column], 1e-9) << column << " " << stored;
      } else if (texts.count(column)) {
        EXPECT_EQ(stored, texts[column]) << column;
      } else {
        ADD_FAILURE() << "no expectation for column " << column << " (stored " << stored << ")";
      }
    }
    EXPECT_EQ(seen, texts.size() + values.size());
  };
  checkRow(expect, numbers);
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");

  // The X-B row: date, time, the shown values as numbers (-2 for a parameter not followed), units.
  ASSERT_EQ(Scalar("select count(*) from XBQCRunResult"), "1");
  EXPECT_EQ(Scalar("select TestDate from XBQCRunResult"), "2027-03-04");
  EXPECT_EQ(Scalar("select TestTime from XBQCRunResult"), "05:06:07");
  for (int t = 0; t < 20; ++t) {
    const double want = (t == 2 || t == 13) ? -2.0 : Number(General(shown[kDisplayOf[t]]));
    EXPECT_NEAR(Number(Scalar(std::string("select ") + kColumns[t] + " from XBQCRunResult")), want, 1e-9)
        << kColumns[t];
  }
  for (const char* c : {"WBCUnit", "RBCUnit", "HGBUnit", "MCHCUnit", "HCTUnit", "PLTUnit", "PCTUnit"})
    EXPECT_EQ(Scalar(std::string("select ") + c + " from XBQCRunResult"), expect[c]) << c;

  // Raw test data: the key of the day and sample, the histograms of the count as floats.
  const std::string index = FileBytes(folder.file("TDI.dat"));
  ASSERT_EQ(index.size(), 32u);
  EXPECT_EQ(index, std::string("20270304 1") + std::string(22, '\0'));
  const std::string data = FileBytes(folder.file("TD.dat"));
  ASSERT_EQ(data.size(), 2560u);
  std::vector<float> bins;
  for (uint16_t v : count.wbc) bins.push_back(v);
  for (uint16_t v : count.rbc) bins.push_back(v);
  for (uint16_t v : count.plt) bins.push_back(v);
  EXPECT_EQ(std::memcmp(data.data(), bins.data(), 2560), 0);

  // The same sample number counted again the same day after the patient was entered: an update
  // that keeps the patient columns. The row's group "Adult female" has no ranges stored, so no
  // value is marked and every element of the reference text is one blank.
  Exec("update Person set Name='Ann Lee', Sex='F', Age=35, AgeUnit='Y', ReferValue='Adult female', "
       "MedicalNo='M7', BedNo='B2', Dept='Ward 3', Sender='Dr A', Scrutator='Dr B', Checker='Dr C', Abnormal=1");
  screen.stamp = sys::LocalTime{2027, 3, 4, 15, 16, 17, 0, 4};
  ASSERT_TRUE(screen.RunUntil([&] { return screen.cycle.ready(); }, 10000));
  sim.PressCountKey();
  ASSERT_TRUE(screen.RunUntil([&] { return screen.ends.size() == 2; }, 20000))
      << "state " << static_cast<int>(screen.cycle.state());
  screen.port.Close();
  sim.Stop();
  SetZentilLibraryPath("");
  ASSERT_EQ(screen.results.size(), 2u);
  EXPECT_EQ(screen.results[1].save, SaveStatus::Updated);
  expect["TestTime"] = "15:16:17";
  expect["Name"] = "Ann Lee", expect["Sex"] = "F", expect["Age"] = "35", expect["AgeUnit"] = "Y";
  expect["ReferValue"] = "Adult female", expect["MedicalNo"] = "M7", expect["BedNo"] = "B2";
  expect["Dept"] = "Ward 3", expect["Sender"] = "Dr A", expect["Scrutator"] = "Dr B", expect["Checker"] = "Dr C";
  expect["Abnormal"] = "1";
  std::string blanks;
  for (int t = 0; t < 20; ++t) {
    const int i = kDisplayOf[t];
    expect[kColumns[t]] = Fixed(shown[i], kDecimals[kSlot[i]]);
    blanks += " ,";
  }
  expect["RefText"] = blanks;
  checkRow(expect, numbers);
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");
  // A second X-B row at the new time; the raw data record of the sample is rewritten in place.
  ASSERT_EQ(Scalar("select count(*) from XBQCRunResult"), "2");
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult where TestDate='2027-03-04' and TestTime='15:16:17'"), "1");
  EXPECT_EQ(FileBytes(folder.file("TDI.dat")), index);
  EXPECT_EQ(FileBytes(folder.file("TD.dat")), data);
}

// A blank count: what the library cannot report is stored as "- - -" without a mark, the rest
// with its decimals and its mark against the General ranges of the store; an incomplete result
// stays out of X-B QC.
TEST(SampleOverLink, BlankCountStoresDashesAndStaysOutOfXb) {
  MeasurementFolder folder;
  ManualClock clock;
  const std::array<int32_t, 14> decimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  UnitDecimals = decimals;
  SetZentilLibraryPath(BuiltZentilPath());
  std::string xbSql = "insert into XBQCSet values (20, 1";
  for (int k = 0; k < 60; ++k) xbSql += ",1";
  Exec("delete from XBQCSet");
  Exec(xbSql + ")");

  const float ones[20] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const boardsim::CountData count =
      boardsim::GenerateCount(boardsim::ProfileData(boardsim::Profile::Blank), 5.0f, false, 1, false);
  const std::unique_ptr<AlgorithmResult> lib = ReferenceResult(count, 5.0f, ones);
  const AlgorithmResult& a = *lib;
  float computed[20];
  DisplayValues(a, computed);
  bool invalid[20];
  for (int i = 0; i < 20; ++i) invalid[i] = computed[i] == kInvalidParamValue;
  const int overLimit[5] = {0, 7, 8, 9, 15};
  for (int k = 0; k < 5; ++k)
    if (a.OverLimit[k]) invalid[overLimit[k]] = true;
  ASSERT_TRUE(invalid[10]) << "a blank count has no MCV";
  ASSERT_FALSE(invalid[0]);

  boardsim::SimulatorOptions options;
  options.board.noise = false;
  boardsim::Simulator sim(options);
  ASSERT_TRUE(sim.Start().ok());
  sim.SetProfile(boardsim::Profile::Blank);
  LinkScreen screen;
  screen.folder = folder.folder();
  ASSERT_TRUE(screen.Connect(sim.DevicePath()));
  sim.PressCountKey();
  const bool finished = screen.RunUntil([&] { return !screen.ends.empty(); }, 20000);
  screen.port.Close();
  sim.Stop();
  SetZentilLibraryPath("");
  ASSERT_TRUE(finished) << "state " << static_cast<int>(screen.cycle.state());
  ASSERT_EQ(screen.results.size(), 1u);
  EXPECT_EQ(screen.results[0].save, SaveStatus::Inserted);

  for (int t = 0; t < 20; ++t) {
    const int i = kDisplayOf[t];
    std::string want = "- - -";
    if (!invalid[i]) {
      const float v = RoundHalfUp(computed[i], decimals[kSlot[i]]);
      const float nl = static_cast<float>(Number(Scalar(std::string("select ") + kColumns[t] + "L from NormalLimits where Kind=0")));
      const float nh = static_cast<float>(Number(Scalar(std::string("select ") + kColumns[t] + "H from NormalLimits where Kind=0")));
      const std::string mark = Mark(v, nl, nh, -1e10f, 1e10f);
      want = Fixed(v, decimals[kSlot[i]]) + (mark.empty() ? "" : " " + mark);
    }
    EXPECT_EQ(Scalar(std::string("select ") + kColumns[t] + " from Person where SampleNo='1'"), want) << kColumns[t];
  }
  EXPECT_EQ(Scalar("select Warning from Person where SampleNo='1'"), WarningOf(a));
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "0");
}
