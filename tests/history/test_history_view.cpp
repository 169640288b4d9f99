// The single-result view: filling it from a stored row, Last and Next at both ends of the
// table, recomputing from the stored histograms with the real algorithm library (against the
// library's own numbers for the same raw data), moving and saving lines, the differential
// entered by hand, a renumbering profile, a library that does not load, screenshots.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "algorithm/Zentil.h"
#include "core/ado_conn.h"
#include "core/db_errors.h"
#include "core/value_format.h"
#include "history/history_globals.h"
#include "history/history_graphics.h"
#include "measurement/count_settings.h"
#include "measurement/patient/line_adjust.h"
#include "measurement/raw_files.h"
#include "measurement/zentil_call.h"
#include "printing/histogram_print.h"
#include "platform/ui/message_box.h"
#include "results_store.h"
#include "tools/boardsim/blood_profile.h"

using namespace history_test;

namespace {

measurement::HistogramBuffers CountOf(boardsim::Profile p) {
  const boardsim::CountData c = boardsim::GenerateCount(boardsim::ProfileData(p), 5.0f, false, 1, false);
  measurement::HistogramBuffers h;
  for (size_t i = 0; i < measurement::kWbcChannels; ++i) h.wbc[i] = c.wbc[i];
  for (size_t i = 0; i < measurement::kRbcChannels; ++i) h.rbc[i] = c.rbc[i];
  for (size_t i = 0; i < measurement::kPltChannels; ++i) h.plt[i] = c.plt[i];
  return h;
}

class ViewTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    ui::SetMessageBoxHandler([this](ui::Window*, const std::string& text, const std::string&, unsigned) {
      boxes.push_back(text);
      return ui::IDOK;
    });
  }
  // Opens the view on (sampleNo, date) and runs `script` on it.
  void Open(CHistoryGraphics& view, const std::string& sampleNo, const std::string& date, int total,
            const std::function<void(ui::TestDriver&)>& script) {
    view.m_totalCount = total;
    view.m_sampleNo = sampleNo;
    history::HistorySelectedTestDate = date;
    EXPECT_TRUE(d.RunScript([&] { view.DoModal(); }, [&](ui::TestDriver& s) {
      script(s);
      s.Press(ui::IDCANCEL);
    }, 60000));
  }
  template <class F>
  void Ui(ui::TestDriver& s, F f) {
    bool done = false;
    s.RunUntil([&] {
      if (!done) f();
      done = true;
      return true;
    });
  }
  // The row the count of `h` would have stored, with the library's own numbers.
  AlgorithmResult Computed(const measurement::HistogramBuffers& h, uint8_t countTimeTenths = 50) {
    measurement::CountInputs in;
    in.bloodMode = 0;
    in.wbcTimeTenths = countTimeTenths;
    const uint16_t one = 1;
    in.hgbBlank = &one;
    in.hgbSample = &one;
    CADOConn conn;
    measurement::LoadCalibrationFactors(conn, 0, in.calibration);
    AlgorithmInput input;
    measurement::FillAlgorithmInput(input, in, h);
    AlgorithmResult r;
    EXPECT_EQ(measurement::CallAlgorithmMain(r, input), measurement::ZentilStatus::Computed);
    return r;
  }
  void StoreResult(const std::string& sampleNo, const std::string& date, const AlgorithmResult& r,
                   const measurement::HistogramBuffers& h) {
    Sql("insert into Person(SampleNo,TestDate,TestTime,Name,BloodType,ReferValue,WBC,LYMA,MONA,GRAA,LYMP,MONP,GRAP,"
        "PLT,MPV,PDW,PCT,PLCR,WBCUnit,PLTUnit,PCTUnit,OriginalWbc,Abnormal,WMARKER2,WMARKER3) values('" +
        sampleNo + "','" + date + "','09:00:00','Ann','Whole blood','General','" + FormatValue(r.WBC, 0) +
        "','1.0','0.5','3.0','25.0','10.0','65.0','" + FormatValue(r.PLT, 15) + "','9.0','15.0','0.20','25.0'," +
        "'10^9/L','10^9/L','%'," + StrPrintf("%g", static_cast<double>(r.WBC)) + ",0,0,0)");
    ASSERT_EQ(measurement::WriteTestDataRecord(AppSettings.ProgramFolder, measurement::TestDataKey(date, sampleNo), h),
              measurement::TestDataWrite::Written);
  }
  std::vector<std::string> boxes;
};

}  // namespace

