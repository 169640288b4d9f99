// Profiles set by value: the calibrator's known values, values parsed from the command line,
// and the board counting them until a named profile is chosen again.
#include <gtest/gtest.h>

#include <cmath>

#include "analyzer/frame.h"
#include "tools/boardsim/board_model.h"
#include "tools/boardsim/settable_profile.h"

using namespace boardsim;

namespace {

TEST(SettableProfile, ParsedValues) {
  struct Case {
    const char* text;
    bool ok;
    float wbc, plt, hgb;
  } cases[] = {
      {"wbc=7.5,plt=250", true, 7.5f, 250.0f, 135.0f},
      {"WBC=8 HGB=120", true, 8.0f, 220.0f, 120.0f},
      {"", true, 7.2f, 220.0f, 135.0f},
      {"wbc=7.5,xyz=1", false, 7.2f, 220.0f, 135.0f},  // nothing changes on an error
      {"wbc=", false, 7.2f, 220.0f, 135.0f},
      {"wbc=7,5", false, 7.2f, 220.0f, 135.0f},
      {"plt=-3", false, 7.2f, 220.0f, 135.0f},
      {"plt", false, 7.2f, 220.0f, 135.0f},
  };
  for (const Case& c : cases) {
    BloodProfile p = CalibratorProfile();
    std::string why;
    EXPECT_EQ(ParseProfileValues(c.text, p, &why), c.ok) << c.text;
    EXPECT_EQ(why.empty(), c.ok) << c.text;
    EXPECT_EQ(p.wbc, c.wbc) << c.text;
    EXPECT_EQ(p.plt, c.plt) << c.text;
    EXPECT_EQ(p.hgb, c.hgb) << c.text;
  }
  BloodProfile p;
  EXPECT_TRUE(SettableProfileFromName("Calibrator", &p));
  EXPECT_EQ(p.wbc, 7.2f);
  EXPECT_FALSE(SettableProfileFromName("normal", &p));
}

TEST(SettableProfile, BoardCountsTheSetValuesUntilANamedProfile) {
  BoardOptions o;
  o.noise = false;
  BoardModel m(o);
  auto count = [&] {
    m.OnFrame(analyzer::BuildCommandFrame(0xAA, 0x01, 50, 10), true);
    return m.lastCount();
  };
  // HGB = ln(blank / sample) x 223.11 for whole blood: the reading carries the set value.
  auto hgb = [](const CountData& d) { return std::log(static_cast<double>(d.hgbBlank) / d.hgbSample) * 223.11; };
  BloodProfile set = CalibratorProfile();
  set.hgb = 100.0f;
  m.SetCustomProfile(set);
  EXPECT_NEAR(hgb(count()), 100.0, 0.5);
  m.SetProfile(Profile::Normal);
  EXPECT_NEAR(hgb(count()), ProfileData(Profile::Normal).hgb, 0.5);
}

}  // namespace
