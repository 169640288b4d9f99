#include "patient_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

#include "core/ado_conn.h"
#include "core/data_store.h"
#include "core/value_format.h"
#include "platform/db/connection.h"
#include "platform/sys/program_dir.h"

namespace fs = std::filesystem;

PatientFolder::PatientFolder() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() / ("quorvex_patient_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
  sys::SetProgramDir(path_.string());
  std::string error;
  EXPECT_TRUE(CreateDataStoreIfMissing(nullptr, &error)) << error;
}

PatientFolder::~PatientFolder() {
  sys::SetProgramDir("");
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void Exec(const std::string& sql) {
  db::Connection c;
  ASSERT_TRUE(c.Open(DatabasePath())) << c.LastError();
  ASSERT_TRUE(c.Execute(sql)) << c.LastError() << "\n" << sql.substr(0, 300);
}

std::string Scalar(const std::string& sql) {
  db::Connection c;
  if (!c.Open(DatabasePath())) return "<no database>";
  auto rs = c.OpenRecordset(sql);
  if (!rs->IsOpen()) return "<" + rs->LastError() + ">";
  if (rs->IsEOF()) return "";
  if (rs->Field(0).IsNull()) return "<null>";
  return rs->Field(0).AsText();
}

void InsertLimits(const std::string& table, int kind, const float v[40]) {
  Exec("delete from " + table + " where Kind=" + std::to_string(kind));
  std::string sql = "insert into " + table + " values(NULL," + std::to_string(kind);
  for (int i = 0; i < 40; ++i) sql += "," + StrPrintf("%.6g", static_cast<double>(v[i]));
  Exec(sql + ")");
}

void InsertUniformLimits(const std::string& table, int kind, float low, float high) {
  float v[40];
  for (int i = 0; i < 20; ++i) {
    v[2 * i] = low;
    v[2 * i + 1] = high;
  }
  InsertLimits(table, kind, v);
}

void InsertPersonRow(const std::string& sampleNo, const std::string& testDate, const std::string values[20],
                     const std::string& referValue) {
  static const char* const cols[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC",
                                       "MCH", "MCV", "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"};
  std::string names = "SampleNo,TestDate,TestTime,ReferValue", vals = "'" + sampleNo + "','" + testDate + "','08:00:00','" + referValue + "'";
  for (int i = 0; i < 20; ++i) {
    names += std::string(",") + cols[i];
    vals += values[i].empty() ? ",NULL" : ",'" + values[i] + "'";
  }
  Exec("insert into Person(" + names + ") values(" + vals + ")");
}

std::string BuiltZentilPath() { return std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so"; }
