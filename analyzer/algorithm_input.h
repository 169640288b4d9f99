#pragma once
// The input record of the algorithm library for one count, filled the same way for a sample
// count and for the start-up blank: the HGB readings, the blood-mode constants, the count times,
// six calibration factors and the three histograms.
#include <cstdint>
#include <span>

struct AlgorithmInput;

namespace analyzer {

// The six factors the library uses, in display order: WBC, HGB, RBC, MCV, PLT, MPV.
enum { kFactorWbc, kFactorHgb, kFactorRbc, kFactorMcv, kFactorPlt, kFactorMpv, kAlgorithmFactors };

// What the record is filled from, besides the histograms.
struct AlgorithmInputValues {
  int bloodMode = 0;           // 0 whole blood, 1 peripheral blood, 2 pre-diluted
  uint8_t wbcTimeTenths = 50;  // WBC counting time, tenths of a second
  float factors[kAlgorithmFactors] = {1, 1, 1, 1, 1, 1};
  // HGB readings of the run header; null (either) leaves the record without an HGB measurement.
  const uint16_t* hgbBlank = nullptr;
  const uint16_t* hgbSample = nullptr;
};

// The six factors out of the 20 calibration factors in screen order (WBC 0, RBC 7, HGB 8,
// MCV 10, PLT 15, MPV 16).
void PickAlgorithmFactors(const float screenOrder[20], float factors[kAlgorithmFactors]);

// Zero-fills the record and sets the readings, the blood-mode constants, the count times
// (whole seconds), the factors and the histograms (PLT channels 128-255 stay zero).
void FillAlgorithmInput(AlgorithmInput& input, const AlgorithmInputValues& values, std::span<const float, 256> wbc,
                        std::span<const float, 256> rbc, std::span<const float, 128> plt);

}  // namespace analyzer
