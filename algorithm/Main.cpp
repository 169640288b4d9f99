// Library entry: AlgorithmMain, the channel driver and the version text.
#include <cstring>

#include "algorithm/Internal.h"

namespace {
constexpr char kVersion[] = "1.0.4.0";
}

extern "C" {

ZENTIL_API void GetAlgorithmVersion(char* buffer, std::int16_t size) {
  if (buffer == nullptr || size <= 0) return;
  std::memset(buffer, 0, static_cast<std::size_t>(size));
  if (size < static_cast<std::int16_t>(sizeof(kVersion))) return;
  std::memcpy(buffer, kVersion, sizeof(kVersion));
}

ZENTIL_API std::uint16_t CbcAlgorithmMain(AlgorithmResult* result, const AlgorithmInput* input) {
  std::uint16_t status = 0;
  // The order matters: RBC reads HGB, and the later steps read the HGB channel bytes.
  if (CbcAlgorithmWbc(result, input) != 0) status |= 1;
  if (CbcAlgorithmHgb(result, input) != 0) status |= 2;
  if (CbcAlgorithmRbc(result, input) != 0) status |= 4;
  if (CbcAlgorithmPlt(result, input) != 0) status |= 8;
  return status;
}

ZENTIL_API int AlgorithmMain(AlgorithmResult* result, AlgorithmInput* input, AlgorithmPara* para) {
  if (result == nullptr || input == nullptr) return 1;
  void* aux = result->AuxBuffer;
  std::memset(result, 0, sizeof(AlgorithmResult));
  result->AuxBuffer = aux;
  std::memcpy(result->Version, kVersion, sizeof(kVersion));

  LoadAlgorithmPara(para);
  const int s = CbcAlgorithmMain(result, input);
  const int f = FlagAlgorithmMain(result, input) & 0xFFFF;
  return s * 65536 + 10 * (1000 * f + s);
}

}  // extern "C"
