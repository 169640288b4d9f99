// Helpers shared by the channels of the library (not exported).
//
// Precision: the channels work in single precision throughout (f32 values, f32 constants, f32
// running sums), as the records hold their values; only the Gaussian kernel weights and the
// Gaussian fit are worked in double precision (the fit's request and result are f64). Every
// conversion of a floating value to a channel, line or byte truncates toward zero.
#pragma once

#include "algorithm/Zentil.h"

namespace zentil {

inline constexpr float kInvalid = -100000.0f;
inline constexpr float kTiny = 0.000001f;

// A value is invalid when it lies strictly between -100000.000001 and -99999.999999; in single
// precision that is the invalid value itself.
inline bool IsInvalid(float v) { return v > -100000.000001 && v < -99999.999999; }

// The active parameter block (defaults from library load on).
AlgorithmPara& ActivePara();

// value * gain + offset with a calibration pair of the active block.
inline float Calibrate(float value, int pair) {
  const ECalPair& p = ActivePara().ECal.Pair[pair];
  return value * p.Gain + p.Offset;
}

// Conversion to an integer channel or line: truncation toward zero.
inline int Trunc(float v) { return static_cast<int>(v); }
inline int Trunc(double v) { return static_cast<int>(v); }


// A display-curve byte: the value truncated toward zero, held to 0-255.
inline std::uint8_t ToByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 255.0f) return 255;
  return static_cast<std::uint8_t>(static_cast<int>(v));
}

// A value not above 1e-6 becomes 0.
inline float FloorTiny(float v) { return v > kTiny ? v : 0.0f; }

}  // namespace zentil
