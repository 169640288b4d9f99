// A count stored while the algorithm library could not be used (every value "- - -", the raw
// record and the count's inputs kept) is computed from the result history once the library is
// back, into the very row a count of the same histograms and readings stores; until then the
// view shows no number and the LIS gets none.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/ado_conn.h"
#include "core/person_row.h"
#include "history/history_globals.h"
#include "history/history_graphics.h"
#include "history/history_list.h"
#include "history/history_list_logic.h"
#include "history/history_output.h"
#include "history/kept_recompute.h"
#include "history/view_row.h"
#include "lis/stored_items.h"
#include "measurement/raw_files.h"
#include "measurement/run_result.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "platform/ui/message_box.h"
#include "results_store.h"
#include "tools/boardsim/blood_profile.h"

using namespace history_test;
using history::KeptRecompute;

namespace {

constexpr const char* kDate = "2026-12-09";

// Units a count does not store by default: the settings are given them as the units in force.
const std::string kUnits[20] = {"10^2/uL", "10^2/uL", "10^2/uL", "10^2/uL", "%",  "%",  "%",
                                "10^12/L", "g/dL",    "%",       "fL",      "pg", "g/L", "fL",
                                "%",       "10^4/uL", "fL",      "%",       "mL/L", "%"};

// The same two counts every time, pre-diluted, with a count time and factors of their own and
// the HGB readings of the second count.
struct Counts {
  uint16_t blank = 0, sample = 0;
  measurement::HistogramBuffers last;
  const std::string* units = kUnits;  // the units in force when counting
  measurement::RunInputs Inputs(const std::string& sampleNo) {
    measurement::RunInputs in;
    const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
    for (int k = 0; k < 2; ++k) {
      const boardsim::CountData d = boardsim::GenerateCount(p, 5.0f, false, 30 + k, true);
      for (size_t i = 0; i < measurement::kWbcChannels; ++i) in.counts[k].wbc[i] = d.wbc[i];
      for (size_t i = 0; i < measurement::kRbcChannels; ++i) in.counts[k].rbc[i] = d.rbc[i];
      for (size_t i = 0; i < measurement::kPltChannels; ++i) in.counts[k].plt[i] = d.plt[i];
      blank = d.hgbBlank;
      sample = d.hgbSample;
    }
    in.count.bloodMode = 2;
    in.count.wbcTimeTenths = 60;
    in.count.calibration[0] = 1.05f;   // WBC
    in.count.calibration[8] = 1.25f;   // HGB
    in.count.calibration[15] = 0.9f;   // PLT
    in.count.hgbBlank = &blank;
    in.count.hgbSample = &sample;
    in.sampleNo = sampleNo;
    in.bloodModeText = "Pre-diluted blood";
    for (int i = 0; i < 20; ++i) in.units[i] = units[i];
    in.language = 1;
    in.folder = AppSettings.ProgramFolder;
    return in;
  }
  measurement::RunResult Count(const std::string& sampleNo, const std::string& library) {
    measurement::SetZentilLibraryPath(library);
    measurement::RunInputs in = Inputs(sampleNo);
    CADOConn conn;
    measurement::XbQcState xb = measurement::LoadXbQcState(conn);
    return measurement::ProcessRunResult(conn, in, last, xb);
  }
};

const std::string kAbsent = "/nonexistent/libZentil.so";

class KeptRecomputeTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
    SetUnitsInForce(kUnits);
    ui::SetMessageBoxHandler([this](ui::Window*, const std::string& text, const std::string&, unsigned) {
      boxes.push_back(text);
      return ui::IDOK;
    });
  }
  void TearDown() override {
    sys::Clock::UseReal();
    StoreTest::TearDown();
  }
  // Every column of the two rows, side by side; the sample number aside.
  void ExpectSameRow(const std::string& no, const std::string& other) {
    std::stringstream names(Scalar("select group_concat(name, ',') from pragma_table_info('Person')"));
    std::string column;
    int columns = 0;
    while (std::getline(names, column, ',')) {
      if (column == "SampleNo") continue;
      ++columns;
      auto value = [&](const std::string& n) {
        return support::QueryText("select " + column + " from Person where SampleNo='" + n + "'", "<null>");
      };
      EXPECT_EQ(value(no), value(other)) << column;
    }
    EXPECT_GE(columns, 49);
  }
  // The unit settings (screen order, the seven unit columns of the settings).
  void SetUnitsInForce(const std::string u[20]) {
    Sql("update ParasUnit set WBC='" + u[0] + "', RBC='" + u[7] + "', HGB='" + u[8] + "', HCT='" + u[9] +
        "', MCHC='" + u[12] + "', PLT='" + u[15] + "', PCT='" + u[18] + "'");
  }
  // Opens the single-result view of the sample and closes it again; the boxes are those it showed.
  void OpenAndCloseView(const std::string& no) {
    boxes.clear();
    CHistoryGraphics view;
    view.m_totalCount = 1;
    view.m_sampleNo = no;
    history::HistorySelectedTestDate = kDate;
    EXPECT_TRUE(d.RunScript([&] { view.DoModal(); }, [&](ui::TestDriver& s) { s.Press(ui::IDCANCEL); }, 60000));
  }
  KeptRecompute Recompute(const std::string& no) {
    CADOConn conn;
    return history::RecomputeKeptResult(conn, AppSettings.ProgramFolder, no, kDate, 1);
  }
  std::vector<std::string> boxes;
  Counts counts;
};

}  // namespace

