// Realistic counts for the algorithm tests and benchmark: histograms built from log-normal cell
// populations at the channel widths of the analyser, with the run constants Quorvex passes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "algorithm/ZentilRecords.h"

namespace zentil_test {

// One cell population: `count` pulses, log-normal around `centre` (in channels), geometric
// spread `spread` (standard deviation of the natural logarithm).
struct Population {
  double count;
  double centre;
  double spread;
};

struct Sample {
  std::string name;
  std::vector<Population> wbc;  // 256 channels of 1.5625 fL
  std::vector<Population> rbc;  // 256 channels of 0.9765625 fL
  std::vector<Population> plt;  // 128 channels of 0.234375 fL
  double hgbAbsorbance;         // ln(blank / sample) of the HGB readings
};

// The four reference samples: normal, anaemic, thrombocytopenic, high WBC.
const std::vector<Sample>& ReferenceSamples();

// Fills `histogram` (256 channels, `used` of them delivered) with rounded expected counts.
void FillHistogram(float* histogram, int used, const std::vector<Population>& populations);

// An input as Quorvex fills it for whole blood (10 s count times, unit factors). The HGB readings
// live in `blank` and `sample`, which must outlive the call.
void MakeInput(AlgorithmInput& input, const Sample& s, std::vector<std::uint16_t>& blank,
               std::vector<std::uint16_t>& sample);

// A zero-filled input with the run constants set and no counts.
void MakeEmptyInput(AlgorithmInput& input);

}  // namespace zentil_test
