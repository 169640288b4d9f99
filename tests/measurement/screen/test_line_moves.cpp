// Divider lines on the test screen after a counted sample: a WBC line moved by the arrow
// button and key re-splits the differential on the screen, Enter writes it with the line into
// the sample's row; a low WBC or the setting switched off leaves the values alone.
#include <cstdlib>

#include "core/value_format.h"
#include "measurement/patient/line_adjust.h"
#include "measurement/result_globals.h"
#include "counted_sample.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"

using namespace measurement;

namespace {

const char* const kDiffColumns[6] = {"LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP"};

class LineMoves : public CountedSampleTest {
 protected:
  std::string Row(const std::string& column) {
    return Scalar("select " + column + " from Person where SampleNo='1' and TestDate='" + Today() + "'");
  }
  // The texts of the rows `first` .. `first + n - 1` of value, mark or indicator controls.
  static std::vector<std::string> Texts(ui::TestDriver& s, const int* ids, int first, int n) {
    std::vector<std::string> out;
    for (int i = first; i < first + n; ++i) out.push_back(s.Text(ids[i]));
    return out;
  }
};

TEST_F(LineMoves, WbcLineRecomputedShownAndSavedWithEnter) {
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  CSampleTest screen(nullptr);
  std::vector<std::string> before, storedBefore, shown, marks, indicators, expectShown, expectStored;
  std::vector<int> ink, inkNextCount;
  std::string box, markerBefore3;
  double start = 0, moved = 0;
  int chart = -2, line = -2, resultsWhileCounting = -1;
  float wbcLine = 0, lymPercent = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            before = Texts(s, kValueIds, 1, 6);
                            for (const char* c : kDiffColumns) storedBefore.push_back(Row(c));
                            markerBefore3 = Row("WMARKER3");
                            start = LinePosition(s, screen, 0, 1);
                            TouchLine(s, screen, 0, 1);
                            s.RunUntil([&] {
                              chart = screen.selectedChart();
                              line = screen.graph(0).GetSelectedMarker();
                              return true;
                            });
                            // Two presses of the button and one of the key, all to the right.
                            s.Press(IDC_RIGHT_ARROW);
                            s.Press(IDC_RIGHT_ARROW);
                            s.Key(ui::VK_RIGHT);
                            moved = LinePosition(s, screen, 0, 1);
                            shown = Texts(s, kValueIds, 1, 6);
                            marks = Texts(s, kMarkIds, 1, 6);
                            indicators = Texts(s, kIndicatorIds, 1, 6);
                            s.RunUntil([&] {
                              for (int k = 0; k < 6; ++k) {
                                expectShown.push_back(screen.lineAdjust().diffShown[k]);
                                expectStored.push_back(screen.lineAdjust().diffStored[k]);
                              }
                              return true;
                            });
                            Shot("line_move_wbc_right_en");
                            for (int k = 1; k <= 6; ++k) ink.push_back(InkIn(s, kValueIds[k]));
                            // Nothing is stored before Enter.
                            for (int k = 0; k < 6; ++k) EXPECT_EQ(Row(kDiffColumns[k]), storedBefore[k]);
                            s.Key(ui::VK_RETURN);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            box = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            s.RunUntil([&] {
                              wbcLine = MarkerPositions[1];
                              lymPercent = CurrentResult[4];
                              return true;
                            });
                            // The next count clears the adjusted values off the screen. The board
                            // takes its time over the count, as a real one does, so the screen is
                            // looked at while the count runs and before its result can be shown.
                            sim.SetCountDelay(1500);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.ready(); }, 3000));
                            for (int k = 1; k <= 6; ++k) inkNextCount.push_back(InkIn(s, kValueIds[k]));
                            s.RunUntil([&] {
                              resultsWhileCounting = screen.hasResult();
                              return true;
                            });
                            ASSERT_TRUE(s.RunUntil([&] { return screen.ready() && screen.hasResult() == 2; }, 15000));
                            Leave(s, screen);
                          }));
  EXPECT_EQ(chart, kChartWbc);
  EXPECT_EQ(line, 1);
  EXPECT_NEAR(moved, start + 3 * LineStep(kChartWbc), 1e-3);
  // The differential on the screen is the recomputed one, each value flagged as adjusted.
  EXPECT_EQ(shown, expectShown);
  EXPECT_EQ(indicators, std::vector<std::string>(6, "!"));
  EXPECT_NE(shown, before);
  // Every value is drawn, the changed ones and those between them.
  for (int k = 0; k < 6; ++k) EXPECT_GT(ink[k], 10) << "row " << k + 1;
  // The lymphocyte/mid divider moved right: more lymphocytes, and the percentages still add up.
  EXPECT_GT(std::atof(shown[3].c_str()), std::atof(before[3].c_str()));
  EXPECT_NEAR(std::atof(shown[3].c_str()) + std::atof(shown[4].c_str()) + std::atof(shown[5].c_str()), 100.0, 0.2);
  // Enter saved the six values and the moved line into the row and the current result.
  EXPECT_EQ(box, "WBC Data saved!");
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(Row(kDiffColumns[k]), expectStored[k]) << kDiffColumns[k];
    EXPECT_EQ(expectStored[k].substr(0, 1), "!");
  }
  EXPECT_EQ(Row("WMARKER2"), StrPrintf("%g", moved));
  EXPECT_EQ(Row("WMARKER3"), markerBefore3);
  EXPECT_NEAR(wbcLine, moved, 1e-3);
  EXPECT_NEAR(lymPercent, std::atof(shown[3].c_str()), 0.051);
  EXPECT_EQ(resultsWhileCounting, 1);
  EXPECT_EQ(inkNextCount, std::vector<int>(6, 0));
}

