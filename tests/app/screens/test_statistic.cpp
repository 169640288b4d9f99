#include <gtest/gtest.h>

#include <cstdlib>

#include "analyzer/sequences/process_values.h"
#include "app/screens/statistic_dlg.h"
#include "controls/message_box_dlg.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"
#include "tests/support/screen_pixels.h"

namespace {

TEST(StatisticTexts, TimeTexts) {
  EXPECT_EQ(RunningTimeText(125, 1), "2 Hours 5 Minutes");
  EXPECT_EQ(RunningTimeText(3125, 1), "52 Hours 5 Minutes");
  EXPECT_EQ(RunningTimeText(125, 0), "2小时5分钟");
  EXPECT_EQ(RunningTimeText(59, 2), "0 Horas 59 Minutos");
  EXPECT_EQ(RunningTimeText(60, 3), "1 Heures 0 Minutes");
  EXPECT_EQ(RunningTimeText(61, 4), "1 Години 1 Хвилини");
  EXPECT_EQ(ZeroTimeText(1), "0 Hour 0 Minute");
  EXPECT_EQ(ZeroTimeText(3), "0 Heure 0 Minute");
}

class StatisticTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    Sql("delete from Statistic");
    Sql("insert into Statistic (TotalTime, SampleCountToday, SampleCountAll, DateToday) values (3000, 7, 900, '2026-1-5')");
    analyzer::SampleCounters = {7, 900, 125};
  }
};

TEST_F(StatisticTest, ShowsTheFiguresAndResetsAtLevelOneAndAbove) {
  AppSettings.UserLevel = 1;
  CStatistic stat;
  bool ok = d.RunScript([&] { stat.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_STAT_RUNNING), "2 Hours 5 Minutes");
    EXPECT_EQ(s.Text(IDC_STAT_TOTAL_TIME), "52 Hours 5 Minutes");
    EXPECT_EQ(s.Text(IDC_STAT_TODAY), "7");
    EXPECT_EQ(s.Text(IDC_STAT_ALL), "900");
    EXPECT_TRUE(s.Enabled(IDC_STAT_RESET));
    s.Key(ui::VK_ESCAPE);
    s.Key(ui::VK_RETURN);
    EXPECT_FALSE(stat.IsEnded());
    s.Press(IDC_STAT_RESET);
    EXPECT_EQ(s.Text(IDC_STAT_RUNNING), "0 Hour 0 Minute");
    EXPECT_EQ(s.Text(IDC_STAT_TOTAL_TIME), "0 Hour 0 Minute");
    EXPECT_EQ(s.Text(IDC_STAT_ALL), "0");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(Scalar("select TotalTime || ',' || SampleCountToday || ',' || SampleCountAll || ',' || DateToday from Statistic"),
            "0,0,0,2026-1-5");
  EXPECT_EQ(analyzer::SampleCounters.RunningMinutes, 0);
  EXPECT_EQ(analyzer::SampleCounters.SampleCountAll, 0);
}

// A stop-use that did not switch the PC off has already added 25 of this run's 125 minutes to
// the stored total: the total shows 3000 + 100 minutes, and a reset starts both counts afresh.
TEST_F(StatisticTest, MinutesOfThisRunAlreadySavedAreNotCountedTwice) {
  analyzer::SampleCounters.RunningMinutesSaved = 25;
  AppSettings.UserLevel = 1;
  CStatistic stat;
  bool ok = d.RunScript([&] { stat.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_STAT_RUNNING), "2 Hours 5 Minutes");
    EXPECT_EQ(s.Text(IDC_STAT_TOTAL_TIME), "51 Hours 40 Minutes");
    s.Press(IDC_STAT_RESET);
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(analyzer::SampleCounters.RunningMinutes, 0);
  EXPECT_EQ(analyzer::SampleCounters.RunningMinutesSaved, 0);
}

