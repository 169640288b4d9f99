// One whole sample over a pseudo-terminal with the board simulator on the other end: the count
// cycle runs the board through two counts, the built library computes, the values are flagged
// and the Person row lands in a fresh data store of a temporary program folder.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "analyzer/serial_port.h"
#include "core/ado_conn.h"
#include "core/value_format.h"
#include "measurement/count_cycle.h"
#include "measurement/run_result.h"
#include "measurement/zentil_call.h"
#include "program_folder.h"
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

  // The user-interface thread's side: handles the bytes the port's worker delivered.
  bool RunUntil(const std::function<bool()>& done, int limitMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
      std::deque<uint8_t> bytes;
      {
        std::unique_lock<std::mutex> lock(mutex);
        cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return !inbox.empty(); });
        bytes.swap(inbox);
      }
      for (uint8_t b : bytes) cycle.OnByte(b);
      cycle.Tick();
      if (std::chrono::steady_clock::now() > end) return false;
    }
    return true;
  }
};

// Opens the screen's board port on the simulator's device and starts its reader.
void OpenOnSimulator(LinkScreen& screen, boardsim::Simulator& sim) {
  ASSERT_EQ(screen.port.OpenDevice(
                [&](uint8_t b, unsigned) {
                  std::lock_guard<std::mutex> g(screen.mutex);
                  screen.inbox.push_back(b);
                  screen.cv.notify_one();
                },
                sim.DevicePath(), 4, 115200, 'N', 8, 1, 9, 512),
            1)
      << screen.port.LastError();
  ASSERT_EQ(screen.port.StartReader(), 1);
}

}  // namespace

TEST(SampleOverLink, NormalProfileFromKeyToStoredRow) {
  MeasurementFolder folder;
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  SetZentilLibraryPath(BuiltZentilPath());

  boardsim::SimulatorOptions options;
  options.board.noise = false;  // two identical counts: no third count
  boardsim::Simulator sim(options);
  ASSERT_TRUE(sim.Start().ok());

  LinkScreen screen;
  screen.folder = folder.folder();
  OpenOnSimulator(screen, sim);
  if (::testing::Test::HasFatalFailure()) return;

  screen.cycle.SendCommand(0xAA, 0x90);
  ASSERT_TRUE(screen.RunUntil([&] { return screen.cycle.ready(); }, 5000));
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
  OpenOnSimulator(screen, sim);
  if (::testing::Test::HasFatalFailure()) return;

  screen.cycle.SendCommand(0xAA, 0x90);
  ASSERT_TRUE(screen.RunUntil([&] { return screen.cycle.ready(); }, 5000));
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