TEST_F(ViewTest, LastAndNextWalkTheDaysAndWrapAtBothEnds) {
  BuildStore(120);  // days 2022-01-01 .. 2022-01-03, 40 samples each
  CHistoryGraphics view;
  Open(view, "40", "2022-01-03", 120, [&](ui::TestDriver& s) {
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "40");
    EXPECT_EQ(view.Text(IDC_HG_POSITION), "120/120");
    EXPECT_EQ(view.Text(IDC_HG_TIME), "2022-01-03 14:30:00");
    EXPECT_EQ(view.Text(IDC_HG_NAME), "Patient 119");
    // Next from the last row of the latest day: the first row of the earliest day.
    Ui(s, [&] { view.OnNext(); });
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "1");
    EXPECT_EQ(view.Text(IDC_HG_TIME), "2022-01-01 08:00:00");
    EXPECT_EQ(view.Text(IDC_HG_POSITION), "1/120");
    // And back.
    Ui(s, [&] { view.OnLast(); });
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "40");
    EXPECT_EQ(view.Text(IDC_HG_TIME), "2022-01-03 14:30:00");
    EXPECT_EQ(view.Text(IDC_HG_POSITION), "120/120");
    // Last from the first row of a day: the last row of the day before.
    Ui(s, [&] {
      for (int i = 0; i < 39; ++i) view.OnLast();
    });
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "1");
    EXPECT_EQ(view.Text(IDC_HG_POSITION), "81/120");
    Ui(s, [&] { view.OnLast(); });
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "40");
    EXPECT_EQ(view.Text(IDC_HG_TIME), "2022-01-02 14:30:00");
    // Row 79 (i % 7 == 2) is valid: its WBC 4.0 + 29/10.
    EXPECT_EQ(view.Text(kViewValueIds[0]), "6.9");
  });
}

TEST_F(ViewTest, EachRowGetsItsOwnReferenceGroup) {
  BuildStore(40);
  Sql("update Person set ReferValue='Unknown group' where SampleNo='5'");
  CHistoryGraphics view;
  Open(view, "4", "2022-01-01", 40, [&](ui::TestDriver& s) {
    EXPECT_EQ(view.Row().referenceGroup, 3);  // row 3: group 3
    Ui(s, [&] { view.OnNext(); });
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "5");
    EXPECT_EQ(view.Row().referenceGroup, 0);  // an unknown name is the general group, not row 3's
    EXPECT_EQ(view.Text(IDC_HG_GROUP), "Unknown group");
  });
}

TEST_F(ViewTest, ARowGoneMeanwhileNeverWalksPastTheDay) {
  BuildStore(40);
  CHistoryGraphics view;
  Open(view, "99", "2022-01-01", 40, [&](ui::TestDriver&) {
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "1");  // the day's first row instead
    EXPECT_TRUE(view.RowMissing());
  });
}

