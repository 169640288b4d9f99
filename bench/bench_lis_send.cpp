// Sending stored samples to the LIS simulator, one HL7 result message each with its
// acknowledgement awaited (read from the store, build, frame, send under the link's lock, join
// and parse the reply). The simulator runs as its own process (tools/lissim, on loopback), as a
// laboratory's host does. Reported per message, as medians over every message of several
// walks: with the program's 50 ms pause between two messages of a walk, and without it (what the
// sending itself takes). Beside them, this process's processor time per message (the simulator's
// is not in it).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/ado_conn.h"
#include "core/data_store.h"
#include "core/lis_link_state.h"
#include "lis/lis_link.h"
#include "lis/lis_send.h"
#include "lis/stored_send.h"
#include "platform/sys/program_dir.h"
#include "spawn_reading.h"


namespace {

constexpr int kSamples = 40;  // messages of one walk
constexpr int kWalks = 8;
constexpr int kProgramPauseMs = 50;

double CpuSeconds(clockid_t which = CLOCK_PROCESS_CPUTIME_ID) {
  timespec t;
  clock_gettime(which, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// The simulator as a process of its own, listening on a free loopback port.
class Simulator {
 public:
  bool Start(const std::filesystem::path& dir) {
    const std::string log = (dir / "lissim.log").string();
    if (!bench_spawn::SpawnReading({QUORVEX_LISSIM_PATH, "--port", "0", "--log", log}, pid_, out_)) {
      pid_ = -1;
      return false;
    }
    // "lissim: listening on 127.0.0.1:<port>, log ..."
    std::string line;
    char c;
    while (read(out_, &c, 1) == 1 && c != '\n') line += c;
    const size_t colon = line.find("127.0.0.1:");
    if (colon == std::string::npos) return false;
    port_ = std::atoi(line.c_str() + colon + 10);
    return port_ > 0;
  }
  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (out_ >= 0) close(out_);
    out_ = -1;
  }
  ~Simulator() { Stop(); }
  int Port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int port_ = 0;
};

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Figure {
  double wallMs = -1, cpuUs = -1;
};
Figure gFigures[2];  // without the pause, with it

void BM_SendStoredSamples(benchmark::State& state) {
  const int pauseMs = static_cast<int>(state.range(0));
  const auto dir = std::filesystem::temp_directory_path() / ("quorvex_bench_lis_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  sys::SetProgramDir(dir.string());
  if (!CreateDataStoreIfMissing()) std::abort();
  std::vector<lis::StoredSampleKey> keys;
  {
    CADOConn conn;
    conn.Execute("begin");
    for (int i = 1; i <= kSamples; ++i) {
      conn.Execute("insert into Person (SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,WBC,LYMA,MONA,GRAA,RBC,HGB,"
                   "MCHC,MCH,MCV,HCT,PLT,RefText) values ('" + std::to_string(i) +
                   "','2026-03-07','08:00:00','Patient " + std::to_string(i) +
                   "','F',40,'Y','*7.20 H','2.1','0.5','4.6','4.50','135','330','29.0','88.0','40.0','250',"
                   "'4.0-10.0,0.8-4.0,0.1-1.5,2.0-7.0')");
      keys.push_back({std::to_string(i), "2026-03-07"});
    }
    conn.Execute("commit");
  }
  Simulator sim;
  if (!sim.Start(dir)) {
    state.SkipWithError("the LIS simulator did not start (build the lissim target)");
    return;
  }
  LisLinkState.ServerAddress = "127.0.0.1";
  LisLinkState.ServerPort = sim.Port();
  LisLinkState.NetworkReady = 1;
  LisLinkState.ApplyPending = 0;
  LisLinkState.LinkKind = 1;
  lis::SetLisLinkPollMs(20);
  lis::SetWalkPauseMs(pauseMs);
  lis::StartLisThreads();
  for (int i = 0; i < 400 && LisLinkState.LisConnected.load() != 1; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));

  CADOConn conn;
  std::vector<double> perMessageMs;
  double cpu = 0;
  int messages = 0;
  for (auto _ : state) {
    // Each message's time runs from the end of the one before (its pause included) to its
    // acknowledgement.
    auto last = std::chrono::steady_clock::now();
    const double c0 = CpuSeconds();
    const lis::BatchResult b = lis::SendStoredSamples(conn, keys, 1, [&](int, int) {
      const auto now = std::chrono::steady_clock::now();
      perMessageMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
    });
    cpu += CpuSeconds() - c0;
    messages += b.delivered;
    if (!b.complete()) {
      state.SkipWithError("not every sample was acknowledged");
      break;
    }
  }
  lis::StopLisThreads();
  lis::SetWalkPauseMs(kProgramPauseMs);
  sim.Stop();
  sys::SetProgramDir("");
  std::filesystem::remove_all(dir);
  if (messages == 0) return;
  Figure& f = gFigures[pauseMs > 0 ? 1 : 0];
  f.wallMs = Median(perMessageMs);
  f.cpuUs = cpu / messages * 1e6;
  state.counters["median_ms_per_message"] = f.wallMs;
  state.counters["cpu_us_per_message"] = f.cpuUs;
}
BENCHMARK(BM_SendStoredSamples)
    ->ArgName("pause_ms")
    ->Arg(0)
    ->Arg(kProgramPauseMs)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kWalks)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const char* names[2] = {"without the pause between messages", "with the program's 50 ms pause"};
  for (int i = 0; i < 2; ++i) {
    if (gFigures[i].wallMs < 0) continue;
    std::printf("LIS send to the simulator process, %s: median %.2f ms a message (%d messages); "
                "this process's processor time %.0f us a message\n",
                names[i], gFigures[i].wallMs, kSamples * kWalks, gFigures[i].cpuUs);
  }
  return 0;
}
