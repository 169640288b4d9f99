// Flag rules: low and blank counts, limits, histogram flags, thresholds, the auxiliary buffer,
// clearing the flags of invalid values, and the marker characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;

class FlagRules : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadAlgorithmPara(nullptr);
    zentil_test::MakeInput(input, zentil_test::ReferenceSamples()[0], blank, sample);
    std::memset(&result, 0, sizeof(result));
  }
  // A complete count of the normal sample, then the flag rules again on the changed record.
  void Count() {
    std::memset(&result, 0, sizeof(result));
    ASSERT_EQ(AlgorithmMain(&result, &input, nullptr), 0);
  }
  // The channels only, with the flag area clear, for a rule to run on a prepared record.
  void Channels() {
    std::memset(&result, 0, sizeof(result));
    CbcAlgorithmMain(&result, &input);
  }
  void Flags() { ASSERT_EQ(FlagAlgorithmMain(&result, &input), 0); }

  const std::uint8_t* FlagArea() const { return &result.LF1; }
  static constexpr int kFlagAreaSize = 10526 - 10324;

  AlgorithmInput input;
  std::vector<std::uint16_t> blank, sample;
  AlgorithmResult result;
};

}  // namespace

TEST_F(FlagRules, NormalCountRaisesNothing) {
  Count();
  for (std::uint8_t b : {result.LF1, result.LF2, result.LF3, result.LF4, result.PF1, result.PF2,
                         result.WbcLow, result.RbcLow, result.PltLow, result.BlankSample,
                         result.HgbHctDisagree, result.WbcHistAbnormal, result.RbcHistAbnormal,
                         result.PltHistAbnormal})
    EXPECT_EQ(b, 0);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(result.OverLimit[i], 0);
    EXPECT_EQ(result.OverRange[i], 0);
  }
  // No auxiliary data: those slots are invalid, the reported values are not.
  for (float v : result.AuxWbc) EXPECT_EQ(v, kInvalid);
  EXPECT_EQ(result.AuxWbcValue, kInvalid);
  for (int slot : {SlotWBC, SlotRBC, SlotHGB, SlotHCT, SlotMCV, SlotMCH, SlotMCHC, SlotRDWSD,
                   SlotRDWCV, SlotPLT, SlotMPV, SlotPCT, SlotPDW, SlotPLCR, SlotPLCC})
    EXPECT_NE(result.Values[slot], kInvalid) << slot;
}

TEST_F(FlagRules, BlankCountLeavesOnlyTheLowAndBlankBytes) {
  std::memset(input.WbcHistogram, 0, sizeof(input.WbcHistogram));
  std::memset(input.RbcHistogram, 0, sizeof(input.RbcHistogram));
  std::memset(input.PltHistogram, 0, sizeof(input.PltHistogram));
  std::vector<std::uint16_t> clear(10, 3400);
  input.HgbBlankReadings = clear.data();
  input.HgbSampleReadings = clear.data();
  Count();
  EXPECT_EQ(result.WbcLow, 1);
  EXPECT_EQ(result.RbcLow, 1);
  EXPECT_EQ(result.PltLow, 1);
  EXPECT_EQ(result.BlankSample, 1);
  const std::uint8_t* area = FlagArea();
  for (int i = 0; i < kFlagAreaSize; ++i) {
    const int offset = 10324 + i;
    if (offset >= 10340 && offset <= 10343) continue;
    EXPECT_EQ(area[i], 0) << "flag byte " << offset;
  }
  for (float v : {result.MCV, result.MCH, result.MCHC, result.RDWCV, result.RDWSD, result.MPV,
                  result.PCT, result.PDW, result.PLCR, result.PLCC, result.LymPercent,
                  result.GraCount})
    EXPECT_EQ(v, kInvalid);
  EXPECT_TRUE(std::all_of(std::begin(result.WbcCurve), std::end(result.WbcCurve), [](auto b) { return b == 0; }));
  EXPECT_TRUE(std::all_of(std::begin(result.RbcCurve), std::end(result.RbcCurve), [](auto b) { return b == 0; }));
  EXPECT_TRUE(std::all_of(std::begin(result.PltCurve), std::end(result.PltCurve), [](auto b) { return b == 0; }));
}

