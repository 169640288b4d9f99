#pragma once
// Control blood for quality-control runs: three levels (low, normal, high) with known values,
// and a series over the samples counted that can drift (a steady step per sample) or shift
// (a jump from one sample on), so that runs trip the Westgard rules on purpose.
#include <cstdint>
#include <string>

#include "tools/boardsim/blood_profile.h"

namespace boardsim {

enum class ControlLevel { Low, Normal, High };

const BloodProfile& ControlData(ControlLevel level);
// "low", "normal", "high" (any case).
bool ControlLevelFromName(const std::string& name, ControlLevel* out);

// How the control behaves from sample to sample: sample n (1 for the first) has every count
// value (WBC, RBC, HGB, PLT) scaled by 1 + drift x (n - 1), plus shift from `shiftFrom` on.
// Percentages, MCV, RDW-SD and MPV stay the level's own.
struct ControlSeries {
  ControlLevel level = ControlLevel::Normal;
  float driftPerSample = 0.0f;  // fraction per sample, e.g. 0.01 for 1 %
  float shift = 0.0f;           // fraction, e.g. 0.15 for +15 %
  uint32_t shiftFrom = 0;       // 0: no shift
};

BloodProfile ControlSample(const ControlSeries& series, uint32_t sample);

}  // namespace boardsim
