// The Gaussian kernel, the variable smoothing and the Gaussian fit written straight from their
// formulas, with no shortcut: every kernel weight its own exponential in single precision, a
// kernel built for each channel of each call, every grid point of the fit summed over all its
// channels with each curve value its own exponential. The tests compare the library with these.
#pragma once

#include <cstdint>

#include "algorithm/Numeric.h"

namespace formula_reference {

std::int16_t GaussianKernel(float* out, std::int16_t length, float variance);
std::uint8_t VariableGaussianSmooth(float* dst, const float* src, std::int16_t length, float slope, float base);
void FitGaussian(zentil::GaussFitResult* result, const zentil::GaussFitRequest* request);

}  // namespace formula_reference
