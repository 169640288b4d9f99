// Configuration of the WBC divider-line search: constants, written back on every WBC pass.
#pragma once

#include <cstdint>

namespace zentil {

#pragma pack(push, 1)
struct WbcLineConfig {
  std::uint16_t NoisePeakBelow;     // slope-angle peaks below this channel are noise
  std::uint16_t Unused2;
  std::uint16_t Line0Min;
  std::uint16_t Line0Max;
  std::uint16_t ValleyTestFrom;     // peaks from here on need the valley test
  std::uint16_t PeakScanStop;       // the peak walk stops at the first peak at or above this
  std::uint16_t NoPeakWindowEnd;    // window end without a lymphocyte peak; low-end split channel
  std::uint16_t Line1Min;
  std::uint16_t Line1Max;           // also the bound of the tail scan and the area match
  std::uint16_t Line2MinDistance;   // scaled by the top-end fraction
  std::uint16_t Line2SearchStart;   // scaled
  std::uint16_t Line2LeftWidth;     // scaled
  std::uint16_t Line2RightWidth;    // scaled
  float Line2Slope;
  float Line2Intercept;
  std::uint16_t TailScanStart;      // distance from the lymphocyte peak
  float Unused36;
  std::uint16_t FitMeanReach;       // fit starts this far left of the peak; centre within +-
  float FitMeanStep;
  float FitSigmaMin;
  float FitSigmaMax;                // also the width of the tail-scan envelope
  float FitSigmaStep;
  float TailMinSlopeAngle;
};
#pragma pack(pop)
static_assert(sizeof(WbcLineConfig) == 62);

inline constexpr WbcLineConfig kWbcLineConfig = {10, 10, 10, 10, 40, 50, 55, 40, 75, 30, 52, 20,
                                                 25, -0.04f, 2.6f, 8, 0.2f, 3, 0.25f, 3.0f, 12.0f,
                                                 0.05f, 0.08f};

// The module's configuration block; it holds the constants from library load on.
WbcLineConfig& ActiveWbcLineConfig();

}  // namespace zentil