TEST_F(LineMoves, ValuesStayWhenTheWbcIsTooLowOrAdjustingIsOff) {
  const struct Case {
    const char* name;
    int setting;
    const char* wbcUnit;
    float wbcFactor;   // a factor of 0.2 brings the counted WBC of 7 near 1.4
    bool recomputes;
  } cases[] = {
      {"low WBC in 10^9/L is still adjusted", 1, "10^9/L", 0.2f, true},
      {"the same WBC in 10^3/uL, the same scale, is adjusted too", 1, "10^3/uL", 0.2f, true},
      {"adjusting switched off", 0, "10^9/L", 1.0f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    Sql(StrPrintf("update SysSetting set IsOpenAjustHistogram=%d", c.setting));
    Sql(std::string("update ParasUnit set WBC='") + c.wbcUnit + "'");
    Sql(StrPrintf("update CalibrationCoef set WBC=%g where BloodType=0", c.wbcFactor));
    CSampleTest screen(nullptr);
    std::vector<std::string> wbcBefore, wbcAfter, pltBefore, pltAfter, wbcMarks, pltMarks;
    std::string storedLym, storedPlt, box;
    double wbcStart = 0, wbcMoved = 0, pltStart = 0, pltMoved = 0;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              ASSERT_TRUE(CountOne(s, screen));
                              storedLym = Row("LYMA");
                              storedPlt = Row("PLT");
                              wbcBefore = Texts(s, kValueIds, 1, 6);
                              pltBefore = Texts(s, kValueIds, 15, 5);
                              wbcStart = LinePosition(s, screen, 0, 1);
                              TouchLine(s, screen, 0, 1);
                              s.Press(IDC_RIGHT_ARROW);
                              wbcMoved = LinePosition(s, screen, 0, 1);
                              wbcAfter = Texts(s, kValueIds, 1, 6);
                              wbcMarks = Texts(s, kIndicatorIds, 1, 6);
                              pltStart = LinePosition(s, screen, 2, 1);
                              TouchLine(s, screen, 2, 1);
                              s.Press(IDC_LEFT_ARROW);
                              pltMoved = LinePosition(s, screen, 2, 1);
                              pltAfter = Texts(s, kValueIds, 15, 5);
                              pltMarks = Texts(s, kIndicatorIds, 15, 5);
                              s.Key(ui::VK_RETURN);
                              if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 300)) {
                                box = s.MessageBoxText();
                                s.AnswerMessageBox(ui::IDOK);
                              }
                              Leave(s, screen);
                            }));
    // The lines move on the charts in every case.
    EXPECT_NEAR(wbcMoved, wbcStart + LineStep(kChartWbc), 1e-3);
    EXPECT_NEAR(pltMoved, pltStart - LineStep(kChartPlt), 1e-3);
    if (c.recomputes) {
      EXPECT_EQ(wbcMarks, std::vector<std::string>(6, "!"));
      EXPECT_EQ(pltMarks, std::vector<std::string>(5, "!"));
      EXPECT_EQ(box, "PLT Data saved!");
      EXPECT_EQ(Row("PLT").substr(0, 1), "!");
      EXPECT_EQ(Row("PMARKER2"), StrPrintf("%g", pltMoved));
    } else {
      EXPECT_EQ(wbcAfter, wbcBefore);
      EXPECT_EQ(pltAfter, pltBefore);
      EXPECT_EQ(wbcMarks, std::vector<std::string>(6, ""));
      EXPECT_EQ(pltMarks[1], "");
      EXPECT_EQ(box, "");
    }
    EXPECT_EQ(Row("LYMA"), storedLym);  // the WBC chart was not selected at Enter
    if (!c.recomputes) {
      EXPECT_EQ(Row("PLT"), storedPlt);
    }
  }
}

}  // namespace
