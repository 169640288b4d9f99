// The simulated counts of each blood profile, computed by the algorithm library: the values
// must come out where the profile puts them, and a blank must pass the start-up blank check.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "algorithm/Zentil.h"
#include "tools/boardsim/blood_profile.h"

using namespace boardsim;

namespace {

struct Computed {
  float wbc, lymPct, midPct, rbc, hgb, mcv, plt, mpv, hct;
};

Computed Compute(const CountData& d, bool prediluted) {
  auto in = std::make_unique<AlgorithmInput>();
  auto out = std::make_unique<AlgorithmResult>();
  std::memset(in.get(), 0, sizeof(AlgorithmInput));
  std::memset(out.get(), 0, sizeof(AlgorithmResult));
  in->WbcDilution = prediluted ? 337.72f : 280.0f;
  in->RbcDilution = prediluted ? 21476.0f : 18109.0f;
  in->WbcRateDivisor = 25.6f;
  in->RbcRateDivisor = 10.4f;
  in->WbcCountTime = 5.0f;
  in->RbcCountTime = 5.0f;
  in->WbcFactor = in->HgbFactor = in->RbcFactor = in->McvFactor = in->PltFactor = in->MpvFactor = 1.0f;
  in->HgbBlankReadings = &d.hgbBlank;
  in->HgbSampleReadings = &d.hgbSample;
  in->HgbReadingCount = 1;
  for (int i = 0; i < 256; ++i) in->WbcHistogram[i] = d.wbc[i];
  for (int i = 0; i < 256; ++i) in->RbcHistogram[i] = d.rbc[i];
  for (int i = 0; i < 128; ++i) in->PltHistogram[i] = d.plt[i];
  AlgorithmMain(out.get(), in.get(), nullptr);
  return {out->WBC, out->LymPercent, out->MidPercent, out->RBC, out->HGB, out->MCV, out->PLT, out->MPV, out->HCT};
}

void ExpectNear(float got, float want, float relative, const char* what, const char* profile) {
  EXPECT_NEAR(got, want, std::fabs(want) * relative + 0.05f) << what << " of " << profile;
}

}  // namespace

TEST(BloodProfileTest, AlgorithmComputesTheProfilesValues) {
  for (Profile p : {Profile::Normal, Profile::Anaemic, Profile::Thrombocytopenic, Profile::Leukocytosis}) {
    const BloodProfile& bp = ProfileData(p);
    for (bool prediluted : {false, true}) {
      for (uint32_t seed : {1u, 2u}) {
        const Computed c = Compute(GenerateCount(bp, 5.0f, prediluted, seed), prediluted);
        ExpectNear(c.wbc, bp.wbc, 0.10f, "WBC", bp.name);
        ExpectNear(c.rbc, bp.rbc, 0.10f, "RBC", bp.name);
        ExpectNear(c.hgb, bp.hgb, 0.05f, "HGB", bp.name);
        ExpectNear(c.mcv, bp.mcv, 0.10f, "MCV", bp.name);
        ExpectNear(c.plt, bp.plt, 0.30f, "PLT", bp.name);  // few cells: the upper line moves
        ExpectNear(c.mpv, bp.mpv, 0.25f, "MPV", bp.name);
        ExpectNear(c.lymPct, bp.lymPct, 0.15f, "LYM%", bp.name);
        ExpectNear(c.midPct, bp.midPct, 0.35f, "MID%", bp.name);
      }
    }
  }
}

TEST(BloodProfileTest, BlankPassesTheStartupCheck) {
  for (uint32_t seed : {1u, 5u, 9u}) {
    const Computed c = Compute(GenerateCount(ProfileData(Profile::Blank), 5.0f, false, seed), false);
    EXPECT_LE(c.wbc, 0.2f);
    EXPECT_LE(c.rbc, 0.03f);
    EXPECT_LE(c.plt, 10.0f);
    EXPECT_LE(c.hct, 0.5f);
    EXPECT_NEAR(c.hgb, 0.0f, 2.0f);
  }
}

TEST(BloodProfileTest, ProfilesByName) {
  Profile p;
  EXPECT_TRUE(ProfileFromName("Anaemic", &p));
  EXPECT_EQ(p, Profile::Anaemic);
  EXPECT_TRUE(ProfileFromName("blank", &p));
  EXPECT_FALSE(ProfileFromName("purple", &p));
  EXPECT_STREQ(ProfileName(Profile::Leukocytosis), "leukocytosis");
}
