// The engineers' switch for the intermediate values: while it is on (in memory only), the test
// screen writes the HGB blank and sample readings of each count beside the results.
#include "measurement/mid_results.h"
#include "counted_sample.h"

using namespace measurement;

namespace {

class MidResults : public CountedSampleTest {};

TEST_F(MidResults, TheReadingsAreShownOnlyWhileTheSwitchIsOn) {
  for (uint8_t on : {1, 0}) {
    ShowMidResults = on;
    CSampleTest screen(nullptr);
    std::string blank, sample;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              ASSERT_TRUE(CountOne(s, screen));
                              blank = s.Text(IDC_HGB_BLANK);
                              sample = s.Text(IDC_HGB_SAMPLE);
                              Leave(s, screen);
                            }));
    uint16_t boardBlank = 0, boardSample = 0;
    sim.WithModel([&](boardsim::BoardModel& m) {
      boardBlank = m.lastCount().hgbBlank;
      boardSample = m.lastCount().hgbSample;
    });
    EXPECT_EQ(blank, on ? std::to_string(boardBlank) : "") << int(on);
    EXPECT_EQ(sample, on ? std::to_string(boardSample) : "") << int(on);
  }
  ShowMidResults = 0;
}

}  // namespace