TEST_F(KeptRecomputeTest, AKeptCountBecomesTheRowTheCountWouldHaveStored) {
  const measurement::RunResult kept = counts.Count("12", kAbsent);
  ASSERT_EQ(kept.status, measurement::ZentilStatus::LibraryMissing);
  ASSERT_TRUE(kept.Stored());
  EXPECT_EQ(Scalar("select WBC || '|' || HGB || '|' || PLT from Person where SampleNo='12'"), "- - -|- - -|- - -");
  // The library is back: the same histograms and readings counted normally as sample 13.
  const measurement::RunResult normal = counts.Count("13", support::BuiltZentilPath());
  ASSERT_EQ(normal.status, measurement::ZentilStatus::Computed);
  ASSERT_NE(Scalar("select HGB from Person where SampleNo='13'"), "- - -");

  EXPECT_EQ(Recompute("12"), KeptRecompute::Recomputed);
  ExpectSameRow("12", "13");
  EXPECT_EQ(Scalar("select CountInputs is null from Person where SampleNo='12'"), "1");
  // Done once: the row is a computed one now.
  EXPECT_EQ(Recompute("12"), KeptRecompute::NotKept);
  ExpectSameRow("12", "13");
}

// Printing from the results browser computes a kept count first when the library is back: the
// report takes the computed values and the row is stored computed. Without the library the row
// is printed as it stands, marked as not computed, and stays kept.
TEST_F(KeptRecomputeTest, PrintingFromTheBrowserComputesTheKeptCountFirst) {
  counts.Count("12", kAbsent);
  counts.Count("13", support::BuiltZentilPath());  // the same count with the library
  // The browser's columns of the kept row show "- - -" in every result row.
  auto column = [](const std::string& no) {
    StoredSampleColumn c;
    c.sampleNo = no;
    c.testDate = kDate;
    for (std::string& r : c.results) r = "- - -";
    return c;
  };
  CADOConn conn;
  measurement::SetZentilLibraryPath(kAbsent);
  std::vector<StoredSampleColumn> absent = {column("12")};
  EXPECT_EQ(history::ComputeKeptColumns(conn, AppSettings.ProgramFolder, absent, 1), 0);
  std::vector<ReportSnapshot> shots = LoadHistorySnapshots(conn, absent, 1);
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_TRUE(shots[0].notComputed);
  for (const std::string& v : shots[0].valueTexts) EXPECT_EQ(v, "- - -");
  EXPECT_EQ(Scalar("select CountInputs is null from Person where SampleNo='12'"), "0");

  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  std::vector<StoredSampleColumn> picked = {column("12")};
  EXPECT_EQ(history::ComputeKeptColumns(conn, AppSettings.ProgramFolder, picked, 1), 1);
  ExpectSameRow("12", "13");
  EXPECT_EQ(Scalar("select CountInputs is null from Person where SampleNo='12'"), "1");
  // The column now holds the stored texts of the computed result, as the browser shows them.
  for (int i = 0; i < 20; ++i) {
    const std::string stored =
        Scalar(std::string("select ") + history::kGridColumns[3 + i] + " from Person where SampleNo='13'");
    EXPECT_EQ(picked[0].results[i], stored) << i;
  }
  shots = LoadHistorySnapshots(conn, picked, 1);
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_FALSE(shots[0].notComputed);
  EXPECT_NE(shots[0].valueTexts[0], "- - -");  // WBC
  EXPECT_NE(shots[0].valueTexts[8], "- - -");  // HGB
  // A computed row stays as it is on the next print.
  EXPECT_EQ(history::ComputeKeptColumns(conn, AppSettings.ProgramFolder, picked, 1), 0);
  EXPECT_FALSE(picked[0].notComputed);
}

