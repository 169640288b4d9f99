#include "calibration/calibration_input.h"

#include <cstdlib>

namespace calibration {

bool IsCalibrationNumber(const std::string& text) {
  size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  int digits = 0, points = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') ++digits;
    else if (c == '.' && ++points <= 1) continue;
    else return false;
  }
  return digits > 0;
}

namespace {

InputCheck CheckRange(const std::string* t, int n, double lo, double hi, CaliText notNumber, CaliText outOfRange) {
  InputCheck r;
  for (int i = 0; i < n; ++i) {
    if (!IsCalibrationNumber(t[i])) return {false, i, notNumber};
    const double v = std::strtod(t[i].c_str(), nullptr);
    // Typed values are compared as typed: 1.5 is in, 1.51 out.
    if (v < lo - 1e-9 || v > hi + 1e-9) return {false, i, outOfRange};
  }
  return r;
}

}  // namespace

InputCheck CheckFactorTexts(const std::string* t, int n) {
  return CheckRange(t, n, 0.75, 1.5, CaliText::DigitsForCalibration, CaliText::Range075To15);
}

InputCheck CheckPercentTexts(const std::string* t, int n) {
  return CheckRange(t, n, 75.0, 150.0, CaliText::DigitsForCalibration, CaliText::Range75To150);
}

InputCheck CheckDefaultTexts(const std::string* t, int n) {
  return CheckRange(t, n, 0.01, 99.99, CaliText::Range001To9999, CaliText::Range001To9999);
}

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
  return kDays[month - 1];
}

}  // namespace calibration
