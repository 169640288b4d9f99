// Measures the time of one AlgorithmMain call (the whole library on one count's histograms)
// over 256 varied realistic counts fed in turn: normal, low and high WBC, thrombocytopenic and
// anaemic populations with counting noise. Goal: at most 80 us per call on average.
// Also times the WBC line re-split (AdjustWbcHistogram) on a finished count.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "algorithm/Zentil.h"
#include "varied_counts.h"

namespace {

constexpr double kGoalMicroseconds = 80.0;
constexpr int kCounts = 256;
double gMicrosecondsPerCall = -1.0;

std::vector<std::unique_ptr<zentil_test::VariedCount>> MakeCounts() {
  std::vector<std::unique_ptr<zentil_test::VariedCount>> counts;
  for (int i = 0; i < kCounts; ++i) {
    counts.push_back(std::make_unique<zentil_test::VariedCount>());
    zentil_test::MakeVariedCount(*counts.back(), 4150, i);
  }
  return counts;
}

void BM_AlgorithmMain(benchmark::State& state) {
  const auto counts = MakeCounts();
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

void BM_AdjustWbcHistogram(benchmark::State& state) {
  zentil_test::VariedCount count;
  zentil_test::MakeVariedCount(count, 4150, 0);
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
  return 0;
}
