#pragma once
// Saving what automatic calibration proposes for the batch's blood type. At Engineer level and
// above the new factors are checked (0.75 to 1.5) and written without the percents; below it
// the new percents are checked (75 to 150) and written with the factors. Unselected items keep
// their factor, percent and date. A blood type without its row gets a neutral row first (1.00,
// 100 %, today), so the same checks and the same selection apply to it.
#include <string>

#include "calibration/calibration_texts.h"

class CADOConn;

namespace calibration {

struct AutoSaveInputs {
  int bloodType = 0;
  int userLevel = 2;
  int selected[5] = {1, 1, 1, 1, 1};
  float newCoef[5] = {1, 1, 1, 1, 1};
  float newPercent[5] = {100, 100, 100, 100, 100};
  std::string currentCoef[5], currentPercent[5];
};

enum class AutoSaveResult { Saved, OutOfRange, Failed };
struct AutoSaveOutcome {
  AutoSaveResult result = AutoSaveResult::Failed;
  CaliText message = CaliText::AutoRange075To15;
  int item = -1;
};

AutoSaveOutcome SaveAutoCalibration(CADOConn& conn, const AutoSaveInputs& in);

}  // namespace calibration
