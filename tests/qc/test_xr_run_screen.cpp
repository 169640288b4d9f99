// The X-R run screen over the board simulator: a result stored with every parameter until the
// file holds its groups, then the key press refused; a file without settings.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "qc/xr_qc_run.h"
#include "qc_screen_fixture.h"

namespace {

using qc::CXRQCRun;

class XrRunScreen : public QcScreenTest {
 protected:
  bool WaitReady(ui::TestDriver& s, CXRQCRun& screen) {
    return s.RunUntil([&] { return screen.cycle().ready() && screen.cycle().sampleMode(); }, 5000);
  }
  void Leave(ui::TestDriver& s, CXRQCRun& screen) {
    s.Press(ui::IDCANCEL);
    s.Advance(600);
    s.RunUntil([&] { return screen.IsEnded(); }, 3000);
  }
};

TEST_F(XrRunScreen, TheLastPlaceFillsTheFileAndTheNextKeyIsRefused) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(2,'XR','2099-01-01',2,3)");
  for (int i = 1; i <= 5; ++i)
    Sql(StrPrintf("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(2,'2026-01-01','08:0%d:00',7)", i));
  CXRQCRun screen(nullptr);
  screen.QcFileNo = 2;
  std::vector<std::string> afterRun, atFull;
  std::string heading, wbc, lym;
  size_t startsBefore = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim_->PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000));
                            afterRun = DrainBoxes(s, 1000);
                            s.RunUntil([&] { return screen.cycle().ready() && screen.cycle().state() == measurement::CycleState::Idle; }, 5000);
                            heading = screen.grid().GetItemText(0, 1);
                            wbc = screen.grid().GetItemText(3, 1);
                            lym = screen.grid().GetItemText(4, 1);
                            const std::vector<std::string> frames = Received();
                            startsBefore = std::count(frames.begin(), frames.end(), "AA 01");
                            sim_->PressCountKey();
                            atFull = DrainBoxes(s, 2000);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(afterRun, (std::vector<std::string>{"QC number has reached the max value"}));
  EXPECT_EQ(atFull, (std::vector<std::string>{
                        "QC number has reached the max value,if you want to continue with test, please delete records in the QC list!"}));
  EXPECT_EQ(heading, "1");
  EXPECT_NEAR(std::atof(wbc.c_str()), 7.5, 0.9);
  EXPECT_FALSE(lym.empty());  // every parameter is shown
  EXPECT_EQ(screen.storedCount(), 6);
  const std::vector<std::string> frames = Received();
  EXPECT_EQ(static_cast<size_t>(std::count(frames.begin(), frames.end(), "AA 01")), startsBefore);
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=2"), "6");
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=2 and TestDate='" + Today() +
                   "' and LYMA>=0 and MCV>0 and PLT>0 and WBCUnit='10^9/L' and PCTUnit='%'"),
            "1");
}

TEST_F(XrRunScreen, AFileWithoutSettingsAsksForTheMaterial) {
  CXRQCRun screen(nullptr);
  screen.QcFileNo = 9;
  std::vector<std::string> texts;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim_->PressCountKey();
                            texts = DrainBoxes(s, 2000);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(texts, (std::vector<std::string>{"Please set QC material first!"}));
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult"), "0");
}

}  // namespace
