// The exported interface of the algorithm library Zentil (libZentil.so).
//
// Every export has C linkage and an undecorated name, so a caller can look it up by name after
// loading the library. The library is not re-entrant: the active parameter block and the WBC line
// configuration are module globals rewritten by every call.
#pragma once

#include "algorithm/ZentilRecords.h"

#if defined(ZENTIL_BUILDING)
#define ZENTIL_API __attribute__((visibility("default")))
#else
#define ZENTIL_API
#endif

extern "C" {

// Whole computation of one count; 0 when both records are given, 1 when one is null.
ZENTIL_API int AlgorithmMain(AlgorithmResult* result, AlgorithmInput* input, AlgorithmPara* para);
// Re-split the WBC histogram of a finished result at four operator lines (channels).
ZENTIL_API void AdjustWbcHistogram(AlgorithmResult* result, AlgorithmInput* input,
                                   const std::uint16_t* lines);
// Zero-fills the buffer and writes "1.0.4.0" when it holds at least 8 bytes.
ZENTIL_API void GetAlgorithmVersion(char* buffer, std::int16_t size);

// Stages of AlgorithmMain.
ZENTIL_API std::uint16_t CbcAlgorithmMain(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API int CbcAlgorithmWbc(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API int CbcAlgorithmHgb(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API int CbcAlgorithmRbc(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API int CbcAlgorithmPlt(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API void GetWbcParameters(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API void GetRbcParameters(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API int GetPltParameters(AlgorithmResult* result, const AlgorithmInput* input);
ZENTIL_API int FindWbcLine(AlgorithmResult* result);
ZENTIL_API int FlagAlgorithmMain(AlgorithmResult* result, const AlgorithmInput* input);

// Parameter blocks.
ZENTIL_API std::uint8_t GetFlagAlgorithmParaDefault(FlagAlgorithmPara* para);
ZENTIL_API std::uint8_t GetECalAlgorithmParaDefault(ECalAlgorithmPara* para);
ZENTIL_API void LoadAlgorithmPara(const AlgorithmPara* para);

}  // extern "C"

// For callers that bind the library at run time: its file name in the program folder and the
// types of the three entry points Quorvex looks up.
inline constexpr const char* kZentilLibraryFile = "libZentil.so";
using AlgorithmMainProc = int (*)(AlgorithmResult*, AlgorithmInput*, AlgorithmPara*);
using AdjustWbcHistogramProc = void (*)(AlgorithmResult*, AlgorithmInput*, const std::uint16_t*);
using GetAlgorithmVersionProc = void (*)(char*, std::int16_t);

// The raw-data record file and pulse identification exports are declared in their own header.
#if __has_include("algorithm/ZentilFiles.h")
#include "algorithm/ZentilFiles.h"
#endif
