#pragma once
// The arithmetic of automatic calibration: whether two calibrator counts agree, the values of
// a run in the display units, and the statistics of the runs with the proposed factors.
#include <string>
#include <vector>

#include "measurement/repeat_agreement.h"

namespace calibration {

// Counts 1 and 2 of a calibrator test: the rule the QC counts follow too (control_agreement.h).
bool CalibratorCountsDisagree(int channel, float q1, float q2);
measurement::DisagreementMarks CalibratorMarks(const measurement::QuickValues& q);

// A value of item 0..4 (WBC, RBC, HGB, MCV, PLT) from the library's unit into `unit`.
float ToDisplayUnit(int item, float value, const std::string& unit);

// The statistics of one item over the cells of its run column.
struct ItemStatistics {
  int n = 0;
  float mean = 0, sd = 0, cv = 0;
  float ratio = 0;                 // target / mean, 0 when the mean is not above 0
};
// Cells that are not numbers ("-----") are left out. Single precision, as the runs are shown.
ItemStatistics ComputeItemStatistics(const std::vector<std::string>& cells, float target);

// The proposal of one item, by user level: at Engineer level and above the ratio is the new
// factor and the percent stays; below it the percent and the factor are both scaled by it.
struct ItemProposal {
  float newCoef = 1.0f;
  float newPercent = 100.0f;
  std::string newText;             // NEW COEF. cell: "1.02", "105.00%" or "- - -"
};
ItemProposal ProposeItem(const ItemStatistics& s, float currentCoef, float currentPercent, int userLevel);

// Grid texts of the statistics: MEAN "%.2f", SD "%.2f", CV% "%.1f".
std::string MeanText(const ItemStatistics& s);
std::string SdText(const ItemStatistics& s);
std::string CvText(const ItemStatistics& s);

}  // namespace calibration
