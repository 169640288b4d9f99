#include "algorithm/Numeric.h"
#include "algorithm/SmoothingKernels.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace zentil {
namespace {

constexpr float kTiny = 0.000001f;

// A scratch array on the stack for the sizes the channels use, on the heap beyond that.
class Scratch {
 public:
  explicit Scratch(long n) : data_(n <= kLocal ? local_ : new (std::nothrow) float[n]) {}
  ~Scratch() {
    if (data_ != local_) delete[] data_;
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  float* get() { return data_; }

 private:
  static constexpr long kLocal = 1024;
  float local_[kLocal];
  float* data_;
};

// Radius of the Gaussian kernel for a variance: 3 sigma, rounded; truncated toward zero.
long KernelRadius(float variance) { return static_cast<long>(3.0f * std::sqrt(variance) + 0.5f); }

template <typename T>
int FindExtreme(T& value, const T* values, int count, bool largest) {
  if (values == nullptr || count < 1) return -1;
  int index = 0;
  T best = values[0];
  for (int i = 1; i < count; ++i) {
    if (largest ? values[i] > best : values[i] < best) {
      best = values[i];
      index = i;
    }
  }
  value = best;
  return index;
}

}  // namespace

int FindMinimumU16(std::uint16_t& value, const std::uint16_t* values, int count) {
  return FindExtreme(value, values, count, false);
}
int FindMaximumU16(std::uint16_t& value, const std::uint16_t* values, int count) {
  return FindExtreme(value, values, count, true);
}
int FindMinimumF32(float& value, const float* values, int count) {
  return FindExtreme(value, values, count, false);
}
int FindMaximumF32(float& value, const float* values, int count) {
  return FindExtreme(value, values, count, true);
}

float SumU16(const std::uint16_t* values, int count) {
  if (values == nullptr) return 0.0f;
  float sum = 0.0f;
  for (int i = 0; i < count; ++i) sum += values[i];
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
  if (last < first) return 0;
  float weight = 0.0f;
  float moment = 0.0f;
  for (int i = first; i <= last; ++i) {
    weight += values[i];
    moment += values[i] * static_cast<float>(i);
  }
  if (weight > kTiny) out = moment / weight;
  return 0;
}

std::int16_t GaussianKernel(float* out, std::int16_t length, float variance) {
  if (out == nullptr || length <= 0 || variance < kTiny) return 0;
  // Each weight is its own exponential, in single precision as the kernel is typed: a running
  // product of ratios would gather rounding along the taps and move the results.
  const float centre = (static_cast<float>(length) + 1.0f) / 2.0f;
  float sum = 0.0f;
  for (int j = 1; j <= length; ++j) {
    const float d = static_cast<float>(j) - centre;
    out[j - 1] = std::exp(-(d * d) / (2.0f * variance));
    sum += out[j - 1];
  }
  if (sum < kTiny) return 0;
  for (int j = 0; j < length; ++j) out[j] /= sum;
  return length;
}

std::uint8_t ConvolveSame(float* dst, const float* src, int length, const float* kernel,
                          std::int16_t kernelLength) {
  if (dst == nullptr || src == nullptr || length < 1) return 1;
  if (dst != src) std::memcpy(dst, src, sizeof(float) * static_cast<std::size_t>(length));
  if (kernel == nullptr || kernelLength < 1) return 2;
  const int m = kernelLength;
  const long fullLength = static_cast<long>(length) + m - 1;
  Scratch scratch(fullLength);
  float* full = scratch.get();
  if (full == nullptr) return 3;
  for (long t = 0; t < fullLength; ++t) {
    // Both indices valid: 0 <= j < length and 0 <= t - j < m.
    const long jFirst = t - (m - 1) > 0 ? t - (m - 1) : 0;
    const long jLast = t < length - 1 ? t : length - 1;
    float acc = 0.0f;
    for (long j = jFirst; j <= jLast; ++j) acc += src[j] * kernel[t - j];
    full[t] = acc;
  }
  const int h = m / 2;
  for (int i = 0; i < length; ++i) dst[i] = full[i + h];
  // Fold the overhangs back in mirror-wise so the total is kept. On an array shorter than the
  // overhang, the part that has no channel to land on is dropped rather than written outside.
  for (int i = 0; i < h && i < length; ++i) dst[i] += full[h - 1 - i];
  for (int i = 0; i <= m - h - 2 && i < length; ++i) dst[length - 1 - i] += full[h + length + i];
  return 0;
}

void GaussianSmooth(float* dst, const float* src, int length, float variance) {
  if (dst == nullptr || src == nullptr || length <= 0) return;
  if (dst != src) std::memcpy(dst, src, sizeof(float) * static_cast<std::size_t>(length));
  if (!(variance >= kTiny)) return;
  const long r = KernelRadius(variance);
  if (r >= 16384) return;
  const std::int16_t m = static_cast<std::int16_t>(2 * r + 1);
  Scratch kernel(m);
  if (kernel.get() == nullptr) return;
  if (GaussianKernel(kernel.get(), m, variance) == m) ConvolveSame(dst, dst, length, kernel.get(), m);
}

bool BuildSmoothingKernels(const SmoothingShape& shape, std::vector<int>& radius, std::vector<int>& offset,
                           std::vector<float>& taps) {
  const int n = shape.length;
  if (n < 1) return false;
  radius.assign(static_cast<size_t>(n), -1);
  offset.assign(static_cast<size_t>(n), 0);
  taps.clear();
  Scratch kernelBuffer(n);
  float* kernel = kernelBuffer.get();
  if (kernel == nullptr) return false;
  for (int e = 0; e < n; ++e) {
    // A kernel longer than the array, or a variance too small, leaves the source value: such a
    // kernel would also reach beyond a single mirror of the array.
    const float v = shape.slope * static_cast<float>(e) + shape.base;
    if (!(v >= kTiny)) continue;
    const long r = KernelRadius(v);
    if (r >= 16384) continue;
    const long m = 2 * r + 1;
    if (m > n) continue;
    if (GaussianKernel(kernel, static_cast<std::int16_t>(m), v) != m) continue;
    radius[e] = static_cast<int>(r);
    offset[e] = static_cast<int>(taps.size());
    taps.insert(taps.end(), kernel, kernel + m);
  }
  return true;
}

namespace {

// A kernel set built at run time, owning its arrays.
struct OwnedKernels {
  SmoothingShape shape;
  std::vector<int> radius, offset;
  std::vector<float> taps;
  KernelSet View() const { return {shape, radius.data(), offset.data(), taps.data()}; }
};

bool SameShape(const SmoothingShape& a, const SmoothingShape& b) {
  return a.length == b.length && std::memcmp(&a.slope, &b.slope, sizeof(float)) == 0 &&
         std::memcmp(&a.base, &b.base, sizeof(float)) == 0;
}

#ifndef ZENTIL_NO_BUILT_IN_KERNELS
// The WBC channel's two sets, generated at build time by BuildSmoothingKernels.
#include "SmoothingKernelTable.inc"
#endif

// The kernels of `shape`: compiled in, else shared (built on first use under a lock, kept for
// the life of the loaded library, so no call can see a freed set). False when the shared sets are
// full (an unusual caller with many shapes) or memory ran out; the caller then builds its own.
bool FindKernels(const SmoothingShape& shape, KernelSet& out) {
#ifndef ZENTIL_NO_BUILT_IN_KERNELS
  for (const KernelSet& k : kBuiltInKernels)
    if (SameShape(k.shape, shape)) {
      out = k;
      return true;
    }
#endif
  static std::mutex mutex;
  static auto* sets = new std::vector<const OwnedKernels*>;
  constexpr std::size_t kMaxSets = 16;
  std::lock_guard<std::mutex> lock(mutex);
  for (const OwnedKernels* k : *sets)
    if (SameShape(k->shape, shape)) {
      out = k->View();
      return true;
    }
  if (sets->size() >= kMaxSets) return false;
  try {
    auto* k = new OwnedKernels{shape, {}, {}, {}};
    if (!BuildSmoothingKernels(shape, k->radius, k->offset, k->taps)) {
      delete k;
      return false;
    }
    sets->push_back(k);
    out = k->View();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// One channel of the smoothing: the kernel taps over the source, mirrored at both ends.
inline float SmoothChannel(const float* src, int n, int e, long r, const float* kernel) {
  const long m = 2 * r + 1;
  float acc = 0.0f;
  if (e - r >= 0 && e + r <= n - 1) {
    const float* s = src + e + r;
    for (long j = 0; j < m; ++j) acc += s[-j] * kernel[j];
    return acc;
  }
  for (long j = 0; j < m; ++j) {
    long idx = e + r - j;
    if (idx < 0) idx = -idx - 1;
    else if (idx > n - 1) idx = 2L * n - idx - 1;
    acc += src[idx] * kernel[j];
  }
  return acc;
}

}  // namespace

std::uint8_t VariableGaussianSmooth(float* dst, const float* src, std::int16_t length, float slope,
                                    float base) {
  if (dst == nullptr || src == nullptr || length < 1) return 1;
  const int n = length;
  Scratch outBuffer(n);
  float* out = outBuffer.get();
  if (out == nullptr) {
    if (dst != src) std::memcpy(dst, src, sizeof(float) * static_cast<std::size_t>(n));
    return 2;
  }
  const SmoothingShape shape{slope, base, n};
  KernelSet k{};
  OwnedKernels own{shape, {}, {}, {}};
  if (!FindKernels(shape, k)) {
    bool built = false;
    try {
      built = BuildSmoothingKernels(shape, own.radius, own.offset, own.taps);
    } catch (const std::bad_alloc&) {
    }
    if (!built) {
      if (dst != src) std::memcpy(dst, src, sizeof(float) * static_cast<std::size_t>(n));
      return 2;
    }
    k = own.View();
  }
  for (int e = 0; e < n; ++e)
    out[e] = k.radius[e] < 0 ? src[e] : SmoothChannel(src, n, e, k.radius[e], k.taps + k.offset[e]);
  std::memcpy(dst, out, sizeof(float) * static_cast<std::size_t>(n));
  return 0;
}

void FindPeaks(PeakList* list, const float* values, std::int16_t length, std::int16_t halfWindow) {
  if (list == nullptr) return;
  std::memset(list, 0, sizeof(PeakList));
  if (values == nullptr) return;
  const int n = length;
  const int a = halfWindow;
  int count = 0;
  for (int i = 1; i <= n - 2 && count < 100; ++i) {
    if (i < a) continue;
    bool peak = true;
    for (int k = i - a; k <= i - 1 && peak; ++k) peak = values[i] > values[k];
    const int right = i + a < n - 1 ? i + a : n - 1;
    for (int k = i + 1; k <= right && peak; ++k) peak = values[i] >= values[k];
    if (peak) list->Peak[count++] = static_cast<std::int16_t>(i);
  }
  list->Count = static_cast<std::int16_t>(count);
  if (count < 1) return;
  list->Start[0] = 0;
  for (int k = 1; k < count; ++k) {
    const int from = list->Peak[k - 1];
    float low;
    const int valley = from + FindMinimumF32(low, values + from, list->Peak[k] - from);
    list->Start[k] = static_cast<std::int16_t>(valley);
    list->End[k - 1] = static_cast<std::int16_t>(valley);
  }
  list->End[count - 1] = static_cast<std::int16_t>(n);
}

void FitGaussian(GaussFitResult* result, const GaussFitRequest* request) {
  if (result == nullptr) return;
  std::memset(result, 0, sizeof(GaussFitResult));
  if (request == nullptr) return;
  const int first = request->first;
  const int last = request->last;
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

  // Grid points are start + i * step (not a running sum), a sigma beyond the end held
  // at the end. The
  // steps come from single-precision settings (0.05f is 0.0500000007…), so the count allows a
  // relative error of a float's precision: the end point of 3.0..12.0 by 0.05f is reached.
  auto gridCount = [](double start, double end, double step) -> long {
    if (!(end >= start)) return 0;
    if (!(step > 0.0)) return 1;
    const double q = (end - start) / step;
    return static_cast<long>(q + q * 1e-6 + 1e-9) + 1;
  };
  auto gridPoint = [](double start, double end, double step, long i) {
    const double v = start + static_cast<double>(i) * step;
    return v > end ? end : v;
  };
  const long means = gridCount(request->meanStart, request->meanEnd, request->meanStep);
  const long sigmas = gridCount(request->sigmaStart, request->sigmaEnd, request->sigmaStep);

  // The winner is the grid point of smallest error, the first in grid order (mean outer, sigma
  // inner) among equal ones. Every channel's curve value is its own exponential of
  // A c^2 + B c + C, summed channel by channel in order, so each grid point's error has the same
  // bits however the grid is walked. A sum of squares never decreases as channels are added (also
  // in floating point), so a grid point is abandoned as soon as its partial error shows it cannot
  // win: not below the best so far, or only equal to it while it comes later in the grid. A few
  // points across the middle of the grid are tried first, so that the best error is small early
  // and most points are abandoned after a few channels. None of this changes the result.
  // Each sigma's A (and whether the sigma is usable) depends on the sigma alone.
  struct Sigma {
    double A;
    bool used;
  };
  std::vector<Sigma> sigmaA;
  try {
    sigmaA.resize(static_cast<std::size_t>(sigmas > 0 ? sigmas : 0));
  } catch (const std::bad_alloc&) {
    return;
  }
  for (long is = 0; is < sigmas; ++is) {
    const double s = gridPoint(request->sigmaStart, request->sigmaEnd, request->sigmaStep, is);
    const bool used = !(s * s < 0.000001);
    sigmaA[static_cast<std::size_t>(is)] = {used ? -0.5 / (s * s) : 0.0, used};
  }
  bool evaluated = false;
  double bestError = 0.0, bestA = 0.0, bestMu = 0.0;
  long bestIndex = 0;
  const double* y = request->y;
  auto tryPoint = [&](long im, long is) {
    if (!sigmaA[static_cast<std::size_t>(is)].used) return;
    const double A = sigmaA[static_cast<std::size_t>(is)].A;
    const double mu = gridPoint(request->meanStart, request->meanEnd, request->meanStep, im);
    const long index = im * sigmas + is;
    // An earlier point wins on an equal error, a later one only on a smaller error.
    const bool earlier = evaluated && index < bestIndex;
    const double B = -2.0 * A * mu;
    const double C = (sz - B * sx - A * sxx) / n;
    double error = 0.0;
    for (int c = first; c <= last; ++c) {
      const double x = c;
      const double d = y[c] - std::exp(A * (x * x) + B * x + C);
      error += d * d;
      if (evaluated && !(error < bestError) && !(earlier && error == bestError)) return;
    }
    evaluated = true;
    bestError = error;
    bestIndex = index;
    bestA = A;
    bestMu = mu;
  };
  constexpr long kFirstTries = 8;
  for (long k = 0; k < kFirstTries && means > 0 && sigmas > 0; ++k)
    tryPoint(means / 2, k * (sigmas - 1) / (kFirstTries - 1));
  // A not-a-number error (from a curve that overflows) never wins once another point has been
  // evaluated, so only the grid's first evaluated point may keep one: forget such a first try.
  if (evaluated && std::isnan(bestError)) evaluated = false;
  for (long im = 0; im < means; ++im)
    for (long is = 0; is < sigmas; ++is) tryPoint(im, is);
  const double bestB = -2.0 * bestA * bestMu;
  const double bestC = (sz - bestB * sx - bestA * sxx) / n;
  if (!evaluated) return;
  result->fitted = 1;
  for (int i = 0; i < 256; ++i) result->curve[i] = std::exp(bestC + i * (bestB + i * bestA));
  if (std::fabs(bestA) > 0.000001) {
    result->sigma = std::sqrt(-1.0 / (2.0 * bestA));
    result->mean = -bestB / (2.0 * bestA);
  }
}

std::uint8_t SlopeAngleProfile(float* out, const float* values, std::int16_t length, float slope,
                               float base) {
  if (out == nullptr || values == nullptr || length < 1) return 1;
  const int n = length;
  std::memset(out, 0, sizeof(float) * static_cast<std::size_t>(n));
  constexpr float kPi = 3.14159265358979f;
  for (int i = 0; i < n; ++i) {
    const int d = static_cast<int>(slope * static_cast<float>(i) + base + 0.000001f);
    if (d <= 0) continue;
    const int l = i - d > 0 ? i - d : 0;
    const int r = i + d < n - 1 ? i + d : n - 1;
    const float alpha =
        l != i ? std::atan((values[l] - values[i]) / static_cast<float>(l - i)) : 0.0f;
    const float beta =
        r != i ? std::atan((values[r] - values[i]) / static_cast<float>(r - i)) : 0.0f;
    out[i] = (kPi + alpha - beta) / kPi;
  }
  return 0;
}

}  // namespace zentil
