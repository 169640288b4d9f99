// Control bloods for QC runs: the three levels and a series that drifts and shifts, worked out
// by hand from the level's values.
#include <gtest/gtest.h>

#include "tools/boardsim/control_profiles.h"

using namespace boardsim;

namespace {

TEST(ControlProfiles, LevelsByName) {
  ControlLevel l = ControlLevel::Normal;
  EXPECT_TRUE(ControlLevelFromName("HIGH", &l));
  EXPECT_EQ(l, ControlLevel::High);
  EXPECT_FALSE(ControlLevelFromName("medium", &l));
  EXPECT_LT(ControlData(ControlLevel::Low).wbc, ControlData(ControlLevel::Normal).wbc);
  EXPECT_LT(ControlData(ControlLevel::Normal).plt, ControlData(ControlLevel::High).plt);
}

TEST(ControlProfiles, DriftAndShiftScaleTheCounts) {
  ControlSeries s;
  s.level = ControlLevel::Normal;  // WBC 7.5, RBC 4.5, HGB 135, PLT 230, MCV 88
  s.driftPerSample = 0.02f;
  s.shift = 0.10f;
  s.shiftFrom = 3;
  struct Case {
    uint32_t sample;
    float factor;  // 1 + 0.02 (n - 1), + 0.10 from sample 3
  } cases[] = {{1, 1.0f}, {2, 1.02f}, {3, 1.14f}, {6, 1.20f}};
  for (const Case& c : cases) {
    const BloodProfile p = ControlSample(s, c.sample);
    EXPECT_NEAR(p.wbc, 7.5f * c.factor, 1e-4) << c.sample;
    EXPECT_NEAR(p.rbc, 4.5f * c.factor, 1e-4) << c.sample;
    EXPECT_NEAR(p.hgb, 135.0f * c.factor, 1e-3) << c.sample;
    EXPECT_NEAR(p.plt, 230.0f * c.factor, 1e-3) << c.sample;
    EXPECT_FLOAT_EQ(p.mcv, 88.0f);  // sizes stay the level's
    EXPECT_FLOAT_EQ(p.lymPct, 30.0f);
  }
}

}  // namespace
