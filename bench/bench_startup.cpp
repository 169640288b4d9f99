// Start-up at a laboratory's real size.
// 1. The store work of start-up (decimals, settings, counting the results and reading their
//    columns, the upgrades, the counters, the settings row) followed by the purge of the oldest
//    day, on a store at capacity: 50,000 results with their raw test-data files plus one more
//    day of 100, so that the oldest day goes. Goal: at most 200 ms (the median of the runs) on
//    the start-up screen's thread; the rewrite of the raw files runs on a worker, as the screen
//    runs it, and its end is printed beside.
// 1b. The same on a store far over its capacity: 200,000 results over 2,000 days, so that the
//    1,500 oldest days go. Goal: at most 5 s.
// 2. The peak resident memory of a fresh process from start-up to a ready test screen on that
//    full store, against the same on an empty store. Goal: at most 4 MB more with the full store.
// Each memory figure comes from a child process (this program started again) that runs the
// start-up and reports its own peak.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analyzer/sequences/results_purge.h"
#include "analyzer/sequences/startup_store.h"
#include "core/ado_conn.h"
#include "large_store.h"
#include "fed_test_screen.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
constexpr double kGoalMs = 200.0;
constexpr double kGoalExtraMb = 4.0;
constexpr double kGoalFarOverMs = 5000.0;
double gStartupMs = -1, gStartupMeanMs = -1, gStartupCpuMs = -1, gRawDoneMs = -1, gFarOverMs = -1;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
long gPeakKb[2] = {-1, -1};  // empty store, full store

// The full store plus one day of today's results: one day over capacity.
void PrepareAtCapacity(const fs::path& folder) {
  bench_store::CopyFullStore(folder);
  sys::SetProgramDir(folder.string());
  AppSettings.ProgramFolder = folder.string() + "/";
  bench_store::AddResults(folder, 0, 1, bench_store::kPerDay, bench_store::kResults + 1);
}

void BM_StartupAtCapacityWithPurge(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / ("quorvex_bench_startup_" + std::to_string(getpid()));
  sys::Clock::UseManual();
  std::vector<double> times, cpu, rawDone;
  double storeMs = 0, purgeMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    PrepareAtCapacity(folder);
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = ThreadCpuMs();
    CADOConn conn;
    analyzer::StartupStoreValues values;
    analyzer::PrepareStartupStore(conn, values);
    const auto tp = std::chrono::steady_clock::now();
    const int passes = analyzer::PurgeResults(conn, values.personCount, AppSettings.ProgramFolder, true);
    conn.Disconnect();
    const auto t1 = std::chrono::steady_clock::now();
    cpu.push_back(ThreadCpuMs() - c0);
    times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    storeMs += std::chrono::duration<double, std::milli>(tp - t0).count();
    purgeMs += std::chrono::duration<double, std::milli>(t1 - tp).count();
    state.PauseTiming();
    analyzer::FinishRawRewrites();
    rawDone.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    if (passes != 1 || values.personCount != bench_store::kResults) {
      state.SkipWithError("the oldest day was not purged");
      break;
    }
    state.ResumeTiming();
  }
  sys::SetProgramDir("");
  std::error_code ec;
  fs::remove_all(folder, ec);
  if (times.empty()) return;
  state.counters["store_ms"] = storeMs / static_cast<double>(times.size());
  state.counters["purge_ms"] = purgeMs / static_cast<double>(times.size());
  double total = 0;
  for (double t : times) total += t;
  gStartupMeanMs = total / static_cast<double>(times.size());
  gStartupMs = Median(times);
  gStartupCpuMs = Median(cpu);
  gRawDoneMs = Median(rawDone);
}
BENCHMARK(BM_StartupAtCapacityWithPurge)->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_StartupFarOverCapacity(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / ("quorvex_bench_startup_far_" + std::to_string(getpid()));
  sys::Clock::UseManual();
  constexpr int kOlderDays = 1500;
  for (auto _ : state) {
    state.PauseTiming();
    bench_store::CopyFullStore(folder);
    sys::SetProgramDir(folder.string());
    AppSettings.ProgramFolder = folder.string() + "/";
    // 150,000 older results: the days before the full store's 500.
    bench_store::AddResults(folder, bench_store::kResults / bench_store::kPerDay + kOlderDays, kOlderDays,
                            bench_store::kPerDay, bench_store::kResults + 1);
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    CADOConn conn;
    analyzer::StartupStoreValues values;
    analyzer::PrepareStartupStore(conn, values);
    const int days = analyzer::PurgeResults(conn, values.personCount, AppSettings.ProgramFolder, true);
    conn.Disconnect();
    analyzer::FinishRawRewrites();
    gFarOverMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    state.counters["days_purged"] = days;
    if (values.personCount != bench_store::kResults) {
      state.SkipWithError("the store was not brought to its capacity");
      break;
    }
  }
  sys::SetProgramDir("");
  std::error_code ec;
  fs::remove_all(folder, ec);
}
BENCHMARK(BM_StartupFarOverCapacity)->Unit(benchmark::kMillisecond)->Iterations(1);

