// Start-up at a laboratory's real size.
// 1. The store work of start-up (decimals, settings, counting the results and reading their
//    columns, the upgrades, the counters, the settings row) followed by the purge of the oldest
//    day, on a store at capacity: 50,000 results with their raw test-data files plus one more
//    day of 100, so that the oldest day goes. Goal: at most 200 ms (the median of the runs) on
//    the start-up screen's thread; the rewrite of the raw files runs on a worker, as the screen
//    runs it, and its end is printed beside.
// 1b. The same on a store far over its capacity: 200,000 results over 2,000 days, so that the
//    1,500 oldest days go. Goal: at most 5 s.
// 2. A fresh process from its start to a ready test screen on the full store (50,000 realistic
//    results with their raw files, bench/large_store.h), and the same on an empty store: the
//    framework and its skins (in a real window when there is a display, e.g. under xvfb-run),
//    the store work and purge of start-up, the test screen shown; then the results browser
//    opened from it, as the operator opens it. The board's exchange (its fixed waits) is left
//    out. Goals with the full store: start-up at most 1 s (the median of 5 runs), the peak
//    resident memory to the ready test screen and the resident memory with the browser open at
//    most 50 MB each.
// Each figure of 2 comes from a child process (this program started again) that runs the
// start-up and reports its own memory and when it was ready.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "analyzer/sequences/results_purge.h"
#include "analyzer/sequences/startup_store.h"
#include "core/ado_conn.h"
#include "large_store.h"
#include "fed_test_screen.h"
#include "history/history_list.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
constexpr double kGoalMs = 200.0;
constexpr double kGoalMb = 50.0;
constexpr double kGoalStartupMs = 1000.0;
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

// A figure of this process's /proc status ("VmRSS", "VmHWM") in kB; -1 when not found.
long StatusKb(const char* key) {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  const size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, key, n) == 0 && line[n] == ':') {
      kb = std::atol(line + n + 1);
      break;
    }
  std::fclose(f);
  return kb;
}
double SteadyMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// What one start-up child measured of itself.
struct ChildFigures {
  double readyAtMs = -1;  // steady clock, when the test screen was ready
  long readyRssKb = -1, readyPeakKb = -1, browserRssKb = -1, browserPeakKb = -1;
};
constexpr const char* kChildReport = "startup_child_report.txt";

// The child's part: start-up on the program folder `folder` (the store work and the purge of
// start-up, the framework and its skins: in the window when there is a display), then the test
// screen, ready; then the results browser opened from it. Its figures go to a file in `folder`.
int RunStartupChild(const std::string& folder) {
  ChildFigures f;
  // The skins the program ships, from its own folder (the store's folder has none).
  RegisterSkinBitmaps(bench_rig::ExeDir() + "/../bin/");
  bench_rig::Start(folder, std::getenv("DISPLAY") ? ui::BackendKind::Auto : ui::BackendKind::Offscreen);
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
    f.readyAtMs = SteadyMs();
    f.readyRssKb = StatusKb("VmRSS");
    f.readyPeakKb = StatusKb("VmHWM");
    // The operator's way to the browser leaves the test screen first.
    screen.DestroyWindow();
  }
  {
    CHistoryList list;
    list.CreateModeless();
    ui::PumpPending();
    list.UpdateWindow();
    f.browserRssKb = StatusKb("VmRSS");
    f.browserPeakKb = StatusKb("VmHWM");
    list.DestroyWindow();
  }
  bench_rig::Stop();
  std::FILE* out = std::fopen((fs::path(folder) / kChildReport).c_str(), "w");
  if (!out) return 1;
  std::fprintf(out, "%.3f %ld %ld %ld %ld\n", f.readyAtMs, f.readyRssKb, f.readyPeakKb, f.browserRssKb,
               f.browserPeakKb);
  return std::fclose(out) == 0 ? 0 : 1;
}

