// The allocation exports of pulse identification and pulse files. Arrays come from the C heap
// and go back to it through the matching release export.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "algorithm/RawdataIo.h"
#include "algorithm/Zentil.h"

using namespace zentil;

namespace {

constexpr std::uint8_t kNull = 1;
constexpr std::uint8_t kNoMemory = 3;
constexpr std::uint32_t kLargeEntries = 3 * kPulseWorkingEntries;

template <typename T>
T* Entries(std::uint32_t n) {
  return static_cast<T*>(Allocate(static_cast<std::size_t>(n) * sizeof(T)));
}

}  // namespace

extern "C" {

ZENTIL_API std::uint8_t AllocateMemoryForPulse(PulseResult* result, std::uint8_t code) {
  if (result == nullptr || code > 3) return kNull;
  // Code 3 enlarges the peak heights and positions; the widths share the position capacity,
  // so they are made just as long.
  const std::uint32_t n = code == 3 ? kLargeEntries : kPulseWorkingEntries;
  auto* heights = Entries<std::uint16_t>(n);
  auto* positions = Entries<std::uint32_t>(n);
  auto* widths = Entries<std::uint32_t>(n);
  if (heights == nullptr || positions == nullptr || widths == nullptr) {
    std::free(heights);
    std::free(positions);
    std::free(widths);
    return kNoMemory;
  }
  PulseResult& r = *result;
  r.PeakHeights = heights;
  r.PeakCapacity = n;
  r.PeakPositions = positions;
  r.PositionCapacity = n;
  r.Widths = widths;
  r.WidthCapacity = n;
  return 0;
}

ZENTIL_API void DeallocateMemoryForPulse(PulseResult* result) {
  if (result == nullptr) return;
  PulseResult& r = *result;
  std::free(r.PeakHeights);
  std::free(r.PeakPositions);
  std::free(r.Widths);
  r.PeakHeights = nullptr;
  r.PeakPositions = nullptr;
  r.Widths = nullptr;
  r.PeakCapacity = r.PositionCapacity = r.WidthCapacity = 0;
}

ZENTIL_API std::uint8_t AllocateMemoryForPulseData(PulseData* data, const PulseDataLen* length) {
  if (data == nullptr || length == nullptr) return kNull;
  const std::uint32_t peaks =
      std::max({length->Value1Count, length->Value2Count, length->Value3Count});
  std::uint16_t* arrays[6] = {};
  const std::uint32_t sizes[6] = {length->WbcWords, length->RbcWords, length->PltWords,
                                  peaks,            peaks,            peaks};
  for (int k = 0; k < 6; ++k) {
    if (sizes[k] == 0) continue;
    arrays[k] = Entries<std::uint16_t>(sizes[k]);
    if (arrays[k] == nullptr) {
      for (std::uint16_t* a : arrays) std::free(a);
      return kNoMemory;
    }
  }
  PulseData& d = *data;
  d.Wbc = arrays[0];
  d.WbcCapacity = sizes[0];
  d.Rbc = arrays[1];
  d.RbcCapacity = sizes[1];
  d.Plt = arrays[2];
  d.PltCapacity = sizes[2];
  d.Value1 = arrays[3];
  d.Value2 = arrays[4];
  d.Value3 = arrays[5];
  d.PeakCapacity = peaks;
  return 0;
}

ZENTIL_API void DeallocateMemoryForPulseData(PulseData* data) {
  if (data == nullptr) return;
  PulseData& d = *data;
  std::free(d.Wbc);
  std::free(d.Rbc);
  std::free(d.Plt);
  std::free(d.Value1);
  std::free(d.Value2);
  std::free(d.Value3);
  std::memset(&d, 0, sizeof d);
}

ZENTIL_API std::uint8_t AllocateMemoryForPulseIdenData(PulseIdenData* data) {
  if (data == nullptr) return kNull;
  const std::uint32_t n = kPulseWorkingEntries;
  std::uint16_t* heights[3] = {};
  std::uint32_t* positions[3] = {};
  std::uint32_t* widths[3] = {};
  bool ok = true;
  for (int c = 0; c < 3 && ok; ++c) {
    heights[c] = Entries<std::uint16_t>(n);
    positions[c] = Entries<std::uint32_t>(n);
    widths[c] = Entries<std::uint32_t>(n);
    ok = heights[c] && positions[c] && widths[c];
  }
  auto* v1 = ok ? Entries<std::uint16_t>(n) : nullptr;
  auto* v2 = ok ? Entries<std::uint16_t>(n) : nullptr;
  auto* v3 = ok ? Entries<std::uint16_t>(n) : nullptr;
  auto* index = ok ? Entries<std::uint32_t>(n) : nullptr;
  auto* spare = ok ? Entries<std::uint32_t>(n) : nullptr;
  if (!ok || !v1 || !v2 || !v3 || !index || !spare) {
    for (int c = 0; c < 3; ++c) {
      std::free(heights[c]);
      std::free(positions[c]);
      std::free(widths[c]);
    }
    std::free(v1);
    std::free(v2);
    std::free(v3);
    std::free(index);
    std::free(spare);
    return kNoMemory;
  }
  PulseIdenData& d = *data;
  for (int c = 0; c < 3; ++c) {
    d.Channel[c].PeakHeights = heights[c];
    d.Channel[c].PeakPositions = positions[c];
    d.Channel[c].Widths = widths[c];
  }
  d.ListValue1 = v1;
  d.ListValue2 = v2;
  d.ListValue3 = v3;
  d.ListIndex = index;
  d.ListSpare = spare;
  return 0;
}

ZENTIL_API void DeallocateMemoryForPulseIdenData(PulseIdenData* data) {
  if (data == nullptr) return;
  PulseIdenData& d = *data;
  for (PulseIdenChannel& c : d.Channel) {
    std::free(c.PeakHeights);
    std::free(c.PeakPositions);
    std::free(c.Widths);
    c.PeakHeights = nullptr;
    c.PeakPositions = nullptr;
    c.Widths = nullptr;
  }
  std::free(d.ListValue1);
  std::free(d.ListValue2);
  std::free(d.ListValue3);
  std::free(d.ListIndex);
  std::free(d.ListSpare);
  d.ListValue1 = d.ListValue2 = d.ListValue3 = nullptr;
  d.ListIndex = d.ListSpare = nullptr;
}

}  // extern "C"
