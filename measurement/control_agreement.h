#pragma once
// Whether counts 1 and 2 of a calibrator or a control agree (the calibration and QC count cycles
// order a third count when they do not). Unlike a sample's rule, PLT is compared only when the
// smaller count is above 20.
#include "measurement/repeat_agreement.h"

namespace measurement {

// d = |q2 - q1|: WBC and RBC disagree when d / q1 >= 0.08 and d >= 0.2; PLT only when the smaller
// is above 20: larger <= 50 d > 10, larger <= 100 d / q1 >= 0.2, else d / q1 >= 0.15. A first
// count of 0 makes the ratio infinite (any difference is as large as it can be). A value the
// library could not compute says nothing about agreement.
bool ControlCountsDisagree(int channel, float q1, float q2);
DisagreementMarks CompareControlCounts(const QuickValues& q);

}  // namespace measurement
