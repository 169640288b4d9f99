// X-B points come from real sample counts: with X-B QC on, each counted sample of the test
// screen (over the board simulator) becomes a point that the X-B list shows.
#include <gtest/gtest.h>

#include "analyzer/sequences/process_values.h"
#include "core/value_format.h"
#include "measurement/screen/sample_test_screen.h"
#include "qc/xb_qc_list.h"
#include "qc_screen_fixture.h"

namespace {

class XbFromCounts : public QcScreenTest {};

TEST_F(XbFromCounts, CountedSamplesBecomeXbPoints) {
  analyzer::SampleCounters = {};
  Sql("delete from XBQCSet");
  std::string cols = "20,1,7.5,1";
  for (int i = 1; i < 20; ++i) cols += ",0,0";
  for (int i = 0; i < 20; ++i) cols += ",1";
  Sql("insert into XBQCSet values(" + cols + ")");
  {
    measurement::CSampleTest screen(nullptr);
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(s.RunUntil([&] { return screen.ready() && screen.cycle().sampleMode(); }, 5000));
                              for (int i = 0; i < 2; ++i) {
                                const int before = screen.hasResult();
                                sim_->PressCountKey();
                                ASSERT_TRUE(s.RunUntil(
                                    [&] {
                                      if (s.MessageBox()) s.AnswerMessageBox(ui::IDOK);
                                      return screen.hasResult() > before && screen.ready() &&
                                             screen.cycle().state() == measurement::CycleState::Idle;
                                    },
                                    15000));
                                s.Advance(1000);
                              }
                              s.Press(measurement::IDC_EXIT);
                              s.Advance(1600);
                              s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                            }));
  }
  ASSERT_EQ(Scalar("select count(*) from XBQCRunResult"), "2");
  qc::CXBQCList list(nullptr);
  std::string wbc1, wbc2, none;
  ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                          [&](ui::TestDriver& s) {
                            wbc1 = list.grid().GetItemText(3, 3);
                            wbc2 = list.grid().GetItemText(3, 4);
                            none = list.grid().GetItemText(3, 5);
                            s.Press(ui::IDCANCEL);
                          }));
  // The simulator's normal blood: WBC near 7.5.
  EXPECT_NEAR(std::atof(wbc1.c_str()), 7.5, 1.0);
  EXPECT_NEAR(std::atof(wbc2.c_str()), 7.5, 1.0);
  EXPECT_EQ(none, "");
}

}  // namespace
