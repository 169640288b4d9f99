// What the channel tests share: the invalid-value marker, the top of a display curve, and a
// fixture with the parameters loaded, an empty input and a zero result.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "algorithm/Zentil.h"
#include "sample_histograms.h"

namespace zentil_test {

// The value the algorithm writes for a parameter it could not compute.
inline constexpr float kInvalid = -100000.0f;

// The highest byte of a display curve.
template <std::size_t N>
std::uint8_t CurveTop(const std::uint8_t (&curve)[N]) {
  std::uint8_t top = 0;
  for (std::uint8_t b : curve) top = b > top ? b : top;
  return top;
}

class ChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadAlgorithmPara(nullptr);
    MakeEmptyInput(input);
    std::memset(&result, 0, sizeof(result));
  }
  AlgorithmInput input;
  AlgorithmResult result;
};

}  // namespace zentil_test