TEST_F(ViewTest, RecomputesFromTheRawRecordAsTheLibraryDoesAndSavesMovedLines) {
  Sql("update EngineeringAdjust set WBCTIME=50");
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  const AlgorithmResult r = Computed(h);
  StoreResult("12", "2026-03-04", r, h);
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    const history::ViewCompute& c = view.Compute();
    ASSERT_TRUE(c.computed);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(c.algoWbcLines[i], (r.WbcLines[i] + 1) * 1.5625f) << i;
    EXPECT_FLOAT_EQ(c.markers[3], (r.WbcLines[3] + 1) * 1.5625f);
    EXPECT_FLOAT_EQ(c.markers[5], (r.RbcUpper + 1) * 0.9765625f);
    EXPECT_EQ(std::memcmp(c.curves[0], r.WbcCurve, 256), 0);
    EXPECT_EQ(std::memcmp(c.curves[2], r.PltCurve, 128), 0);
    // No stored lines: the library's lines are the markers.
    EXPECT_FLOAT_EQ(c.markers[1], c.algoWbcLines[1]);

    // One step right on the LYM/MID line, re-split by the library at the new channel.
    Ui(s, [&] {
      view.SelectLine(0, 1);
      view.MoveSelectedLine(1);
    });
    const float moved = c.algoWbcLines[1] + 1.50390625f;
    EXPECT_FLOAT_EQ(c.adjust.movedWbcLines[0], moved);
    AlgorithmResult split;
    AlgorithmInput none;
    std::memset(&split, 0, sizeof split);
    std::memset(&none, 0, sizeof none);
    std::memcpy(split.WbcHistogram, h.wbc, sizeof h.wbc);
    split.WBC = r.WBC;
    std::memcpy(split.WbcLines, r.WbcLines, sizeof split.WbcLines);  // the result's own lines, preset
    const uint16_t lines[4] = {r.WbcLines[0], static_cast<uint16_t>(static_cast<int>(moved * 256.0f / 400.0f + 0.5f - 1.0f)),
                               static_cast<uint16_t>(static_cast<int>(c.algoWbcLines[2] * 256.0f / 400.0f + 0.5f - 1.0f)),
                               r.WbcLines[3]};
    ASSERT_EQ(measurement::CallAdjustWbcHistogram(split, none, lines), measurement::ZentilStatus::Computed);
    const float lym = RoundToDecimals(split.LymCount, UnitDecimals[DecimalSlotOfDisplayIndex(1)]);
    const float lymP = RoundToDecimals(split.LymPercent, UnitDecimals[DecimalSlotOfDisplayIndex(4)]);
    EXPECT_EQ(view.Text(kViewValueIds[1]), FormatValue(lym, 1));
    EXPECT_EQ(view.Text(kViewValueIds[4]), FormatValue(lymP, 4));
    EXPECT_EQ(view.Text(kViewLeadIds[1]), "!");
    // GRA% closes the sum from the two shown percentages.
    const double gra = 100.0 - std::atof(view.Text(kViewValueIds[4]).c_str()) - std::atof(view.Text(kViewValueIds[5]).c_str());
    EXPECT_NEAR(std::atof(view.Text(kViewValueIds[6]).c_str()), gra, 0.051);
    // Enter stores the six texts with their "!" and the line, and nothing else of the row.
    bool saved = false;
    Ui(s, [&] { saved = view.SaveSelectedLines(); });
    ASSERT_TRUE(saved);
    EXPECT_EQ(boxes.back(), "WBC Data saved!");
    const char* cols[6] = {"LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP"};
    for (int k = 0; k < 6; ++k) {
      const std::string stored = Scalar(std::string("select ") + cols[k] + " from Person");
      const std::string mark = view.Text(kViewMarkIds[1 + k]);
      EXPECT_EQ(stored, "!" + view.Text(kViewValueIds[1 + k]) + (mark.empty() ? "" : " " + mark)) << cols[k];
    }
    EXPECT_NEAR(std::atof(Scalar("select WMARKER2 from Person").c_str()), moved, 1e-4);
    EXPECT_NEAR(std::atof(Scalar("select WMARKER3 from Person").c_str()), c.algoWbcLines[2], 1e-4);
    EXPECT_EQ(Scalar("select WBC from Person"), FormatValue(r.WBC, 0));
    EXPECT_EQ(Scalar("select PLT from Person"), FormatValue(r.PLT, 15));
    EXPECT_EQ(view.m_dataSaved, 1);
  });
}

