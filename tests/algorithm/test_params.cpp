// Parameter blocks: defaults, loading with clamping, and thresholds taken as given.
#include <gtest/gtest.h>

#include <cstring>

#include "algorithm/Internal.h"
#include "algorithm/Zentil.h"

TEST(ParameterBlocks, DefaultsByteForByte) {
  FlagAlgorithmPara flag;
  ASSERT_EQ(GetFlagAlgorithmParaDefault(&flag), 0);
  const float expect[27] = {18, 2.5, 11, 1, 4, 1, 1, 0.7f, 0.2f, 100, 100, 100, 100, 100,
                            6.5, 100, 20, 60, 110, 70, 290, 100, 100, 100, 600, 60, 100};
  EXPECT_EQ(std::memcmp(flag.Threshold, expect, sizeof(expect)), 0);
  ECalAlgorithmPara ecal;
  std::memset(&ecal, 0x5A, sizeof(ecal));
  ASSERT_EQ(GetECalAlgorithmParaDefault(&ecal), 0);
  for (const ECalPair& p : ecal.Pair) {
    EXPECT_EQ(p.Gain, 1.0f);
    EXPECT_EQ(p.Offset, 0.0f);
  }
  EXPECT_EQ(GetFlagAlgorithmParaDefault(nullptr), 1);
  EXPECT_EQ(GetECalAlgorithmParaDefault(nullptr), 1);

  LoadAlgorithmPara(nullptr);
  AlgorithmPara defaults;
  std::memcpy(defaults.Flag.Threshold, expect, sizeof(expect));
  GetECalAlgorithmParaDefault(&defaults.ECal);
  EXPECT_EQ(std::memcmp(&zentil::ActivePara(), &defaults, sizeof(defaults)), 0);
}

TEST(ParameterBlocks, GainsAndOffsetsAreClampedThresholdsAreNot) {
  AlgorithmPara para{};
  for (int i = 0; i < 27; ++i) para.Flag.Threshold[i] = -5.0f - i;
  const struct {
    float gain, offset, expectGain, expectOffset;
  } cases[] = {{3.0f, -20.0f, 1.5f, -10.0f}, {0.1f, 20.0f, 0.5f, 10.0f}, {1.2f, -3.0f, 1.2f, -3.0f},
               {0.5f, 10.0f, 0.5f, 10.0f},   {1.5f, -10.0f, 1.5f, -10.0f}};
  for (int i = 0; i < 15; ++i) para.ECal.Pair[i] = {cases[i % 5].gain, cases[i % 5].offset};
  LoadAlgorithmPara(&para);
  const AlgorithmPara& active = zentil::ActivePara();
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(active.ECal.Pair[i].Gain, cases[i % 5].expectGain) << i;
    EXPECT_EQ(active.ECal.Pair[i].Offset, cases[i % 5].expectOffset) << i;
  }
  for (int i = 0; i < 27; ++i) EXPECT_EQ(active.Flag.Threshold[i], -5.0f - i);
  // The caller's block itself is left as it was.
  EXPECT_EQ(para.ECal.Pair[0].Gain, 3.0f);
  LoadAlgorithmPara(nullptr);
}
