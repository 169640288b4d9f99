// Measures a count from its last histogram byte on the serial port to the result on the screen,
// on the path the program takes: the benchmark plays the board on the master side of a
// pseudo-terminal, the test screen opens the slave as its board port, the port's worker thread
// reads the bytes and hands them to the UI thread, the count cycle computes the result (the
// library call), shows it and has the window layer paint, compose and present the frame, then
// stores it (the raw test data and the Person row, flushed to the disk) and hands it on. The
// clock starts when the last byte of the second count's PLT frame is written to the port; it is
// read when the frame holding the result has been handed to the display (the goal's figure) and
// again when the count's handling, the store included, has returned (the stored figure).
//
// Run on a laboratory's full store (50,000 results with their raw test-data files, built once
// by the store fixture) and on an empty store, with varied counts (four blood profiles, counting
// noise). Before each last byte the screen has taken every earlier byte and shown what they
// changed. With a display (DISPLAY, e.g. under xvfb-run) the program's real window is used,
// else the offscreen display; both present through the same path.
// Goal: median at most 6 ms with 50,000 stored results (about 5 % of the 116 ms a count's bytes
// take at 115200 baud), judged on the presented frame. For both figures the median and the 90th
// percentile are printed, with the processor time of the whole process up to the frame; for the
// stored figure also how much of it was spent waiting for the disk to flush the raw files and
// the store (which other work on the disk lengthens). Beside the presented figure stands the
// present's own cost for the result's frame (the display taking the composed frame; in a window,
// the changed rectangles copied into the window's surface and handed to the X server);
// bench/README.md says what else the program's own figure in a window holds that this one leaves
// out. QUORVEX_BENCH_COUNTS sets the number of counts per store (default 150).
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fed_test_screen.h"
#include "large_store.h"
#include "platform/serial/pty.h"
#include "platform/sys/file_io.h"

namespace {

namespace fs = std::filesystem;
constexpr double kGoalMs = 6.0;
using Clock = std::chrono::steady_clock;

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double FlushWaitMs() { return static_cast<double>(sys::FlushWaitNs()) / 1e6; }

struct Figure {
  double medianMs = -1, p90Ms = -1, cpuMedianMs = -1, serialMs = -1;
  double storedMedianMs = -1, storedP90Ms = -1, flushMedianMs = -1, flushBeforeFrameMs = -1;
  double presentMedianMs = -1, presentP90Ms = -1;
  size_t counts = 0;
};
Figure gFigures[2];  // empty store, full store

int CountsPerStore() {
  const char* v = std::getenv("QUORVEX_BENCH_COUNTS");
  const int n = v ? std::atoi(v) : 0;
  return n > 0 ? n : 150;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
  return v[i];
}

// The program's side: the UI thread with the test screen, running the main loop until told to
// stop. The present listener stops the clock when the frame after the awaited result goes out.
class Program {
 public:
  explicit Program(const fs::path& folder) : folder_(folder) {}

  bool Start(const std::string& boardDevice) {
    thread_ = std::thread([this, boardDevice] { Run(boardDevice); });
    std::unique_lock<std::mutex> lk(mu_);
    cv_.wait(lk, [&] { return state_ != 0; });
    return state_ == 1;
  }
  void Stop() {
    ui::PostToUiThread([this] { stop_ = true; });
    if (thread_.joinable()) thread_.join();
  }

  // Arms the clock for result number `n` (1 for the first); returns the time it was started.
  void Arm(int n) {
    std::lock_guard<std::mutex> g(mu_);
    awaited_ = n;
    presented_ = false;
    stored_ = false;
  }
  struct Times {
    Clock::time_point presented, stored;
    double cpuMs = 0, flushAtFrameMs = 0, flushAtStoreMs = 0, presentMs = 0;
  };
  // Waits until the armed result's frame is out and its handling has returned; false after `limit`.
  bool WaitStored(Times* t, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lk(mu_);
    if (!cv_.wait_for(lk, limit, [&] { return stored_; })) return false;
    *t = times_;
    return true;
  }
  // The last result was stored (asked on the UI thread).
  bool LastStored() {
    bool stored = false;
    ui::RunOnUiThread([&] { stored = screen_ && screen_->lastResult() && screen_->lastResult()->Stored(); });
    return stored;
  }

