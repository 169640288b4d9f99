// Records that cross between Quorvex and the algorithm library Zentil.
//
// Both records are byte-packed and little-endian, with no padding. The analyzer's original
// records were laid out for 32-bit pointers; here every pointer field is a native 64-bit
// pointer, so each field after a pointer sits 4 bytes further on than in the 32-bit layout.
// The comment beside each field gives its 32-bit offset; the static_asserts below pin the
// 64-bit offsets, so both deliverables always agree on the layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace zentil_layout {
inline constexpr float kInvalidValue = -100000.0f;  // a value not computed or not reportable
}

#pragma pack(push, 1)

// Input of one count. The caller zero-fills it, fills it, and keeps it for the call.
struct AlgorithmInput {
  // Leading block (32-bit offsets 0-167): also the target of a stored raw-data record.
  const std::uint16_t* RawWords0;        // 0   16-bit array of a raw-data record
  std::uint32_t RawWords0Count;          // 4
  const std::uint16_t* RawWords1;        // 8
  std::uint32_t RawWords1Count;          // 12
  const std::uint16_t* RawWords2;        // 16
  std::uint32_t RawWords2Count;          // 20
  const std::uint16_t* AuxWords0;        // 24  auxiliary 16-bit arrays, AuxBufferLength values each
  const std::uint16_t* AuxWords1;        // 28
  const std::uint16_t* AuxWords2;        // 32
  std::int32_t AuxBufferLength;          // 36  bytes of the result's auxiliary buffer; Quorvex passes 0
  const void* RawLongs0;                 // 40  32-bit arrays of a raw-data record
  std::uint32_t RawLongs0Count;          // 44
  const void* RawLongs1;                 // 48
  std::uint32_t RawLongs1Count;          // 52
  const void* RawLongs2;                 // 56
  std::uint32_t RawLongs2Count;          // 60
  const void* RawLongs3;                 // 64
  std::uint32_t RawLongs3Count;          // 68
  const std::uint16_t* HgbBlankReadings;   // 72  HgbReadingCount photometer readings of the blank
  const std::uint16_t* HgbSampleReadings;  // 76  same count, lysed sample
  std::uint32_t HgbReadingCount;         // 80  0 = no HGB measurement
  std::uint8_t BloodMode;                // 84  written by the caller, not read by the library
  std::uint8_t AuxDataFlag;              // 85  0: the auxiliary WBC values are invalidated
  std::uint8_t RunByte86;                // 86
  float WbcDilution;                     // 87  280.0 (337.72 prediluted)
  float RbcDilution;                     // 91  18109.0 (21476.0 prediluted)
  float RunConstant95;                   // 95
  float WbcRateDivisor;                  // 99  25.6
  float RbcRateDivisor;                  // 103 10.4
  float RunConstant107;                  // 107
  float WbcCountTime;                    // 111 seconds
  float RbcCountTime;                    // 115 seconds, RBC and PLT
  float RunConstant119;                  // 119
  float WbcFactor;                       // 123 final calibration factors
  float HgbFactor;                       // 127
  float RbcFactor;                       // 131
  float McvFactor;                       // 135
  float PltFactor;                       // 139
  float MpvFactor;                       // 143
  float RunConstant147;                  // 147
  std::uint8_t Reserved151[3];           // 151
  std::uint8_t RunBytes154[3];           // 154
  std::uint8_t HgbReadingFault;          // 157 nonzero forces the HGB reading error
  std::uint8_t RunBytes158[4];           // 158
  std::uint8_t HgbBlankFault;            // 162 nonzero forces the HGB blank alarm
  std::uint8_t RunByte163;               // 163
  std::uint8_t Reserved164[4];           // 164
  float WbcHistogram[256];               // 168
  float RbcHistogram[256];               // 1192
  float PltHistogram[256];               // 2216 128 channels delivered, the rest zero
  std::uint16_t UserPltLower;            // 3240 operator's PLT lines (channels);
  std::uint16_t UserPltUpper;            // 3242 upper 0 = find the lines automatically
};