TEST_F(FlagRules, MeasuringLimitsAndRanges) {
  struct Case {
    const char* name;
    int slot;
    float value;
    int limitIndex;  // OverLimit index expected set, or -1
    int rangeIndex;  // OverRange index expected set, or -1
    bool invalid;    // the value itself becomes invalid
    char marker;
  };
  const Case cases[] = {
      {"WBC 150", SlotWBC, 150.0f, -1, 0, false, '+'},
      {"WBC 1000", SlotWBC, 1000.0f, 0, 0, true, '+'},
      {"RBC 9", SlotRBC, 9.0f, -1, 1, false, '+'},
      {"RBC 100", SlotRBC, 100.0f, 1, 1, true, '+'},
      {"HGB 260", SlotHGB, 260.0f, -1, 2, false, '+'},
      {"HGB 310", SlotHGB, 310.0f, 2, 2, false, '+'},
      {"PLT 1200", SlotPLT, 1200.0f, -1, 4, false, '+'},
      {"PLT 10000", SlotPLT, 10000.0f, 4, 4, true, '+'},
  };
  for (const Case& c : cases) {
    Channels();
    result.Values[c.slot] = c.value;
    Flags();
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(result.OverLimit[i], i == c.limitIndex ? 1 : 0) << c.name << " limit " << i;
      EXPECT_EQ(result.OverRange[i], i == c.rangeIndex ? 1 : 0) << c.name << " range " << i;
    }
    EXPECT_EQ(result.Values[c.slot] == kInvalid, c.invalid) << c.name;
    EXPECT_EQ(result.SlotMarker[2 * c.slot], c.marker) << c.name;
  }
  // WBC 1000: its threshold flag was raised and is cleared again with the value.
  Channels();
  result.WBC = 1000.0f;
  Flags();
  EXPECT_EQ(result.WbcHigh, 0);
  EXPECT_EQ(result.SlotSuspect[SlotWBC], 0);
  EXPECT_EQ(result.LymPercent, kInvalid);
  // HGB over its limit takes MCH and MCHC with it.
  Channels();
  result.HGB = 310.0f;
  Flags();
  EXPECT_EQ(result.MCH, kInvalid);
  EXPECT_EQ(result.MCHC, kInvalid);
}

TEST_F(FlagRules, ThresholdsFromTheActiveBlock) {
  struct Case {
    const char* name;
    int slot;
    float value;
    const std::uint8_t* flag;
  };
  Channels();
  const Case cases[] = {
      {"WBC 25 is high", SlotWBC, 25.0f, &result.WbcHigh},
      {"WBC 2 is low", SlotWBC, 2.0f, &result.WbcLowThreshold},
      {"RBC 7 is high", SlotRBC, 7.0f, &result.RbcHigh},
      {"HGB 90 is low", SlotHGB, 90.0f, &result.HgbLowThreshold},
      {"MCV 120 is high", SlotMCV, 120.0f, &result.McvHigh},
      {"MCV 65 is low", SlotMCV, 65.0f, &result.McvLow},
      {"MCHC 280 is low", SlotMCHC, 280.0f, &result.MchcLow},
      {"RDW-CV 25 is high", SlotRDWCV, 25.0f, &result.RdwHigh},
      {"PLT 700 is high", SlotPLT, 700.0f, &result.PltHigh},
      {"PLT 40 is low", SlotPLT, 40.0f, &result.PltLowThreshold},
  };
  for (const Case& c : cases) {
    Channels();
    Flags();
    EXPECT_EQ(*c.flag, 0) << c.name;
    Channels();
    result.Values[c.slot] = c.value;
    Flags();
    EXPECT_EQ(*c.flag, 1) << c.name;
  }
  // A block's thresholds are used as they stand, negative ones too.
  AlgorithmPara para{};
  GetFlagAlgorithmParaDefault(&para.Flag);
  GetECalAlgorithmParaDefault(&para.ECal);
  para.Flag.Threshold[0] = -1.0f;  // every WBC is above it
  para.Flag.Threshold[24] = 100.0f;
  LoadAlgorithmPara(&para);
  Channels();
  Flags();
  EXPECT_EQ(result.WbcHigh, 1);
  EXPECT_EQ(result.PltHigh, 1);
  LoadAlgorithmPara(nullptr);
}

