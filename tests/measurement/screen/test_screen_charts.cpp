// The test screen's charts when the algorithm library cannot be loaded for a count: the charts
// stay empty and their divider lines go back to where an empty chart has them, not where the
// previous sample's result put them.
#include "counted_sample.h"
#include "measurement/zentil_call.h"
#include "platform/ui/message_box.h"

using namespace measurement;

namespace {

class ScreenCharts : public CountedSampleTest {};

TEST_F(ScreenCharts, AnUncomputedCountShowsNoOtherSamplesLines) {
  CSampleTest screen(nullptr);
  // Lines of an empty chart (fL): WBC 4 lines, RBC and PLT 2 each.
  const std::vector<std::vector<double>> empty = {{15.0, 107.0, 147.0, 400.0}, {25.0, 250.0}, {2.0, 30.0}};
  std::vector<std::vector<double>> counted(3), uncomputed(3);
  std::string libraryNotice;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            for (int c = 0; c < 3; ++c)
                              for (size_t i = 0; i < empty[c].size(); ++i)
                                counted[c].push_back(LinePosition(s, screen, c, static_cast<int>(i)));
                            SetZentilLibraryPath(File("no-such-library.so"));
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return screen.hasResult() == 2 && screen.ready(); }, 30000));
                            libraryNotice = s.Text(IDC_MESSAGE);
                            for (int c = 0; c < 3; ++c)
                              for (size_t i = 0; i < empty[c].size(); ++i)
                                uncomputed[c].push_back(LinePosition(s, screen, c, static_cast<int>(i)));
                            Leave(s, screen);
                          }));
  EXPECT_EQ(libraryNotice, "Load Zentil.dll failed!");
  EXPECT_NE(counted, empty);  // the counted sample's lines are its own
  EXPECT_EQ(uncomputed, empty);
}

}  // namespace
