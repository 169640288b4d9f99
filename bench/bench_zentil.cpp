// Measures the time of one AlgorithmMain call (the whole library on one count's histograms)
// over 256 varied realistic counts fed in turn: normal, low and high WBC, thrombocytopenic and
// anaemic populations with counting noise. Goal: at most 300 us per call on average, a twentieth
// of the 6 ms a count may take from its last byte to the result on the screen. The library
// evaluates its formulas as written (each kernel weight and each curve value of the fit its own
// exponential), so that no shortcut changes a result.
// Also times the same call as Quorvex makes it (load the library, call, unload: module state,
// the smoothing kernels included, starts fresh at every load) and the WBC line re-split
// (AdjustWbcHistogram) on a finished count.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "algorithm/ZentilRecords.h"
#include "varied_counts.h"

namespace {

constexpr double kGoalMicroseconds = 300.0;
constexpr int kCounts = 256;
double gMicrosecondsPerCall = -1.0;
double gMicrosecondsLoadCallUnload = -1.0;

std::vector<std::unique_ptr<zentil_test::VariedCount>> MakeCounts() {
  std::vector<std::unique_ptr<zentil_test::VariedCount>> counts;
  for (int i = 0; i < kCounts; ++i) {
    counts.push_back(std::make_unique<zentil_test::VariedCount>());
    zentil_test::MakeVariedCount(*counts.back(), 4150, i);
  }
  return counts;
}

using AlgorithmMainProc = int (*)(AlgorithmResult*, AlgorithmInput*, AlgorithmPara*);
using AdjustProc = void (*)(AlgorithmResult*, AlgorithmInput*, const std::uint16_t*);

// The library, loaded for as long as the object lives (it is not linked in, so that an unload
// really unloads it).
struct Library {
  void* handle = dlopen(QUORVEX_ZENTIL_PATH, RTLD_NOW | RTLD_LOCAL);
  ~Library() {
    if (handle != nullptr) dlclose(handle);
  }
  template <typename Proc>
  Proc Entry(const char* name) const {
    return handle != nullptr ? reinterpret_cast<Proc>(dlsym(handle, name)) : nullptr;
  }
};

void BM_AlgorithmMain(benchmark::State& state) {
  const auto counts = MakeCounts();
  const Library lib;
  const auto AlgorithmMain = lib.Entry<AlgorithmMainProc>("AlgorithmMain");
  if (AlgorithmMain == nullptr) {
    state.SkipWithError("libZentil.so did not load");
    return;
  }
  static AlgorithmResult result;
  std::size_t next = 0;
  long calls = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    std::memset(&result, 0, sizeof(result));
    benchmark::DoNotOptimize(AlgorithmMain(&result, &counts[next]->input, nullptr));
    benchmark::ClobberMemory();
    next = (next + 1) % counts.size();
    ++calls;
  }
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  if (calls > 0) gMicrosecondsPerCall = spent.count() / static_cast<double>(calls);
}
BENCHMARK(BM_AlgorithmMain)->Unit(benchmark::kMicrosecond);

void BM_LoadCallUnload(benchmark::State& state) {
  const auto counts = MakeCounts();
  static AlgorithmResult result;
  std::size_t next = 0;
  long calls = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    void* lib = dlopen(QUORVEX_ZENTIL_PATH, RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) {
      state.SkipWithError("libZentil.so did not load");
      break;
    }
    auto entry = reinterpret_cast<AlgorithmMainProc>(dlsym(lib, "AlgorithmMain"));
    std::memset(&result, 0, sizeof(result));
    benchmark::DoNotOptimize(entry(&result, &counts[next]->input, nullptr));
    dlclose(lib);
    next = (next + 1) % counts.size();
    ++calls;
  }
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  if (calls > 0) gMicrosecondsLoadCallUnload = spent.count() / static_cast<double>(calls);
}
BENCHMARK(BM_LoadCallUnload)->Unit(benchmark::kMicrosecond);

void BM_AdjustWbcHistogram(benchmark::State& state) {
  zentil_test::VariedCount count;
  zentil_test::MakeVariedCount(count, 4150, 0);
  const Library lib;
  const auto AlgorithmMain = lib.Entry<AlgorithmMainProc>("AlgorithmMain");
  const auto AdjustWbcHistogram = lib.Entry<AdjustProc>("AdjustWbcHistogram");
  if (AlgorithmMain == nullptr || AdjustWbcHistogram == nullptr) {
    state.SkipWithError("libZentil.so did not load");
    return;
  }
  static AlgorithmResult result;
  AlgorithmMain(&result, &count.input, nullptr);
  const std::uint16_t lines[4] = {10, 48, 72, 255};
  static AlgorithmResult work;
  for (auto _ : state) {
    std::memcpy(&work, &result, sizeof(work));
    AdjustWbcHistogram(&work, &count.input, lines);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AdjustWbcHistogram)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gMicrosecondsPerCall >= 0.0)
    std::printf("AlgorithmMain per call, %d varied counts: %.1f us (goal <= %.0f us): %s\n", kCounts,
                gMicrosecondsPerCall, kGoalMicroseconds,
                gMicrosecondsPerCall <= kGoalMicroseconds ? "reached" : "NOT reached");
  if (gMicrosecondsLoadCallUnload >= 0.0)
    std::printf("The same call as Quorvex makes it (load the library, call, unload): %.1f us\n",
                gMicrosecondsLoadCallUnload);
  return 0;
}