TEST_F(ViewTest, AFailedSaveIsReportedNotConfirmed) {
  Sql("update EngineeringAdjust set WBCTIME=50");
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  Sql("create trigger NoChange before update on Person begin select raise(abort,'read only'); end");
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    Ui(s, [&] {
      view.SelectLine(0, 1);
      view.MoveSelectedLine(1);
    });
    bool saved = true;
    boxes.clear();
    Ui(s, [&] { saved = view.SaveSelectedLines(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "WBC Data saved!"), 0);
    EXPECT_EQ(view.m_dataSaved, 0);
    EXPECT_EQ(Scalar("select LYMA from Person"), "1.0");
  });
}

TEST_F(ViewTest, ALibraryThatDoesNotLoadComputesNothing) {
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  measurement::SetZentilLibraryPath("/nonexistent/libZentil.so");
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), "Load Zentil.dll failed!"), boxes.end());
    EXPECT_FALSE(view.Compute().computed);
    Ui(s, [&] {
      view.SelectLine(0, 1);
      view.MoveSelectedLine(1);
    });
    EXPECT_EQ(view.Text(kViewValueIds[1]), "1.0");  // the stored value, not a zero
    bool saved = true;
    Ui(s, [&] { saved = view.SaveSelectedLines(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(Scalar("select LYMA from Person"), "1.0");
  });
}

TEST_F(ViewTest, HandEnteredDifferentialAndRenumberingProfileAreStored) {
  Sql("update EngineeringAdjust set WBCTIME=50");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  Sql("update Person set WBC='8.00', Abnormal=1");
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    bool ok = false;
    Ui(s, [&] { ok = view.ApplyManualDifferential(30.0f, 10.0f, 60.0f); });
    ASSERT_TRUE(ok);
    // 8.00 x 30 % = 2.40, x 10 % = 0.80, GRA# = 8.00 - 2.40 - 0.80 = 4.80.
    const std::string lyma = Scalar("select LYMA from Person");
    EXPECT_EQ(lyma.substr(0, 5), "e2.40");
    EXPECT_EQ(Scalar("select MONA from Person").substr(0, 5), "e0.80");
    EXPECT_EQ(Scalar("select GRAA from Person").substr(0, 5), "e4.80");
    EXPECT_EQ(Scalar("select LYMP from Person").substr(0, 5), "E30.0");
    EXPECT_EQ(Scalar("select GRAP from Person").substr(0, 5), "E60.0");
    EXPECT_EQ(Scalar("select WMARKER2 from Person"), "0");
    EXPECT_EQ(view.Text(kViewLeadIds[1]), "e");
    EXPECT_EQ(view.Text(kViewLeadIds[4]), "E");
    // The profile gives the row the number 15: the row keeps its result under the new number,
    // and its raw record follows.
    Ui(s, [&] {
      view.ApplyProfile(1, "15", "Bob", "Male", 40, "Y", "Adult male", "MN", "BN", "Lab", "Dr A", "T", "C");
    });
    EXPECT_EQ(Scalar("select count(*) from Person"), "1");
    EXPECT_EQ(Scalar("select SampleNo from Person"), "15") << (RecentDbErrors().empty() ? "" : RecentDbErrors().back());
    EXPECT_EQ(Scalar("select Name from Person"), "Bob");
    EXPECT_EQ(Scalar("select ReferValue from Person"), "Adult male");
    EXPECT_EQ(Scalar("select Age from Person"), "40");
    EXPECT_EQ(Scalar("select substr(LYMA,1,5) from Person"), "e2.40");
    measurement::HistogramBuffers back;
    EXPECT_TRUE(measurement::ReadTestDataRecord(AppSettings.ProgramFolder, measurement::TestDataKey("2026-03-04", "15"), &back));
    EXPECT_FALSE(measurement::ReadTestDataRecord(AppSettings.ProgramFolder, measurement::TestDataKey("2026-03-04", "12"), &back));
    EXPECT_EQ(view.Text(IDC_HG_SAMPLE), "15");
  });
}

