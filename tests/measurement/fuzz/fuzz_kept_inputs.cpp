// Fuzz target of the kept count inputs of a row (the text a count that the algorithm library
// could not compute leaves for a later computation), read from a store that may hold anything:
//  * any text is read or refused without a sanitizer report;
//  * a text that is read writes back as a text that reads to the very same inputs (every float
//    bit for bit), and that text writes back unchanged;
//  * the inputs a read text gives the library point at its own readings, or at none.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "measurement/kept_inputs.h"

namespace {

bool Same(const measurement::KeptInputs& a, const measurement::KeptInputs& b) {
  if (a.testTime != b.testTime || a.bloodMode != b.bloodMode || a.wbcTimeTenths != b.wbcTimeTenths ||
      a.hasHgb != b.hasHgb || std::memcmp(a.factors, b.factors, sizeof a.factors) != 0)
    return false;
  if (a.hasHgb && (a.hgbBlank != b.hgbBlank || a.hgbSample != b.hgbSample)) return false;
  for (int i = 0; i < 3; ++i)
    if (a.stars[i] != b.stars[i]) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto kept = measurement::ParseKeptInputs(text);
  if (!kept) return 0;
  const std::string written = measurement::KeptInputsText(*kept);
  const auto again = measurement::ParseKeptInputs(written);
  if (!again || !Same(*kept, *again)) std::abort();
  if (measurement::KeptInputsText(*again) != written) std::abort();
  const measurement::CountInputs count = kept->ToCountInputs();
  if (kept->hasHgb ? count.hgbBlank != &kept->hgbBlank || count.hgbSample != &kept->hgbSample
                   : count.hgbBlank != nullptr || count.hgbSample != nullptr)
    std::abort();
  return 0;
}
