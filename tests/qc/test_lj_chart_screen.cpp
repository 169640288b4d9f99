// The L-J chart screen over more runs than one chart screen holds: what the labels show at the
// cursor, the cursor's bounds on each chart screen, the scroll bar reaching every run, the pages
// of parameters, and the screen in the five languages.
#include <gtest/gtest.h>

#include <cmath>

#include "core/value_format.h"
#include "platform/ui/keys.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_qc_graph.h"
#include "qc_screen_fixture.h"

namespace {

using qc::CLJQCGraph;

class LjChartScreen : public QcScreenTest {
 protected:
  // File 7: WBC target 10, SD 2; RBC target 4.5, SD 0 (no SD: never judged, but still drawn).
  // 60 runs, WBC of run i (1-based) = i / 4 (0.25 .. 15); run 3 has no WBC value.
  void SetUpRuns() {
    std::string v = "10,2,0,0,0,0,0,0,0,0,0,0,0,0,4.5,0";
    for (int i = 8; i < 20; ++i) v += ",0,0";
    std::string q;
    for (int i = 1; i <= 20; ++i) q += ",1";
    Sql("insert into LJQCSet values(7,'LOT-7','2030-05-06'," + v + ",0,0,0,0" + q + ")");
    for (int i = 1; i <= 60; ++i)
      Sql(StrPrintf("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC,RBC) values(7,'2026-11-%.2d','09:%.2d:00',%g,4.5)",
                    1 + i / 10, i % 60, i == 3 ? -1.0 : i / 4.0));
  }
  void ClickScrollRight(ui::TestDriver& s) {
    ui::Point p;
    s.RunUntil([&] {
      ui::Window* bar = s.Find(qc::IDC_LJG_SCROLL);
      const ui::Rect r = bar->GetClientRect();
      p = bar->ClientToScreen(ui::Point(r.right - 3, r.bottom / 2));
      return true;
    });
    s.ClickAt(p);
  }
};

TEST_F(LjChartScreen, LabelsCursorAndScreensBeyondFiftyFiveRuns) {
  SetUpRuns();
  qc::LjQcChartFileNo = 7;
  CLJQCGraph screen(nullptr);
  struct Seen {
    std::string seq, time, wbc, rbc, mean, sd, cv;
  };
  Seen open, third, last1, stop1, screen2, left2, right2;
  std::string name1Down, name4Down, axisHighDown, name1Up;
  bool endedByKeys = true;
  auto seen = [](ui::TestDriver& s) {
    return Seen{s.Text(qc::IDC_LJG_SEQ),        s.Text(qc::IDC_LJG_TIME),     s.Text(qc::IDC_LJG_VALUE0),
                s.Text(qc::IDC_LJG_VALUE0 + 1), s.Text(qc::IDC_LJG_MEAN0), s.Text(qc::IDC_LJG_SD0),
                s.Text(qc::IDC_LJG_CV0)};
  };
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            open = seen(s);
                            s.Press(qc::IDC_LJG_RIGHT);
                            s.Key(ui::VK_RIGHT);
                            third = seen(s);
                            for (int i = 3; i < 55; ++i) s.Press(qc::IDC_LJG_RIGHT);
                            last1 = seen(s);
                            s.Press(qc::IDC_LJG_RIGHT);  // run 56 lies on the next chart screen
                            stop1 = seen(s);
                            ClickScrollRight(s);
                            screen2 = seen(s);
                            s.Press(qc::IDC_LJG_LEFT);
                            left2 = seen(s);
                            for (int i = 0; i < 10; ++i) s.Press(qc::IDC_LJG_RIGHT);
                            right2 = seen(s);
                            s.Key(ui::VK_RETURN);
                            s.Key(ui::VK_ESCAPE);
                            endedByKeys = screen.IsEnded();
                            s.Press(qc::IDC_LJG_UP);  // already the first page
                            name1Up = s.Text(qc::IDC_LJG_NAME0);
                            s.Press(qc::IDC_LJG_DOWN);
                            name1Down = s.Text(qc::IDC_LJG_NAME0);
                            name4Down = s.Text(qc::IDC_LJG_NAME0 + 3);
                            axisHighDown = s.Text(qc::IDC_LJG_AXIS_HIGH0);
                            s.Press(ui::IDCANCEL);
                          }));
  // WBC over the 59 runs with a value: the sum of i / 4 for i = 1..60 without i = 3.
  double sum = 0, n = 0;
  for (int i = 1; i <= 60; ++i)
    if (i != 3) sum += i / 4.0, ++n;
  const double mean = sum / n;
  double sq = 0;
  for (int i = 1; i <= 60; ++i)
    if (i != 3) sq += (i / 4.0 - mean) * (i / 4.0 - mean);
  const double sd = std::sqrt(sq / (n - 1));
  auto r2 = [](double x) { return std::floor(x * 100 + 0.5) / 100; };
  EXPECT_EQ(open.seq, "1");
  EXPECT_EQ(open.time, "2026-11-01 09:01:00");
  EXPECT_EQ(open.wbc, "0.25");
  EXPECT_EQ(open.rbc, "4.5");
  EXPECT_EQ(open.mean, StrPrintf("%g", r2(mean)));
  EXPECT_EQ(open.sd, StrPrintf("%g", static_cast<double>(static_cast<float>(r2(sd)))));
  EXPECT_EQ(open.cv, StrPrintf("%g", static_cast<double>(static_cast<float>(r2(sd / mean * 100)))));
  EXPECT_EQ(third.seq, "3");
  EXPECT_EQ(third.wbc, "");  // run 3 has no WBC value
  EXPECT_EQ(third.rbc, "4.5");
  EXPECT_EQ(last1.seq, "55");
  EXPECT_EQ(last1.wbc, "13.75");
  EXPECT_EQ(stop1.seq, "55");
  EXPECT_EQ(screen2.seq, "56");
  EXPECT_EQ(screen2.wbc, "14");
  EXPECT_EQ(screen2.time, "2026-11-06 09:56:00");
  EXPECT_EQ(left2.seq, "56");
  EXPECT_EQ(right2.seq, "60");
  EXPECT_EQ(right2.wbc, "15");
  EXPECT_FALSE(endedByKeys);
  EXPECT_EQ(name1Up, "WBC");
  EXPECT_EQ(name1Down, "LYM#");
  EXPECT_EQ(name4Down, "LYM%");
  EXPECT_EQ(axisHighDown, "0");
}

