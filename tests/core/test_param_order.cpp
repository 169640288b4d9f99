#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "core/param_order.h"

namespace {

const int kExpectedDisplay[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 14, 11, 10, 9, 13, 12, 15, 16, 17, 18, 19};

TEST(ParamOrder, FloatsBytesAndTextsMoveTheSameWay) {
  float f[20];
  uint8_t b[20];
  std::string t[20];
  for (int i = 0; i < 20; ++i) {
    f[i] = static_cast<float>(i);
    b[i] = static_cast<uint8_t>(i);
    t[i] = std::to_string(i);
  }
  ReorderParamsForDisplay(f);
  ReorderParamBytesForDisplay(b);
  ReorderParamTextsForDisplay(t);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(f[i], kExpectedDisplay[i]) << "display slot " << i;
    EXPECT_EQ(b[i], kExpectedDisplay[i]) << "display slot " << i;
    EXPECT_EQ(t[i], std::to_string(kExpectedDisplay[i])) << "display slot " << i;
  }
  ReorderParamsForStore(f);
  ReorderParamBytesForStore(b);
  ReorderParamTextsForStore(t);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(f[i], i);
    EXPECT_EQ(b[i], i);
    EXPECT_EQ(t[i], std::to_string(i));
  }
}

TEST(ParamOrder, NamesLandWhereTheScreensShowThem) {
  std::string t[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC",
                       "MCH", "MCV", "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"};
  ReorderParamTextsForDisplay(t);
  const char* shown[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "HCT",
                           "MCV", "MCH", "MCHC", "RDWSD", "RDWCV", "PLT", "MPV", "PDW", "PCT", "PLCR"};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(t[i], shown[i]) << i;
}

TEST(ParamOrder, LimitPairsMoveAsWholePairs) {
  float p[40];
  for (int i = 0; i < 20; ++i) {
    p[2 * i] = i * 10.0f;          // low
    p[2 * i + 1] = i * 10.0f + 1;  // high
  }
  ReorderLimitPairsForDisplay(p);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(p[2 * i], kExpectedDisplay[i] * 10.0f) << i;
    EXPECT_EQ(p[2 * i + 1], kExpectedDisplay[i] * 10.0f + 1) << i;
  }
  ReorderLimitPairsForStore(p);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(p[2 * i], i * 10.0f);
}

TEST(ParamOrder, ApplyingTwiceScrambles) {
  // Callers must convert once; a second pass is not a no-op.
  float f[20];
  std::iota(f, f + 20, 0.0f);
  ReorderParamsForDisplay(f);
  ReorderParamsForDisplay(f);
  EXPECT_NE(f[9], 14.0f);
}

TEST(ParamOrder, OnlyModeTwoIsPredilute) {
  for (int mode : {-1, 0, 1, 3, 255}) EXPECT_FALSE(IsPrediluteMode(mode)) << mode;
  EXPECT_TRUE(IsPrediluteMode(2));
}

}  // namespace
