// A program folder holding a laboratory's full store: 50,000 results over 500 days (100 a day,
// the last day before the benchmarks' manual-clock date 2026-01-05) in Person, and their raw
// test-data records in TD.dat and TDI.dat. Built once into a cache folder under the temporary
// directory (kept between runs) and copied for each benchmark, which then changes its own copy.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/raw_test_data.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/data_store.h"
#include "platform/db/connection.h"
#include "platform/sys/program_dir.h"

namespace bench_store {

namespace fs = std::filesystem;

inline constexpr int kResults = 50000;
inline constexpr int kPerDay = 100;

// "YYYY-MM-DD" of `daysBefore` days before 2026-01-05.
inline std::string DateBefore(int daysBefore) {
  // Days since 1970-01-01 of 2026-01-05, then back to a civil date.
  long z = 20458 - daysBefore + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long y = yoe + era * 400;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const long d = doy - (153 * mp + 2) / 5 + 1;
  const long m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  char text[64];
  std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", y, m, d);
  return text;
}

// One stored result with varied values, as the test screen saves it.
inline std::string PersonInsert(const std::string& date, int sample, int serial) {
  const double v = 1.0 + (serial % 97) * 0.07;
  char sql[1024];
  std::snprintf(sql, sizeof sql,
                "insert into Person(SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,WBC,LYMA,MONA,GRAA,LYMP,MONP,GRAP,"
                "RBC,HGB,MCHC,MCH,MCV,RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR,Warning,WBCUnit,RBCUnit,HGBUnit,MCHCUnit,"
                "HCTUnit,PLTUnit,PCTUnit,RefText,Abnormal,OriginalWbc,WMARKER2,WMARKER3,PMARKER1,PMARKER2) values("
                "'%d','%s','%02d:%02d:%02d','Patient %d','Male',%d,'Year','%.2f','%.2f','%.2f','%.2f','%.1f','%.1f',"
                "'%.1f','%.2f','%d','%d','%.1f','%.1f','%.1f','%.1f','%.1f','%d','%.1f','%.1f','%.3f','%.1f',"
                "'Lymphocytosis','10^9/L','10^12/L','g/L','g/L','%%','10^9/L','%%','Adult',%d,%.2f,52.0,78.0,6.0,22.0)",
                sample, date.c_str(), 8 + sample / 12, (sample * 5) % 60, (serial * 7) % 60, serial, 20 + serial % 60,
                4.0 + v, 1.5 + v * 0.3, 0.4 + v * 0.05, 2.1 + v * 0.6, 30.0 + v, 8.0 + v * 0.2, 62.0 - v, 4.2 + v * 0.1,
                120 + serial % 40, 330 + serial % 20, 29.0 + v * 0.2, 88.0 + v, 13.0 + v * 0.1, 42.0 + v, 40.0 + v,
                150 + serial % 200, 8.0 + v * 0.1, 15.0 + v * 0.1, 0.18 + v * 0.01, 25.0 + v, serial % 3, 4.0 + v);
  return sql;
}

// One raw data record: the three histograms as little-endian floats, varied per result.
inline void RawRecordOf(int serial, uint8_t out[analyzer::kRawDataRecordSize]) {
  float h[analyzer::kRawDataRecordSize / 4];
  for (size_t i = 0; i < std::size(h); ++i)
    h[i] = static_cast<float>((serial * 31 + static_cast<int>(i) * 7) % 400);
  std::memcpy(out, h, sizeof h);
}

// Adds `days` days of `perDay` results and their raw records to the store and raw files of the
// program folder `folder`, which must be the program folder in force (its store must exist). `firstDaysBefore` is the oldest day's distance
// from 2026-01-05; `serial` numbers the results.
inline void AddResults(const fs::path& folder, int firstDaysBefore, int days, int perDay, int serial) {
  db::Connection c;
  c.Open(DatabasePath());
  c.Begin();
  std::ofstream td(folder / analyzer::kRawDataFile, std::ios::binary | std::ios::app);
  std::ofstream tdi(folder / analyzer::kRawIndexFile, std::ios::binary | std::ios::app);
  uint8_t record[analyzer::kRawDataRecordSize];
  for (int d = 0; d < days; ++d) {
    const std::string date = DateBefore(firstDaysBefore - d);
    for (int s = 1; s <= perDay; ++s, ++serial) {
      if (!c.Execute(PersonInsert(date, s, serial))) {
        std::fprintf(stderr, "store fixture: %s\n", c.LastError().c_str());
        std::abort();
      }
      RawRecordOf(serial, record);
      td.write(reinterpret_cast<const char*>(record), sizeof record);
      char index[analyzer::kRawIndexRecordSize] = {};
      const std::string key = analyzer::RawDataKey(date, std::to_string(s));
      std::memcpy(index, key.data(), key.size());
      tdi.write(index, sizeof index);
    }
  }
  c.Commit();
}

// The folder of a cached store of `rows` results. Its name follows the schema the program
// builds a new store from, so that a store cached before a schema change (a new index, say) is
// not measured as if the program had made it.
inline fs::path StoreCacheFolder(int rows) {
  const std::string schema = SchemaSql();
  char tag[24];
  std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(std::hash<std::string>{}(schema)));
  return fs::temp_directory_path() / ("quorvex_bench_store_" + std::to_string(rows) + "_" + tag);
}

// The cached full store, built on first use: into a folder of this process, renamed into place
// when complete, so that two benchmarks starting at once never share a half-built store.
inline fs::path CachedFullStore() {
  const fs::path cache = StoreCacheFolder(kResults);
  if (fs::exists(cache / "complete")) return cache;
  const fs::path building = cache.string() + ".building." + std::to_string(getpid());
  fs::remove_all(building);
  fs::create_directories(building);
  const std::string savedDir = sys::ProgramDir();
  const std::string savedFolder = AppSettings.ProgramFolder;
  sys::SetProgramDir(building.string());
  AppSettings.ProgramFolder = building.string() + "/";
  CreateDataStoreIfMissing();
  AddResults(building, kResults / kPerDay, kResults / kPerDay, kPerDay, 1);
  sys::SetProgramDir(savedDir);
  AppSettings.ProgramFolder = savedFolder;
  std::ofstream(building / "complete") << "built\n";
  std::error_code ec;
  if (!fs::exists(cache / "complete")) {
    fs::remove_all(cache, ec);  // a half-built store of an interrupted run
    fs::rename(building, cache, ec);
  }
  fs::remove_all(building, ec);  // another process was first
  return cache;
}

// A fresh copy of the full store in `folder`.
inline void CopyFullStore(const fs::path& folder) {
  const fs::path cache = CachedFullStore();
  fs::remove_all(folder);
  fs::copy(cache, folder, fs::copy_options::recursive);
  fs::remove(folder / "complete");
}

}  // namespace bench_store