TEST_F(FlagRules, WbcHistogramFlags) {
  // A MID share above 40 % raises LF3 and invalidates the differential.
  zentil_test::FillHistogram(input.WbcHistogram, 256, {{1500, 34, 0.16}, {5000, 62, 0.1}, {1500, 130, 0.2}});
  Count();
  ASSERT_GE(+result.WbcPulseSum, 200.0f);
  EXPECT_EQ(result.LF3, 1);
  EXPECT_EQ(result.WbcHistAbnormal, 1);
  EXPECT_EQ(result.MidPercent, kInvalid);
  EXPECT_EQ(result.LymCount, kInvalid);
  EXPECT_NE(result.WBC, kInvalid);

  // Many counts at the top end: LF4 and the WBC suspect mark.
  zentil_test::FillHistogram(input.WbcHistogram, 256, {{2100, 34, 0.16}, {480, 66, 0.12}, {3900, 120, 0.22}});
  for (int k = 240; k < 256; ++k) input.WbcHistogram[k] += 300.0f;
  Count();
  EXPECT_EQ(result.LF4, 1);
  EXPECT_EQ(result.SlotSuspect[SlotWBC], 1);
  EXPECT_EQ(result.SlotMarker[0], '*');

  // Counts left of line 0: LF1.
  zentil_test::FillHistogram(input.WbcHistogram, 256, {{2100, 34, 0.16}, {480, 66, 0.12}, {3900, 120, 0.22}, {3000, 8, 0.3}});
  Count();
  EXPECT_EQ(result.LF1, 1);
  EXPECT_GE(result.LF1 + result.LF2 + result.LF3 + result.LF4, 1);
  EXPECT_EQ(result.MultipleLF, result.LF1 + result.LF2 + result.LF3 + result.LF4 > 1 ? 1 : 0);

  // Under 200 pulses nothing of the WBC histogram is judged.
  zentil_test::FillHistogram(input.WbcHistogram, 256, {{60, 34, 0.16}, {100, 62, 0.1}});
  Count();
  EXPECT_LT(+result.WbcPulseSum, 200.0f);
  EXPECT_EQ(result.LF1 + result.LF2 + result.LF3 + result.LF4, 0);
}

TEST_F(FlagRules, RbcHistogramRules) {
  // An invalid RDW-SD with enough counts marks the RBC histogram abnormal.
  Channels();
  ASSERT_GE(+result.RbcPulseSum, 200.0f);
  result.RDWSD = kInvalid;
  Flags();
  EXPECT_EQ(result.RbcHistAbnormal, 1);
  EXPECT_EQ(result.SlotSuspect[SlotRBC], 1);

  // A second population of red cells: two peaks.
  zentil_test::FillHistogram(input.RbcHistogram, 256, {{14000, 70, 0.1}, {14000, 120, 0.1}});
  Count();
  EXPECT_EQ(result.RbcTwoPeaks, 1);
  EXPECT_EQ(result.SlotSuspect[SlotRDWSD], 1);
  EXPECT_EQ(result.SlotSuspect[SlotRDWCV], 1);
  zentil_test::FillHistogram(input.RbcHistogram, 256, {{24500, 92, 0.18}});
  Count();
  EXPECT_EQ(result.RbcTwoPeaks, 0);
}

TEST_F(FlagRules, HgbHctCheck) {
  Channels();
  result.HGB = 140.0f;
  result.HCT = 42.0f;
  Flags();
  EXPECT_EQ(result.HgbHctDisagree, 0);
  EXPECT_FLOAT_EQ(+result.HgbHctExpected, 42.0f);
  Channels();
  result.HGB = 140.0f;
  result.HCT = 30.0f;
  Flags();
  EXPECT_EQ(result.HgbHctDisagree, 1);
  EXPECT_FLOAT_EQ(+result.HgbHctDifference, 12.0f);
  EXPECT_EQ(result.SlotSuspect[SlotPLT], 1);
}