// Starts this program again as a start-up child on `folder` and returns its figures, with the
// time from its start to its ready test screen; false when it failed.
bool RunChild(const std::string& self, const fs::path& folder, ChildFigures* f, double* startupMs) {
  std::string arg = "--startup-child=" + folder.string();
  char* argv[] = {const_cast<char*>(self.c_str()), arg.data(), nullptr};
  pid_t pid = 0;
  const double spawnedAt = SteadyMs();
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  std::FILE* in = std::fopen((folder / kChildReport).c_str(), "r");
  if (!in) return false;
  const bool read = std::fscanf(in, "%lf %ld %ld %ld %ld", &f->readyAtMs, &f->readyRssKb, &f->readyPeakKb,
                                &f->browserRssKb, &f->browserPeakKb) == 5;
  std::fclose(in);
  *startupMs = f->readyAtMs - spawnedAt;
  return read;
}

// By store (0 empty, 1 with 50,000 results): the medians over the runs.
struct StartupFigures {
  double startupMs = -1, minMs = -1, maxMs = -1;
  long readyPeakKb = -1, readyRssKb = -1, browserRssKb = -1;
  int runs = 0;
};
StartupFigures gStartup[2];

void BM_StartupToReadyTestScreen(benchmark::State& state) {
  const bool full = state.range(0) != 0;
  const fs::path folder = fs::temp_directory_path() / ("quorvex_bench_memory_" + std::to_string(getpid()));
  const std::string self = bench_rig::ExeDir() + "/bench_startup";
  std::vector<double> times, peaks, ready, browser;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(folder);
    if (full) bench_store::CopyFullStore(folder);
    else fs::create_directories(folder);
    state.ResumeTiming();
    ChildFigures f;
    double ms = 0;
    if (!RunChild(self, folder, &f, &ms)) {
      state.SkipWithError("the start-up child failed");
      break;
    }
    times.push_back(ms);
    peaks.push_back(static_cast<double>(f.readyPeakKb));
    ready.push_back(static_cast<double>(f.readyRssKb));
    browser.push_back(static_cast<double>(f.browserRssKb));
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
  if (times.empty()) return;
  StartupFigures& g = gStartup[full ? 1 : 0];
  g.startupMs = Median(times);
  g.minMs = *std::min_element(times.begin(), times.end());
  g.maxMs = *std::max_element(times.begin(), times.end());
  g.readyPeakKb = static_cast<long>(Median(peaks));
  g.readyRssKb = static_cast<long>(Median(ready));
  g.browserRssKb = static_cast<long>(Median(browser));
  g.runs = static_cast<int>(times.size());
  state.counters["startup_ms"] = g.startupMs;
  state.counters["peak_mb"] = g.readyPeakKb / 1024.0;
  state.counters["browser_mb"] = g.browserRssKb / 1024.0;
}
BENCHMARK(BM_StartupToReadyTestScreen)->ArgName("full_store")->Arg(0)->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond);

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
  const StartupFigures& empty = gStartup[0];
  const StartupFigures& full = gStartup[1];
  const char* where = std::getenv("DISPLAY") ? "window" : "offscreen";
  if (full.runs > 0) {
    std::printf("Start-up to a ready test screen with 50,000 results (%s): median %.0f ms over %d runs (%.0f-%.0f ms) "
                "(goal <= %.0f ms): %s\n",
                where, full.startupMs, full.runs, full.minMs, full.maxMs, kGoalStartupMs,
                full.startupMs <= kGoalStartupMs ? "reached" : "NOT reached");
    const double peakMb = full.readyPeakKb / 1024.0, browserMb = full.browserRssKb / 1024.0;
    std::printf("Peak resident memory from start-up to a ready test screen with 50,000 results (%s): %.1f MB "
                "(goal <= %.0f MB): %s",
                where, peakMb, kGoalMb, peakMb <= kGoalMb ? "reached" : "NOT reached");
    if (empty.runs > 0) std::printf("; with an empty store %.1f MB", empty.readyPeakKb / 1024.0);
    std::printf("\n");
    std::printf("Resident memory with the results browser open on 50,000 results (%s): %.1f MB (goal <= %.0f MB): "
                "%s; on the ready test screen %.1f MB\n",
                where, browserMb, kGoalMb, browserMb <= kGoalMb ? "reached" : "NOT reached", full.readyRssKb / 1024.0);
  }
  return 0;
}
