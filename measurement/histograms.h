#pragma once
// The histograms of one sample: as received from the board (floats, one value per channel) and
// the integer copies kept of each count.
#include <cstddef>
#include <cstdint>

namespace measurement {

constexpr size_t kWbcChannels = 256, kRbcChannels = 256, kPltChannels = 128;

// The histograms of the last count, and after result processing the final ones of the sample.
struct HistogramBuffers {
  float wbc[kWbcChannels] = {};
  float rbc[kRbcChannels] = {};
  float plt[kPltChannels] = {};
};

// One count's histograms, each bin rounded to the nearest integer.
struct CountHistograms {
  uint16_t wbc[kWbcChannels] = {};
  uint16_t rbc[kRbcChannels] = {};
  uint16_t plt[kPltChannels] = {};
};

// Channels of the quick values and the agreement rules.
enum CountChannel { CountWbc = 0, CountRbc = 1, CountPlt = 2 };

// Rounds every bin of the buffers into a count's copy.
CountHistograms RoundCount(const HistogramBuffers& buffers);

}  // namespace measurement
