#pragma once
// The input checks of the calibration screens, in field order, stopping at the first failure.
// Numbers are typed with a point: "1,5" is not a number here (it would be read as 1).
#include <string>

#include "calibration/calibration_texts.h"

namespace calibration {

// An optional '-', digits with at most one point, at least one digit.
bool IsCalibrationNumber(const std::string& text);

struct InputCheck {
  bool ok = true;
  int field = -1;       // the first field that failed
  CaliText message = CaliText::DigitsForCalibration;
};

// The engineer's factors (0.75 to 1.5, both ends allowed).
InputCheck CheckFactorTexts(const std::string* texts, int count);
// The user's percents (75 to 150).
InputCheck CheckPercentTexts(const std::string* texts, int count);
// The engineer's defaults before they are stored (0.01 to 99.99, as the message says).
InputCheck CheckDefaultTexts(const std::string* texts, int count);

// Days of a month of a year (February 29 in leap years).
int DaysInMonth(int year, int month);

}  // namespace calibration