// Result of one count. The caller zero-fills it; AlgorithmMain clears it again except AuxBuffer.
struct AlgorithmResult {
  union {
    float Values[25];  // the parameter slots, slot k at byte 4k
    struct {
      float WBC;        // 0    10^9/L
      float AuxWbc[10]; // 4    never computed, only invalidated
      float RBC;        // 44   10^12/L
      float HGB;        // 48   g/L
      float HCT;        // 52   %
      float MCV;        // 56   fL
      float MCH;        // 60   pg
      float MCHC;       // 64   g/L
      float RDWSD;      // 68   fL
      float RDWCV;      // 72   %
      float PLT;        // 76   10^9/L
      float MPV;        // 80   fL
      float PCT;        // 84   %
      float PDW;        // 88
      float PLCR;       // 92   %
      float PLCC;       // 96   10^9/L
    };
  };
  float WbcHistogram[256];          // 100  copies of the input histograms
  float RbcHistogram[256];          // 1124
  float PltHistogram[256];          // 2148 first PltNoiseFloor channels zeroed
  float WbcSmoothed[256];           // 3172
  float RbcSmoothed[256];           // 4196
  float PltSmoothed[256];           // 5220
  std::uint8_t WbcCurve[256];       // 6244 display curves, 0-255
  std::uint8_t RbcCurve[256];       // 6500
  std::uint8_t PltCurve[256];       // 6756
  std::uint16_t WbcLines[4];        // 7012 divider lines (channels); line 3 is 255
  std::uint16_t RbcLower;           // 7020
  std::uint16_t RbcUpper;           // 7022 always 255
  std::uint16_t PltLower;           // 7024
  std::uint16_t PltUpper;           // 7026
  void* AuxBuffer;                  // 7028 caller's buffer of AuxBufferLength bytes, or null
  float GraPercent;                 // 7032
  float LymPercent;                 // 7036
  float MidPercent;                 // 7040
  float GraCount;                   // 7044 10^9/L
  float LymCount;                   // 7048
  float MidCount;                   // 7052
  float AuxWbcValue;                // 7056 never computed, only invalidated
  std::uint8_t Reserved7060[40];    // 7060
  float WbcBelowLine0Share;         // 7100 % of the counts from line 0 up
  float WbcCentroid;                // 7104 channel
  std::uint8_t Reserved7108[32];    // 7108
  float AuxFit[3];                  // 7140 read by the auxiliary fit rule only
  std::uint8_t Reserved7152[2];     // 7152
  float RawMcv;                     // 7154
  std::uint8_t Reserved7158[4];     // 7158
  float WbcPulseSum;                // 7162
  float RbcPulseSum;                // 7166
  float PltPulseSum;                // 7170
  float WbcPulseRate;               // 7174
  float RbcPulseRate;               // 7178
  float PltPulseRate;               // 7182
  std::uint8_t Reserved7186[4];     // 7186
  float WbcCorrectedRate;           // 7190
  float RbcCorrectedRate;           // 7194
  float PltCorrectedRate;           // 7198
  std::uint8_t Reserved7202[4];     // 7202
  float WbcTopEndFraction;          // 7206
  std::uint8_t WbcNoLymPeak;        // 7210
  std::uint8_t WbcFitDone;          // 7211
  float WbcFittedCurve[256];        // 7212
  float WbcSlopeProfile[256];       // 8236
  float WbcWeightedCurve[256];      // 9260
  std::uint16_t PltNoiseFloor;      // 10284
  std::uint8_t Reserved10286[28];   // 10286
  std::uint8_t ChannelError[5];     // 10314 0 WBC, 1 RBC, 2 PLT, 3 HGB, 4 reserved
  std::uint8_t ChannelAlarm[5];     // 10319
  // Flag area.
  std::uint8_t LF1;                 // 10324
  std::uint8_t LF2;                 // 10325
  std::uint8_t LF3;                 // 10326
  std::uint8_t LF4;                 // 10327
  std::uint8_t MultipleLF;          // 10328 two or more of LF1-LF4
  std::uint8_t PF1;                 // 10329
  std::uint8_t PF2;                 // 10330
  float HgbHctDifference;           // 10331 0.3*HGB - HCT
  float HgbHctExpected;             // 10335 0.3*HGB
  std::uint8_t HgbHctDisagree;      // 10339
  std::uint8_t WbcLow;              // 10340
  std::uint8_t RbcLow;              // 10341
  std::uint8_t PltLow;              // 10342
  std::uint8_t BlankSample;         // 10343
  std::uint8_t Reserved10344[3];    // 10344
  std::uint8_t OverLimit[5];        // 10347 WBC, RBC, HGB, HCT, PLT above the measuring limit
  std::uint8_t OverRange[5];        // 10352 WBC, RBC, HGB, HCT, PLT over range
  std::uint8_t SlotSuspect[25];     // 10357 suspect byte of each parameter slot
  std::uint8_t DiffSuspect[6];      // 10382 GRA%, LYM%, MID%, GRA#, LYM#, MID#
  std::uint8_t Reserved10388[9];    // 10388
  std::uint8_t SlotMarker[50];      // 10397 marker of slot k at index 2k: '*', '+' or 0
  std::uint8_t Reserved10447[12];   // 10447
  std::uint8_t AuxFitRejected;      // 10459
  std::uint8_t WbcHistAbnormal;     // 10460
  std::uint8_t WbcHigh;             // 10461
  std::uint8_t WbcLowThreshold;     // 10462
  std::uint8_t AuxRule[7];          // 10463
  std::uint8_t Reserved10470[25];   // 10470
  std::uint8_t RbcHistAbnormal;     // 10495
  std::uint8_t RbcTwoPeaks;         // 10496
  std::uint8_t RbcHigh;             // 10497
  std::uint8_t HgbLowThreshold;     // 10498
  std::uint8_t RdwHigh;             // 10499
  std::uint8_t McvHigh;             // 10500
  std::uint8_t McvLow;              // 10501
  std::uint8_t MchcLow;             // 10502
  std::uint8_t ScoreRule[3];        // 10503
  float Score[3];                   // 10506
  std::uint8_t PltHistAbnormal;     // 10518
  std::uint8_t PltHigh;             // 10519
  std::uint8_t PltLowThreshold;     // 10520
  std::uint8_t PltScoreRule;        // 10521
  float PltScore;                   // 10522
  char Version[16];                 // 10526 "1.0.4.0", zero-filled
};

