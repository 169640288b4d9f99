#pragma once
// Saving the two manual calibration screens: the engineer's typed factors and the user's
// typed percents. The texts are rewritten as stored ("%.2f", today's dates) only when the
// checks pass; a refused input writes nothing.
#include <string>

#include "calibration/calibration_coef.h"
#include "calibration/calibration_input.h"

class CADOConn;

namespace calibration {

// What the two screens show, process-wide so the print-outs read the same texts: the blood
// type and the texts as last taken or filled (opening, blood type change, Save, defaults).
struct ManualScreenTexts {
  int bloodType = 0;
  CoefTexts texts;
};
extern ManualScreenTexts EngineerCalibration;
extern ManualScreenTexts UserCalibration;

enum class ManualSave { Saved, Refused, Failed };
struct ManualSaveOutcome {
  ManualSave result = ManualSave::Failed;
  InputCheck check;
};

// The engineer's Save: six factors 0.75 to 1.5; then all six dates today and the row updated,
// or inserted when the blood type has none.
ManualSaveOutcome SaveEngineerFactors(CADOConn& conn, int bloodType, CoefTexts& texts);

// The user's Save: five percents 75 to 150; each factor becomes factor x new / base percent.
// `basePercents` are the percents the screen loaded; after a successful Save they are the saved
// percents, so a second Save stays in step. A blood type without its row is a failure (there
// is no factor to scale).
ManualSaveOutcome SaveUserPercents(CADOConn& conn, int bloodType, CoefTexts& texts, double basePercents[5]);

}  // namespace calibration
