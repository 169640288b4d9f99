// The text that keeps a count's inputs for a later computation: written and read back exactly,
// and refused when it is not whole.
#include <gtest/gtest.h>

#include <cstring>

#include "algorithm/ZentilRecords.h"
#include "measurement/kept_inputs.h"

using namespace measurement;

namespace {

KeptInputs Sample() {
  CountInputs c;
  c.bloodMode = 2;
  c.wbcTimeTenths = 47;
  for (int i = 0; i < 20; ++i) c.calibration[i] = 3.0f + i;  // the six taken: 0, 8, 7, 10, 15, 16
  c.calibration[0] = 0.1f;                                       // not exact in decimal
  c.calibration[16] = 1.0000001f;
  static const uint16_t blank = 3412, sample = 65535;
  c.hgbBlank = &blank;
  c.hgbSample = &sample;
  const bool stars[3] = {false, true, true};
  return KeepInputs(c, stars, "23:59:01");
}

}  // namespace

TEST(KeptCountInputs, TextNamesEveryInputAndReadsBackExactly) {
  const KeptInputs k = Sample();
  const std::string text = KeptInputsText(k);
  // The factors in the library's order WBC, HGB, RBC, MCV, PLT, MPV; 0.1f and 1 + 2^-23 with the
  // nine digits that read back to the same float.
  EXPECT_EQ(text, "time=23:59:01 mode=2 wbct=47 hgb=3412/65535 f=0.100000001,11,10,13,18,1.00000012 stars=011");

  const std::optional<KeptInputs> back = ParseKeptInputs(text);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->testTime, "23:59:01");
  // The record the library gets is the one the count filled, byte for byte (the HGB readings
  // are compared by value: their pointers differ).
  const CountInputs a = k.ToCountInputs(), b = back->ToCountInputs();
  measurement::HistogramBuffers h;
  h.wbc[3] = 9.0f;
  AlgorithmInput ia, ib;
  FillAlgorithmInput(ia, a, h);
  FillAlgorithmInput(ib, b, h);
  ASSERT_EQ(ia.HgbReadingCount, 1u);
  EXPECT_EQ(*ia.HgbBlankReadings, 3412);
  EXPECT_EQ(*ib.HgbBlankReadings, 3412);
  EXPECT_EQ(*ib.HgbSampleReadings, 65535);
  ia.HgbBlankReadings = ib.HgbBlankReadings = nullptr;
  ia.HgbSampleReadings = ib.HgbSampleReadings = nullptr;
  EXPECT_EQ(std::memcmp(&ia, &ib, sizeof ia), 0);
  EXPECT_EQ(ib.WbcFactor, 0.1f);
  EXPECT_EQ(ib.MpvFactor, 1.0000001f);
  EXPECT_EQ(ib.BloodMode, 1);
  EXPECT_TRUE(back->stars[1] && back->stars[2] && !back->stars[0]);

  // A count without HGB readings stays without them.
  CountInputs none;
  const bool noStars[3] = {};
  const KeptInputs n = KeepInputs(none, noStars, "08:00:00");
  EXPECT_EQ(KeptInputsText(n), "time=08:00:00 mode=0 wbct=50 hgb=- f=1,1,1,1,1,1 stars=000");
  const std::optional<KeptInputs> nb = ParseKeptInputs(KeptInputsText(n));
  ASSERT_TRUE(nb.has_value());
  const CountInputs c = nb->ToCountInputs();
  EXPECT_EQ(c.hgbBlank, nullptr);
  EXPECT_EQ(c.hgbSample, nullptr);
}

TEST(KeptCountInputs, TinyFactorsReadBackBitForBit) {
  // 2^-149 (the smallest float), 2^-130, the largest subnormal and the smallest normal value,
  // each given by its bits.
  const uint32_t bits[] = {0x00000001u, 0x00080000u, 0x007FFFFFu, 0x00800000u, 0x80000001u};
  for (uint32_t b : bits) {
    float f;
    std::memcpy(&f, &b, sizeof f);
    CountInputs c;
    c.calibration[15] = f;  // PLT
    const bool stars[3] = {};
    const std::string text = KeptInputsText(KeepInputs(c, stars, "08:00:00"));
    const std::optional<KeptInputs> back = ParseKeptInputs(text);
    ASSERT_TRUE(back.has_value()) << text;
    uint32_t read;
    std::memcpy(&read, &back->factors[4], sizeof read);
    EXPECT_EQ(read, b) << text;
  }
  // A text below the smallest float is not one the writer makes.
  EXPECT_FALSE(ParseKeptInputs("time=08:00:00 mode=0 wbct=50 hgb=- f=1,1,1,1,1e-60,1 stars=000").has_value());
}

TEST(KeptCountInputs, TextThatIsNotWholeIsRefused) {
  const std::string good = "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000";
  ASSERT_TRUE(ParseKeptInputs(good).has_value());
  const char* const bad[] = {
      "",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1",            // a key missing
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000 mode=1",  // a key twice
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000 x=1",     // an unknown key
      "time=8:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000",
      "time=08:00:00 mode=3 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=256 hgb=3400/1200 f=1,1,1,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=-1 hgb=3400/1200 f=1,1,1,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=3400 f=1,1,1,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=65536/1200 f=1,1,1,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1, stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,x,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,nan,1,1,1 stars=000",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=0102",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=012",
      "time=08:00:00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars",
  };
  for (const char* t : bad) EXPECT_FALSE(ParseKeptInputs(t).has_value()) << t;
}