TEST_F(KeptRecomputeTest, WhatIsNotAKeptCountOrCannotBeComputedStaysAsItIs) {
  struct Case {
    const char* name;
    std::function<void()> after;  // what happens after the kept count, before the computation
    std::string library;
    KeptRecompute outcome;
  };
  const std::vector<Case> cases = {
      {"the library is still missing", [] {}, kAbsent, KeptRecompute::LibraryFailed},
      {"the raw record is gone",
       [] {
         std::remove((AppSettings.ProgramFolder + "TD.dat").c_str());
         std::remove((AppSettings.ProgramFolder + "TDI.dat").c_str());
       },
       support::BuiltZentilPath(), KeptRecompute::NoRawRecord},
      {"kept inputs that do not read",
       [this] { Sql("update Person set CountInputs='time=08:15:30 mode=9' where SampleNo='12'"); },
       support::BuiltZentilPath(), KeptRecompute::NotKept},
      {"inputs of an earlier count under a later time",
       [this] { Sql("update Person set TestTime='08:20:00' where SampleNo='12'"); }, support::BuiltZentilPath(),
       KeptRecompute::NotKept},
      {"a value entered since", [this] { Sql("update Person set HGB='120' where SampleNo='12'"); },
       support::BuiltZentilPath(), KeptRecompute::NotKept},
      {"no row", [this] { Sql("delete from Person"); }, support::BuiltZentilPath(), KeptRecompute::NotKept},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    counts.Count("12", kAbsent);
    c.after();
    const std::string before = Scalar("select group_concat(coalesce(WBC,'') || HGB || coalesce(CountInputs,'') || "
                                      "TestTime, '/') from Person");
    measurement::SetZentilLibraryPath(c.library);
    EXPECT_EQ(Recompute("12"), c.outcome);
    EXPECT_EQ(Scalar("select group_concat(coalesce(WBC,'') || HGB || coalesce(CountInputs,'') || TestTime, '/') "
                     "from Person"),
              before);
  }
}

