// RBC channel: RBC, MCV, HCT, MCH, MCHC, RDW-SD and RDW-CV, the RBC lines and display curve.
#include <cmath>
#include <cstring>

#include "algorithm/Internal.h"
#include "algorithm/Numeric.h"

namespace zentil {
namespace {

constexpr float kRbcChannelWidth = 0.9765625f;  // 250 fL over 256 channels

// Window of 60 % of the counts grown outward from the peak, ties going right.
struct Window {
  int left = 0;
  int right = 0;
  float fraction = 0.0f;
  bool valid = false;
};

Window GrowWindow(const float* g, int lower, int upper) {
  Window w;
  const float total = SumF32(g, lower, upper - 1);
  if (total < kTiny) return w;
  float peakValue = g[lower];
  int p = lower;
  for (int k = lower + 1; k <= upper - 1; ++k)
    if (g[k] > peakValue) {
      peakValue = g[k];
      p = k;
    }
  if (p < 1 || !(g[p] > kTiny)) return w;
  const float target = 0.6f * total;
  int l = p - 1;
  int r = p;
  float taken = 0.0f;
  float d = 0.0f;
  while (taken < target) {
    if (l < 1 || r > 254) break;
    const bool right = g[l] <= g[r];
    const float value = right ? g[r] : g[l];
    taken += value;
    if (taken > target) {
      if (value > kTiny) d = -(taken - target) / value;
      break;
    }
    if (right) ++r;
    else --l;
  }
  w.left = l;
  w.right = r;
  w.fraction = d;
  w.valid = true;
  return w;
}

}  // namespace
}  // namespace zentil

extern "C" {

ZENTIL_API void GetRbcParameters(AlgorithmResult* result, const AlgorithmInput* input) {
  using namespace zentil;
  if (result == nullptr || input == nullptr) return;
  float* values[] = {&result->RBC, &result->MCV, &result->HCT, &result->MCH,
                     &result->MCHC, &result->RDWSD, &result->RDWCV};
  for (float* v : values) *v = kInvalid;

  const float* h = result->RbcHistogram;
  float* g = result->RbcSmoothed;
  GaussianSmooth(g, h, 256, 5.0f);

  // Lower line: walk down from 30 while the smoothed curve keeps falling and stays covered.
  int a = 30;
  for (int i = 30; i >= 25; --i) {
    if (g[a + 1] < g[i] || g[i] < 0.5f) break;
    a = i;
  }
  const int lower = a;
  const int upper = 255;
  result->RbcLower = static_cast<std::uint16_t>(lower);
  result->RbcUpper = static_cast<std::uint16_t>(upper);

  // Count with coincidence correction; channel 255 is not counted.
  float m = 0.0f;
  if (input->RbcCountTime >= kTiny) {
    const float p = SumF32(h, lower, upper - 1);
    const float e = 1.0f - (p / input->RbcCountTime) * 0.000062f;
    const float f = e < 0.1f ? 10.0f : 1.0f / e;
    m = std::log(f) * 16129.032258064515f;
    if (input->RbcRateDivisor > kTiny) {
      float rbc = m * 0.000001f * input->RbcDilution / input->RbcRateDivisor;
      rbc = FloorTiny(Calibrate(rbc, ECalRBC));
      result->RBC = rbc * input->RbcFactor;
    }
    result->RbcPulseSum = p;
    result->RbcPulseRate = p / input->RbcCountTime;
    result->RbcCorrectedRate = m;
  }

  float c = 0.0f;
  Centroid(c, h, lower, upper);
  result->RawMcv = c * kRbcChannelWidth;
  float mcv = result->RawMcv / (m * 0.00001f + 1.0f);
  mcv = FloorTiny(Calibrate(mcv, ECalMCV));
  result->MCV = mcv * input->McvFactor;

  const float hct = result->RBC * 0.1f * result->MCV;
  result->HCT = (hct < 0.0f || hct > 100.0f) ? kInvalid : hct;

  result->MCH = kInvalid;
  if (result->RBC > kTiny) {
    const float mch = result->HGB / result->RBC;
    result->MCH = mch < 0.0f ? kInvalid : mch;
  }
  result->MCHC = kInvalid;
  if (result->HCT > kTiny) {
    const float mchc = result->HGB * 100.0f / result->HCT;
    result->MCHC = mchc < 0.0f ? kInvalid : mchc;
  }

  const Window w = GrowWindow(g, lower, upper);
  if (w.valid) {
    const float width = static_cast<float>(w.right - w.left) + w.fraction;
    result->RDWSD = width * 1.55f;
    const float d = SumF32(g, w.left, w.right - 1);
    float moment = 0.0f;
    for (int k = w.left; k <= w.right - 1; ++k) moment += g[k] * static_cast<float>(k);
    const float centre = d > kTiny ? moment / d : moment;
    if (centre > kTiny)
      result->RDWCV = FloorTiny(Calibrate(width * 30.8f / centre, ECalRDWCV));
    else
      result->RDWCV = d;
  }

  // Display curve: the smoothed curve above the lower line, scaled to 255 (lower for a low count).
  float height = 1.0f;
  if (result->RBC > -kTiny && result->RBC < 0.49f) height = (result->RBC + 0.0001f) * 2.0f;
  float wcurve[256];
  std::memcpy(wcurve, g, sizeof(wcurve));
  for (int k = 0; k < lower; ++k) wcurve[k] = 0.0f;
  GaussianSmooth(wcurve, wcurve, 256, 6.0f);
  float top = 0.0f;
  FindMaximumF32(top, wcurve, 256);
  if (top > kTiny)
    for (float& v : wcurve) v *= height * 255.0f / top;
  for (int k = 0; k < 256; ++k) result->RbcCurve[k] = ToByte(wcurve[k]);

  // The stored lower line moves down over channels the display curve still covers.
  int shown = lower;
  while (shown > 25 && wcurve[shown] >= kTiny) --shown;
  result->RbcLower = static_cast<std::uint16_t>(shown);
}

ZENTIL_API int CbcAlgorithmRbc(AlgorithmResult* result, const AlgorithmInput* input) {
  if (result == nullptr || input == nullptr) return 1;
  if (input->RbcCountTime < zentil::kTiny) {
    result->ChannelError[1] = result->ChannelError[2] = 1;
    result->ChannelAlarm[1] = result->ChannelAlarm[2] = 1;
  }
  std::memcpy(result->RbcHistogram, input->RbcHistogram, sizeof(result->RbcHistogram));
  GetRbcParameters(result, input);
  return 0;
}

}  // extern "C"
