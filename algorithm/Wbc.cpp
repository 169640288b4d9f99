// WBC channel: WBC, the four divider lines, the three-part differential and the display curve.
#include <cmath>
#include <cstring>

#include "algorithm/Channels.h"
#include "algorithm/Internal.h"
#include "algorithm/Numeric.h"
#include "algorithm/SmoothingKernels.h"
#include "algorithm/WbcLineConfig.h"

namespace zentil {
namespace {

constexpr double kPi = 3.14159265358979323846;

WbcLineConfig gWbcLineConfig = kWbcLineConfig;

// sm outside 0..255 counts as 0.
float At(const float* sm, int i) { return (i < 0 || i > 255) ? 0.0f : sm[i]; }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Sum over first..last with the channels above 255 skipped.
float SumClipped(const float* v, int first, int last) {
  if (last > 255) last = 255;
  return SumF32(v, first, last);
}

// Counts of the slope-angle peak walk.
struct PeakWalk {
  PeakList peaks;
  int noise = 0;  // s
  int lymph = 0;  // r
};

void ClassifyPeaks(PeakWalk& walk, const float* sm, const float* w, const WbcLineConfig& cfg) {
  FindPeaks(&walk.peaks, w, 256, 4);
  const PeakList& p = walk.peaks;
  for (int k = 0; k < p.Count; ++k) {
    const int pos = p.Peak[k];
    if (pos < cfg.NoisePeakBelow) {
      ++walk.noise;
    } else if (pos < cfg.ValleyTestFrom) {
      ++walk.lymph;
    } else if (pos >= cfg.PeakScanStop) {
      break;
    } else if (walk.lymph == 0) {
      walk.lymph = 1;
    } else {
      const int prev = p.Peak[k - 1];
      if (0.9f * sm[prev] >= sm[pos]) break;
      float v = sm[prev];
      for (int j = prev; j <= pos - 1; ++j)
        if (sm[j] < v) v = sm[j];
      if (0.8f * sm[pos] > v) ++walk.lymph;
    }
  }
}

}  // namespace

WbcLineConfig& ActiveWbcLineConfig() { return gWbcLineConfig; }

void ResetWbcLineConfig() { gWbcLineConfig = kWbcLineConfig; }

void PresetWbcResults(AlgorithmResult* r) {
  r->WBC = kInvalid;
  r->GraPercent = r->LymPercent = r->MidPercent = kInvalid;
  r->GraCount = r->LymCount = r->MidCount = kInvalid;
}

float GetTopEndFraction(const float* sm) {
  const float total = SumF32(sm, 0, 255);
  float running = 0.0f;
  for (int ch = 255; ch > 10; --ch) {
    running += sm[ch];
    if (running >= 0.06f * total) return static_cast<float>(ch) / 255.0f;
  }
  return 10.0f / 255.0f;
}

int FindWbcLine0(const float* sm, const PeakWalk& walk, const WbcLineConfig& cfg) {
  int line = 0;
  for (int i = 0; i < 256; ++i)
    if (sm[i] > 0.001f) {
      line = i;
      break;
    }
  if (walk.noise > 0) line = walk.peaks.End[walk.noise - 1];
  return Clamp(line, cfg.Line0Min, cfg.Line0Max);
}

int FindWbcLine1(AlgorithmResult* r, const PeakWalk& walk, const WbcLineConfig& cfg) {
  const float* sm = r->WbcSmoothed;
  const float* w = r->WbcSlopeProfile;
  int first, last;
  if (walk.lymph == 0) {
    first = 1;
    last = cfg.NoPeakWindowEnd;
    r->WbcNoLymPeak = 1;
  } else {
    first = walk.peaks.Start[walk.noise];
    last = walk.peaks.End[walk.noise + walk.lymph - 1];
    r->WbcNoLymPeak = 0;
  }
  if (last > 255) last = 255;

  // Lymphocyte peak: the last channel of the window that is a local top of at least 70 % of the
  // running maximum.
  int pk = first;
  float pv = At(sm, first);
  float runningMax = 0.0f;
  for (int i = first; i <= last; ++i) {
    if (sm[i] > runningMax) runningMax = sm[i];
    if (sm[i] >= 0.7f * runningMax && At(sm, i - 1) <= sm[i] && At(sm, i + 1) < sm[i]) {
      pk = i;
      pv = sm[i];
    }
  }
  int candidate = pk + 20 < last ? pk + 20 : last;

  // Tail scan: follow the right flank of the peak while it keeps to a Gaussian envelope.
  const int start = pk + cfg.TailScanStart;
  const int bound = cfg.Line1Max;
  const bool scan = w[Clamp(pk, 0, 255)] > 1.0f && start < bound && start <= last && pk > 6;
  int tailEnd = start;
  std::memset(r->WbcFittedCurve, 0, sizeof(r->WbcFittedCurve));
  r->WbcFitDone = 0;
  if (scan) {
    const float sigma = cfg.FitSigmaMax;
    for (int j = start; j <= bound && j <= last; ++j) {
      tailEnd = j;
      const float t = static_cast<float>(j - pk) / sigma;
      if (w[j] < cfg.TailMinSlopeAngle || std::exp(-1.5f) * pv > sm[j] ||
          1.1f * pv * std::exp(-t * t / 2.0f) < sm[j])
        break;
    }
    // The fit covers the peak from pk-3 up to the channel before the tail end: the tail end is the
    // first channel that left the peak's envelope (or the scan's bound), and the fit is valid only
    // when every fitted channel holds counts.
    GaussFitRequest request{};
    const int reach = cfg.FitMeanReach;
    for (int c = 0; c < 256; ++c) request.y[c] = sm[c];
    request.first = static_cast<std::uint16_t>(pk - reach);
    request.last = static_cast<std::uint16_t>(tailEnd - 1);
    request.meanStart = pk - reach;
    request.meanEnd = pk + reach;
    request.meanStep = cfg.FitMeanStep;
    request.sigmaStart = cfg.FitSigmaMin;
    request.sigmaEnd = cfg.FitSigmaMax;
    request.sigmaStep = cfg.FitSigmaStep;
    GaussFitResult fit;
    FitGaussian(&fit, &request);
    r->WbcFitDone = fit.fitted;
    if (fit.fitted)
      for (int c = 0; c < 256; ++c) r->WbcFittedCurve[c] = static_cast<float>(fit.curve[c]);
  }

  // Area match: the line goes where the counts right of the tail equal the fitted tail's area.
  if (r->WbcFitDone && walk.lymph != 0) {
    const float tail = SumF32(r->WbcFittedCurve, tailEnd, 255);
    int e = tailEnd - 2;
    float sum = 0.0f;
    for (;;) {
      sum += sm[e];
      if (sum > tail || e >= bound) break;
      ++e;
    }
    int c = e;
    while (c > e - 3 && sm[c] >= 0.9f * At(sm, c - 2)) --c;
    while (c < e + 3 && sm[c] > 0.3f * pv && sm[c] > 1.1f * At(sm, c + 2)) ++c;
    candidate = c;
  }

  // Low-end blend: with few counts below the split channel the line moves to the valley near it.
  const float total = SumF32(sm, 0, 255);
  if (total > kTiny) {
    const int split = cfg.NoPeakWindowEnd;
    const float ratio = SumF32(sm, 0, split - 1) / total;
    const float weight =
        ratio <= 0.15f ? static_cast<float>(0.5 + 0.5 * std::cos(kPi * ratio / 0.15)) : 0.0f;
    const int c = split - Trunc(10.0f - 10.0f * ratio);
    float low;
    const int m = c - 2 + FindMinimumF32(low, sm + (c - 2), 5);
    candidate = Trunc((1.0f - weight) * static_cast<float>(candidate) + weight * static_cast<float>(m));
  }
  return Clamp(candidate, cfg.Line1Min, cfg.Line1Max);
}

int FindWbcLine2(const AlgorithmResult* r, int line0, int line1, const WbcLineConfig& cfg) {
  const float* sm = r->WbcSmoothed;
  const float f = r->WbcTopEndFraction > 0.45f ? r->WbcTopEndFraction : 0.45f;
  const int scaledStart = Trunc(cfg.Line2SearchStart * f);
  const int scaledMin = Trunc(cfg.Line2MinDistance * f);
  const int scaledLeft = Trunc(cfg.Line2LeftWidth * f);
  const int scaledRight = Trunc(cfg.Line2RightWidth * f);

  const int p = line1 + scaledStart;
  int pk2 = p;
  float best = At(sm, p);
  const int pEnd = p + 50 < 255 ? p + 50 : 255;
  for (int i = p; i <= pEnd; ++i)
    if (sm[i] >= best) {
      best = sm[i];
      pk2 = i;
    }

  // Descent: move left while the counts right of n clearly exceed those left of it.
  int n = p;
  if (p > line1 + scaledMin) {
    for (;;) {
      const int k = n - line1;
      float left = sm[n - 1];
      int leftTerms = 1;
      const int leftEnd = n - scaledLeft > line1 + 1 ? n - scaledLeft : line1 + 1;
      for (int j = n - 1; j >= leftEnd; --j, ++leftTerms) left += sm[j];
      float right = sm[n];
      int rightTerms = 1;
      const int rightEnd = n + scaledRight - 1 < pk2 ? n + scaledRight - 1 : pk2;
      for (int j = n; j <= rightEnd; ++j, ++rightTerms) right += sm[j];
      const float leftMean = left / static_cast<float>(leftTerms);
      const float rightMean = right / static_cast<float>(rightTerms);
      const float threshold = cfg.Line2Intercept + cfg.Line2Slope * static_cast<float>(k) / f;
      if (threshold * leftMean >= rightMean) break;
      --n;
      if (!(n > line1 + scaledMin)) break;
    }
  }

  float gmax;
  const int g = line1 + FindMaximumF32(gmax, sm + line1, 200 - line1 + 1);
  if (n > g && sm[line1] < sm[g] && g > 70) n = g;
  if (n - line1 < 10) n = line1 + 10;

  // Pull back toward line 1 when the MID region holds a real share of the counts.
  const float tot = SumF32(sm, line0, 255);
  const float mid = SumF32(sm, line1, n - 1);
  const int d = n - line1;
  float q = 0.0f;
  if (0.1f * tot < mid) {
    if (d < 10) q = 0.1f;
    else if (d < 30) q = static_cast<float>(0.1 + 0.4 * std::sin(kPi * (d - 10) / 20.0));
    else q = 0.5f;
  }
  return n - Trunc(static_cast<float>(d) * q);
}

void ComputeWbcCentroid(AlgorithmResult* r) {
  r->WbcCentroid = kInvalid;
  Centroid(r->WbcCentroid, r->WbcSmoothed, r->WbcLines[0], 255);
}

void CountWbc(AlgorithmResult* r, const AlgorithmInput* in) {
  r->WBC = kInvalid;
  if (in->WbcCountTime < kTiny) return;
  const float n = SumF32(r->WbcHistogram, r->WbcLines[0], 255);
  const float rate = n / in->WbcCountTime;
  const float e = 1.0f - rate * 0.000058f;
  const float c = e >= 0.1f ? 1.0f / e : 10.0f;
  const float m = std::log(c) * 17241.379310344826f;
  r->WbcPulseSum = n;
  r->WbcPulseRate = rate;
  r->WbcCorrectedRate = m;
  if (!(in->WbcRateDivisor > kTiny)) return;
  const float wbc = 0.001f * m * in->WbcDilution / in->WbcRateDivisor;
  const float v = Calibrate(wbc, ECalWBC);
  r->WBC = v > kTiny ? v * in->WbcFactor : 0.0f;
}

void ComputeWbcDifferential(AlgorithmResult* r) {
  const float* raw = r->WbcHistogram;
  const int l0 = r->WbcLines[0], l1 = r->WbcLines[1], l2 = r->WbcLines[2];
  const float d = SumF32(raw, 0, l0 - 1);
  const float a = SumF32(raw, l0, l1 - 1);
  const float b = SumF32(raw, l1, l2 - 1);
  const float c = SumF32(raw, l2, 255);
  const float e = a + b + c;
  if (e < kTiny) return;
  r->WbcBelowLine0Share = 100.0f * d / e;
  float lym = 100.0f * a / e;
  float mid = 100.0f * b / e;
  float gra = 100.0f - lym - mid;
  // Calibration, each share held at one tenth of its uncalibrated value at least.
  auto calibrated = [](float v, int pair) {
    const float y = Calibrate(v, pair);
    return y > 0.1f * v ? y : 0.1f * v;
  };
  const float y1 = calibrated(gra, ECalGRA);
  const float y2 = calibrated(lym, ECalLYM);
  const float y3 = calibrated(mid, ECalMID);
  const float sum = y1 + y2 + y3;
  if (sum > kTiny) {
    lym = 100.0f * y2 / sum;
    mid = 100.0f * y3 / sum;
    gra = 100.0f - lym - mid;
  }
  r->LymPercent = lym;
  r->MidPercent = mid;
  r->GraPercent = gra;
  if (r->WBC >= 0.0f) {
    r->LymCount = r->WBC * 0.01f * lym;
    r->MidCount = r->WBC * 0.01f * mid;
    r->GraCount = r->WBC - r->LymCount - r->MidCount;
  }
}

void BuildWbcDisplayCurve(AlgorithmResult* r) {
  const float* w = r->WbcSlopeProfile;
  float g[256];
  for (float& v : g) v = 1.0f;
  for (int i = 30; i <= 90; ++i) {
    float x = 1.0f;
    if (w[i] < 1.0f) x = w[i] * w[i] * w[i] * w[i];
    g[i] = static_cast<float>((1.0 - std::cos(kPi * x)) / 2.0);
  }
  float h[256];
  VariableGaussianSmooth(h, g, kWbcDisplaySmoothing.length, kWbcDisplaySmoothing.slope, kWbcDisplaySmoothing.base);
  float curve[256];
  for (int i = 0; i < 256; ++i) curve[i] = (0.6f + 0.4f * h[i]) * r->WbcSmoothed[i];
  float top;
  FindMaximumF32(top, curve, 256);
  if (top > kTiny)
    for (float& v : curve) v *= 255.0f / top;
  if (r->WBC > -kTiny && r->WBC < 0.99f)
    for (float& v : curve) v *= r->WBC + 0.0001f;
  for (int i = 0; i < 256; ++i) r->WbcCurve[i] = ToByte(curve[i]);
}

}  // namespace zentil