TEST_F(FlagRules, OperatorPltLinesSkipThePltHistogramRules) {
  input.UserPltLower = 5;
  input.UserPltUpper = 60;
  zentil_test::FillHistogram(input.PltHistogram, 128, {{60, 38, 0.42}});
  Count();
  ASSERT_LT(+result.PltPulseSum, 200.0f);
  EXPECT_EQ(result.PltHistAbnormal, 0);
  EXPECT_EQ(result.PltScoreRule, 0);
  EXPECT_EQ(+result.PltScore, 0.0f);
  EXPECT_EQ(result.PF1 + result.PF2, 0);
  EXPECT_EQ(result.SlotSuspect[SlotMPV], 0);
  // With automatic lines the same small count marks the PLT indices.
  input.UserPltUpper = 0;
  Count();
  EXPECT_EQ(result.SlotSuspect[SlotMPV], 1);
}

TEST_F(FlagRules, AuxiliaryBufferIsClearedOnlyOverATrustedLength) {
  std::vector<unsigned char> buffer(4096, 0xEE);
  struct Case {
    const char* name;
    std::int32_t length;
    int cleared;  // bytes expected zero from the start
    std::uint8_t rejected;
  };
  const Case cases[] = {
      {"below 1000: rule not armed", 999, 0, 0},
      {"1000 bytes", 1000, 1000, 1},
      {"4096 bytes", 4096, 4096, 1},
      {"negative length", -1, 0, 0},
      {"oversized length", 0x7FFFFFFF, 0, 0},
  };
  for (const Case& c : cases) {
    std::fill(buffer.begin(), buffer.end(), 0xEE);
    input.AuxBufferLength = c.length;
    input.AuxDataFlag = 1;
    Channels();
    result.AuxBuffer = buffer.data();
    result.AuxFit[0] = 0.5f;  // a rejected fit
    Flags();
    EXPECT_EQ(result.AuxFitRejected, c.rejected) << c.name;
    for (int i = 0; i < 4096; ++i)
      ASSERT_EQ(buffer[i], i < c.cleared ? 0 : 0xEE) << c.name << " at " << i;
  }
  // A good fit clears nothing; a null buffer is not touched.
  input.AuxBufferLength = 1000;
  Channels();
  result.AuxBuffer = buffer.data();
  result.AuxFit[0] = 0.9f;
  std::fill(buffer.begin(), buffer.end(), 0xEE);
  Flags();
  EXPECT_EQ(result.AuxFitRejected, 0);
  EXPECT_EQ(buffer[0], 0xEE);
  Channels();
  result.AuxBuffer = nullptr;
  Flags();
  EXPECT_EQ(result.AuxFitRejected, 1);
}

TEST_F(FlagRules, LowCountsInvalidateTheirIndices) {
  struct Case {
    const char* name;
    int slot;
    float value;
    const std::uint8_t* low;
    std::vector<int> invalidated;
  };
  Channels();
  const Case cases[] = {
      {"WBC 0.05", SlotWBC, 0.05f, &result.WbcLow, {}},
      {"RBC 0.005", SlotRBC, 0.005f, &result.RbcLow, {SlotMCV, SlotMCH, SlotMCHC, SlotRDWSD, SlotRDWCV}},
      {"PLT 0.5", SlotPLT, 0.5f, &result.PltLow, {SlotMPV, SlotPCT, SlotPDW, SlotPLCR, SlotPLCC}},
  };
  for (const Case& c : cases) {
    Channels();
    result.Values[c.slot] = c.value;
    Flags();
    EXPECT_EQ(*c.low, 1) << c.name;
    for (int s : c.invalidated) EXPECT_EQ(result.Values[s], kInvalid) << c.name << " slot " << s;
    EXPECT_NE(result.Values[c.slot], kInvalid) << c.name;
  }
  Channels();
  result.WBC = 0.05f;
  Flags();
  EXPECT_EQ(result.GraPercent, kInvalid);
  EXPECT_TRUE(std::all_of(std::begin(result.WbcCurve), std::end(result.WbcCurve), [](auto b) { return b == 0; }));
}
