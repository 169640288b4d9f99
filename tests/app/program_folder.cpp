#include "program_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>

#include "app/ado_conn.h"
#include "platform/db/connection.h"
#include "platform/sys/program_dir.h"

namespace fs = std::filesystem;

TempProgramFolder::TempProgramFolder() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("quorvex_app_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
  sys::SetProgramDir(path_.string());
}

TempProgramFolder::~TempProgramFolder() {
  sys::SetProgramDir("");
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void TempProgramFolder::write(const std::string& name, const std::string& content) const {
  fs::path p = path_ / name;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

void RawExec(const std::string& sql) {
  db::Connection c;
  db::OpenOptions o;
  o.create = true;
  ASSERT_TRUE(c.Open(DatabasePath(), o)) << c.LastError();
  ASSERT_TRUE(c.Execute(sql)) << c.LastError() << "\n" << sql.substr(0, 300);
}

std::string RawScalar(const std::string& sql) {
  db::Connection c;
  if (!c.Open(DatabasePath())) return "<no database>";
  auto rs = c.OpenRecordset(sql);
  if (!rs->IsOpen()) return "<" + rs->LastError() + ">";
  if (rs->IsEOF()) return "";
  return rs->Field(0).AsText();
}