TEST_F(LjChartScreen, EveryRunHasAChartScreenAndTheCursorLinesUpWithThePoints) {
  // 600 runs: eleven chart screens, the last holding runs 551..600.
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV) values(8,'L','2030-01-01',5,1)");
  std::string sql = "insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values";
  for (int i = 1; i <= 600; ++i)
    sql += StrPrintf("%s(8,'2026-10-01','%.2d:%.2d:%.2d',%d)", i > 1 ? "," : "", i / 3600, (i / 60) % 60, i % 60, i % 9);
  Sql(sql);
  qc::LjQcChartFileNo = 8;
  CLJQCGraph screen(nullptr);
  std::string seq, wbc;
  int stepsToCursor = -1, step = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.RunUntil([&] {
                              screen.ShowScreen(11);
                              return true;
                            });
                            for (int i = 0; i < 4; ++i) s.Press(qc::IDC_LJG_RIGHT);
                            seq = s.Text(qc::IDC_LJG_SEQ);
                            wbc = s.Text(qc::IDC_LJG_VALUE0);
                            s.RunUntil([&] {
                              COScopeCtrl& c = screen.chart(0);
                              step = c.xStep;
                              stepsToCursor = c.xStep > 0 ? (c.CursorX() - c.PlotRect().left) / c.xStep : -1;
                              return true;
                            });
                            Shot("lj_chart_last_screen_en");
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(seq, "555");
  EXPECT_EQ(wbc, StrPrintf("%d", 555 % 9));
  EXPECT_GT(step, 0);
  EXPECT_EQ(stepsToCursor, 4);  // the fifth run of the screen, at the fifth step
}

// The cursor read-outs (value, time, sequence number) are opaque and redrawn at each move: one
// step right and back leaves the first run's texts as they were, with no trace of the second's.
TEST_F(LjChartScreen, CursorReadOutsAreOpaqueAndRedrawnAfterEachMove) {
  SetUpRuns();
  qc::LjQcChartFileNo = 7;
  CLJQCGraph screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            for (int id : {qc::IDC_LJG_VALUE0, qc::IDC_LJG_TIME, qc::IDC_LJG_SEQ})
                              ExpectOpaqueReadOut(
                                  s, &screen, id, [&] { s.Press(qc::IDC_LJG_RIGHT); },
                                  [&] { s.Press(qc::IDC_LJG_LEFT); }, "label " + std::to_string(id));
                            s.Press(ui::IDCANCEL);
                          }));
}

TEST_F(LjChartScreen, ScreenshotsInTheFiveLanguages) {
  SetUpRuns();
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    qc::LjQcChartFileNo = 7;
    CLJQCGraph screen(nullptr);
    std::string lotCaption;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              lotCaption = s.Text(1601);
                              Shot(std::string("lj_chart_") + kLanguageNames[lang]);
                              s.Press(ui::IDCANCEL);
                            }));
    const char* lots[5] = {"批号:", "Lot:", "Lote:", "Lot:", "Група №:"};
    EXPECT_EQ(lotCaption, lots[lang]) << lang;
  }
}

}  // namespace