TEST_F(KeptRecomputeTest, TheViewShowsNoNumberWithoutTheLibraryAndComputesTheRowWithIt) {
  counts.Count("12", kAbsent);
  auto open = [&](const std::function<void(CHistoryGraphics&)>& check) {
    CHistoryGraphics view;
    view.m_totalCount = 1;
    view.m_sampleNo = "12";
    history::HistorySelectedTestDate = kDate;
    EXPECT_TRUE(d.RunScript([&] { view.DoModal(); },
                            [&](ui::TestDriver& s) {
                              check(view);
                              s.Press(ui::IDCANCEL);
                            },
                            60000));
  };
  // Without the library: no number anywhere, the row stays kept, one message.
  measurement::SetZentilLibraryPath(kAbsent);
  boxes.clear();
  open([&](CHistoryGraphics& view) {
    for (int r = 0; r < 20; ++r) EXPECT_EQ(view.Text(kViewValueIds[r]), "- - -") << r;
    EXPECT_EQ(view.m_dataSaved, 0);
  });
  EXPECT_EQ(boxes, std::vector<std::string>{"Load Zentil.dll failed!"});
  EXPECT_EQ(Scalar("select CountInputs is not null from Person"), "1");
  // The LIS would get no value of it.
  {
    CADOConn conn;
    ASSERT_TRUE(OpenPersonRow(conn, "12", kDate));
    lis::UnitTable units;
    lis::SampleResultTexts texts;
    lis::TextsFromRow(*conn.Recordset(), units, &texts);
    conn.CloseRecordset();
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(texts.values[i], "") << i;
      EXPECT_EQ(texts.flags[i], "") << i;
    }
  }

  // With the library: the view computes the row on opening and shows what it stored, which is
  // what a normal count of the same input stores.
  counts.Count("13", support::BuiltZentilPath());
  boxes.clear();
  std::string shown[20];
  open([&](CHistoryGraphics& view) {
    for (int r = 0; r < 20; ++r) shown[r] = view.Text(kViewValueIds[r]);
    EXPECT_EQ(view.m_dataSaved, 1);
    EXPECT_TRUE(view.Compute().computed);
  });
  EXPECT_TRUE(boxes.empty());
  ExpectSameRow("12", "13");
  const char* const columns[20] = {"WBC", "LYMA", "MONA", "GRAA",  "LYMP",  "MONP", "GRAP", "RBC", "HGB", "HCT",
                                   "MCV", "MCH",  "MCHC", "RDWSD", "RDWCV", "PLT",  "MPV",  "PDW", "PCT", "PLCR"};
  for (int r = 0; r < 20; ++r)
    EXPECT_EQ(shown[r], history::SplitShownValue(r, Scalar(std::string("select ") + columns[r] +
                                                            " from Person where SampleNo='13'")).value)
        << r;
}

TEST_F(KeptRecomputeTest, TheBrowserShowsTheComputedRowAfterItsDetailView) {
  counts.Count("12", kAbsent);
  // What a normal count of the same input stores, taken from a row removed again.
  counts.Count("13", support::BuiltZentilPath());
  const std::string wbc = Scalar("select WBC from Person where SampleNo='13'");
  ASSERT_NE(wbc, "- - -");
  Sql("delete from Person where SampleNo='13'");
  CHistoryList screen;
  std::string before, after;
  EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return screen.FilledColumns() == 1; }));
                            before = screen.Grid().GetItemText(3, 1);
                            bool selected = false;
                            s.RunUntil([&] {
                              if (!selected) screen.ApplySelection(1, 1);
                              selected = true;
                              return true;
                            });
                            s.Press(IDC_HL_DETAIL);
                            EXPECT_EQ(s.Text(IDC_HG_SAMPLE), "12");
                            s.Press(ui::IDCANCEL);
                            ASSERT_TRUE(s.RunUntil([&] { return screen.FilledColumns() == 1; }));
                            after = screen.Grid().GetItemText(3, 1);
                            s.Press(ui::IDCANCEL);
                          },
                          120000));
  EXPECT_EQ(before, "- - -");
  EXPECT_EQ(after, wbc);
}

