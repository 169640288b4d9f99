#pragma once
// The input check and the LIS record of the X-B settings, without a window.
#include <array>
#include <string>

namespace qc {

enum class XbInputError { None, SampleDigits, SampleRange, ChosenDigits, ChosenRange, TargetDigits, TargetRange, LimitDigits, LimitRange };

// `values`: 40 texts in display order (target, limit per parameter); `chosen` display order.
// Trims the texts; on success `sampleNum` holds the number of results per group (20..200).
XbInputError CheckXbSettingsInput(std::string sampleText, std::array<std::string, 40>& values,
                                  const std::array<int, 20>& chosen, int* sampleNum);
std::string XbInputMessage(XbInputError e, int language);

// "XBS," the sample number, then per parameter (store order) target and limit ("%.2f") and unit,
// each followed by ","; then the checksum and ",TRANSFER FINISH".
std::string XbSettingsTextRecord(int sampleNum, const std::array<float, 40>& valuesStore,
                                 const std::array<std::string, 20>& unitsStore);

}  // namespace qc