// Flag thresholds, index 0-26.
struct FlagAlgorithmPara {
  float Threshold[27];
};

// Result calibration: value * Gain + Offset, one pair per calibrated parameter.
struct ECalPair {
  float Gain;
  float Offset;
};
struct ECalAlgorithmPara {
  ECalPair Pair[15];
};

struct AlgorithmPara {
  FlagAlgorithmPara Flag;
  ECalAlgorithmPara ECal;
};

#pragma pack(pop)

// Slot numbers of AlgorithmResult::Values (and of SlotSuspect, SlotMarker / 2).
enum ZentilSlot : int {
  SlotWBC = 0, SlotAux0 = 1, SlotRBC = 11, SlotHGB = 12, SlotHCT = 13, SlotMCV = 14,
  SlotMCH = 15, SlotMCHC = 16, SlotRDWSD = 17, SlotRDWCV = 18, SlotPLT = 19, SlotMPV = 20,
  SlotPCT = 21, SlotPDW = 22, SlotPLCR = 23, SlotPLCC = 24
};

// Calibration pair numbers of ECalAlgorithmPara.
enum ZentilECalPair : int {
  ECalWBC = 0, ECalGRA = 1, ECalLYM = 2, ECalMID = 3, ECalRBC = 6, ECalHGB = 7, ECalMCV = 8,
  ECalRDWCV = 10, ECalPLT = 11, ECalMPV = 12, ECalPDW = 13, ECalPLCR = 14
};

// ---- Layout checks ------------------------------------------------------------------------
static_assert(sizeof(void*) == 8, "the record layout below is written for 64-bit pointers");
namespace zentil_layout {
// Byte offset in this build of a field whose 32-bit offset is `old`, in a record whose
// pointers sit at the given 32-bit offsets (each adds 4 bytes to the fields after it).
constexpr std::size_t Moved(std::size_t old, std::initializer_list<std::size_t> pointers) {
  std::size_t extra = 0;
  for (std::size_t p : pointers) extra += (old > p) ? 4 : 0;
  return old + extra;
}
constexpr std::size_t In(std::size_t old) {
  return Moved(old, {0, 8, 16, 24, 28, 32, 40, 48, 56, 64, 72, 76});
}
constexpr std::size_t Res(std::size_t old) { return Moved(old, {7028}); }
}  // namespace zentil_layout

