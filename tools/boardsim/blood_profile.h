#pragma once
// Blood profiles and the raw data of one count made from them: the three histograms and the
// HGB readings, shaped so that the algorithm library computes values close to the profile's.
#include <cstdint>
#include <string>
#include <vector>

namespace boardsim {

enum class Profile { Normal, Anaemic, Thrombocytopenic, Leukocytosis, Blank };

struct BloodProfile {
  const char* name;
  float wbc;       // 10^9/L
  float lymPct;    // lymphocytes, % of WBC
  float midPct;    // mid cells, % of WBC (granulocytes make up the rest)
  float rbc;       // 10^12/L
  float mcv;       // fL
  float rdwSd;     // fL
  float hgb;       // g/L
  float plt;       // 10^9/L
  float mpv;       // fL
};

const BloodProfile& ProfileData(Profile p);
// "normal", "anaemic", "thrombocytopenic", "leukocytosis", "blank" (any case).
bool ProfileFromName(const std::string& name, Profile* out);
const char* ProfileName(Profile p);

struct CountData {
  std::vector<uint16_t> wbc;  // 256 bins
  std::vector<uint16_t> rbc;  // 256 bins
  std::vector<uint16_t> plt;  // 128 bins
  uint16_t hgbBlank = 3400;
  uint16_t hgbSample = 3400;
};

// One count of the profile. `countTimeSeconds` is the counting time the analyzer uses for the
// computation (the start command's WBC time in tenths, divided by 10); `prediluted` selects
// the pre-diluted bath constants. `seed` varies the counting noise from count to count;
// `noise` false gives the expected counts exactly.
CountData GenerateCount(const BloodProfile& profile, float countTimeSeconds, bool prediluted,
                        uint32_t seed, bool noise = true);

}  // namespace boardsim
