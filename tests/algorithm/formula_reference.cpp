#include "formula_reference.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace formula_reference {

using zentil::GaussFitRequest;
using zentil::GaussFitResult;

namespace {
long Radius(float v) { return static_cast<long>(3.0f * std::sqrt(v) + 0.5f); }
}  // namespace

std::int16_t GaussianKernel(float* out, std::int16_t length, float variance) {
  if (out == nullptr || length <= 0 || variance < 0.000001f) return 0;
  const int m = length;
  float sum = 0.0f;
  for (int j = 1; j <= m; ++j) {
    const float t = static_cast<float>(j) - (static_cast<float>(m) + 1.0f) / 2.0f;
    out[j - 1] = std::exp(-(t * t) / (2.0f * variance));
    sum += out[j - 1];
  }
  if (sum < 0.000001f) return 0;
  for (int j = 0; j < m; ++j) out[j] /= sum;
  return length;
}

std::uint8_t VariableGaussianSmooth(float* dst, const float* src, std::int16_t length, float slope,
                                    float base) {
  if (dst == nullptr || src == nullptr || length < 1) return 1;
  const int n = length;
  std::vector<float> in(src, src + n), out(in), kernel(static_cast<std::size_t>(n));
  for (int e = 0; e < n; ++e) {
    const float v = slope * static_cast<float>(e) + base;
    if (!(v >= 0.000001f)) continue;
    const long r = Radius(v);
    if (r >= 16384 || 2 * r + 1 > n) continue;
    const int m = static_cast<int>(2 * r + 1);
    if (GaussianKernel(kernel.data(), static_cast<std::int16_t>(m), v) != m) continue;
    float acc = 0.0f;
    for (int j = 0; j < m; ++j) {
      long idx = e + r - j;
      if (idx < 0) idx = -idx - 1;
      else if (idx > n - 1) idx = 2L * n - idx - 1;
      acc += in[idx] * kernel[j];
    }
    out[e] = acc;
  }
  std::memcpy(dst, out.data(), sizeof(float) * static_cast<std::size_t>(n));
  return 0;
}

void FitGaussian(GaussFitResult* result, const GaussFitRequest* request) {
  if (result == nullptr) return;
  std::memset(result, 0, sizeof(GaussFitResult));
  if (request == nullptr) return;
  const int first = request->first, last = request->last;
  if (first > last || last > 255) return;
  for (int c = first; c <= last; ++c)
    if (!(request->y[c] > 0.000001)) return;
  const double n = last - first + 1;
  double sx = 0.0, sxx = 0.0, sz = 0.0;
  for (int c = first; c <= last; ++c) {
    sx += c;
    sxx += static_cast<double>(c) * c;
    sz += std::log(request->y[c]);
  }
  // The grid as the library lays it out: start + i * step up to the end (a float step's rounding
  // allowed for, so 3.0..12.0 by 0.05f reaches 12.0), a point past the end held at the end.
  auto count = [](double start, double end, double step) -> long {
    if (!(end >= start)) return 0;
    if (!(step > 0.0)) return 1;
    const double q = (end - start) / step;
    return static_cast<long>(q + q * 1e-6 + 1e-9) + 1;
  };
  auto point = [](double start, double end, double step, long i) {
    const double v = start + static_cast<double>(i) * step;
    return v > end ? end : v;
  };
  bool evaluated = false;
  double bestError = 0.0, bestA = 0.0, bestB = 0.0, bestC = 0.0;
  for (long im = 0; im < count(request->meanStart, request->meanEnd, request->meanStep); ++im) {
    const double mu = point(request->meanStart, request->meanEnd, request->meanStep, im);
    for (long is = 0; is < count(request->sigmaStart, request->sigmaEnd, request->sigmaStep); ++is) {
      const double s = point(request->sigmaStart, request->sigmaEnd, request->sigmaStep, is);
      if (s * s < 0.000001) continue;
      const double A = -0.5 / (s * s);
      const double B = -2.0 * A * mu;
      const double C = (sz - B * sx - A * sxx) / n;
      double error = 0.0;
      for (int c = first; c <= last; ++c) {
        const double cc = static_cast<double>(c) * c;
        const double d = request->y[c] - std::exp(A * cc + B * c + C);
        error += d * d;
      }
      if (!evaluated || error < bestError) {
        evaluated = true;
        bestError = error;
        bestA = A;
        bestB = B;
        bestC = C;
      }
    }
  }
  if (!evaluated) return;
  result->fitted = 1;
  for (int i = 0; i < 256; ++i) result->curve[i] = std::exp(bestC + i * (bestB + i * bestA));
  if (std::fabs(bestA) > 0.000001) {
    result->sigma = std::sqrt(-1.0 / (2.0 * bestA));
    result->mean = -bestB / (2.0 * bestA);
  }
}

}  // namespace formula_reference
