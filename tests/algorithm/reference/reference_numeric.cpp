// The library's numeric routines written straight from their formulas, with no shortcut (the
// kernel, the variable smoothing and the fit are the shared formula references). The channels are
// compiled over these in place of the library's own, so a whole count can be compared with the
// library bit for bit.
#include <cmath>
#include <cstring>
#include <vector>

#include "algorithm/Numeric.h"
#include "formula_reference.h"

namespace zentil {

namespace {

template <typename T>
int Extreme(T& value, const T* values, int count, bool largest) {
  // From values[0], replaced only on a strictly smaller (larger) value: the first occurrence wins.
  if (values == nullptr || count < 1) return -1;
  int at = 0;
  for (int i = 1; i < count; ++i)
    if (largest ? values[i] > values[at] : values[i] < values[at]) at = i;
  value = values[at];
  return at;
}

long Radius(float v) { return static_cast<long>(3.0f * std::sqrt(v) + 0.5f); }

}  // namespace

int FindMinimumU16(std::uint16_t& value, const std::uint16_t* values, int count) {
  return Extreme(value, values, count, false);
}
int FindMaximumU16(std::uint16_t& value, const std::uint16_t* values, int count) {
  return Extreme(value, values, count, true);
}
int FindMinimumF32(float& value, const float* values, int count) {
  return Extreme(value, values, count, false);
}
int FindMaximumF32(float& value, const float* values, int count) {
  return Extreme(value, values, count, true);
}

float SumU16(const std::uint16_t* values, int count) {
  float sum = 0.0f;
  for (int i = 0; values != nullptr && i < count; ++i) sum += values[i];
  return sum;
}

float SumF32(const float* values, int first, int last) {
  float sum = 0.0f;
  for (int i = first; i <= last; ++i) sum += values[i];
  return sum;
}

std::uint8_t Centroid(float& out, const float* values, int first, int last) {
  if (values == nullptr) return 1;
  out = 0.0f;
  float weight = 0.0f, moment = 0.0f;
  for (int i = first; i <= last; ++i) {
    weight += values[i];
    moment += values[i] * static_cast<float>(i);
  }
  if (last >= first && weight > 0.000001f) out = moment / weight;
  return 0;
}

std::int16_t GaussianKernel(float* out, std::int16_t length, float variance) {
  return formula_reference::GaussianKernel(out, length, variance);
}

std::uint8_t ConvolveSame(float* dst, const float* src, int length, const float* kernel,
                          std::int16_t kernelLength) {
  if (dst == nullptr || src == nullptr || length < 1) return 1;
  const int n = length;
  std::vector<float> in(src, src + n);
  std::memcpy(dst, in.data(), sizeof(float) * static_cast<std::size_t>(n));
  if (kernel == nullptr || kernelLength < 1) return 2;
  const int m = kernelLength;
  std::vector<float> full(static_cast<std::size_t>(n + m - 1), 0.0f);
  for (int t = 0; t < n + m - 1; ++t) {
    float acc = 0.0f;
    for (int j = 0; j < n; ++j)
      if (t - j >= 0 && t - j < m) acc += in[j] * kernel[t - j];
    full[t] = acc;
  }
  const int h = m / 2;
  for (int i = 0; i < n; ++i) dst[i] = full[i + h];
  for (int i = 0; i < h && i < n; ++i) dst[i] += full[h - 1 - i];
  for (int i = 0; i <= m - h - 2 && i < n; ++i) dst[n - 1 - i] += full[h + n + i];
  return 0;
}

void GaussianSmooth(float* dst, const float* src, int length, float variance) {
  if (dst == nullptr || src == nullptr || length <= 0) return;
  std::vector<float> in(src, src + length);
  std::memcpy(dst, in.data(), sizeof(float) * static_cast<std::size_t>(length));
  if (!(variance >= 0.000001f)) return;
  const long r = Radius(variance);
  if (r >= 16384) return;
  const int m = static_cast<int>(2 * r + 1);
  std::vector<float> kernel(static_cast<std::size_t>(m));
  if (GaussianKernel(kernel.data(), static_cast<std::int16_t>(m), variance) == m)
    ConvolveSame(dst, in.data(), length, kernel.data(), static_cast<std::int16_t>(m));
}

std::uint8_t VariableGaussianSmooth(float* dst, const float* src, std::int16_t length, float slope,
                                    float base) {
  return formula_reference::VariableGaussianSmooth(dst, src, length, slope, base);
}

void FindPeaks(PeakList* list, const float* values, std::int16_t length, std::int16_t halfWindow) {
  if (list == nullptr) return;
  std::memset(list, 0, sizeof(PeakList));
  if (values == nullptr) return;
  const int n = length, a = halfWindow;
  int count = 0;
  for (int i = 1; i <= n - 2; ++i) {
    if (i < a) continue;
    bool peak = true;
    for (int k = i - a; k <= i - 1; ++k) peak = peak && values[i] > values[k];
    for (int k = i + 1; k <= i + a && k <= n - 1; ++k) peak = peak && values[i] >= values[k];
    if (peak && count < 100) list->Peak[count++] = static_cast<std::int16_t>(i);
  }
  list->Count = static_cast<std::int16_t>(count);
  if (count < 1) return;
  list->Start[0] = 0;
  for (int k = 1; k < count; ++k) {
    int valley = list->Peak[k - 1];
    for (int c = valley + 1; c <= list->Peak[k] - 1; ++c)
      if (values[c] < values[valley]) valley = c;
    list->Start[k] = static_cast<std::int16_t>(valley);
    list->End[k - 1] = static_cast<std::int16_t>(valley);
  }
  list->End[count - 1] = static_cast<std::int16_t>(n);
}

void FitGaussian(GaussFitResult* result, const GaussFitRequest* request) {
  formula_reference::FitGaussian(result, request);
}

std::uint8_t SlopeAngleProfile(float* out, const float* values, std::int16_t length, float slope,
                               float base) {
  if (out == nullptr || values == nullptr || length < 1) return 1;
  const int n = length;
  constexpr float kPi = 3.14159265358979f;
  for (int i = 0; i < n; ++i) {
    out[i] = 0.0f;
    const int d = static_cast<int>(slope * static_cast<float>(i) + base + 0.000001f);
    if (d <= 0) continue;
    const int l = i - d > 0 ? i - d : 0;
    const int r = i + d < n - 1 ? i + d : n - 1;
    const float alpha = l != i ? std::atan((values[l] - values[i]) / static_cast<float>(l - i)) : 0.0f;
    const float beta = r != i ? std::atan((values[r] - values[i]) / static_cast<float>(r - i)) : 0.0f;
    out[i] = (kPi + alpha - beta) / kPi;
  }
  return 0;
}

}  // namespace zentil