extern "C" {

ZENTIL_API int FindWbcLine(AlgorithmResult* result) {
  using namespace zentil;
  if (result == nullptr) return 255;
  const WbcLineConfig& cfg = ActiveWbcLineConfig();
  float* sm = result->WbcSmoothed;
  VariableGaussianSmooth(sm, result->WbcHistogram, kWbcSmoothing.length, kWbcSmoothing.slope, kWbcSmoothing.base);
  result->WbcTopEndFraction = GetTopEndFraction(sm);
  SlopeAngleProfile(result->WbcSlopeProfile, sm, 256, 0.2f, 4.0f);
  for (int i = 0; i < 256; ++i) {
    const float w = result->WbcSlopeProfile[i];
    result->WbcWeightedCurve[i] = w * w * sm[i];
  }
  PeakWalk walk;
  ClassifyPeaks(walk, sm, result->WbcSlopeProfile, cfg);
  const int line0 = FindWbcLine0(sm, walk, cfg);
  const int line1 = FindWbcLine1(result, walk, cfg);
  const int line2 = FindWbcLine2(result, line0, line1, cfg);
  result->WbcLines[0] = static_cast<std::uint16_t>(line0);
  result->WbcLines[1] = static_cast<std::uint16_t>(line1);
  result->WbcLines[2] = static_cast<std::uint16_t>(line2);
  result->WbcLines[3] = 255;
  return 255;
}

ZENTIL_API void GetWbcParameters(AlgorithmResult* result, const AlgorithmInput* input) {
  using namespace zentil;
  if (result == nullptr || input == nullptr) return;
  ResetWbcLineConfig();
  PresetWbcResults(result);
  FindWbcLine(result);
  ComputeWbcCentroid(result);
  CountWbc(result, input);
  ComputeWbcDifferential(result);
  BuildWbcDisplayCurve(result);
}

ZENTIL_API int CbcAlgorithmWbc(AlgorithmResult* result, const AlgorithmInput* input) {
  if (result == nullptr || input == nullptr) return 1;
  zentil::ResetWbcLineConfig();
  if (input->WbcCountTime < zentil::kTiny) {
    result->ChannelError[0] = 1;
    result->ChannelAlarm[0] = 1;
  }
  std::memcpy(result->WbcHistogram, input->WbcHistogram, sizeof(result->WbcHistogram));
  GetWbcParameters(result, input);
  return 0;
}

ZENTIL_API void AdjustWbcHistogram(AlgorithmResult* result, AlgorithmInput* input,
                                   const std::uint16_t* lines) {
  if (result == nullptr || input == nullptr || lines == nullptr) return;
  const float* raw = result->WbcHistogram;
  const float old = zentil::SumClipped(raw, result->WbcLines[0], result->WbcLines[3]);
  const float all = zentil::SumClipped(raw, lines[0], lines[3]);
  const float lym = zentil::SumClipped(raw, lines[0], lines[1] - 1);
  const float mid = zentil::SumClipped(raw, lines[1], lines[2] - 1);
  if (old <= zentil::kTiny || all <= zentil::kTiny) return;
  result->WBC = result->WBC * all / old;
  result->LymPercent = 100.0f * lym / all;
  result->MidPercent = 100.0f * mid / all;
  result->GraPercent = 100.0f - result->LymPercent - result->MidPercent;
  result->LymCount = result->LymPercent * 0.01f * result->WBC;
  result->MidCount = result->MidPercent * 0.01f * result->WBC;
  result->GraCount = result->WBC - result->LymCount - result->MidCount;
  for (int i = 0; i < 4; ++i) result->WbcLines[i] = lines[i];
}

}  // extern "C"