namespace {

// The agreement rule of the first two counts, written out: WBC and RBC
// disagree when they differ by 8 % of count 1 and by 0.2 at least; PLT by more than 25 when the
// smaller is at most 20, by more than 10 when the larger is at most 50, by 20 % of count 1 when
// the larger is at most 100, else by 15 % of count 1.
bool RuleSaysDisagree(int channel, double c1, double c2) {
  const double d = c2 > c1 ? c2 - c1 : c1 - c2;
  if (channel != 2) return d / c1 >= 0.08 && d >= 0.2;
  const double lo = c1 < c2 ? c1 : c2, hi = c1 < c2 ? c2 : c1;
  if (lo <= 20) return d > 25;
  if (hi <= 50) return d > 10;
  if (hi <= 100) return d / c1 >= 0.2;
  return d / c1 >= 0.15;
}

measurement::HistogramBuffers BuffersOf(const measurement::CountHistograms& c) {
  measurement::HistogramBuffers h;
  for (size_t i = 0; i < measurement::kWbcChannels; ++i) h.wbc[i] = c.wbc[i];
  for (size_t i = 0; i < measurement::kRbcChannels; ++i) h.rbc[i] = c.rbc[i];
  for (size_t i = 0; i < measurement::kPltChannels; ++i) h.plt[i] = c.plt[i];
  return h;
}

}  // namespace

TEST_F(KeptRecomputeTest, AKeptSampleWhoseCountsDisagreeIsNeverStoredAsAgreeing) {
  measurement::RunInputs in = counts.Inputs("14");
  // The second count holds a third more cells in every channel.
  for (auto& v : in.counts[1].wbc) v = static_cast<uint16_t>(v * 4 / 3);
  for (auto& v : in.counts[1].rbc) v = static_cast<uint16_t>(v * 4 / 3);
  for (auto& v : in.counts[1].plt) v = static_cast<uint16_t>(v * 4 / 3);
  // What the counts say through the library, judged by the rule above.
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  const measurement::CountValues q1 = measurement::ComputeCountValues(in.count, BuffersOf(in.counts[0]));
  const measurement::CountValues q2 = measurement::ComputeCountValues(in.count, BuffersOf(in.counts[1]));
  ASSERT_EQ(q1.status, measurement::ZentilStatus::Computed);
  const bool byRule[3] = {RuleSaysDisagree(0, q1.wbc, q2.wbc), RuleSaysDisagree(1, q1.rbc, q2.rbc),
                          RuleSaysDisagree(2, q1.plt, q2.plt)};
  ASSERT_TRUE(byRule[0] || byRule[1] || byRule[2]);

  // Counted without the library: the cycle holds no quick value, so the agreement step must ask
  // for a third count; the third count is count 1 again.
  measurement::SetZentilLibraryPath(kAbsent);
  for (int k = 0; k < 2; ++k) {
    const measurement::CountValues v = measurement::ComputeCountValues(in.count, BuffersOf(in.counts[k]));
    in.quick.values[measurement::CountWbc][k] = v.wbc;
    in.quick.values[measurement::CountRbc][k] = v.rbc;
    in.quick.values[measurement::CountPlt][k] = v.plt;
  }
  ASSERT_TRUE(measurement::CheckFirstTwoCounts(in.quick).any());
  in.thirdCount = true;
  counts.last = BuffersOf(in.counts[0]);
  {
    CADOConn conn;
    measurement::XbQcState xb = measurement::LoadXbQcState(conn);
    ASSERT_TRUE(measurement::ProcessRunResult(conn, in, counts.last, xb).Stored());
  }

  // Computed later: every channel the rule finds disagreeing carries the indicator.
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  ASSERT_EQ(Recompute("14"), KeptRecompute::Recomputed);
  const std::string stored[3] = {Scalar("select WBC from Person where SampleNo='14'"),
                                 Scalar("select RBC from Person where SampleNo='14'"),
                                 Scalar("select PLT from Person where SampleNo='14'")};
  for (int ch = 0; ch < 3; ++ch) {
    SCOPED_TRACE(ch);
    ASSERT_NE(stored[ch], "- - -");
    if (byRule[ch]) {
      EXPECT_EQ(stored[ch].substr(0, 1), "*") << stored[ch];
    }
  }
}

