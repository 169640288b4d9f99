// HGB channel: check of the photometer readings and the haemoglobin value.
#include <cmath>

#include "algorithm/Internal.h"
#include "algorithm/Numeric.h"

namespace zentil {
namespace {

constexpr int kHgb = 3;  // channel byte index

struct Stats {
  std::uint16_t min = 0;
  std::uint16_t max = 0;
  float sum = 0.0f;  // single precision, as the readings' sums are kept
};

Stats Measure(const std::uint16_t* values, int n) {
  Stats s;
  FindMinimumU16(s.min, values, n);
  FindMaximumU16(s.max, values, n);
  s.sum = SumU16(values, n);
  return s;
}

}  // namespace
}  // namespace zentil

extern "C" ZENTIL_API int CbcAlgorithmHgb(AlgorithmResult* result, const AlgorithmInput* input) {
  using namespace zentil;
  if (result == nullptr || input == nullptr) return 1;
  result->HGB = kInvalid;
  const std::uint32_t count = input->HgbReadingCount;
  // No readings, or readings the caller announced but did not hand over: nothing to measure.
  if (count == 0 || input->HgbBlankReadings == nullptr || input->HgbSampleReadings == nullptr) {
    result->ChannelError[kHgb] = 1;
    result->ChannelAlarm[kHgb] = 1;
    return 0;
  }
  const int n = count > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(count);
  const Stats b = Measure(input->HgbBlankReadings, n);
  const Stats s = Measure(input->HgbSampleReadings, n);
  const float nf = static_cast<float>(n);
  const float blankMean = b.sum / nf;
  const float sampleMean = s.sum / nf;

  if (std::fabs(blankMean - 3400.0f) > 1020.0f ||
      static_cast<float>(b.max - b.min) > 0.1f * blankMean ||
      static_cast<float>(s.max - s.min) > 0.1f * sampleMean || input->HgbBlankFault != 0)
    result->ChannelAlarm[kHgb] = 1;
  if (b.min < 1000 || b.max > 3900 || s.min == 0 || input->HgbReadingFault != 0)
    result->ChannelError[kHgb] = 1;

  const float k = input->WbcDilution / 280.0f * 223.11f;
  float sb = b.sum;
  float ss = s.sum;
  if (n > 2) {
    sb -= static_cast<float>(b.min) + static_cast<float>(b.max);
    ss -= static_cast<float>(s.min) + static_cast<float>(s.max);
  }
  float v = 0.0f;
  if (ss > kTiny) {
    v = std::log(sb / ss) * k;
    v = Calibrate(v, ECalHGB);
    v = v * input->HgbFactor;
  }
  if (v > kTiny) result->HGB = v;
  else if (v > -4.0f) result->HGB = 0.0f;
  return 0;
}
