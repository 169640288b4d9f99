#include "varied_counts.h"

#include <cmath>

#include "sample_histograms.h"

namespace zentil_test {

std::uint64_t SeedSequence::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double SeedSequence::Uniform(double low, double high) {
  return low + (high - low) * static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

namespace {

// Counting noise of about `amount` standard deviations of a Poisson count, never below zero.
void AddNoise(float* h, int used, double amount, SeedSequence& rng) {
  for (int k = 0; k < used; ++k) {
    const double v = h[k] + amount * std::sqrt(h[k]) * rng.Uniform(-1.0, 1.0);
    h[k] = v > 0.0 ? std::floor(static_cast<float>(v) + 0.5f) : 0.0f;
  }
}

}  // namespace

void MakeVariedCount(VariedCount& count, std::uint64_t seed, int index) {
  SeedSequence rng(seed * 1000003u + static_cast<std::uint64_t>(index));
  Sample s;
  // WBC: lymphocytes, mid cells, granulocytes at varied levels, sometimes none of a kind, and
  // the small-particle noise at the left edge.
  const double wbcScale = rng.Uniform(0.02, 4.0);
  s.wbc.push_back({2100 * wbcScale * rng.Uniform(0.0, 2.0), rng.Uniform(26, 44), rng.Uniform(0.1, 0.25)});
  s.wbc.push_back({480 * wbcScale * rng.Uniform(0.0, 2.5), rng.Uniform(55, 80), rng.Uniform(0.08, 0.2)});
  s.wbc.push_back({3900 * wbcScale * rng.Uniform(0.0, 2.0), rng.Uniform(95, 150), rng.Uniform(0.12, 0.3)});
  s.wbc.push_back({rng.Uniform(0, 600), rng.Uniform(3, 10), rng.Uniform(0.2, 0.5)});
  // RBC: the main population and the platelet tail; PLT: platelets and debris.
  s.rbc.push_back({rng.Uniform(500, 40000), rng.Uniform(60, 130), rng.Uniform(0.1, 0.3)});
  s.rbc.push_back({rng.Uniform(0, 900), rng.Uniform(6, 20), rng.Uniform(0.3, 0.6)});
  s.plt.push_back({rng.Uniform(20, 3500), rng.Uniform(25, 55), rng.Uniform(0.3, 0.55)});
  s.plt.push_back({rng.Uniform(0, 700), rng.Uniform(4, 12), rng.Uniform(0.3, 0.5)});
  s.hgbAbsorbance = rng.Uniform(0.05, 1.2);
  MakeInput(count.input, s, count.blank, count.sample);
  const double noise = rng.Uniform(0.0, 1.5);
  AddNoise(count.input.WbcHistogram, 256, noise, rng);
  AddNoise(count.input.RbcHistogram, 256, noise, rng);
  AddNoise(count.input.PltHistogram, 128, noise, rng);
}

}  // namespace zentil_test