TEST_F(ViewTest, ScreenshotsInTheFiveLanguages) {
  Sql("update EngineeringAdjust set WBCTIME=50");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  Sql("update Person set Warning='LF2 PF1 ', Age=42, AgeUnit='Y', Sex='Male', Name='Alexandra Konstantinopolska'");
  const char* names[5] = {"zh", "en", "es", "fr", "ua"};
  for (int l = 0; l < 5; ++l) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(l);
    CHistoryGraphics view;
    Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
      EXPECT_EQ(view.Text(kViewFlagIds[1]), "LF2");
      EXPECT_EQ(view.Text(kViewFlagIds[0]), "");
      EXPECT_EQ(view.Text(kViewFlagIds[4]), "PF1");
      Shot(std::string("history_view_") + names[l]);
      if (l == 1) {
        // The long name shows whole in its tip while the pointer is over the label.
        const ui::Rect r = s.Find(IDC_HG_NAME)->GetWindowRect();
        const draw::Bitmap before = s.Screen();
        s.MoveTo(ui::Point(r.left + 3, r.top + 3));
        const draw::Bitmap after = s.Screen();
        int changed = 0;
        for (int y = 0; y < after.Height(); ++y)
          for (int x = 0; x < after.Width(); ++x) changed += before.GetPixel(x, y) != after.GetPixel(x, y);
        EXPECT_GT(changed, 100);
        Shot("history_view_name_tip");
      }
    });
  }
}

TEST_F(ViewTest, AdjustRecoverWritesTheLibrarysSplitAndLogsWhoDidIt) {
  Sql("update EngineeringAdjust set WBCTIME=50");
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  Sql("delete from SysLog");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  AppSettings.UserLevel = 2;
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    const history::ViewCompute& c = view.Compute();
    // Lines on the library's own place: Recover has nothing to undo.
    Ui(s, [&] { view.ApplyAdjustChoice(1); });
    EXPECT_EQ(view.m_adjustDone, 0);
    // Moved and kept (OK): the values with "!" and the lines are stored.
    Ui(s, [&] {
      view.SelectLine(0, 1);
      for (int i = 0; i < 3; ++i) view.MoveSelectedLine(1);
      view.ApplyAdjustChoice(2);
    });
    EXPECT_EQ(view.m_adjustDone, 1);
    EXPECT_EQ(Scalar("select substr(LYMA,1,1) from Person"), "!");
    EXPECT_NEAR(std::atof(Scalar("select WMARKER2 from Person").c_str()), c.algoWbcLines[1] + 3 * 1.50390625, 1e-3);
    EXPECT_EQ(Scalar("select Event from SysLog"), "Adjust");
    EXPECT_EQ(Scalar("select Result from SysLog"), "2026-03-04###12###Engineer");
    // Recover: the library's split at its own lines, no "!", lines back to "0".
    Ui(s, [&] { view.ApplyAdjustChoice(1); });
    EXPECT_NE(Scalar("select substr(LYMA,1,1) from Person"), "!");
    EXPECT_EQ(Scalar("select WMARKER2 from Person"), "0");
    EXPECT_EQ(Scalar("select count(*) from SysLog where Event='Recover'"), "1");
    EXPECT_FLOAT_EQ(c.markers[1], c.algoWbcLines[1]);
  });
}

namespace {

// The WBC chart's line `line` as drawn.
double ChartLine(CHistoryGraphics& view, int line) {
  return view.Graph(0).Graph().GetXAxis(0).GetAxisMarker(line).value;
}

// What the view shows in differential row k (0..5) must be what the row stores, and what Print
// takes (the shown-result texts).
void ExpectShownIsStored(CHistoryGraphics& view, const std::string& stored, int k, const std::string& where) {
  const history::ShownValue v = history::SplitShownValue(1 + k, stored);
  EXPECT_EQ(view.Text(kViewValueIds[1 + k]), v.value) << where << " row " << k;
  EXPECT_EQ(view.Text(kViewMarkIds[1 + k]), v.mark) << where << " row " << k;
  EXPECT_EQ(history::ShownResultValues[1 + k], v.value) << where << " row " << k;
  EXPECT_EQ(history::ShownResultMarks[1 + k], v.mark) << where << " row " << k;
}

const char* const kDiffColumns[6] = {"LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP"};

}  // namespace

