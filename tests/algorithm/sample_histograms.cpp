#include "sample_histograms.h"

#include <cmath>
#include <cstring>

namespace zentil_test {

void FillHistogram(float* histogram, int used, const std::vector<Population>& populations) {
  for (int k = 0; k < 256; ++k) histogram[k] = 0.0f;
  for (const Population& p : populations) {
    // Integrate the log-normal density over each channel [k, k+1).
    double total = 0.0;
    std::vector<double> share(used, 0.0);
    for (int k = 0; k < used; ++k) {
      const double x = k + 0.5;
      const double z = (std::log(x) - std::log(p.centre)) / p.spread;
      share[k] = std::exp(-0.5 * z * z) / x;
      total += share[k];
    }
    if (total <= 0.0) continue;
    for (int k = 0; k < used; ++k) histogram[k] += static_cast<float>(p.count * share[k] / total);
  }
  for (int k = 0; k < used; ++k) histogram[k] = std::floor(histogram[k] + 0.5f);
}

const std::vector<Sample>& ReferenceSamples() {
  // Pulse numbers for a 10 s count: WBC ~ 91 pulses/s per 10^9/L, RBC ~ 5800 pulses per 10^12/L
  // after coincidence, PLT ~ 4.8 pulses per 10^9/L.
  static const std::vector<Sample> samples = {
      {"normal",
       {{2100, 34, 0.16}, {480, 66, 0.12}, {3900, 120, 0.22}, {120, 6, 0.35}},
       {{24500, 92, 0.18}, {400, 12, 0.5}},
       {{1150, 38, 0.42}, {300, 8, 0.4}},
       0.63},
      {"anaemic",
       {{2000, 34, 0.16}, {400, 66, 0.12}, {3300, 120, 0.22}, {100, 6, 0.35}},
       {{18500, 68, 0.24}, {300, 12, 0.5}},
       {{1400, 36, 0.42}, {300, 8, 0.4}},
       0.38},
      {"thrombocytopenic",
       {{2000, 34, 0.16}, {450, 66, 0.12}, {3600, 120, 0.22}, {100, 6, 0.35}},
       {{23500, 90, 0.18}, {400, 12, 0.5}},
       {{260, 44, 0.45}, {250, 8, 0.4}},
       0.60},
      {"high WBC",
       {{3500, 34, 0.16}, {1100, 66, 0.12}, {16500, 126, 0.22}, {200, 6, 0.35}},
       {{24000, 91, 0.18}, {400, 12, 0.5}},
       {{1300, 38, 0.42}, {300, 8, 0.4}},
       0.62},
  };
  return samples;
}

void MakeEmptyInput(AlgorithmInput& input) {
  std::memset(&input, 0, sizeof(input));
  input.WbcDilution = 280.0f;
  input.RbcDilution = 18109.0f;
  input.WbcRateDivisor = 25.6f;
  input.RbcRateDivisor = 10.4f;
  input.WbcCountTime = 10.0f;
  input.RbcCountTime = 10.0f;
  input.WbcFactor = input.HgbFactor = input.RbcFactor = 1.0f;
  input.McvFactor = input.PltFactor = input.MpvFactor = 1.0f;
}

void MakeInput(AlgorithmInput& input, const Sample& s, std::vector<std::uint16_t>& blank,
               std::vector<std::uint16_t>& sample) {
  MakeEmptyInput(input);
  FillHistogram(input.WbcHistogram, 256, s.wbc);
  FillHistogram(input.RbcHistogram, 256, s.rbc);
  FillHistogram(input.PltHistogram, 128, s.plt);
  // Ten readings each, with a little spread around the blank and the absorbed level.
  static const int kJitter[10] = {0, 3, -2, 5, -4, 1, -1, 2, -3, 4};
  blank.assign(10, 0);
  sample.assign(10, 0);
  const double level = 3400.0 * std::exp(-s.hgbAbsorbance);
  for (int i = 0; i < 10; ++i) {
    blank[i] = static_cast<std::uint16_t>(3400 + kJitter[i]);
    sample[i] = static_cast<std::uint16_t>(std::lround(level) + kJitter[9 - i]);
  }
  input.HgbBlankReadings = blank.data();
  input.HgbSampleReadings = sample.data();
  input.HgbReadingCount = 10;
}

}  // namespace zentil_test
