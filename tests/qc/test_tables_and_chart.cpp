// The QC tables as the screens use them, on a fresh data store: settings rows, run storage with
// the trim and the X-R copy, deletes that name their file, and the chart's statistics and
// screens over more runs than one screen holds.
#include <gtest/gtest.h>

#include <cmath>

#include "core/value_format.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_run_result.h"
#include "qc/lj_tables.h"
#include "tests/support/program_folder.h"

namespace {

class QcTables : public ::testing::Test {
 protected:
  support::ScratchProgramFolder folder_{"quorvex_qc_tables"};
  CADOConn conn_;

  static std::string Q(const std::string& sql) { return support::QueryText(sql); }
  void AddRun(int file, const std::string& date, const std::string& time, float wbc, float rbc = -2.0f) {
    qc::LjRun r;
    r.date = date;
    r.time = time;
    r.values.fill(-2.0f);
    r.values[0] = wbc;
    r.values[7] = rbc;
    r.units = {"10^9/L", "10^12/L", "g/L", "g/L", "%", "10^9/L", "%"};
    support::ExecSql(qc::RunInsertSql("LJQCRunResult", file, r));
  }
};

TEST_F(QcTables, SettingsRowRoundTripsByPosition) {
  qc::LjFileSettings s;
  s.fileNo = 3;
  s.batchNo = "L2";
  s.expDate = "2030-01-31";
  s.targets[0] = 7.5f;   // WBC
  s.limits[0] = 0.25f;
  s.targets[14] = 40.0f;  // HCT, store position 14
  s.limits[14] = 1.5f;
  s.rules = {1, 0, 1, 0};
  s.chosen[11] = 0;  // MCV
  ASSERT_EQ(conn_.Execute(qc::LjSettingsInsertSql(s)), 1);
  EXPECT_EQ(Q("select HCTRV || '/' || HCTLV || '/' || Q12 || '/' || Q15 || '/' || Out3SD || '/' || \"5SideSDTo2SD\" "
              "from LJQCSet where QcFileNo=3"),
            "40.0/1.5/0/1/1/1");
  qc::LjFileSettings r;
  ASSERT_TRUE(qc::ReadLjFileSettings(conn_, 3, &r));
  EXPECT_EQ(r.batchNo, "L2");
  EXPECT_FLOAT_EQ(r.targets[14], 40.0f);
  EXPECT_EQ(r.chosen[11], 0);
  EXPECT_EQ(r.rules, (std::array<int, 4>{1, 0, 1, 0}));
  EXPECT_FALSE(qc::ReadLjFileSettings(conn_, 4, &r));
  EXPECT_EQ(r.chosen[0], 1);  // a file without a row has every parameter chosen

  std::array<int, 4> rules{0, 1, 0, 1};
  ASSERT_EQ(conn_.Execute(qc::LjRulesUpdateSql(3, rules)), 1);
  std::array<int, 20> chosen;
  chosen.fill(1);
  chosen[13] = 0;  // RDW-SD
  ASSERT_EQ(conn_.Execute(qc::LjChoiceUpdateSql(3, chosen)), 1);
  ASSERT_TRUE(qc::ReadLjFileSettings(conn_, 3, &r));
  EXPECT_EQ(r.rules, rules);
  EXPECT_EQ(Q("select Q12 || Q13 || Q14 from LJQCSet where QcFileNo=3"), "110");
}

TEST_F(QcTables, DeletingARunNamesItsFileAndTakesTheXrCopy) {
  AddRun(1, "2026-12-01", "09:00:00", 7.0f);
  AddRun(2, "2026-12-01", "09:00:00", 8.0f);
  support::ExecSql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(1,'2026-12-01','09:00:00',7)");
  support::ExecSql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(2,'2026-12-01','09:00:00',8)");
  ASSERT_EQ(qc::DeleteLjRun(conn_, 1, "2026-12-01", "09:00:00", true), 1);
  EXPECT_EQ(Q("select group_concat(QcFileNo) from LJQCRunResult"), "2");
  EXPECT_EQ(Q("select group_concat(QcFileNo) from XRQCRunResult"), "2");
}

TEST_F(QcTables, StoringTrimsOnlyWhatItMustAndFeedsTheXrFile) {
  // 500 runs: 250 on each of two days.
  for (int i = 0; i < 500; ++i)
    AddRun(5, i < 250 ? "2026-11-01" : "2026-11-02", StrPrintf("%.2d:%.2d:%.2d", i / 3600, (i / 60) % 60, i % 60), 7.0f);
  qc::StoreContext ctx;
  ctx.fileNo = 5;
  ctx.ljBatch = "Lot-A";
  ctx.xrBatch = "lot-a";
  ctx.xrGroups = 2;
  ctx.xrPerGroup = 3;
  ctx.xrStored = 5;
  std::array<std::string, 20> units;
  CADOConn unitConn;
  qc::ReadQcUnits(unitConn, &units);
  qc::ControlValues v;
  v.values.fill(-2.0f);
  v.values[0] = 7.25f;
  v.values[9] = -1.0f;  // HCT invalid
  v.values[9] = 41.5f;
  v.values[15] = -1.0f;  // PLT invalid
  EXPECT_EQ(qc::StoreControlRun(conn_, ctx, "2026-12-10", "10:00:00", v, units), qc::XrFeed::Stored);
  // The oldest day went; 250 + 1 remain, so the next run trims nothing.
  EXPECT_EQ(Q("select count(*) from LJQCRunResult where QcFileNo=5"), "251");
  EXPECT_EQ(qc::StoreControlRun(conn_, ctx, "2026-12-10", "10:05:00", v, units), qc::XrFeed::FileFull);
  EXPECT_EQ(Q("select count(*) from LJQCRunResult where QcFileNo=5"), "252");
  EXPECT_EQ(qc::StoreControlRun(conn_, ctx, "2026-12-10", "10:06:00", v, units), qc::XrFeed::AlreadyOver);
  EXPECT_EQ(Q("select count(*) from XRQCRunResult where QcFileNo=5"), "1");
  // Every stored column of the new run: values in store order, -1 and -2, the seven units.
  EXPECT_EQ(Q("select QcFileNo||'|'||TestDate||'|'||TestTime||'|'||WBC||'|'||LYMA||'|'||HCT||'|'||PLT||'|'||MCHC||'|'||"
              "WBCUnit||'|'||RBCUnit||'|'||HGBUnit||'|'||MCHCUnit||'|'||HCTUnit||'|'||PLTUnit||'|'||PCTUnit "
              "from XRQCRunResult"),
            "5|2026-12-10|10:00:00|7.25|-2.0|41.5|-1.0|-2.0|10^9/L|10^12/L|g/L|g/L|%|10^9/L|%");
  ctx.xrBatch = "other";
  EXPECT_EQ(qc::StoreControlRun(conn_, ctx, "2026-12-10", "10:07:00", v, units), qc::XrFeed::NotSameBatch);
}

// A run the store refuses is stored nowhere: a refused run is not copied into the X-R file, and a
// refused copy takes the run with it; the X-R count the run screen keeps stays as the file's rows are.
TEST_F(QcTables, StoringReportsARefusedRunAndARefusedCopy) {
  std::array<std::string, 20> units;
  CADOConn unitConn;
  qc::ReadQcUnits(unitConn, &units);
  qc::ControlValues v;
  v.values.fill(7.0f);
  for (const char* refused : {"LJQCRunResult", "XRQCRunResult"}) {
    SCOPED_TRACE(refused);
    support::ExecSql("delete from LJQCRunResult");
    support::ExecSql("delete from XRQCRunResult");
    support::ExecSql(std::string("create trigger refuse before insert on ") + refused +
                     " begin select raise(abort, 'database or disk is full'); end");
    qc::StoreContext ctx;
    ctx.fileNo = 6;
    ctx.ljBatch = ctx.xrBatch = "Lot-B";
    ctx.xrGroups = 2;
    ctx.xrPerGroup = 2;
    ctx.xrStored = 1;
    EXPECT_EQ(qc::StoreControlRun(conn_, ctx, "2026-12-10", "11:00:00", v, units), qc::XrFeed::Failed);
    EXPECT_EQ(ctx.xrStored, 1);
    support::ExecSql("drop trigger refuse");
    EXPECT_EQ(Q("select count(*) from LJQCRunResult"), "0");
    EXPECT_EQ(Q("select count(*) from XRQCRunResult"), "0");
    // With the store writable again the next run and its copy go in, and the count follows.
    EXPECT_EQ(qc::StoreControlRun(conn_, ctx, "2026-12-10", "11:05:00", v, units), qc::XrFeed::Stored);
    EXPECT_EQ(ctx.xrStored, 2);
  }
}

TEST_F(QcTables, ChartStatisticsAndScreensBeyondOneScreen) {
  // 56 runs of WBC 1..56; run 10 has no RBC value, RBC otherwise 4.0 and 5.0 alternating.
  for (int i = 1; i <= 56; ++i)
    AddRun(7, "2026-12-" + StrPrintf("%.2d", 1 + i / 10), StrPrintf("08:%.2d:00", i), static_cast<float>(i),
           i == 10 ? -1.0f : (i % 2 ? 4.0f : 5.0f));
  qc::LjChartData d;
  qc::LoadLjChartRuns(conn_, 7, "", "", &d);
  ASSERT_EQ(d.runCount, 56);
  // WBC: mean 28.5, SD of 1..56 = sqrt(56 x 57 / 12) = sqrt(266).
  EXPECT_NEAR(d.mean[0], 28.5, 1e-4);
  EXPECT_NEAR(d.sd[0], std::sqrt(266.0), 1e-3);
  EXPECT_NEAR(d.cv[0], std::sqrt(266.0) / 28.5 * 100.0, 1e-3);
  // RBC (chart position 1): run 10 (a 5.0 run) left out: 28 fours and 27 fives.
  const double m = (28 * 4.0 + 27 * 5.0) / 55.0;
  const double sd = std::sqrt((28 * (4.0 - m) * (4.0 - m) + 27 * (5.0 - m) * (5.0 - m)) / 54.0);
  EXPECT_NEAR(d.mean[1], m, 1e-5);
  EXPECT_NEAR(d.sd[1], sd, 1e-5);
  EXPECT_FLOAT_EQ(d.shownStats[0][0], 28.5f);
  EXPECT_FLOAT_EQ(d.shownStats[1][1], std::floor(sd * 100 + 0.5) / 100);
  EXPECT_EQ(d.shortDates[0], "12-01");
  EXPECT_EQ(d.runTimes[55], "2026-12-06 08:56:00");
  // Two screens: 55 runs, then run 56 alone; a third holds nothing.
  EXPECT_EQ(qc::ChartScreenCount(56), 2);
  EXPECT_EQ(qc::ChartScreenCount(55), 1);
  EXPECT_EQ(qc::ChartScreenCount(0), 1);
  EXPECT_EQ(qc::ChartScreenCount(600), 11);  // every run has a screen
  int first = 0, count = 0;
  qc::ChartScreenRuns(56, 2, &first, &count);
  EXPECT_EQ(first, 55);
  EXPECT_EQ(count, 1);
  qc::ChartScreenRuns(56, 3, &first, &count);
  EXPECT_EQ(count, 0);
  // Reloading a date range recomputes from nothing: the statistics of days 1 and 2 only
  // (runs 1..19, WBC mean 10).
  qc::LoadLjChartRuns(conn_, 7, "2026-12-01", "2026-12-02", &d);
  EXPECT_EQ(d.runCount, 19);
  EXPECT_NEAR(d.mean[0], 10.0, 1e-5);
  // One run: SD and CV 0, not the values of the load before.
  qc::LoadLjChartRuns(conn_, 7, "2026-12-01", "2026-12-01", &d);
  ASSERT_EQ(d.runCount, 9);
  AddRun(8, "2026-12-06", "08:00:00", 5.0f);
  qc::LoadLjChartRuns(conn_, 8, "", "", &d);
  ASSERT_EQ(d.runCount, 1);
  EXPECT_FLOAT_EQ(d.mean[0], 5.0f);
  EXPECT_FLOAT_EQ(d.sd[0], 0.0f);
  EXPECT_FLOAT_EQ(d.cv[0], 0.0f);
}

TEST(LjChart, PagesRangesAndRounding) {
  qc::LjChartData d;
  int downs = 0;
  while (qc::MoveChartPage(&d, +1)) ++downs;
  EXPECT_EQ(downs, 4);
  EXPECT_EQ(d.chartParams, (std::array<int, 4>{16, 17, 18, 19}));
  EXPECT_FALSE(qc::MoveChartPage(&d, +1));
  double lo = 0, hi = 0;
  qc::ChartRange(8.0f, 0.25f, &lo, &hi);
  EXPECT_DOUBLE_EQ(lo, 7.5);
  EXPECT_DOUBLE_EQ(hi, 8.5);
  qc::ChartRange(8.0f, 0.0f, &lo, &hi);  // no SD: still a range to draw in
  EXPECT_LT(lo, 8.0);
  EXPECT_GT(hi, 8.0);
  qc::ChartRange(0.0f, 0.0f, &lo, &hi);
  EXPECT_LT(lo, hi);
  EXPECT_FLOAT_EQ(qc::RoundStat(1.005f), 1.0f);  // 1.005f is just below 1.005
  EXPECT_FLOAT_EQ(qc::RoundStat(2.346f), 2.35f);
}

}  // namespace

namespace {

TEST(QcHistory, TheNewestStoredRunsOfTheFileNewestFirst) {
  support::ScratchProgramFolder folder("quorvex_qc_history");
  for (int i = 1; i <= 8; ++i)
    support::ExecSql(StrPrintf("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(1,'2026-01-0%d','08:00:00',%d)", i, i));
  support::ExecSql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(2,'2026-02-01','08:00:00',99)");
  CADOConn conn;
  const std::vector<qc::LjRun> runs = qc::ReadNewestLjRuns(conn, 1, 6);
  ASSERT_EQ(runs.size(), 6u);
  EXPECT_FLOAT_EQ(runs.front().values[0], 8.0f);
  EXPECT_FLOAT_EQ(runs.back().values[0], 3.0f);
}

}  // namespace