TEST_F(StatisticTest, GeneralUserCannotResetAndAnEmptyTableCountsAsZero) {
  Sql("delete from Statistic");
  CStatistic stat;
  bool ok = d.RunScript([&] { stat.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_FALSE(s.Enabled(IDC_STAT_RESET));
    EXPECT_EQ(s.Text(IDC_STAT_TOTAL_TIME), "2 Hours 5 Minutes");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
}

TEST_F(StatisticTest, ARefusedResetLeavesTheFigures) {
  AppSettings.UserLevel = 2;
  CStatistic stat;
  bool ok = d.RunScript([&] { stat.DoModal(); }, [&](ui::TestDriver& s) {
    Sql("drop table Statistic");
    s.Press(IDC_STAT_RESET);
    while (s.MessageBox()) s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    EXPECT_EQ(s.Text(IDC_STAT_RUNNING), "2 Hours 5 Minutes");
    EXPECT_EQ(s.Text(IDC_STAT_ALL), "900");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(analyzer::SampleCounters.RunningMinutes, 125);
  EXPECT_EQ(analyzer::SampleCounters.SampleCountAll, 900);
}

// The rails run beside Reset and Exit over the outer frame's panel (their blue centre line is
// in each strip); 5 pixels in from each edge lies the screens' grey, not the framework's dialog
// colour; each figure stands on the line of its label (first row of text pixels within one) and
// on the band of the inner frame that has its box's grey.
TEST_F(StatisticTest, RailsPlainEdgesAndFiguresOnTheLineOfTheirLabels) {
  CStatistic stat;
  EXPECT_TRUE(d.RunScript([&] { stat.DoModal(); }, [&](ui::TestDriver& s) {
    const draw::Bitmap shot = s.Screen();
    const ui::Rect g = support::ControlScreenRect(&stat, IDC_STAT_OUTER);
    const ui::Rect l = support::ControlScreenRect(&stat, IDC_STAT_RESET);
    const ui::Rect r = support::ControlScreenRect(&stat, ui::IDOK);
    const draw::Color railLine = draw::RGB(0, 76, 120);
    EXPECT_TRUE(support::ColumnHolds(shot, (g.left + l.left) / 2, l.top, l.bottom, railLine));
    EXPECT_TRUE(support::ColumnHolds(shot, (r.right + g.right - 2) / 2, r.top, r.bottom, railLine));
    const ui::Rect w = stat.GetWindowRect();
    const draw::Color grey = draw::RGB(205, 213, 215);
    const int midX = (w.left + w.right) / 2, midY = (w.top + w.bottom) / 2;
    EXPECT_EQ(shot.GetPixel(w.left + 5, midY), grey);
    EXPECT_EQ(shot.GetPixel(w.right - 6, midY), grey);
    EXPECT_EQ(shot.GetPixel(midX, w.top + 5), grey);
    EXPECT_EQ(shot.GetPixel(midX, w.bottom - 6), grey);
    const int rows[4][2] = {{1672, IDC_STAT_RUNNING}, {1673, IDC_STAT_TOTAL_TIME}, {1674, IDC_STAT_TODAY}, {1675, IDC_STAT_ALL}};
    for (const auto& row : rows) {
      const int label = support::FindInkRows(shot, support::ControlScreenRect(&stat, row[0])).first;
      const int value = support::FindInkRows(shot, support::ControlScreenRect(&stat, row[1])).first;
      ASSERT_GE(label, 0) << row[0];
      ASSERT_GE(value, 0) << row[1];
      EXPECT_LE(std::abs(value - label), 1) << row[0] << ": value " << value << " label " << label;
    }
    // The inner frame's four bands lie behind the four rows: beside each value box the band has
    // the box's own grey (light, dark, light, dark; the band's light grey is one red step lighter).
    const draw::Color boxes[4] = {draw::RGB(205, 213, 215), draw::RGB(190, 198, 201), draw::RGB(205, 213, 215),
                                  draw::RGB(190, 198, 201)};
    for (int i = 0; i < 4; ++i) {
      const ui::Rect v = support::ControlScreenRect(&stat, rows[i][1]);
      const draw::Color beside = shot.GetPixel(v.left - 4, (v.top + v.bottom) / 2);
      EXPECT_LE(std::abs(draw::GetRValue(beside) - draw::GetRValue(boxes[i])), 1) << "row " << i;
      EXPECT_EQ(draw::GetGValue(beside), draw::GetGValue(boxes[i])) << "row " << i;
      EXPECT_EQ(draw::GetBValue(beside), draw::GetBValue(boxes[i])) << "row " << i;
    }
    s.Press(ui::IDOK);
  }));
}

TEST_F(StatisticTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    CStatistic stat;
    bool ok = d.RunScript([&] { stat.DoModal(); }, [&](ui::TestDriver& s) {
      Shot(std::string("statistic_") + kLanguageNames[lang]);
      s.Press(ui::IDOK);
    });
    EXPECT_TRUE(ok);
  }
}

}  // namespace
