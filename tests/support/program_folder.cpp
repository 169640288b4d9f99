#include "tests/support/program_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "core/ado_conn.h"
#include "core/data_store.h"
#include "platform/db/connection.h"
#include "platform/sys/program_dir.h"

namespace fs = std::filesystem;

namespace support {

ScratchProgramFolder::ScratchProgramFolder(const std::string& prefix, bool withDataStore) {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() / (prefix + std::to_string(getpid()) + "_" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
  sys::SetProgramDir(path_.string());
  if (withDataStore) {
    std::string error;
    if (!CreateDataStoreIfMissing(nullptr, &error)) ADD_FAILURE() << "data store: " << error;
  }
}

ScratchProgramFolder::~ScratchProgramFolder() {
  sys::SetProgramDir("");
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void ScratchProgramFolder::write(const std::string& name, const std::string& content) const {
  const fs::path p = path_ / name;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

void ExecSql(const std::string& sql, bool create) {
  db::Connection c;
  db::OpenOptions o;
  o.create = create;
  ASSERT_TRUE(c.Open(DatabasePath(), o)) << c.LastError();
  ASSERT_TRUE(c.Execute(sql)) << c.LastError() << "\n" << sql.substr(0, 300);
}

std::string QueryText(const std::string& sql, const std::string& nullText) {
  db::Connection c;
  if (!c.Open(DatabasePath())) return "<no database>";
  auto rs = c.OpenRecordset(sql);
  if (!rs->IsOpen()) return "<" + rs->LastError() + ">";
  if (rs->IsEOF()) return "";
  if (rs->Field(0).IsNull()) return nullText;
  return rs->Field(0).AsText();
}

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string BuiltZentilPath() { return std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so"; }

}  // namespace support