TEST_F(ViewTest, EnterAfterAHandEnteredDifferentialKeepsTheEnteredValues) {
  Sql("update EngineeringAdjust set WBCTIME=50");
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  Sql("update Person set WBC='8.00', Abnormal=1");
  AppSettings.UserLevel = 2;
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    const history::ViewCompute& c = view.Compute();
    ASSERT_TRUE(c.computed);
    // The LYM/MID line moved two steps (values recomputed, not saved), then the differential
    // entered by hand, then Enter with the line still selected.
    Ui(s, [&] {
      view.SelectLine(0, 1);
      view.MoveSelectedLine(1);
      view.MoveSelectedLine(1);
    });
    ASSERT_EQ(view.Text(kViewLeadIds[1]), "!");
    bool ok = false;
    Ui(s, [&] { ok = view.ApplyManualDifferential(30.0f, 10.0f, 60.0f); });
    ASSERT_TRUE(ok);
    boxes.clear();
    bool saved = true;
    Ui(s, [&] { saved = view.SaveSelectedLines(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "WBC Data saved!"), 0);
    // 8.00 x 30 % = 2.40, x 10 % = 0.80, 8.00 - 2.40 - 0.80 = 4.80; 30.0, 10.0, 60.0 %.
    const char* entered[6] = {"e2.40", "e0.80", "e4.80", "E30.0", "E10.0", "E60.0"};
    for (int k = 0; k < 6; ++k) {
      const std::string stored = Scalar(std::string("select ") + kDiffColumns[k] + " from Person");
      EXPECT_EQ(stored.substr(0, 5), entered[k]) << kDiffColumns[k];
      ExpectShownIsStored(view, stored, k, "after Enter");
      EXPECT_EQ(view.Text(kViewLeadIds[1 + k]), k < 3 ? "e" : "E");
    }
    EXPECT_EQ(Scalar("select WMARKER2 from Person"), "0");
    EXPECT_EQ(Scalar("select WMARKER3 from Person"), "0");
    // The chart shows the library's lines, which the entered values stand for.
    EXPECT_NEAR(ChartLine(view, 1), c.algoWbcLines[1], 1e-4);
    EXPECT_NEAR(ChartLine(view, 2), c.algoWbcLines[2], 1e-4);
  });
}

