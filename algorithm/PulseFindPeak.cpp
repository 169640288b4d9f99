// CbcFindPeak: a simple peak finder that splits a waveform at its baseline samples.
#include <cstring>

#include "algorithm/Zentil.h"

namespace {

constexpr std::int32_t kCeiling = 4000;

struct GapRange {
  bool bounded;
  std::int64_t low, high;
};

GapRange GapsOf(std::uint8_t channel) {
  switch (channel) {
    case 0: return {true, 16, 50};
    case 1: return {true, 1, 100};
    case 2: return {true, 4, 100};
    default: return {false, 0, 0};
  }
}

}  // namespace

extern "C" {

ZENTIL_API std::uint8_t CbcFindPeak(PulseResult* result, const std::int16_t* samples,
                                    std::int32_t count, const PulseIdenPara* /*unused*/,
                                    std::uint8_t channel) {
  if (result == nullptr) return 1;
  PulseResult& r = *result;
  r.Total = 0;
  r.Stored = 0;
  if (count <= 0) return 0;
  if (samples == nullptr) return 2;
  if (r.PeakHeights == nullptr) return 3;

  // The baseline: the smallest sample above 0 and below the ceiling.
  std::int32_t baseline = kCeiling;
  for (std::int32_t j = 0; j < count; ++j)
    if (samples[j] > 0 && samples[j] < baseline) baseline = samples[j];

  const GapRange gaps = GapsOf(channel);
  std::uint32_t found = 0;
  std::int32_t d = 0;
  for (std::int32_t j = 0; j < count; ++j) {
    if (samples[j] != baseline) continue;
    const std::int64_t gap = std::int64_t{j} - d;
    if (!gaps.bounded || (gap >= gaps.low && gap <= gaps.high)) {
      if (d < j) {
        std::int32_t top = d;
        for (std::int32_t k = d + 1; k < j; ++k)
          if (samples[k] > samples[top]) top = k;
        if (samples[top] > baseline && samples[top] < kCeiling) {
          // Every array is written only below the capacity that the record holds for it;
          // peaks beyond it still count in Total.
          if (found < r.PeakCapacity) {
            r.PeakHeights[found] = static_cast<std::uint16_t>(samples[top]);
            r.Stored = found + 1;
          }
          if (found < r.PositionCapacity) {
            if (r.PeakPositions != nullptr) r.PeakPositions[found] = static_cast<std::uint32_t>(top);
            if (r.Widths != nullptr) r.Widths[found] = static_cast<std::uint32_t>(gap);
          }
          ++found;
        }
      }
    }
    d = j;
  }
  r.Total = found;
  return 0;
}

}  // extern "C"
