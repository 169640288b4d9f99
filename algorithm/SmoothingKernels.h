// The kernels of a variable Gaussian smoothing (variance slope * channel + base over `length`
// channels): one normalised kernel per channel, or none where the channel keeps its value. They
// depend on the three numbers alone. The two smoothings of the WBC channel have theirs compiled
// into the library (generated at build time by the same routine); any other is built on its
// first use and then shared by every call and thread of the loaded library.
#pragma once

#include <cstdint>
#include <vector>

namespace zentil {

struct SmoothingShape {
  float slope;
  float base;
  int length;
};
// The WBC histogram's smoothing and the display curve's weighting.
inline constexpr SmoothingShape kWbcSmoothing{0.12f, 6.0f, 256};
inline constexpr SmoothingShape kWbcDisplaySmoothing{0.1f, 8.0f, 256};

// A set of kernels: for channel e, radius[e] (-1: no kernel) and its 2 * radius + 1 taps at
// taps + offset[e].
struct KernelSet {
  SmoothingShape shape;
  const int* radius;
  const int* offset;
  const float* taps;
};

// Builds the kernels of `shape` into the vectors; false when memory ran out.
bool BuildSmoothingKernels(const SmoothingShape& shape, std::vector<int>& radius, std::vector<int>& offset,
                           std::vector<float>& taps);

}  // namespace zentil
