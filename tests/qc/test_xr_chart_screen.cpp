// The X-R chart screen on a complete and on an incomplete file.
#include <gtest/gtest.h>

#include "platform/ui/keys.h"
#include "qc/lj_chart_data.h"
#include "qc/xr_qc_graph.h"
#include "qc_screen_fixture.h"

namespace {

class XrChartScreen : public QcScreenTest {
 protected:
  void AddResult(int file, const std::string& date, const std::string& time, double wbc) {
    Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC,RBC) values(" + std::to_string(file) + ",'" + date +
        "','" + time + "'," + std::to_string(wbc) + ",-2)");
  }
};

TEST_F(XrChartScreen, LimitsCursorAndPagesOfACompleteFile) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(2,'XR-2','2030-01-01',2,2)");
  AddResult(2, "2026-03-01", "08:00:00", 1);
  AddResult(2, "2026-03-01", "09:00:00", 3);
  AddResult(2, "2026-03-02", "08:00:00", 2);
  AddResult(2, "2026-03-02", "09:00:00", 2);
  qc::XrQcFileNo = 2;
  qc::CXRQCGraph screen(nullptr);
  std::string xTop, xMid, xLow, rTop, rMid, rLow, mean1, range1, rbcMean, pos1, range2, pos2, posStop, upperDown, posDown;
  bool open = true;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            xTop = s.Text(qc::kXrAxisLabelIds[0][0]);
                            xMid = s.Text(qc::kXrAxisLabelIds[0][1]);
                            xLow = s.Text(qc::kXrAxisLabelIds[0][2]);
                            rTop = s.Text(qc::kXrAxisLabelIds[1][0]);
                            rMid = s.Text(qc::kXrAxisLabelIds[1][1]);
                            rLow = s.Text(qc::kXrAxisLabelIds[1][2]);
                            mean1 = s.Text(qc::IDC_XRG_CURSOR0);
                            range1 = s.Text(qc::IDC_XRG_CURSOR0 + 1);
                            rbcMean = s.Text(qc::IDC_XRG_CURSOR0 + 2);
                            pos1 = s.Text(qc::IDC_XRG_POSITION);
                            Shot("xr_chart_en");
                            s.Press(qc::IDC_XRG_RIGHT);
                            range2 = s.Text(qc::IDC_XRG_CURSOR0 + 1);
                            pos2 = s.Text(qc::IDC_XRG_POSITION);
                            s.Key(ui::VK_RIGHT);
                            posStop = s.Text(qc::IDC_XRG_POSITION);
                            s.Key(ui::VK_RETURN);
                            open = !screen.IsEnded();
                            s.Press(qc::IDC_XRG_DOWN);
                            upperDown = s.Text(qc::IDC_XRG_NAME_UPPER);
                            posDown = s.Text(qc::IDC_XRG_POSITION);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_TRUE(screen.complete());
  // Means 2 and 2, ranges 2 and 0: X limits 2 +- 1.88, R limits 3.267 and 0.
  EXPECT_EQ(xTop, "3.88");
  EXPECT_EQ(xMid, "2");
  EXPECT_EQ(xLow, "0.12");
  EXPECT_EQ(rTop, "3.27");
  EXPECT_EQ(rMid, "1");
  EXPECT_EQ(rLow, "0");
  EXPECT_EQ(mean1, "2.00");
  EXPECT_EQ(range1, "2.00");
  EXPECT_EQ(rbcMean, "");  // RBC was never under QC
  EXPECT_EQ(pos1, "1/2");
  EXPECT_EQ(range2, "0.00");
  EXPECT_EQ(pos2, "2/2");
  EXPECT_EQ(posStop, "2/2");
  EXPECT_TRUE(open);
  EXPECT_EQ(upperDown, "HGB");
  EXPECT_EQ(posDown, "1/2");
}

// The cursor read-outs are opaque and redrawn at each move: going to group 2 and back leaves
// group 1's texts as they were, with no trace of group 2's.
TEST_F(XrChartScreen, CursorReadOutsAreOpaqueAndRedrawnAfterEachMove) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(2,'XR-2','2030-01-01',2,2)");
  AddResult(2, "2026-03-01", "08:00:00", 1);
  AddResult(2, "2026-03-01", "09:00:00", 3);
  AddResult(2, "2026-03-02", "08:00:00", 4);
  AddResult(2, "2026-03-02", "09:00:00", 7);
  qc::XrQcFileNo = 2;
  qc::CXRQCGraph screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            for (int id : {qc::IDC_XRG_CURSOR0, qc::IDC_XRG_CURSOR0 + 1, qc::IDC_XRG_POSITION})
                              ExpectOpaqueReadOut(
                                  s, &screen, id, [&] { s.Press(qc::IDC_XRG_RIGHT); },
                                  [&] { s.Press(qc::IDC_XRG_LEFT); }, "label " + std::to_string(id));
                            s.Press(ui::IDCANCEL);
                          }));
}