 private:
  void Run(const std::string& boardDevice) {
    bench_rig::StartStore(folder_);  // the unit decimals are loaded from the store, as at start-up
    ::setenv("QUORVEX_COM4", boardDevice.c_str(), 1);
    ui::InitOptions o;
    o.backend = std::getenv("DISPLAY") ? ui::BackendKind::Auto : ui::BackendKind::Offscreen;
    o.width = 800;
    o.height = 600;
    if (!ui::Init(o)) {
      Report(2);
      return;
    }
    RegisterSkinBitmaps(AppSettings.ProgramFolder);
    ui::SetMessageBoxHandler([](ui::Window*, const std::string&, const std::string&, unsigned) { return ui::IDOK; });
    {
      measurement::CSampleTest screen(nullptr);
      screen.CreateModeless();
      screen_ = &screen;
      ui::SetPresentListener([this] { OnPresent(); });
      Report(1);
      while (!stop_) {
        ui::Message m;
        if (!ui::GetMessage(m)) break;
        if (!ui::PreTranslate(m)) ui::DispatchMessage(m);
      }
      ui::SetPresentListener({});
      screen_ = nullptr;
      screen.DestroyWindow();
    }
    ui::SetMessageBoxHandler({});
    ui::Shutdown();
    measurement::SetZentilLibraryPath("");
    sys::SetProgramDir("");
  }
  void Report(int state) {
    {
      std::lock_guard<std::mutex> g(mu_);
      state_ = state;
    }
    cv_.notify_all();
  }
  void OnPresent() {
    std::lock_guard<std::mutex> g(mu_);
    if (presented_ || awaited_ <= 0 || screen_->hasResult() < awaited_) return;
    times_.presented = Clock::now();
    times_.cpuMs = ProcessCpuMs();
    times_.flushAtFrameMs = FlushWaitMs();
    times_.presentMs = static_cast<double>(ui::LastPresentNs()) / 1e6;
    presented_ = true;
    awaited_ = 0;
    // Runs once the handler that presented the frame has returned: the result is stored then
    // (or the program has said it could not be).
    ui::PostToUiThread([this] { OnHandled(); });
  }
  void OnHandled() {
    std::lock_guard<std::mutex> g(mu_);
    times_.stored = Clock::now();
    times_.flushAtStoreMs = FlushWaitMs();
    stored_ = true;
    cv_.notify_all();
  }

  fs::path folder_;
  std::thread thread_;
  std::mutex mu_;
  std::condition_variable cv_;
  int state_ = 0;  // 1 running, 2 failed
  bool stop_ = false;  // UI thread only
  measurement::CSampleTest* screen_ = nullptr;
  int awaited_ = 0;
  bool presented_ = false, stored_ = false;
  Times times_;
};

// The board's side of the cable.
class BoardEnd {
 public:
  explicit BoardEnd(serial::Port& master) : master_(master) {}
  void Write(const bench_rig::Bytes& b) { Write(b.data(), b.size()); }
  void Write(const uint8_t* p, size_t n) {
    Drain();
    master_.Write(p, n, 2000);
  }
  // Reads away what the program sent (its commands), so the line never fills up.
  void Drain() {
    uint8_t buf[4096];
    while (master_.Read(buf, sizeof buf, 0).count > 0) {
    }
  }

