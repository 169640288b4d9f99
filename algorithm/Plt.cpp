// PLT channel: PLT, MPV, PCT, PDW, P-LCR and P-LCC, the PLT lines and display curve.
#include <cstring>

#include "algorithm/Channels.h"
#include "algorithm/Internal.h"
#include "algorithm/Numeric.h"

namespace zentil {
namespace {

// Counts below 1e-6 become 0.
float FloorBelowTiny(float v) { return v < kTiny ? 0.0f : v; }

int FirstMax(const float* g, int first, int last) {
  float v;
  return first + FindMaximumF32(v, g + first, last - first + 1);
}
int FirstMin(const float* g, int first, int last) {
  float v;
  return first + FindMinimumF32(v, g + first, last - first + 1);
}
float Mean5(const float* g, int centre) { return SumF32(g, centre - 2, centre + 2) / 5.0f; }

int AutomaticUpperLine(const float* g, const AlgorithmInput* input) {
  const int p = FirstMax(g, 10, 39);
  const float a = Mean5(g, p);
  const int v = FirstMin(g, 50, 89);
  const float b = Mean5(g, v);
  // Valley-to-peak weight; with no counts around the peak there is nothing to weigh, so 0.
  float f2 = a > kTiny ? b * 0.8f / a - 0.35f : 0.0f;
  if (f2 < 0.0f) f2 = 0.0f;

  float t = SumF32(g, 0, 49);
  int n = 50;
  if (t >= kTiny) {
    for (;;) {
      const float left = 0.5f * SumF32(g, n - 22, n - 3);
      float right = 0.0f;
      for (int k = n + 3; k <= n + 22; ++k) right += g[k < 110 ? k : 110];
      right *= 0.5f;
      float f1;
      if (n < 65) f1 = 1.1f - static_cast<float>(n - 55) * 0.01f;
      else if (n < 85) f1 = 1.0f - static_cast<float>(n - 65) * 0.005f;
      else f1 = 0.9f - static_cast<float>(n - 85) * 0.002f;
      t += g[n];
      const float gg = t * 0.006f > 1.0f ? t * 0.006f : 1.0f;
      const float f3 = n < 85 ? static_cast<float>(n - 75) * 0.02f
                              : static_cast<float>(n - 85) * 0.04f + 0.2f;
      if (left * (f1 - f2) < right || left - (f3 + gg) < right) break;
      ++n;
      if (n > 99) break;
    }
  }

  const float scale = input->RbcCountTime * input->RbcRateDivisor;
  if (!(scale > kTiny)) return n;
  const float c = SumF32(g, 0, 59) * 0.001f * input->RbcDilution / scale;
  int u = Trunc(c + 20.0f);
  if (u < 55) u = 55;
  if (n < u) u = n;
  float w = 2.0f - 0.04f * c;
  if (w < 0.0f) w = 0.0f;
  if (w > 1.0f) w = 1.0f;

  const float e = SumF32(g, n - 12, n + 12);
  const int k = FirstMax(g, 10, 59);
  const float d = SumF32(g, k - 6, k + 6);
  const float r = d / 13.0f > kTiny ? (e / 25.0f) / (d / 13.0f) : 1.0f;
  float z = r * 2.5f - 1.25f;
  if (z < 0.0f) z = 0.0f;
  float weight = z + w;
  if (weight > 1.0f) weight = 1.0f;
  return Trunc((1.0f - weight) * static_cast<float>(n) + weight * static_cast<float>(u));
}

}  // namespace

int PltNoiseFloor(const float* h) {
  const float a = SumF32(h, 20, 69) / 50.0f + 10.0f;
  const float q = SumF32(h, 20, 199);
  float b = 11.0f;
  if (q < 500.0f) b = 4.0f;
  else if (q < 700.0f) b = q * 0.035f - 13.5f;
  float x = a - b;
  if (x < 14.0f) x = 14.0f;
  if (x > 16.0f) x = 16.0f;
  return Trunc(x + 0.5f);
}

float PltLinearity(float plt) {
  if (plt < 30.0f) plt *= 0.85f;
  else if (plt < 100.0f) plt *= 0.85f + 0.15f * (plt - 30.0f) / 70.0f;
  if (plt >= 800.0f) plt *= 1.1f;
  else if (plt >= 400.0f) plt *= 1.0f + 0.1f * (plt - 400.0f) / 400.0f;
  return plt;
}

}  // namespace zentil

