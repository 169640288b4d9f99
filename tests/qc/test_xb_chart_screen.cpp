// The X-B chart: 25 results to a chart screen, the cursor within its screen, the scroll bar to
// every result, targets and limits on the axis labels, a limit of 0.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "platform/ui/keys.h"
#include "qc/xb_qc_graph.h"
#include "qc_screen_fixture.h"

namespace {

class XbChartScreen : public QcScreenTest {
 protected:
  void SetUpPoints(int n) {
    Sql("delete from XBQCSet");
    std::string cols = "20,1,5.0,0.5";
    for (int i = 1; i < 20; ++i) cols += ",0,0";
    for (int i = 0; i < 20; ++i) cols += ",1";
    Sql("insert into XBQCSet values(" + cols + ")");
    std::string sql = "insert into XBQCRunResult(TestDate,TestTime,WBC,RBC) values";
    for (int i = 1; i <= n; ++i)
      sql += StrPrintf("%s('2026-04-%.2d','08:%.2d:00',%g,%d)", i > 1 ? "," : "", 1 + i / 30, i % 60, 4.0 + i / 50.0,
                       i == 2 ? -2 : 4);
    Sql(sql);
  }
  void ClickScrollRight(ui::TestDriver& s) {
    ui::Point p;
    s.RunUntil([&] {
      ui::Window* bar = s.Find(qc::IDC_XBG_SCROLL);
      const ui::Rect r = bar->GetClientRect();
      p = bar->ClientToScreen(ui::Point(r.right - 3, r.bottom / 2));
      return true;
    });
    s.ClickAt(p);
  }
};

TEST_F(XbChartScreen, ScreensOfTwentyFiveAndTheCursorWithinThem) {
  SetUpPoints(60);
  qc::CXBQCGraph screen(nullptr);
  std::string pos1, axisHigh, axisMid, axisLow, rbc2, wbc2, pos25, posStop, pos26, posLast, posLastStop, down;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            pos1 = s.Text(qc::IDC_XBG_POSITION);
                            axisHigh = s.Text(qc::kXbAxisLabelIds[0][0]);
                            axisMid = s.Text(qc::kXbAxisLabelIds[0][1]);
                            axisLow = s.Text(qc::kXbAxisLabelIds[0][2]);
                            s.Key(ui::VK_RIGHT);
                            rbc2 = s.Text(qc::IDC_XBG_VALUE0 + 1);
                            wbc2 = s.Text(qc::IDC_XBG_VALUE0);
                            for (int i = 2; i < 25; ++i) s.Press(qc::IDC_XBG_RIGHT);
                            pos25 = s.Text(qc::IDC_XBG_POSITION);
                            s.Press(qc::IDC_XBG_RIGHT);
                            posStop = s.Text(qc::IDC_XBG_POSITION);
                            ClickScrollRight(s);
                            pos26 = s.Text(qc::IDC_XBG_POSITION);
                            ClickScrollRight(s);
                            for (int i = 0; i < 12; ++i) s.Press(qc::IDC_XBG_RIGHT);
                            posLast = s.Text(qc::IDC_XBG_POSITION);
                            ClickScrollRight(s);  // no fourth screen for 60 results
                            posLastStop = s.Text(qc::IDC_XBG_POSITION);
                            s.Key(ui::VK_DOWN);
                            down = s.Text(qc::IDC_XBG_NAME0);
                            Shot("xb_chart_en");
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(pos1, "1/60");
  EXPECT_EQ(axisHigh, "5.5");
  EXPECT_EQ(axisMid, "5");
  EXPECT_EQ(axisLow, "4.5");
  EXPECT_EQ(rbc2, "");  // -2: outside X-B
  EXPECT_EQ(wbc2, "4.04");
  EXPECT_EQ(pos25, "25/60");
  EXPECT_EQ(posStop, "25/60");
  EXPECT_EQ(pos26, "26/60");
  EXPECT_EQ(posLast, "60/60");
  EXPECT_EQ(posLastStop, "60/60");
  EXPECT_EQ(down, "LYM#");
}

}  // namespace

namespace {

// The cursor read-outs (value, time, position) are opaque and redrawn at each move.
TEST_F(XbChartScreen, CursorReadOutsAreOpaqueAndRedrawnAfterEachMove) {
  SetUpPoints(30);
  qc::CXBQCGraph screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            for (int id : {qc::IDC_XBG_VALUE0, qc::IDC_XBG_TIME, qc::IDC_XBG_POSITION})
                              ExpectOpaqueReadOut(
                                  s, &screen, id, [&] { s.Press(qc::IDC_XBG_RIGHT); },
                                  [&] { s.Press(qc::IDC_XBG_LEFT); }, "label " + std::to_string(id));
                            s.Press(ui::IDCANCEL);
                          }));
}

TEST_F(XbChartScreen, ScreenshotsInTheFiveLanguages) {
  SetUpPoints(30);
  const char* titles[5] = {"X-B质控图", "X-B QC Graph", "Grafico X-B", "Courbes X-B", "X-B діаграма"};
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    qc::CXBQCGraph screen(nullptr);
    std::string title;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              title = s.TopWindow()->GetWindowText();
                              Shot(std::string("xb_chart_") + kLanguageNames[lang]);
                              s.Press(ui::IDCANCEL);
                            }));
    EXPECT_EQ(title, titles[lang]);
  }
}

}  // namespace
