// Array routines shared by the channels. Internal to the library; they work on caller-owned
// arrays and keep no state. Sums are accumulated in single precision, as the records store them;
// only the Gaussian fit works in double precision, as its request and result do.
#pragma once

#include <cstdint>

namespace zentil {

// Extreme searches: value and index of the first occurrence; -1 for a null array or count < 1.
int FindMinimumU16(std::uint16_t& value, const std::uint16_t* values, int count);
int FindMaximumU16(std::uint16_t& value, const std::uint16_t* values, int count);
int FindMinimumF32(float& value, const float* values, int count);
int FindMaximumF32(float& value, const float* values, int count);
float SumU16(const std::uint16_t* values, int count);

// Sum of values[first..last] (inclusive); 0 when last < first.
float SumF32(const float* values, int first, int last);

// out := sum(values[i] * i) / sum(values[i]) over first..last; out := 0 when last < first or the
// sum is not above 1e-6. 1 for a null pointer (out untouched), else 0.
std::uint8_t Centroid(float& out, const float* values, int first, int last);

// Normalised Gaussian weights of `length` taps; returns length, or 0 on failure.
std::int16_t GaussianKernel(float* out, std::int16_t length, float variance);
// Same-size convolution that folds the overhanging ends back in, so the array total is kept.
// 0 ok, 1 null array or length < 1, 2 no kernel, 3 no memory (dst = copy of src for 2 and 3).
std::uint8_t ConvolveSame(float* dst, const float* src, int length, const float* kernel,
                          std::int16_t kernelLength);
void GaussianSmooth(float* dst, const float* src, int length, float variance);
// Smoothing with variance slope * channel + base. 1 null array or length < 1, 2 no memory.
std::uint8_t VariableGaussianSmooth(float* dst, const float* src, std::int16_t length, float slope,
                                    float base);

#pragma pack(push, 1)
struct PeakList {
  std::int16_t Count;       // 0-100
  std::int16_t Peak[100];   // ascending channels
  std::int16_t Start[100];  // segment start: 0 for the first, else the valley before
  std::int16_t End[100];    // segment end: the valley after, the array length for the last
};
static_assert(sizeof(PeakList) == 301 * 2);

struct GaussFitRequest {
  double y[256];
  std::uint16_t first;
  std::uint16_t last;
  double meanStart, meanEnd, meanStep;
  double sigmaStart, sigmaEnd, sigmaStep;
};

struct GaussFitResult {
  double curve[256];
  double left;  // always 0
  double mean;
  double sigma;
  std::uint8_t fitted;
};
#pragma pack(pop)

void FindPeaks(PeakList* list, const float* values, std::int16_t length, std::int16_t halfWindow);
void FitGaussian(GaussFitResult* result, const GaussFitRequest* request);
std::uint8_t SlopeAngleProfile(float* out, const float* values, std::int16_t length, float slope,
                               float base);

}  // namespace zentil
