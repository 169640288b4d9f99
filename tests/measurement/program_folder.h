#pragma once
// A test's own program folder with a fresh data store; removed afterwards.
#include <filesystem>
#include <string>

class MeasurementFolder {
 public:
  explicit MeasurementFolder(bool withDatabase = true);
  ~MeasurementFolder();
  const std::filesystem::path& path() const { return path_; }
  std::string folder() const { return path_.string() + "/"; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Runs SQL on the data store outside CADOConn; fails the test on an error.
void Exec(const std::string& sql);
// The first column of the first row of a query as text ("" when no row).
std::string Scalar(const std::string& sql);
// The bytes of a file.
std::string FileBytes(const std::string& path);
// The built algorithm library beside the test programs' program folder.
std::string BuiltZentilPath();