 private:
  serial::Port& master_;
};

void BM_CountLastByteToScreen(benchmark::State& state) {
  const bool full = state.range(0) != 0;
  const fs::path folder = fs::temp_directory_path() / ("quorvex_bench_count_" + std::to_string(getpid()));
  fs::remove_all(folder);
  if (full) bench_store::CopyFullStore(folder);
  serial::PtyPair pty;
  if (!pty.Create()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  Program program(folder);
  if (!program.Start(pty.SlavePath())) {
    state.SkipWithError("the window framework did not start");
    return;
  }
  BoardEnd board(pty.Master());
  const bench_rig::Bytes key = bench_rig::Command(0xCC, 0xFF), startAck = bench_rig::Command(0xAA, 0x01, {0xFF}),
                         nextAck = bench_rig::Command(0xAA, 0x00, {0xFF}),
                         endReply = bench_rig::Command(0xAA, 0x11, {0xFF, 40, 40, 0}),
                         temperature = bench_rig::Command(0xCC, 0x80, {0x01, 0x55}),
                         sampleMode = bench_rig::Command(0xAA, 0x90, {0xFF});
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the screen opens its port
  board.Write(sampleMode);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::vector<double> times, cpuTimes, storedTimes, flushTimes, flushBeforeFrame, presentTimes;
  size_t serialBytes = 0;
  int results = 0;
  for (auto _ : state) {
    ++results;
    const auto sample = static_cast<uint32_t>(results);
    const bench_rig::CountFrames first = bench_rig::MakeCount(sample, sample);
    const bench_rig::CountFrames second = bench_rig::MakeCount(sample, sample);
    bench_rig::Bytes upTo;
    for (const bench_rig::Bytes* b : {&key, &startAck, &first.header, &first.wbc, &first.rbc, &first.plt, &nextAck,
                                      &second.header, &second.wbc, &second.rbc})
      upTo.insert(upTo.end(), b->begin(), b->end());
    upTo.insert(upTo.end(), second.plt.begin(), second.plt.end() - 1);
    board.Write(upTo);
    // The screen takes every byte before the last and shows what they changed; the frame before
    // the last byte has long been presented, as it has when the PLT frame's bytes come in at
    // the line's speed.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    board.Drain();
    program.Arm(results);
    const double c0 = ProcessCpuMs(), f0 = FlushWaitMs();
    const Clock::time_point t0 = Clock::now();
    board.Write(&second.plt.back(), 1);
    Program::Times t;
    if (!program.WaitStored(&t, std::chrono::seconds(10))) {
      state.SkipWithError("no result was presented and stored");
      break;
    }
    const double s = std::chrono::duration<double>(t.presented - t0).count();
    state.SetIterationTime(s);
    times.push_back(s * 1000.0);
    cpuTimes.push_back(t.cpuMs - c0);
    storedTimes.push_back(std::chrono::duration<double, std::milli>(t.stored - t0).count());
    flushTimes.push_back(t.flushAtStoreMs - f0);
    flushBeforeFrame.push_back(t.flushAtFrameMs - f0);
    presentTimes.push_back(t.presentMs);
    if (!program.LastStored()) {
      state.SkipWithError("the count produced no stored result");
      break;
    }
    serialBytes = second.Size() + nextAck.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    board.Write(endReply);
    board.Write(temperature);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  program.Stop();
  pty.Close();
  std::error_code ec;
  fs::remove_all(folder, ec);
  if (times.empty()) return;
  Figure& f = gFigures[full ? 1 : 0];
  f.counts = times.size();
  f.medianMs = Percentile(times, 0.5);
  f.p90Ms = Percentile(times, 0.9);
  f.cpuMedianMs = Percentile(cpuTimes, 0.5);
  f.storedMedianMs = Percentile(storedTimes, 0.5);
  f.storedP90Ms = Percentile(storedTimes, 0.9);
  f.flushMedianMs = Percentile(flushTimes, 0.5);
  f.flushBeforeFrameMs = Percentile(flushBeforeFrame, 0.5);
  f.presentMedianMs = Percentile(presentTimes, 0.5);
  f.presentP90Ms = Percentile(presentTimes, 0.9);
  f.serialMs = static_cast<double>(serialBytes) * 10.0 / 115200.0 * 1000.0;
  state.counters["median_ms"] = f.medianMs;
  state.counters["p90_ms"] = f.p90Ms;
  state.counters["cpu_median_ms"] = f.cpuMedianMs;
  state.counters["stored_median_ms"] = f.storedMedianMs;
  state.counters["stored_p90_ms"] = f.storedP90Ms;
  state.counters["flush_median_ms"] = f.flushMedianMs;
  state.counters["present_median_ms"] = f.presentMedianMs;
}
BENCHMARK(BM_CountLastByteToScreen)
    ->ArgName("full_store")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(CountsPerStore());

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const char* names[2] = {"empty store", "store of 50,000 results with raw files"};
  const char* display = std::getenv("DISPLAY") ? "window" : "offscreen";
  for (int i = 0; i < 2; ++i) {
    const Figure& f = gFigures[i];
    if (f.medianMs < 0) continue;
    std::printf("Count, last histogram byte on the port to the result presented (%s, %s, %zu counts): "
                "median %.2f ms, p90 %.2f ms (goal median <= %.0f ms: %s); processor time median %.2f ms, "
                "disk flushes waited for before the frame median %.2f ms; of it the present of the result's frame "
                "(%s) median %.2f ms, p90 %.2f ms\n",
                names[i], display, f.counts, f.medianMs, f.p90Ms, kGoalMs,
                i == 0 ? "not judged" : f.medianMs <= kGoalMs ? "reached" : "NOT reached", f.cpuMedianMs,
                f.flushBeforeFrameMs, display, f.presentMedianMs, f.presentP90Ms);
    std::printf("Count, last histogram byte on the port to the result stored and handed on (%s): median %.2f ms, "
                "p90 %.2f ms, of it waiting for the disk's flushes median %.2f ms; "
                "the count's bytes take %.1f ms on the line\n",
                names[i], f.storedMedianMs, f.storedP90Ms, f.flushMedianMs, f.serialMs);
  }
  return 0;
}
