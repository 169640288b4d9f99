#include "program_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "app/ado_conn.h"
#include "app/data_store.h"
#include "platform/db/connection.h"
#include "platform/sys/program_dir.h"

namespace fs = std::filesystem;

MeasurementFolder::MeasurementFolder(bool withDatabase) {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() / ("quorvex_meas_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
  sys::SetProgramDir(path_.string());
  if (withDatabase) {
    std::string error;
    EXPECT_TRUE(CreateDataStoreIfMissing(nullptr, &error)) << error;
  }
}

MeasurementFolder::~MeasurementFolder() {
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
  return rs->Field(0).AsText();
}

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string BuiltZentilPath() { return std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so"; }
