#include "tools/boardsim/control_profiles.h"

#include <cctype>

namespace boardsim {
namespace {

// name, WBC, LYM%, MID%, RBC, MCV, RDW-SD, HGB, PLT, MPV: the three levels of a control blood.
const BloodProfile kControls[3] = {
    {"low", 3.0f, 40.0f, 8.0f, 2.5f, 80.0f, 40.0f, 70.0f, 80.0f, 9.0f},
    {"normal", 7.5f, 30.0f, 8.0f, 4.5f, 88.0f, 44.0f, 135.0f, 230.0f, 9.5f},
    {"high", 18.0f, 25.0f, 8.0f, 5.6f, 95.0f, 48.0f, 170.0f, 500.0f, 10.0f},
};

}  // namespace

const BloodProfile& ControlData(ControlLevel level) { return kControls[static_cast<int>(level)]; }

bool ControlLevelFromName(const std::string& name, ControlLevel* out) {
  std::string lower;
  for (char c : name) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  for (int i = 0; i < 3; ++i) {
    if (lower == kControls[i].name) {
      if (out) *out = static_cast<ControlLevel>(i);
      return true;
    }
  }
  return false;
}

BloodProfile ControlSample(const ControlSeries& s, uint32_t sample) {
  BloodProfile p = ControlData(s.level);
  float factor = 1.0f + s.driftPerSample * static_cast<float>(sample > 0 ? sample - 1 : 0);
  if (s.shiftFrom != 0 && sample >= s.shiftFrom) factor += s.shift;
  p.wbc *= factor;
  p.rbc *= factor;
  p.hgb *= factor;
  p.plt *= factor;
  return p;
}

}  // namespace boardsim
