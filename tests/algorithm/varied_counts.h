// Thousands of varied counts from one seed: random cell populations on the three histograms with
// counting noise and random HGB absorbance, so that every branch of the channels is exercised.
// The same seed gives the same counts on every run.
#pragma once

#include <cstdint>
#include <vector>

#include "algorithm/ZentilRecords.h"

namespace zentil_test {

// splitmix64: a small generator whose sequence is fixed by its seed on every platform.
class SeedSequence {
 public:
  explicit SeedSequence(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform in [low, high).
  double Uniform(double low, double high);

 private:
  std::uint64_t state_;
};

// A count: its input and the HGB readings the input points to.
struct VariedCount {
  AlgorithmInput input{};
  std::vector<std::uint16_t> blank;
  std::vector<std::uint16_t> sample;
  VariedCount() = default;
  VariedCount(const VariedCount&) = delete;
  VariedCount& operator=(const VariedCount&) = delete;
};

// Count number `index` of the sequence started by `seed`.
void MakeVariedCount(VariedCount& count, std::uint64_t seed, int index);

}  // namespace zentil_test