extern "C" {

ZENTIL_API int GetPltParameters(AlgorithmResult* result, const AlgorithmInput* input) {
  using namespace zentil;
  if (result == nullptr || input == nullptr) return 1;
  float* values[] = {&result->PLT, &result->MPV, &result->PCT,
                     &result->PDW, &result->PLCR, &result->PLCC};
  for (float* v : values) *v = kInvalid;

  float* h = result->PltHistogram;
  float* g = result->PltSmoothed;
  const int floor = PltNoiseFloor(h);
  result->PltNoiseFloor = static_cast<std::uint16_t>(floor);
  for (int k = 0; k < floor; ++k) h[k] = 0.0f;
  GaussianSmooth(g, h, 256, 4.0f);
  GaussianSmooth(g, g, 256, 4.0f);
  GaussianSmooth(g, g, 256, 4.0f);
  static constexpr float kBox[5] = {0.2f, 0.2f, 0.2f, 0.2f, 0.2f};
  ConvolveSame(g, g, 256, kBox, 5);

  int lo, up;
  if (input->UserPltUpper != 0) {
    lo = input->UserPltLower < 10 ? input->UserPltLower : 10;
    up = input->UserPltUpper < 127 ? input->UserPltUpper : 127;
    if (up < lo + 1) up = lo + 1;
  } else {
    lo = 1;
    up = AutomaticUpperLine(g, input);
  }
  result->PltLower = static_cast<std::uint16_t>(lo);
  result->PltUpper = static_cast<std::uint16_t>(up);

  if (input->RbcCountTime >= kTiny) {
    const float s = SumF32(h, floor, up - 1);
    const float rate = s / input->RbcCountTime;
    const float v = FloorBelowTiny(rate * 1.2f - 1.5f);
    result->PltPulseSum = s;
    result->PltPulseRate = rate;
    result->PltCorrectedRate = v;
    if (input->RbcRateDivisor > kTiny) {
      float plt = v * 0.001f * input->RbcDilution / input->RbcRateDivisor;
      plt = FloorBelowTiny(Calibrate(plt, ECalPLT));
      result->PLT = PltLinearity(plt * input->PltFactor);
    }
  }

  float g6[256];
  GaussianSmooth(g6, g, 256, 6.0f);
  float c = 0.0f;
  Centroid(c, g6, lo, up);
  result->MPV = FloorTiny(Calibrate(c * 0.225f, ECalMPV)) * input->MpvFactor;

  if (result->PLT > kTiny && result->MPV > kTiny) result->PCT = result->PLT * (result->MPV * 0.0001f);

  // PDW: relative width of the curve at 68.26 % of its peak.
  {
    float peak = g[lo];
    int p = lo;
    for (int k = lo + 1; k <= up - 1; ++k)
      if (g[k] > peak) {
        peak = g[k];
        p = k;
      }
    if (p >= 1 && g[p] > kTiny) {
      const float level = 0.6826f * g[p];
      int cl = p;
      while (cl - 1 > lo && g[cl - 1] > level) --cl;
      int cr = p;
      while (cr + 1 < up && g[cr + 1] > level) ++cr;
      float centre = 0.0f;
      Centroid(centre, g, cl, cr);
      if (!(SumF32(g, cl, cr) < kTiny) && !(centre < kTiny)) {
        const float width = static_cast<float>(cr - cl) * 100.0f / static_cast<float>(cl + cr) * 0.41f;
        result->PDW = FloorTiny(Calibrate(width, ECalPDW));
      }
    }
  }

  const float z = SumF32(g, lo, up - 1);
  if (!(z < kTiny)) {
    const float y = up < 55 ? 0.0f : SumF32(g, 54, up - 1);
    float plcr = FloorTiny(Calibrate(y * 100.0f / z, ECalPLCR));
    result->PLCR = plcr > 100.0f ? 100.0f : plcr;
  }
  if (result->PLT > kTiny && result->PLCR > kTiny) result->PLCC = result->PLCR * (result->PLT * 0.01f);

  // Display curve: the right tail held at its running maximum, smoothed, scaled to 255.
  float height = 1.0f;
  if (result->PLT > -kTiny && result->PLT < 99.0f) height = (result->PLT + 0.001f) * 0.01f;
  float w[256];
  std::memcpy(w, g, sizeof(w));
  for (int k = 110; k < 256; ++k)
    if (w[k - 1] > w[k]) w[k] = w[k - 1];
  GaussianSmooth(w, w, 256, 10.0f);
  float mx = 0.0f;
  FindMaximumF32(mx, w, 128);
  if (mx > kTiny)
    for (float& v : w) {
      v = v * height * 255.0f / mx;
      if (v > 255.0f) v = 255.0f;
    }
  for (int k = 0; k < 256; ++k) result->PltCurve[k] = ToByte(w[k]);
  return 0;
}

ZENTIL_API int CbcAlgorithmPlt(AlgorithmResult* result, const AlgorithmInput* input) {
  if (result == nullptr || input == nullptr) return 1;
  std::memcpy(result->PltHistogram, input->PltHistogram, sizeof(result->PltHistogram));
  return GetPltParameters(result, input);
}

}  // extern "C"