// The child's part: start-up on the program folder `folder`, then the test screen, ready.
int RunStartupChild(const std::string& folder) {
  bench_rig::Start(folder);
  {
    CADOConn conn;
    analyzer::StartupStoreValues values;
    analyzer::PrepareStartupStore(conn, values);
    analyzer::PurgeResults(conn, values.personCount, AppSettings.ProgramFolder);
    conn.Disconnect();
  }
  {
    measurement::CSampleTest screen(nullptr);
    screen.CreateModeless();
    ui::PumpPending();
    screen.UpdateWindow();
    screen.DestroyWindow();
  }
  bench_rig::Stop();
  return 0;
}

long PeakOfChild(const std::string& self, const fs::path& folder) {
  std::string arg = "--startup-child=" + folder.string();
  char* argv[] = {const_cast<char*>(self.c_str()), arg.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  struct rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

void BM_PeakMemoryToReadyTestScreen(benchmark::State& state) {
  const bool full = state.range(0) != 0;
  const fs::path folder = fs::temp_directory_path() / ("quorvex_bench_memory_" + std::to_string(getpid()));
  const std::string self = bench_rig::ExeDir() + "/bench_startup";
  long peak = -1;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(folder);
    if (full) bench_store::CopyFullStore(folder);
    else fs::create_directories(folder);
    state.ResumeTiming();
    peak = PeakOfChild(self, folder);
    if (peak < 0) {
      state.SkipWithError("the start-up child failed");
      break;
    }
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
  gPeakKb[full ? 1 : 0] = peak;
  state.counters["peak_mb"] = peak / 1024.0;
}
BENCHMARK(BM_PeakMemoryToReadyTestScreen)->ArgName("full_store")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--startup-child=", 16) == 0) return RunStartupChild(argv[i] + 16);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gStartupMs >= 0)
    std::printf("Start-up store work with the oldest day purged, store at capacity: median %.0f ms (%.0f ms of "
                "processor time), mean %.0f ms (goal <= %.0f ms): %s; raw files rewritten on the worker after a "
                "median %.0f ms\n",
                gStartupMs, gStartupCpuMs, gStartupMeanMs, kGoalMs, gStartupMs <= kGoalMs ? "reached" : "NOT reached",
                gRawDoneMs);
  if (gFarOverMs >= 0)
    std::printf("Start-up store work and purge of a store of 200,000 results to 50,000: %.0f ms (goal <= %.0f ms): %s\n",
                gFarOverMs, kGoalFarOverMs, gFarOverMs <= kGoalFarOverMs ? "reached" : "NOT reached");
  if (gPeakKb[0] >= 0 && gPeakKb[1] >= 0) {
    const double extra = (gPeakKb[1] - gPeakKb[0]) / 1024.0;
    std::printf("Peak resident memory from start-up to a ready test screen: empty store %.1f MB, 50,000 results "
                "%.1f MB, %+.1f MB (goal <= +%.0f MB): %s\n",
                gPeakKb[0] / 1024.0, gPeakKb[1] / 1024.0, extra, kGoalExtraMb,
                extra <= kGoalExtraMb ? "reached" : "NOT reached");
  }
  return 0;
}
