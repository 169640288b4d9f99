// Opening a recordset over a results-sized table and reading one page, against copying every
// row. The table is shaped like the result table: ~60 columns of texts and numbers.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/db/connection.h"

namespace {

constexpr int kRows = 50000;
constexpr int kValueColumns = 20;

std::string DatabasePath() {
  static const std::string path = [] {
    const auto dir = std::filesystem::temp_directory_path() / ("quorvex_bench_db_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "bench.db").string();
  }();
  return path;
}

// Builds the table once per run: identity and patient columns, 20 values, 20 marks, units.
void EnsureTable() {
  static bool done = false;
  if (done) return;
  done = true;
  db::Connection c;
  if (!c.Open(DatabasePath(), {.create = true})) std::abort();
  std::string create =
      "CREATE TABLE Person(SampleNo TEXT, TestDate TEXT, TestTime TEXT, Name TEXT, Sex INTEGER, Age INTEGER,"
      " AgeUnit TEXT, BloodMode INTEGER, Department TEXT, Doctor TEXT, BedNo TEXT, Remark TEXT, Kind INTEGER";
  for (int i = 0; i < kValueColumns; ++i) create += ", V" + std::to_string(i) + " REAL";
  for (int i = 0; i < kValueColumns; ++i) create += ", M" + std::to_string(i) + " TEXT";
  create += ", WarnText TEXT, WBCUnit TEXT, RBCUnit TEXT, HGBUnit TEXT, PLTUnit TEXT, Sent INTEGER, Printed INTEGER)";
  if (!c.Execute(create)) std::abort();
  if (!c.Execute("CREATE INDEX PersonDate ON Person(TestDate, TestTime)")) std::abort();
  db::Transaction t(c);
  std::string row;
  for (int r = 0; r < kRows; ++r) {
    char date[16], time[16];
    std::snprintf(date, sizeof date, "2026-%02d-%02d", 1 + (r / 3000) % 12, 1 + (r / 100) % 28);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", (r / 3600) % 24, (r / 60) % 60, r % 60);
    row = "INSERT INTO Person VALUES('" + std::to_string(r % 1000 + 1) + "','" + date + "','" + time +
          "','Patient name',1,42,'Y',0,'Department','Doctor','12','',0";
    for (int i = 0; i < kValueColumns; ++i) row += "," + std::to_string(r % 97 + i) + ".25";
    for (int i = 0; i < kValueColumns; ++i) row += (i % 3 == 0) ? ",'H'" : ",''";
    row += ",'Lymphocytosis','10^9/L','10^12/L','g/L','10^9/L',0,0)";
    if (!c.Execute(row)) std::abort();
  }
  if (!t.Commit()) std::abort();
}

void ReadPage(db::Recordset& rs, benchmark::State& state) {
  rs.SetPageSize(100);
  rs.SetAbsolutePosition(1);
  int n = 0;
  while (!rs.IsEOF() && n < 100) {
    for (int f = 0; f < rs.FieldCount(); ++f) benchmark::DoNotOptimize(rs.Field(f));
    rs.MoveNext();
    ++n;
  }
  if (n != 100) state.SkipWithError("short page");
}

// What a history screen does: open all results and show the first page.
void BM_OpenAndReadOnePage(benchmark::State& state) {
  EnsureTable();
  db::Connection c;
  c.Open(DatabasePath());
  for (auto _ : state) {
    auto rs = c.OpenRecordset("select * from Person");
    if (rs->RecordCount() != kRows) state.SkipWithError("count");
    ReadPage(*rs, state);
  }
}
BENCHMARK(BM_OpenAndReadOnePage)->Unit(benchmark::kMillisecond);

void BM_OpenSortedAndReadOnePage(benchmark::State& state) {
  EnsureTable();
  db::Connection c;
  c.Open(DatabasePath());
  for (auto _ : state) {
    auto rs = c.OpenRecordset("select * from Person order by TestDate desc, TestTime desc");
    if (rs->RecordCount() != kRows) state.SkipWithError("count");
    ReadPage(*rs, state);
  }
}
BENCHMARK(BM_OpenSortedAndReadOnePage)->Unit(benchmark::kMillisecond);

// For comparison: copy every row and every field, as a cursor that holds the result whole.
void BM_NaiveCopyAll(benchmark::State& state) {
  EnsureTable();
  db::Connection c;
  c.Open(DatabasePath());
  for (auto _ : state) {
    // A column expression makes the query one that is held whole.
    auto rs = c.OpenRecordset("select *, 0 from Person");
    if (rs->IsKeyset() || rs->RecordCount() != kRows) state.SkipWithError("not held whole");
    ReadPage(*rs, state);
  }
}
BENCHMARK(BM_NaiveCopyAll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(std::filesystem::path(DatabasePath()).parent_path());
  return 0;
}