// Groups short of a usable value (-1: invalid) stay out of the statistics; the count beside the
// cursor position says how many, per shown parameter, in each language. A parameter that was never
// under QC (-2 throughout) has no chart and is not named.
TEST_F(XrChartScreen, CountNamesTheGroupsLeftOutOfTheStatistics) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(4,'XR-4','2030-01-01',3,2)");
  // WBC, RBC, HGB, PLT of six results in three groups of two.
  const double rows[6][4] = {{1, 5, 1, -2}, {3, 5, 1, -2}, {2, -1, 1, -2}, {-1, 6, 1, -2}, {4, 7, 1, -2}, {4, -1, -1, -2}};
  for (int i = 0; i < 6; ++i)
    Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC,RBC,HGB,PLT) values(4,'2026-03-0" +
        std::to_string(1 + i / 2) + "','0" + std::to_string(8 + i % 2) + ":00:00'," + std::to_string(rows[i][0]) + "," +
        std::to_string(rows[i][1]) + "," + std::to_string(rows[i][2]) + "," + std::to_string(rows[i][3]) + ")");
  // WBC leaves out group 2, RBC groups 2 and 3, HGB group 3; PLT is not under QC.
  struct Case {
    const char* lang;
    const char* first;
    const char* second;
  };
  const Case cases[5] = {
      {"zh", "1/3 (未计入: WBC 1, RBC 2)", "1/3 (未计入: HGB 1)"},
      {"en", "1/3 (left out: WBC 1, RBC 2)", "1/3 (left out: HGB 1)"},
      {"es", "1/3 (excluidos: WBC 1, RBC 2)", "1/3 (excluidos: HGB 1)"},
      {"fr", "1/3 (exclus: WBC 1, RBC 2)", "1/3 (exclus: HGB 1)"},
      {"ua", "1/3 (виключено: WBC 1, RBC 2)", "1/3 (виключено: HGB 1)"},
  };
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    qc::XrQcFileNo = 4;
    qc::CXRQCGraph screen(nullptr);
    std::string first, onLeftOut, second, secondMoved, wbcMid;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              first = s.Text(qc::IDC_XRG_POSITION);
                              Shot(std::string("xr_chart_left_out_") + kLanguageNames[lang]);
                              wbcMid = s.Text(qc::kXrAxisLabelIds[0][1]);
                              s.Press(qc::IDC_XRG_RIGHT);
                              onLeftOut = s.Text(qc::IDC_XRG_CURSOR0);
                              s.Press(qc::IDC_XRG_DOWN);
                              second = s.Text(qc::IDC_XRG_POSITION);
                              s.Press(qc::IDC_XRG_RIGHT);
                              secondMoved = s.Text(qc::IDC_XRG_POSITION);
                              s.Press(ui::IDCANCEL);
                            }));
    EXPECT_EQ(first, cases[lang].first) << cases[lang].lang;
    EXPECT_EQ(second, cases[lang].second) << cases[lang].lang;
    EXPECT_EQ(secondMoved, std::string(cases[lang].second).replace(0, 1, "2")) << cases[lang].lang;
    // WBC rests on groups 1 (mean 2) and 3 (mean 4): grand mean 3; group 2 shows no mean.
    EXPECT_EQ(wbcMid, "3") << cases[lang].lang;
    EXPECT_EQ(onLeftOut, "") << cases[lang].lang;
  }
}

TEST_F(XrChartScreen, AnIncompleteFileShowsNothingButNames) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(3,'XR-3','2030-01-01',2,2)");
  AddResult(3, "2026-03-01", "08:00:00", 1);
  qc::XrQcFileNo = 3;
  qc::CXRQCGraph screen(nullptr);
  std::string xTop, mean, pos, lower;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::IDC_XRG_RIGHT);
                            xTop = s.Text(qc::kXrAxisLabelIds[0][0]);
                            mean = s.Text(qc::IDC_XRG_CURSOR0);
                            pos = s.Text(qc::IDC_XRG_POSITION);
                            s.Press(qc::IDC_XRG_DOWN);
                            lower = s.Text(qc::IDC_XRG_NAME_LOWER);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_FALSE(screen.complete());
  EXPECT_EQ(xTop, "0");
  EXPECT_EQ(mean, "");
  EXPECT_EQ(pos, "");
  EXPECT_EQ(lower, "PLT");
}

}  // namespace

namespace {

TEST_F(XrChartScreen, ScreenshotsInTheFiveLanguages) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(2,'XR-2','2030-01-01',2,2)");
  AddResult(2, "2026-03-01", "08:00:00", 1);
  AddResult(2, "2026-03-01", "09:00:00", 3);
  AddResult(2, "2026-03-02", "08:00:00", 2);
  AddResult(2, "2026-03-02", "09:00:00", 2);
  const char* captions[5] = {"X图", "X Graph", "Grafico X", "Courbes X", "X графік"};
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    qc::XrQcFileNo = 2;
    qc::CXRQCGraph screen(nullptr);
    std::string caption;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              caption = s.Text(1649);
                              Shot(std::string("xr_chart_") + kLanguageNames[lang]);
                              s.Press(ui::IDCANCEL);
                            }));
    EXPECT_EQ(caption, captions[lang]);
  }
}

}  // namespace
