// The start-up blank and a sample count fill the library's input record through one routine:
// from the same readings they must give the same bytes, and the count's own inputs (blood mode,
// HGB readings) must show only where they belong.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "algorithm/Zentil.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/startup_sequence.h"
#include "measurement/zentil_call.h"

namespace {

// Distinct values everywhere so that a swapped channel or factor shows.
void FillHistograms(measurement::HistogramBuffers& h) {
  for (size_t i = 0; i < 256; ++i) {
    h.wbc[i] = 1.0f + static_cast<float>(i);
    h.rbc[i] = 1000.0f + static_cast<float>(i);
  }
  for (size_t i = 0; i < 128; ++i) h.plt[i] = 5000.0f + static_cast<float>(i);
  for (size_t i = 0; i < 256; ++i) {
    analyzer::BlankHistograms.wbc[i] = h.wbc[i];
    analyzer::BlankHistograms.rbc[i] = h.rbc[i];
  }
  for (size_t i = 0; i < 128; ++i) analyzer::BlankHistograms.plt[i] = h.plt[i];
}

// A record full of garbage, so that anything left unset shows.
std::unique_ptr<AlgorithmInput> DirtyInput() {
  auto in = std::make_unique<AlgorithmInput>();
  std::memset(in.get(), 0xA5, sizeof *in);
  return in;
}

struct FillCase {
  const char* name;
  uint8_t wbcTimeTenths;
  float factors[6];  // WBC, HGB, RBC, MCV, PLT, MPV
};

class BlankAndCountFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(BlankAndCountFill, SameRecordFromSameReadings) {
  const FillCase& c = GetParam();
  measurement::HistogramBuffers h;
  FillHistograms(h);

  measurement::CountInputs count;
  count.bloodMode = 0;
  count.wbcTimeTenths = c.wbcTimeTenths;
  for (float& f : count.calibration) f = 99.0f;  // factors the library does not take
  const int screenPos[6] = {0, 8, 7, 10, 15, 16};
  for (int i = 0; i < 6; ++i) count.calibration[screenPos[i]] = c.factors[i];

  auto fromCount = DirtyInput();
  auto fromBlank = DirtyInput();
  measurement::FillAlgorithmInput(*fromCount, count, h);
  analyzer::FillBlankInput(*fromBlank, c.wbcTimeTenths, c.factors);
  EXPECT_EQ(0, std::memcmp(fromCount.get(), fromBlank.get(), sizeof(AlgorithmInput)));

  const AlgorithmInput& in = *fromBlank;
  const float seconds = static_cast<float>(c.wbcTimeTenths / 10);
  EXPECT_EQ(seconds, in.WbcCountTime);
  EXPECT_EQ(seconds, in.RbcCountTime);
  EXPECT_EQ(c.factors[0], in.WbcFactor);
  EXPECT_EQ(c.factors[1], in.HgbFactor);
  EXPECT_EQ(c.factors[2], in.RbcFactor);
  EXPECT_EQ(c.factors[3], in.McvFactor);
  EXPECT_EQ(c.factors[4], in.PltFactor);
  EXPECT_EQ(c.factors[5], in.MpvFactor);
  EXPECT_EQ(280.0f, in.WbcDilution);
  EXPECT_EQ(18109.0f, in.RbcDilution);
  EXPECT_EQ(0, in.HgbReadingCount);
  EXPECT_EQ(nullptr, in.HgbBlankReadings);
  EXPECT_EQ(h.wbc[255], in.WbcHistogram[255]);
  EXPECT_EQ(h.rbc[0], in.RbcHistogram[0]);
  EXPECT_EQ(h.plt[127], in.PltHistogram[127]);
  for (size_t i = 128; i < 256; ++i) ASSERT_EQ(0.0f, in.PltHistogram[i]) << "PLT channel " << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, BlankAndCountFill,
                         ::testing::Values(FillCase{"Default", 50, {1, 1, 1, 1, 1, 1}},
                                           FillCase{"OddTenthsRoundDown", 105, {1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f}},
                                           FillCase{"UnderASecond", 7, {0.9f, 1.05f, 0.95f, 1.02f, 0.8f, 1.1f}},
                                           FillCase{"Longest", 255, {2, 3, 4, 5, 6, 7}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Peripheral blood fills as whole blood does; pre-diluted changes only the mode byte and the
// two dilutions; HGB readings appear only when both are given.
TEST(CountFill, BloodModeAndHgbTouchOnlyTheirFields) {
  measurement::HistogramBuffers h;
  FillHistograms(h);
  measurement::CountInputs base;
  auto whole = DirtyInput();
  measurement::FillAlgorithmInput(*whole, base, h);

  measurement::CountInputs peripheral = base;
  peripheral.bloodMode = 1;
  auto in = DirtyInput();
  measurement::FillAlgorithmInput(*in, peripheral, h);
  EXPECT_EQ(0, std::memcmp(whole.get(), in.get(), sizeof(AlgorithmInput)));

  measurement::CountInputs prediluted = base;
  prediluted.bloodMode = 2;
  measurement::FillAlgorithmInput(*in, prediluted, h);
  EXPECT_EQ(1, in->BloodMode);
  EXPECT_EQ(337.72f, in->WbcDilution);
  EXPECT_EQ(21476.0f, in->RbcDilution);
  in->BloodMode = whole->BloodMode;
  in->WbcDilution = whole->WbcDilution;
  in->RbcDilution = whole->RbcDilution;
  EXPECT_EQ(0, std::memcmp(whole.get(), in.get(), sizeof(AlgorithmInput)));

  const uint16_t blank[4] = {1, 2, 3, 4}, sample[4] = {5, 6, 7, 8};
  measurement::CountInputs onlyOne = base;
  onlyOne.hgbBlank = blank;
  measurement::FillAlgorithmInput(*in, onlyOne, h);
  EXPECT_EQ(0, std::memcmp(whole.get(), in.get(), sizeof(AlgorithmInput)));

  measurement::CountInputs both = base;
  both.hgbBlank = blank;
  both.hgbSample = sample;
  measurement::FillAlgorithmInput(*in, both, h);
  EXPECT_EQ(1, in->HgbReadingCount);
  EXPECT_EQ(blank, in->HgbBlankReadings);
  EXPECT_EQ(sample, in->HgbSampleReadings);
}

}  // namespace