#define ZENTIL_AT(rec, field, old) \
  static_assert(offsetof(rec, field) == zentil_layout::rec##_At(old), #rec "::" #field)
namespace zentil_layout {
constexpr std::size_t AlgorithmInput_At(std::size_t old) { return In(old); }
constexpr std::size_t AlgorithmResult_At(std::size_t old) { return Res(old); }
}  // namespace zentil_layout

static_assert(sizeof(AlgorithmInput) == 3244 + 12 * 4);
static_assert(sizeof(AlgorithmResult) == 10542 + 4);
static_assert(sizeof(FlagAlgorithmPara) == 108);
static_assert(sizeof(ECalAlgorithmPara) == 120);
static_assert(sizeof(AlgorithmPara) == 228);
static_assert(offsetof(AlgorithmPara, ECal) == 108);

ZENTIL_AT(AlgorithmInput, RawWords0, 0);
ZENTIL_AT(AlgorithmInput, RawWords0Count, 4);
ZENTIL_AT(AlgorithmInput, RawWords1, 8);
ZENTIL_AT(AlgorithmInput, RawWords2Count, 20);
ZENTIL_AT(AlgorithmInput, AuxWords0, 24);
ZENTIL_AT(AlgorithmInput, AuxWords2, 32);
ZENTIL_AT(AlgorithmInput, AuxBufferLength, 36);
ZENTIL_AT(AlgorithmInput, RawLongs0, 40);
ZENTIL_AT(AlgorithmInput, RawLongs3Count, 68);
ZENTIL_AT(AlgorithmInput, HgbBlankReadings, 72);
ZENTIL_AT(AlgorithmInput, HgbSampleReadings, 76);
ZENTIL_AT(AlgorithmInput, HgbReadingCount, 80);
ZENTIL_AT(AlgorithmInput, BloodMode, 84);
ZENTIL_AT(AlgorithmInput, AuxDataFlag, 85);
ZENTIL_AT(AlgorithmInput, WbcDilution, 87);
ZENTIL_AT(AlgorithmInput, RbcDilution, 91);
ZENTIL_AT(AlgorithmInput, WbcRateDivisor, 99);
ZENTIL_AT(AlgorithmInput, RbcRateDivisor, 103);
ZENTIL_AT(AlgorithmInput, WbcCountTime, 111);
ZENTIL_AT(AlgorithmInput, RbcCountTime, 115);
ZENTIL_AT(AlgorithmInput, WbcFactor, 123);
ZENTIL_AT(AlgorithmInput, HgbFactor, 127);
ZENTIL_AT(AlgorithmInput, RbcFactor, 131);
ZENTIL_AT(AlgorithmInput, McvFactor, 135);
ZENTIL_AT(AlgorithmInput, PltFactor, 139);
ZENTIL_AT(AlgorithmInput, MpvFactor, 143);
ZENTIL_AT(AlgorithmInput, RunConstant147, 147);
ZENTIL_AT(AlgorithmInput, RunBytes154, 154);
ZENTIL_AT(AlgorithmInput, HgbReadingFault, 157);
ZENTIL_AT(AlgorithmInput, HgbBlankFault, 162);
ZENTIL_AT(AlgorithmInput, WbcHistogram, 168);
ZENTIL_AT(AlgorithmInput, RbcHistogram, 1192);
ZENTIL_AT(AlgorithmInput, PltHistogram, 2216);
ZENTIL_AT(AlgorithmInput, UserPltLower, 3240);
ZENTIL_AT(AlgorithmInput, UserPltUpper, 3242);

ZENTIL_AT(AlgorithmResult, Values, 0);
ZENTIL_AT(AlgorithmResult, RBC, 44);
ZENTIL_AT(AlgorithmResult, HGB, 48);
ZENTIL_AT(AlgorithmResult, RDWSD, 68);
ZENTIL_AT(AlgorithmResult, RDWCV, 72);
ZENTIL_AT(AlgorithmResult, PLT, 76);
ZENTIL_AT(AlgorithmResult, PLCC, 96);
ZENTIL_AT(AlgorithmResult, WbcHistogram, 100);
ZENTIL_AT(AlgorithmResult, RbcHistogram, 1124);
ZENTIL_AT(AlgorithmResult, PltHistogram, 2148);
ZENTIL_AT(AlgorithmResult, WbcSmoothed, 3172);
ZENTIL_AT(AlgorithmResult, RbcSmoothed, 4196);
ZENTIL_AT(AlgorithmResult, PltSmoothed, 5220);
ZENTIL_AT(AlgorithmResult, WbcCurve, 6244);
ZENTIL_AT(AlgorithmResult, RbcCurve, 6500);
ZENTIL_AT(AlgorithmResult, PltCurve, 6756);
ZENTIL_AT(AlgorithmResult, WbcLines, 7012);
ZENTIL_AT(AlgorithmResult, RbcLower, 7020);
ZENTIL_AT(AlgorithmResult, RbcUpper, 7022);
ZENTIL_AT(AlgorithmResult, PltLower, 7024);
ZENTIL_AT(AlgorithmResult, PltUpper, 7026);
ZENTIL_AT(AlgorithmResult, AuxBuffer, 7028);
ZENTIL_AT(AlgorithmResult, GraPercent, 7032);
ZENTIL_AT(AlgorithmResult, LymPercent, 7036);
ZENTIL_AT(AlgorithmResult, MidPercent, 7040);
ZENTIL_AT(AlgorithmResult, GraCount, 7044);
ZENTIL_AT(AlgorithmResult, LymCount, 7048);
ZENTIL_AT(AlgorithmResult, MidCount, 7052);
ZENTIL_AT(AlgorithmResult, AuxWbcValue, 7056);
ZENTIL_AT(AlgorithmResult, WbcBelowLine0Share, 7100);
ZENTIL_AT(AlgorithmResult, WbcCentroid, 7104);
ZENTIL_AT(AlgorithmResult, AuxFit, 7140);
ZENTIL_AT(AlgorithmResult, RawMcv, 7154);
ZENTIL_AT(AlgorithmResult, WbcPulseSum, 7162);
ZENTIL_AT(AlgorithmResult, RbcPulseSum, 7166);
ZENTIL_AT(AlgorithmResult, PltPulseSum, 7170);
ZENTIL_AT(AlgorithmResult, WbcPulseRate, 7174);
ZENTIL_AT(AlgorithmResult, PltPulseRate, 7182);
ZENTIL_AT(AlgorithmResult, WbcCorrectedRate, 7190);
ZENTIL_AT(AlgorithmResult, PltCorrectedRate, 7198);
ZENTIL_AT(AlgorithmResult, WbcTopEndFraction, 7206);
ZENTIL_AT(AlgorithmResult, WbcNoLymPeak, 7210);
ZENTIL_AT(AlgorithmResult, WbcFitDone, 7211);
ZENTIL_AT(AlgorithmResult, WbcFittedCurve, 7212);
ZENTIL_AT(AlgorithmResult, WbcSlopeProfile, 8236);
ZENTIL_AT(AlgorithmResult, WbcWeightedCurve, 9260);
ZENTIL_AT(AlgorithmResult, PltNoiseFloor, 10284);
ZENTIL_AT(AlgorithmResult, ChannelError, 10314);
ZENTIL_AT(AlgorithmResult, ChannelAlarm, 10319);
ZENTIL_AT(AlgorithmResult, LF1, 10324);
ZENTIL_AT(AlgorithmResult, LF4, 10327);
ZENTIL_AT(AlgorithmResult, MultipleLF, 10328);
ZENTIL_AT(AlgorithmResult, PF1, 10329);
ZENTIL_AT(AlgorithmResult, PF2, 10330);
ZENTIL_AT(AlgorithmResult, HgbHctDifference, 10331);
ZENTIL_AT(AlgorithmResult, HgbHctExpected, 10335);
ZENTIL_AT(AlgorithmResult, HgbHctDisagree, 10339);
ZENTIL_AT(AlgorithmResult, WbcLow, 10340);
ZENTIL_AT(AlgorithmResult, PltLow, 10342);
ZENTIL_AT(AlgorithmResult, BlankSample, 10343);
ZENTIL_AT(AlgorithmResult, OverLimit, 10347);
ZENTIL_AT(AlgorithmResult, OverRange, 10352);
ZENTIL_AT(AlgorithmResult, SlotSuspect, 10357);
ZENTIL_AT(AlgorithmResult, DiffSuspect, 10382);
ZENTIL_AT(AlgorithmResult, SlotMarker, 10397);
ZENTIL_AT(AlgorithmResult, AuxFitRejected, 10459);
ZENTIL_AT(AlgorithmResult, WbcHistAbnormal, 10460);
ZENTIL_AT(AlgorithmResult, WbcHigh, 10461);
ZENTIL_AT(AlgorithmResult, WbcLowThreshold, 10462);
ZENTIL_AT(AlgorithmResult, AuxRule, 10463);
ZENTIL_AT(AlgorithmResult, RbcHistAbnormal, 10495);
ZENTIL_AT(AlgorithmResult, RbcTwoPeaks, 10496);
ZENTIL_AT(AlgorithmResult, RbcHigh, 10497);
ZENTIL_AT(AlgorithmResult, HgbLowThreshold, 10498);
ZENTIL_AT(AlgorithmResult, RdwHigh, 10499);
ZENTIL_AT(AlgorithmResult, McvHigh, 10500);
ZENTIL_AT(AlgorithmResult, McvLow, 10501);
ZENTIL_AT(AlgorithmResult, MchcLow, 10502);
ZENTIL_AT(AlgorithmResult, ScoreRule, 10503);
ZENTIL_AT(AlgorithmResult, Score, 10506);
ZENTIL_AT(AlgorithmResult, PltHistAbnormal, 10518);
ZENTIL_AT(AlgorithmResult, PltHigh, 10519);
ZENTIL_AT(AlgorithmResult, PltLowThreshold, 10520);
ZENTIL_AT(AlgorithmResult, PltScoreRule, 10521);
ZENTIL_AT(AlgorithmResult, PltScore, 10522);
ZENTIL_AT(AlgorithmResult, Version, 10526);
#undef ZENTIL_AT
