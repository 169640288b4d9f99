// Time of one AlgorithmMain call on realistic counts, and of the WBC line re-split.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <cstring>
#include <vector>

#include "algorithm/Zentil.h"

namespace {

// A count as the analyser delivers it: log-normal cell populations on the three histograms.
struct Count {
  AlgorithmInput input{};
  std::vector<std::uint16_t> blank = std::vector<std::uint16_t>(10, 3400);
  std::vector<std::uint16_t> sample = std::vector<std::uint16_t>(10, 1810);

  static void Fill(float* h, int used, std::initializer_list<std::array<double, 3>> pops) {
    for (int k = 0; k < 256; ++k) h[k] = 0.0f;
    for (const auto& p : pops) {
      std::vector<double> share(used);
      double total = 0;
      for (int k = 0; k < used; ++k) {
        const double x = k + 0.5;
        const double z = (std::log(x) - std::log(p[1])) / p[2];
        share[k] = std::exp(-0.5 * z * z) / x;
        total += share[k];
      }
      for (int k = 0; k < used; ++k) h[k] += static_cast<float>(p[0] * share[k] / total);
    }
    for (int k = 0; k < used; ++k) h[k] = std::floor(h[k] + 0.5f);
  }

  Count(double wbcScale, double pltScale) {
    input.WbcDilution = 280.0f;
    input.RbcDilution = 18109.0f;
    input.WbcRateDivisor = 25.6f;
    input.RbcRateDivisor = 10.4f;
    input.WbcCountTime = input.RbcCountTime = 10.0f;
    input.WbcFactor = input.HgbFactor = input.RbcFactor = 1.0f;
    input.McvFactor = input.PltFactor = input.MpvFactor = 1.0f;
    Fill(input.WbcHistogram, 256,
         {{{2100 * wbcScale, 34, 0.16}}, {{480 * wbcScale, 66, 0.12}},
          {{3900 * wbcScale, 120, 0.22}}, {{120, 6, 0.35}}});
    Fill(input.RbcHistogram, 256, {{{24500, 92, 0.18}}, {{400, 12, 0.5}}});
    Fill(input.PltHistogram, 128, {{{1150 * pltScale, 38, 0.42}}, {{300, 8, 0.4}}});
    input.HgbBlankReadings = blank.data();
    input.HgbSampleReadings = sample.data();
    input.HgbReadingCount = 10;
  }
};

void BM_AlgorithmMain(benchmark::State& state) {
  const double wbcScale = state.range(0) / 100.0;
  const double pltScale = state.range(1) / 100.0;
  Count count(wbcScale, pltScale);
  static AlgorithmResult result;
  for (auto _ : state) {
    std::memset(&result, 0, sizeof(result));
    benchmark::DoNotOptimize(AlgorithmMain(&result, &count.input, nullptr));
    benchmark::ClobberMemory();
  }
}
// Normal, thrombocytopenic and high-WBC counts.
BENCHMARK(BM_AlgorithmMain)->Args({100, 100})->Args({100, 20})->Args({350, 100})
    ->Unit(benchmark::kMicrosecond);

void BM_AdjustWbcHistogram(benchmark::State& state) {
  Count count(1.0, 1.0);
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

BENCHMARK_MAIN();