TEST_F(ViewTest, AdjustCancelStoresNothingAndALaterEnterNeither) {
  Sql("update EngineeringAdjust set WBCTIME=50");
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    const history::ViewCompute& c = view.Compute();
    ASSERT_TRUE(c.computed);
    const auto storedTexts = [&] {
      std::vector<std::string> t;
      for (const char* col : kDiffColumns) t.push_back(Scalar(std::string("select ") + col + " from Person"));
      t.push_back(Scalar("select WMARKER2 from Person"));
      t.push_back(Scalar("select WMARKER3 from Person"));
      return t;
    };
    // 1. Moved three steps, Adjust - Cancel, Enter: the row keeps its measured values, the
    // screen shows them with no lead mark (the lines are the library's), the chart its lines.
    Ui(s, [&] {
      view.SelectLine(0, 1);
      for (int i = 0; i < 3; ++i) view.MoveSelectedLine(1);
    });
    ASSERT_EQ(view.Text(kViewLeadIds[1]), "!");
    const std::vector<std::string> before = storedTexts();
    Ui(s, [&] { view.ApplyAdjustChoice(0); });
    boxes.clear();
    bool saved = true;
    Ui(s, [&] { saved = view.SaveSelectedLines(); });
    EXPECT_FALSE(saved);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(storedTexts(), before);
    for (int k = 0; k < 6; ++k) {
      ExpectShownIsStored(view, before[static_cast<size_t>(k)], k, "first cancel");
      EXPECT_EQ(view.Text(kViewLeadIds[1 + k]), "") << k;
    }
    EXPECT_NEAR(ChartLine(view, 1), c.algoWbcLines[1], 1e-4);
    EXPECT_EQ(view.m_adjustDone, 0);

    // 2. One step stored with Enter, two more steps, Adjust - Cancel, Enter: the row keeps the
    // values of the stored step, and the screen shows those (with "!", off the library's line).
    Ui(s, [&] {
      view.SelectLine(0, 1);
      view.MoveSelectedLine(1);
    });
    Ui(s, [&] { saved = view.SaveSelectedLines(); });
    ASSERT_TRUE(saved);
    const std::vector<std::string> firstSave = storedTexts();
    ASSERT_EQ(firstSave[0].substr(0, 1), "!");
    Ui(s, [&] {
      view.MoveSelectedLine(1);
      view.MoveSelectedLine(1);
      view.ApplyAdjustChoice(0);
    });
    boxes.clear();
    Ui(s, [&] { saved = view.SaveSelectedLines(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(storedTexts(), firstSave);
    for (int k = 0; k < 6; ++k) {
      ExpectShownIsStored(view, firstSave[static_cast<size_t>(k)], k, "second cancel");
      EXPECT_EQ(view.Text(kViewLeadIds[1 + k]), "!") << k;
    }
    EXPECT_NEAR(ChartLine(view, 1), c.algoWbcLines[1] + 1.50390625, 1e-3);
  });
}

TEST_F(ViewTest, WithoutEngineeringSettingsTheViewAndThePrintOutsRunTheLibraryAlike) {
  // No EngineeringAdjust row: the count-time setting is 5 tenths, a count time of 5 / 10 = 0 s
  // (whole seconds) for the view and the print-outs alike.
  Sql("delete from EngineeringAdjust");
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  const measurement::HistogramBuffers h = CountOf(boardsim::Profile::Normal);
  StoreResult("12", "2026-03-04", Computed(h), h);
  const AlgorithmResult zero = Computed(h, 5);
  SetHistogramLibraryPath(support::BuiltZentilPath());
  const PrintedHistograms printed = ComputePrintedHistograms(h.wbc, h.rbc, h.plt, 0, 0.0f, 0.0f, 0.0f, 0.0f);
  SetHistogramLibraryPath("");
  EXPECT_EQ(printed.lines[7], zero.PltUpper);
  CHistoryGraphics view;
  Open(view, "12", "2026-03-04", 1, [&](ui::TestDriver& s) {
    const history::ViewCompute& c = view.Compute();
    ASSERT_TRUE(c.computed);
    EXPECT_FLOAT_EQ(c.markers[7], printed.pltMarkers[1]);
    // The PLT recomputed at a moved upper line: the library's PLT with that line and a count
    // time of 0 s (no rate, so no PLT), not that of 5 s.
    const float upper = c.markers[7];
    Ui(s, [&] {
      view.SelectLine(2, 1);
      view.MoveSelectedLine(0);
    });
    const float moved = upper - 0.21875f;
    const auto withLines = [&](uint8_t tenths) {
      measurement::CountInputs in;
      in.bloodMode = 0;
      in.wbcTimeTenths = tenths;
      const uint16_t one = 1;
      in.hgbBlank = &one;
      in.hgbSample = &one;
      CADOConn conn;
      measurement::LoadCalibrationFactors(conn, 0, in.calibration);
      AlgorithmInput input;
      measurement::FillAlgorithmInput(input, in, h);
      input.UserPltLower = static_cast<uint16_t>(measurement::PltLineChannel(c.markers[6]));
      input.UserPltUpper = static_cast<uint16_t>(measurement::PltLineChannel(moved));
      AlgorithmResult r;
      EXPECT_EQ(measurement::CallAlgorithmMain(r, input), measurement::ZentilStatus::Computed);
      return r;
    };
    const AlgorithmResult at0 = withLines(5), at5 = withLines(50);
    ASSERT_NE(at0.PLT, at5.PLT);
    ASSERT_EQ(at0.PLT, kInvalidParamValue);
    ASSERT_GT(at5.PLT, 0.0f);
    EXPECT_EQ(view.Text(kViewValueIds[15]), "- - -");
  });
}
