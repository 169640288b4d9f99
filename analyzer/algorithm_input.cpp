#include "analyzer/algorithm_input.h"

#include <algorithm>
#include <cstring>

#include "algorithm/Zentil.h"

namespace analyzer {

void PickAlgorithmFactors(const float screenOrder[20], float factors[kAlgorithmFactors]) {
  factors[kFactorWbc] = screenOrder[0];
  factors[kFactorHgb] = screenOrder[8];
  factors[kFactorRbc] = screenOrder[7];
  factors[kFactorMcv] = screenOrder[10];
  factors[kFactorPlt] = screenOrder[15];
  factors[kFactorMpv] = screenOrder[16];
}

void FillAlgorithmInput(AlgorithmInput& in, const AlgorithmInputValues& v, std::span<const float, 256> wbc,
                        std::span<const float, 256> rbc, std::span<const float, 128> plt) {
  std::memset(&in, 0, sizeof in);
  if (v.hgbBlank != nullptr && v.hgbSample != nullptr) {
    in.HgbBlankReadings = v.hgbBlank;
    in.HgbSampleReadings = v.hgbSample;
    in.HgbReadingCount = 1;
  }
  const bool prediluted = v.bloodMode == 2;
  in.BloodMode = prediluted ? 1 : 0;
  in.WbcDilution = prediluted ? 337.72f : 280.0f;
  in.RbcDilution = prediluted ? 21476.0f : 18109.0f;
  in.WbcRateDivisor = 25.6f;
  in.RbcRateDivisor = 10.4f;
  // Whole seconds: the tenths are divided as integers before the conversion.
  const float countTime = static_cast<float>(v.wbcTimeTenths / 10);
  in.WbcCountTime = countTime;
  in.RbcCountTime = countTime;
  in.WbcFactor = v.factors[kFactorWbc];
  in.HgbFactor = v.factors[kFactorHgb];
  in.RbcFactor = v.factors[kFactorRbc];
  in.McvFactor = v.factors[kFactorMcv];
  in.PltFactor = v.factors[kFactorPlt];
  in.MpvFactor = v.factors[kFactorMpv];
  std::copy(wbc.begin(), wbc.end(), in.WbcHistogram);
  std::copy(rbc.begin(), rbc.end(), in.RbcHistogram);
  std::copy(plt.begin(), plt.end(), in.PltHistogram);
}

}  // namespace analyzer