TEST_F(KeptRecomputeTest, AUnitChangeBeforeTheComputationGivesTheRowOfACountMadeNow) {
  // Counted in g/dL and 10^4/uL, then HGB changed to g/L and PLT to 10^9/L.
  counts.Count("12", kAbsent);
  std::string now[20];
  for (int i = 0; i < 20; ++i) now[i] = kUnits[i];
  now[8] = "g/L";
  now[15] = "10^9/L";
  SetUnitsInForce(now);
  // What a count of the same input stores now, in the units, decimals and limits in force.
  counts.units = now;
  ASSERT_EQ(counts.Count("13", support::BuiltZentilPath()).status, measurement::ZentilStatus::Computed);

  ASSERT_EQ(Recompute("12"), KeptRecompute::Recomputed);
  ExpectSameRow("12", "13");
  EXPECT_EQ(Scalar("select HGBUnit || '|' || PLTUnit from Person where SampleNo='12'"), "g/L|10^9/L");
}

TEST_F(KeptRecomputeTest, AComputedKeptCountEntersXbQcAsTheCountWould) {
  Sql("delete from XBQCSet");
  Sql("insert into XBQCSet (SampleNum, IsOn, Q1, Q8, Q9, Q16) values (20, 1, 1, 1, 1, 1)");
  counts.Count("12", kAbsent);
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "0");  // nothing computed yet
  // What a count of the same input adds.
  counts.Count("13", support::BuiltZentilPath());
  ASSERT_EQ(Scalar("select count(*) from XBQCRunResult"), "1");
  ASSERT_EQ(Recompute("12"), KeptRecompute::Recomputed);
  // Two rows alike in every column.
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "2");
  EXPECT_EQ(Scalar("select count(*) from (select distinct * from XBQCRunResult)"), "1");
}

TEST_F(KeptRecomputeTest, TheViewTellsAComputationThatFails) {
  struct Case {
    const char* name;
    std::function<void()> spoil;
    std::string told;
  };
  const std::vector<Case> cases = {
      {"the raw record is gone",
       [] {
         std::remove((AppSettings.ProgramFolder + "TD.dat").c_str());
         std::remove((AppSettings.ProgramFolder + "TDI.dat").c_str());
       },
       "The sample's raw data are missing: its result cannot be computed"},
      {"the store refuses the row",
       [this] { Sql("create trigger NoUpdate before update on Person begin select raise(abort, 'refused'); end"); },
       "The computed result could not be saved; the sample stays uncomputed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    Sql("drop trigger if exists NoUpdate");
    counts.Count("12", kAbsent);
    c.spoil();
    const std::string before = Scalar("select WBC || HGB || CountInputs from Person");
    measurement::SetZentilLibraryPath(support::BuiltZentilPath());
    OpenAndCloseView("12");
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), c.told);
    EXPECT_EQ(Scalar("select WBC || HGB || CountInputs from Person"), before);
  }
  Sql("drop trigger if exists NoUpdate");
}

TEST_F(KeptRecomputeTest, TheViewSaysAComputedKeptCountWasNotPrintedOrSent) {
  struct Case {
    int printInstant, sendInstant;
    bool told;
  } cases[] = {{1, 1, true}, {1, 0, true}, {0, 1, true}, {0, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.printInstant) + std::to_string(c.sendInstant));
    Sql("delete from Person");
    Sql("update SysSetting set PrintInstant=" + std::to_string(c.printInstant) +
        ", IsTransInstant=" + std::to_string(c.sendInstant));
    counts.Count("12", kAbsent);
    measurement::SetZentilLibraryPath(support::BuiltZentilPath());
    OpenAndCloseView("12");
    EXPECT_EQ(Scalar("select CountInputs is null from Person"), "1");  // computed
    EXPECT_EQ(boxes, c.told ? std::vector<std::string>{"The result is computed now; it was not printed or sent: "
                                                      "print it here or send it from the results list"}
                            : std::vector<std::string>{});
  }
}
