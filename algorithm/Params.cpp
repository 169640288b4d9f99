// Parameter blocks: flag thresholds and result calibration.
#include <cstring>

#include "algorithm/Internal.h"

namespace zentil {
namespace {

constexpr float kFlagDefaults[27] = {18.0f,  2.5f,   11.0f,  1.0f,   4.0f,  1.0f,  1.0f,
                                     0.7f,   0.2f,   100.0f, 100.0f, 100.0f, 100.0f, 100.0f,
                                     6.5f,   100.0f, 20.0f,  60.0f,  110.0f, 70.0f, 290.0f,
                                     100.0f, 100.0f, 100.0f, 600.0f, 60.0f,  100.0f};

constexpr AlgorithmPara DefaultPara() {
  AlgorithmPara p{};
  for (int i = 0; i < 27; ++i) p.Flag.Threshold[i] = kFlagDefaults[i];
  for (int i = 0; i < 15; ++i) p.ECal.Pair[i] = ECalPair{1.0f, 0.0f};
  return p;
}

// The block holds the defaults from the moment the library is loaded, so a stage called on its
// own (a channel, the flag rules) computes with real gains rather than with zeros.
AlgorithmPara gActive = DefaultPara();

float Clamp(float v, float lo, float hi) {
  if (v < lo) return lo;
  if (v > hi) return hi;
  return v;
}

}  // namespace

AlgorithmPara& ActivePara() { return gActive; }

}  // namespace zentil

extern "C" {

ZENTIL_API std::uint8_t GetFlagAlgorithmParaDefault(FlagAlgorithmPara* para) {
  if (para == nullptr) return 1;
  std::memcpy(para->Threshold, zentil::kFlagDefaults, sizeof(para->Threshold));
  return 0;
}

ZENTIL_API std::uint8_t GetECalAlgorithmParaDefault(ECalAlgorithmPara* para) {
  if (para == nullptr) return 1;
  std::memset(para, 0, sizeof(ECalAlgorithmPara));
  for (ECalPair& p : para->Pair) p.Gain = 1.0f;
  return 0;
}

ZENTIL_API void LoadAlgorithmPara(const AlgorithmPara* para) {
  AlgorithmPara& active = zentil::ActivePara();
  std::memset(&active, 0, sizeof(AlgorithmPara));
  if (para == nullptr) {
    GetFlagAlgorithmParaDefault(&active.Flag);
    GetECalAlgorithmParaDefault(&active.ECal);
    return;
  }
  std::memcpy(&active, para, sizeof(AlgorithmPara));
  // Gains and offsets are held to a sane range; flag thresholds are taken as given.
  for (ECalPair& p : active.ECal.Pair) {
    p.Gain = zentil::Clamp(p.Gain, 0.5f, 1.5f);
    p.Offset = zentil::Clamp(p.Offset, -10.0f, 10.0f);
  }
}

}  // extern "C"
